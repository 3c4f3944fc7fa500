#include "platform/SystemInfo.h"

#include "frame/Errors.h"
#include "frame/Utf.h"
#include "frame/Wide.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace Kor2_Sys::platform {
namespace {

std::string narrow(const wchar_t* text)
{
    const std::wstring w(text);
    return utf::toUtf8(std::u16string(w.begin(), w.end()));
}

// "C:\datos" -> "C:\"; the shared logic names the system drive "/".
std::wstring rootOf(const std::string& where)
{
    if (where.empty() || where == "/")
        return L"C:\\";
    std::wstring root = wide(where);
    std::replace(root.begin(), root.end(), L'/', L'\\');
    if (root.size() >= 2 && root[1] == L':')
        return root.substr(0, 2) + L"\\";
    if (root.back() != L'\\')
        root += L'\\';
    return root;
}

Error errorOf(DWORD code)
{
    switch (code) {
    case ERROR_NOT_READY:
        return errors::diskNotReady();
    case ERROR_ACCESS_DENIED:
        return errors::permissionDenied();
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return errors::deviceUnavailable();
    default:
        return errors::pathAccess();
    }
}

class WindowsSystemInfo final : public SystemInfo {
public:
    std::string hostName() override
    {
        char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD size = sizeof name;
        return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
    }

    std::optional<VolumeFacts> volume(const std::string& where) override
    {
        const std::wstring root = rootOf(where);
        wchar_t label[MAX_PATH + 1] = {};
        wchar_t fileSystem[MAX_PATH + 1] = {};
        DWORD serial = 0;
        if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr, fileSystem,
                                   MAX_PATH + 1))
            return std::nullopt;
        VolumeFacts facts;
        facts.source = "GetVolumeInformation";
        facts.mountPoint = narrow(root.c_str());
        facts.label = narrow(label);
        std::string type = narrow(fileSystem);
        facts.version = type;
        std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::tolower(c); });
        // The shared logic reads the serial out of the identifier in the form the probes print.
        char uuid[24];
        if (type.rfind("fat", 0) == 0) {
            facts.type = "vfat";
            std::snprintf(uuid, sizeof uuid, "%04lX-%04lX", serial >> 16, serial & 0xFFFFul);
        } else if (type == "ntfs") {
            facts.type = "ntfs";
            std::snprintf(uuid, sizeof uuid, "00000000%08lX", serial);
        } else {
            facts.type = type;
            facts.fsid = serial;
            uuid[0] = '\0';
        }
        facts.uuid = uuid;
        return facts;
    }

    std::string filesRoot(const std::string& where) override
    {
        const std::wstring root = rootOf(where);
        const UINT kind = GetDriveTypeW(root.c_str());
        if (kind == DRIVE_NO_ROOT_DIR || kind == DRIVE_UNKNOWN)
            throw errors::deviceUnavailable();
        return narrow(root.c_str());
    }

    std::optional<std::string> firstFile(const std::string& path) override
    {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(wide(path).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_NO_MORE_FILES)
                return std::nullopt;
            throw errorOf(code);
        }
        std::optional<std::string> first;
        do {
            constexpr DWORD kNotOrdinary =
                FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
            if ((found.dwFileAttributes & kNotOrdinary) == 0)
                first = narrow(found.cFileName);
        } while (!first && FindNextFileW(search, &found));
        FindClose(search);
        return first;
    }
};

} // namespace

std::shared_ptr<SystemInfo> platformSystemInfo()
{
    return std::make_shared<WindowsSystemInfo>();
}

std::string libraryFile()
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&libraryFile), &self))
        return {};
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH * 4);
    return length == 0 || length >= MAX_PATH * 4 ? std::string() : narrow(path);
}

} // namespace Kor2_Sys::platform
