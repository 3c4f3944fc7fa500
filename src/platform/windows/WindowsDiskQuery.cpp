#include "platform/DiskQuery.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

namespace Kor2_Sys::platform {
namespace {

class SmartDevice final : public DiskDevice {
public:
    SmartDevice(HANDLE handle, std::string name) : m_handle(handle), m_name(std::move(name)) {}
    ~SmartDevice() override { CloseHandle(m_handle); }
    SmartDevice(const SmartDevice&) = delete;
    SmartDevice& operator=(const SmartDevice&) = delete;

    IdentifyAnswer identify(const IdentifyRequest& request) override
    {
        IdentifyAnswer answer;
        answer.device = m_name;
        SENDCMDINPARAMS in{};
        in.cBufferSize = request.bufferSize;
        in.irDriveRegs.bFeaturesReg = request.features;
        in.irDriveRegs.bSectorCountReg = request.sectorCount;
        in.irDriveRegs.bSectorNumberReg = request.sectorNumber;
        in.irDriveRegs.bCylLowReg = request.cylinderLow;
        in.irDriveRegs.bCylHighReg = request.cylinderHigh;
        in.irDriveRegs.bDriveHeadReg = request.driveHead;
        in.irDriveRegs.bCommandReg = request.command;
        in.bDriveNumber = request.driveNumber;
        // The reply is the output header followed by the 512-byte block.
        std::vector<unsigned char> out(sizeof(SENDCMDOUTPARAMS) - 1 + answer.block.size());
        DWORD returned = 0;
        if (DeviceIoControl(m_handle, SMART_RCV_DRIVE_DATA, &in, sizeof in - 1, out.data(),
                            static_cast<DWORD>(out.size()), &returned, nullptr) &&
            returned >= out.size()) {
            std::memcpy(answer.block.data(), out.data() + offsetof(SENDCMDOUTPARAMS, bBuffer), answer.block.size());
            answer.source = "SMART_RCV_DRIVE_DATA";
        }
        return answer;
    }

private:
    HANDLE m_handle;
    std::string m_name;
};

std::unique_ptr<DiskDevice> openDevice(const std::string& name)
{
    HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<SmartDevice>(handle, name);
}

class WindowsDiskQuery final : public DiskQuery {
public:
    PlatformVersion version() override
    {
        // Every platform this build runs on is of the NT family; its version record says so.
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        if (!GetVersionExA(&info))
            return {VER_PLATFORM_WIN32_NT, 0};
#pragma GCC diagnostic pop
        return {static_cast<std::int32_t>(info.dwPlatformId), static_cast<std::int32_t>(info.dwMinorVersion)};
    }
    std::unique_ptr<DiskDevice> openPhysicalDrive(unsigned number) override
    {
        return openDevice("\\\\.\\PhysicalDrive" + std::to_string(number));
    }
    std::unique_ptr<DiskDevice> openSmartDriver() override { return openDevice("\\\\.\\SMARTVSD"); }
};

} // namespace

std::shared_ptr<DiskQuery> platformDiskQuery()
{
    return std::make_shared<WindowsDiskQuery>();
}

} // namespace Kor2_Sys::platform
