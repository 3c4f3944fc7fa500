#include "platform/linux/LinuxSystemInfo.h"

#include "frame/Errors.h"
#include "frame/SharedLibrary.h"
#include "frame/Utf.h"

#include <blkid/blkid.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

namespace Kor2_Sys::platform {
namespace {

using namespace linuxos;
namespace fs = std::filesystem;

// How far a drive's target can be reached.
enum class Reach { Ready, NoMedium, Missing, Failed };

struct Target {
    Reach reach = Reach::Ready;
    int error = 0;                       ///< Failed: the system's error number
    bool isDevice = false;               ///< named by its device node rather than a folder
    std::string folder;                  ///< a folder target, resolved
    std::string name;                    ///< kernel name of the block device, when there is one
    std::optional<DeviceNumber> number;  ///< its number
    std::optional<Mount> mount;          ///< where the volume is mounted
};

bool within(const std::string& path, const std::string& root)
{
    if (root == "/")
        return path.starts_with('/');
    return path == root || (path.starts_with(root) && path.size() > root.size() && path[root.size()] == '/');
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

Target locateDevice(const SystemTree& tree, const std::string& where)
{
    Target t;
    t.isDevice = true;
    t.name = tree.deviceName(where);
    t.number = tree.blockNumber(t.name);
    if (!t.number) {
        t.reach = Reach::Missing;
        return t;
    }
    // A reader with its medium away keeps its device and reports a size of zero.
    if (tree.attribute("class/block/" + t.name + "/size") == "0")
        t.reach = Reach::NoMedium;
    for (const Mount& m : tree.mounts())
        if (m.number == *t.number || (m.source.starts_with("/dev/") && tree.deviceName(m.source) == t.name))
            t.mount = m;
    return t;
}

Target locateFolder(const SystemTree& tree, const std::string& where)
{
    Target t;
    std::error_code ec;
    t.folder = fs::canonical(where, ec).string();
    if (ec) {
        // An automounter removes the folder together with the medium: the medium is away.
        const bool gone = ec.value() == ENOENT || ec.value() == ENOTDIR;
        t.reach = gone ? Reach::NoMedium : Reach::Failed;
        t.error = ec.value();
        return t;
    }
    if (!fs::is_directory(t.folder, ec)) {
        t.reach = Reach::Missing;
        return t;
    }
    for (const Mount& m : tree.mounts())
        if (within(t.folder, m.mountPoint) && (!t.mount || m.mountPoint.size() >= t.mount->mountPoint.size()))
            t.mount = m;
    const auto table = tree.fstabMountPoints();
    const bool mountedHere = t.mount && t.mount->mountPoint == t.folder;
    if (!mountedHere && std::any_of(table.begin(), table.end(),
                                    [&](const std::string& p) { return withoutTrailingSlash(p) == t.folder; })) {
        t.reach = Reach::NoMedium;
        return t;
    }
    if (!t.mount)
        return t;
    if (t.mount->number.major != 0) {
        t.number = t.mount->number;
        t.name = tree.blockName(*t.number).value_or("");
    } else if (t.mount->source.starts_with("/dev/")) {
        // Some file systems (btrfs) show an anonymous number; their source still names the device.
        t.name = tree.deviceName(t.mount->source);
        t.number = tree.blockNumber(t.name);
    }
    return t;
}

Target locate(const SystemTree& tree, const std::string& where)
{
    return where.starts_with("/dev/") ? locateDevice(tree, where) : locateFolder(tree, where);
}

bool fromUdev(const UdevProperties& p, VolumeFacts& facts)
{
    facts.type = property(p, "ID_FS_TYPE");
    facts.uuid = property(p, "ID_FS_UUID");
    if (facts.type.empty() && facts.uuid.empty())
        return false;
    facts.version = property(p, "ID_FS_VERSION");
    const std::string encoded = property(p, "ID_FS_LABEL_ENC");
    facts.label = encoded.empty() ? property(p, "ID_FS_LABEL") : udevDecoded(encoded);
    facts.source = "udev";
    return true;
}

enum class Probe { Found, NoMedium, Unreadable };

// The calls of libblkid that probe a file system's superblock, all or none.
struct BlkidCalls {
    decltype(blkid_new_probe)* newProbe = nullptr;
    decltype(blkid_free_probe)* freeProbe = nullptr;
    decltype(blkid_probe_set_device)* setDevice = nullptr;
    decltype(blkid_probe_enable_superblocks)* enableSuperblocks = nullptr;
    decltype(blkid_probe_set_superblocks_flags)* superblockFlags = nullptr;
    decltype(blkid_do_safeprobe)* safeProbe = nullptr;
    decltype(blkid_probe_lookup_value)* lookupValue = nullptr;
    bool complete = false;
};

const BlkidCalls& libblkid()
{
    static const BlkidCalls calls = [] {
        const SharedLibrary library("libblkid.so.1");
        BlkidCalls c;
        c.complete = library.bind(c.newProbe, "blkid_new_probe") && library.bind(c.freeProbe, "blkid_free_probe") &&
                     library.bind(c.setDevice, "blkid_probe_set_device") &&
                     library.bind(c.enableSuperblocks, "blkid_probe_enable_superblocks") &&
                     library.bind(c.superblockFlags, "blkid_probe_set_superblocks_flags") &&
                     library.bind(c.safeProbe, "blkid_do_safeprobe") &&
                     library.bind(c.lookupValue, "blkid_probe_lookup_value");
        return c;
    }();
    return calls;
}

std::string lookup(const BlkidCalls& blkid, blkid_probe probe, const char* name)
{
    const char* data = nullptr;
    std::size_t length = 0;
    if (blkid.lookupValue(probe, name, &data, &length) != 0 || data == nullptr)
        return {};
    return std::string(data, strnlen(data, length));
}

// Without libblkid a device reads as unreadable, and statfs answers as for any other.
Probe fromBlkid(const std::string& node, VolumeFacts& facts)
{
    const BlkidCalls& blkid = libblkid();
    if (!blkid.complete)
        return Probe::Unreadable;
    const int fd = ::open(node.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOMEDIUM ? Probe::NoMedium : Probe::Unreadable;
    blkid_probe probe = blkid.newProbe();
    bool found = false;
    if (probe != nullptr && blkid.setDevice(probe, fd, 0, 0) == 0) {
        blkid.enableSuperblocks(probe, 1);
        blkid.superblockFlags(probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_TYPE | BLKID_SUBLKS_VERSION);
        if (blkid.safeProbe(probe) == 0) {
            facts.type = lookup(blkid, probe, "TYPE");
            facts.uuid = lookup(blkid, probe, "UUID");
            facts.label = lookup(blkid, probe, "LABEL");
            facts.version = lookup(blkid, probe, "VERSION");
            facts.source = "blkid";
            found = !facts.type.empty();
        }
    }
    if (probe != nullptr)
        blkid.freeProbe(probe);
    ::close(fd);
    return found ? Probe::Found : Probe::Unreadable;
}

// The kind of FAT follows from the number of data clusters, which statfs reports as the blocks.
std::string fatVersion(std::uint64_t clusters)
{
    return clusters < 4085 ? "FAT12" : clusters < 65525 ? "FAT16" : "FAT32";
}

bool fromStatfs(const Mount& mount, VolumeFacts& facts)
{
    struct statfs st {};
    if (::statfs(mount.mountPoint.c_str(), &st) != 0)
        return false;
    std::uint32_t words[2] = {};
    static_assert(sizeof st.f_fsid == sizeof words);
    std::memcpy(words, &st.f_fsid, sizeof words);
    facts.fsid = (std::uint64_t{words[1]} << 32) | words[0];
    facts.type = mount.type;
    if (mount.type == "vfat" || mount.type == "msdos")
        facts.version = fatVersion(st.f_blocks);
    facts.source = "statfs";
    return true;
}

} // namespace

std::shared_ptr<SystemInfo> platformSystemInfo()
{
    return std::make_shared<linuxos::LinuxSystemInfo>();
}

namespace linuxos {

Error systemError(int error, const std::string& path)
{
    switch (error) {
    case ENOMEDIUM: return errors::diskNotReady();
    case ENXIO:
    case ENODEV: return errors::deviceUnavailable(utf::fromUtf8(path.substr(0, 200)));
    case EACCES:
    case EPERM: return errors::permissionDenied();
    case ELOOP: return errors::pathAccess(u"bucle de enlaces simbólicos");
    case ENAMETOOLONG: return errors::pathAccess(u"nombre demasiado largo");
    case EIO: return errors::pathAccess(u"error de entrada/salida");
    case EINVAL: return errors::pathAccess(u"nombre no válido");
    default: return errors::pathAccess(u"error del sistema " + utf::fromUtf8(std::to_string(error)));
    }
}

std::string LinuxSystemInfo::hostName()
{
    char buffer[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    return buffer;
}

std::optional<VolumeFacts> LinuxSystemInfo::volume(const std::string& where)
{
    const Target t = locate(m_tree, where);
    if (t.reach != Reach::Ready)
        return std::nullopt;
    VolumeFacts facts;
    facts.mountPoint = t.mount ? t.mount->mountPoint : std::string();
    facts.device = !t.name.empty() ? "/dev/" + t.name : t.mount && t.mount->source.starts_with("/dev/") ? t.mount->source : "";
    if (t.number && fromUdev(m_tree.udevProperties(*t.number), facts))
        return facts;
    if (!t.name.empty()) {
        VolumeFacts probed = facts;
        const Probe probe = fromBlkid(m_tree.node(t.name), probed);
        if (probe == Probe::Found)
            return probed;
        if (probe == Probe::NoMedium)
            return std::nullopt;
    }
    if (t.mount && fromStatfs(*t.mount, facts))
        return facts;
    return std::nullopt;
}

std::string LinuxSystemInfo::filesRoot(const std::string& where)
{
    const Target t = locate(m_tree, where);
    switch (t.reach) {
    case Reach::Failed: throw systemError(t.error, where);
    case Reach::Missing: throw errors::deviceUnavailable(utf::fromUtf8(where.substr(0, 200)));
    case Reach::NoMedium: throw errors::diskNotReady();
    case Reach::Ready: break;
    }
    if (!t.isDevice)
        return t.folder;
    if (!t.mount)
        throw errors::diskNotReady();  // the medium is in, but nobody mounted it yet
    return t.mount->mountPoint;
}

} // namespace linuxos
} // namespace Kor2_Sys::platform
