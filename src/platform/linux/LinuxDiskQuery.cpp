#include "platform/linux/LinuxDiskQuery.h"

#include <fcntl.h>
#include <linux/hdreg.h>
#include <linux/nvme_ioctl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <numeric>
#include <optional>

namespace Kor2_Sys::platform {
namespace {

using namespace linuxos;

// How long one identity command may take before the kernel gives up on it; a disk that is spun
// down needs a few seconds to answer.
constexpr unsigned kCommandTimeoutMs = 10000;

constexpr std::string_view kFamilies[] = {"sd", "nvme", "vd", "hd"};

int familyOf(std::string_view name)
{
    for (std::size_t i = 0; i < std::size(kFamilies); ++i)
        if (name.starts_with(kFamilies[i]))
            return static_cast<int>(i);
    return -1;
}

// Kernel names in the order the kernel hands them out: letters by length first (sdz before
// sdaa), numbers by value (nvme2n1 before nvme10n1).
bool naturalLess(std::string_view a, std::string_view b)
{
    const auto run = [](std::string_view s, std::size_t at) {
        const bool digits = std::isdigit(static_cast<unsigned char>(s[at])) != 0;
        std::size_t end = at;
        while (end < s.size() && (std::isdigit(static_cast<unsigned char>(s[end])) != 0) == digits)
            ++end;
        return s.substr(at, end - at);
    };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        std::string_view x = run(a, i), y = run(b, j);
        i += x.size();
        j += y.size();
        const bool numbers = std::isdigit(static_cast<unsigned char>(x[0])) && std::isdigit(static_cast<unsigned char>(y[0]));
        if (numbers) {
            while (x.size() > 1 && x[0] == '0') x.remove_prefix(1);
            while (y.size() > 1 && y[0] == '0') y.remove_prefix(1);
        }
        if (x.size() != y.size())
            return x.size() < y.size();
        if (x != y)
            return x < y;
    }
    return a.size() - i < b.size() - j;
}

// A block that holds anything, and whose checksum is right when its signature says it has one.
bool plausible(const IdentityBlock& block)
{
    if (std::all_of(block.begin(), block.end(), [](std::uint8_t b) { return b == 0; }))
        return false;
    if (block[510] != 0xA5)
        return true;
    return std::accumulate(block.begin(), block.end(), 0u) % 256 == 0;
}

// ATA PASS-THROUGH, PIO data-in, 512 bytes counted in the sector-count field. The node already
// names one device, so the request's device-select bit stays out of the device register.
std::optional<IdentityBlock> ataPassThrough(int fd, const IdentifyRequest& r, bool twelve)
{
    constexpr std::uint8_t kPioDataIn = 4 << 1;
    constexpr std::uint8_t kFromDeviceInBlocks = 0x0E;
    const std::uint8_t device = r.driveHead & ~0x10;
    std::uint8_t cdb[16] = {};
    std::size_t length = 16;
    if (twelve) {
        const std::uint8_t c[] = {0xA1, kPioDataIn, kFromDeviceInBlocks, r.features, r.sectorCount, r.sectorNumber,
                                  r.cylinderLow, r.cylinderHigh, device, r.command, 0, 0};
        std::copy(std::begin(c), std::end(c), cdb);
        length = 12;
    } else {
        const std::uint8_t c[] = {0x85, kPioDataIn, kFromDeviceInBlocks, 0, r.features, 0, r.sectorCount, 0,
                                  r.sectorNumber, 0, r.cylinderLow, 0, r.cylinderHigh, device, r.command, 0};
        std::copy(std::begin(c), std::end(c), cdb);
    }
    IdentityBlock block{};
    std::uint8_t sense[32] = {};
    sg_io_hdr_t io{};
    io.interface_id = 'S';
    io.dxfer_direction = SG_DXFER_FROM_DEV;
    io.cmd_len = static_cast<unsigned char>(length);
    io.cmdp = cdb;
    io.dxfer_len = static_cast<unsigned>(std::min<std::size_t>(r.bufferSize, block.size()));
    io.dxferp = block.data();
    io.mx_sb_len = sizeof sense;
    io.sbp = sense;
    io.timeout = kCommandTimeoutMs;
    if (::ioctl(fd, SG_IO, &io) != 0)
        return std::nullopt;
    // Some bridges report "ATA information available" as a check condition with no sense key.
    constexpr unsigned char kCheckCondition = 0x02;
    const bool checked = io.status == kCheckCondition && (sense[1] & 0x0F) <= 1 && (sense[0] & 0x7E) == 0x72;
    const bool ok = (io.info & SG_INFO_OK_MASK) == SG_INFO_OK || (checked && io.host_status == 0);
    if (!ok || !plausible(block))
        return std::nullopt;
    return block;
}

std::optional<IdentityBlock> ata16(int fd, const IdentifyRequest& r) { return ataPassThrough(fd, r, false); }
std::optional<IdentityBlock> ata12(int fd, const IdentifyRequest& r) { return ataPassThrough(fd, r, true); }

std::optional<IdentityBlock> nvmeIdentify(int fd, const IdentifyRequest&)
{
    std::array<std::uint8_t, 4096> data{};
    nvme_admin_cmd command{};
    command.opcode = 0x06;  // Identify
    command.addr = reinterpret_cast<std::uintptr_t>(data.data());
    command.data_len = data.size();
    command.cdw10 = 1;  // the controller's data structure
    command.timeout_ms = kCommandTimeoutMs;
    if (::ioctl(fd, NVME_IOCTL_ADMIN_CMD, &command) != 0)
        return std::nullopt;
    return linuxos::identityFromNvme(data);
}

// The kernel's copy of the identify data, as words in the processor's order.
std::optional<IdentityBlock> hdioIdentity(int fd, const IdentifyRequest&)
{
    std::uint16_t words[256] = {};
    if (::ioctl(fd, HDIO_GET_IDENTITY, words) != 0)
        return std::nullopt;
    IdentityBlock block{};
    for (std::size_t i = 0; i < 256; ++i) {
        block[2 * i] = static_cast<std::uint8_t>(words[i] & 0xFF);
        block[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
    }
    if (!plausible(block))
        return std::nullopt;
    return block;
}

struct DeviceSource {
    const char* name;
    std::string_view families;  ///< the families it is tried on: letters of "snvh"
    std::optional<IdentityBlock> (*read)(int fd, const IdentifyRequest& request);
};
constexpr DeviceSource kDeviceSources[] = {
    {"SG_IO ATA PASS-THROUGH", "sh", &ata16},
    {"SG_IO ATA PASS-THROUGH (12)", "sh", &ata12},
    {"NVMe Identify Controller", "n", &nvmeIdentify},
    {"HDIO_GET_IDENTITY", "sh", &hdioIdentity},
};

std::string trimmed(std::string text)
{
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), [&](char c) { return !blank(c); }));
    return text;
}

class LinuxDisk final : public DiskDevice {
public:
    LinuxDisk(SystemTree tree, std::string name) : m_tree(std::move(tree)), m_name(std::move(name)) {}

    IdentifyAnswer identify(const IdentifyRequest& request) override
    {
        IdentifyAnswer answer;
        answer.device = "/dev/" + m_name;
        const char family = kFamilies[static_cast<std::size_t>(familyOf(m_name))][0];
        if (const int fd = ::open(m_tree.node(m_name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
            for (const DeviceSource& source : kDeviceSources) {
                if (source.families.find(family) == std::string_view::npos)
                    continue;
                if (auto block = source.read(fd, request)) {
                    answer.block = *block;
                    answer.source = source.name;
                    break;
                }
            }
            ::close(fd);
        }
        if (answer.source.empty())
            worldReadable(answer);
        return answer;
    }

private:
    // Without access to the node: what udev recorded when it probed the disk, else what sysfs shows.
    void worldReadable(IdentifyAnswer& answer) const
    {
        const auto number = m_tree.blockNumber(m_name);
        const UdevProperties udev = number ? m_tree.udevProperties(*number) : UdevProperties{};
        const std::string model = udevDecoded(property(udev, "ID_MODEL_ENC"));
        const std::string sys = "block/" + m_name + "/";
        struct Field {
            AtaStringField where;
            std::string fromUdev;
            std::vector<std::string> sysfs;
        };
        const Field fields[] = {
            {kModelField, model.empty() ? property(udev, "ID_MODEL") : model, {"device/model"}},
            {kSerialField, property(udev, "ID_SERIAL_SHORT"), {"device/serial", "serial"}},
            {kFirmwareField, property(udev, "ID_REVISION"), {"device/firmware_rev", "device/rev"}},
        };
        bool byUdev = false, bySysfs = false;
        for (const Field& field : fields) {
            std::string value = trimmed(field.fromUdev);
            byUdev = byUdev || !value.empty();
            for (std::size_t i = 0; value.empty() && i < field.sysfs.size(); ++i) {
                value = trimmed(m_tree.attribute(sys + field.sysfs[i]).value_or(""));
                bySysfs = bySysfs || !value.empty();
            }
            if (!value.empty())
                putAtaString(answer.block, field.where, value);
        }
        answer.source = byUdev && bySysfs ? "udev + sysfs" : byUdev ? "udev" : bySysfs ? "sysfs" : "";
    }

    SystemTree m_tree;
    std::string m_name;
};

} // namespace

std::shared_ptr<DiskQuery> platformDiskQuery()
{
    return std::make_shared<linuxos::LinuxDiskQuery>();
}

namespace linuxos {

IdentityBlock identityFromNvme(std::span<const std::uint8_t> data)
{
    const auto text = [&](std::size_t at, std::size_t n) {
        return at + n <= data.size() ? std::string_view(reinterpret_cast<const char*>(data.data()) + at, n) : std::string_view();
    };
    IdentityBlock block{};
    putAtaString(block, kSerialField, text(4, 20));
    putAtaString(block, kModelField, text(24, 40));
    putAtaString(block, kFirmwareField, text(64, 8));
    return block;
}

std::vector<std::string> LinuxDiskQuery::wholeDisks() const
{
    std::vector<std::string> disks;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(m_tree.sys + "/block", ec)) {
        const std::string name = entry.path().filename().string();
        // A multipath NVMe disk shows its per-path namespaces as hidden devices.
        if (familyOf(name) >= 0 && m_tree.attribute("block/" + name + "/hidden") != "1")
            disks.push_back(name);
    }
    std::sort(disks.begin(), disks.end(), [](const std::string& a, const std::string& b) {
        return familyOf(a) != familyOf(b) ? familyOf(a) < familyOf(b) : naturalLess(a, b);
    });
    return disks;
}

std::unique_ptr<DiskDevice> LinuxDiskQuery::openPhysicalDrive(unsigned number)
{
    const auto disks = wholeDisks();
    if (number >= disks.size())
        return nullptr;
    return std::make_unique<LinuxDisk>(m_tree, disks[number]);
}

} // namespace linuxos
} // namespace Kor2_Sys::platform
