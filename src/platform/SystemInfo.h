#pragma once
// The machine services the system-information classes stand on: the host's name, the volume behind
// a folder or a block device, and the directory listing that tells whether a file exists. The
// Linux implementation is in platform/linux; tests install fakes, or the Linux one over a fake
// system tree.

#include "platform/Installed.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Kor2_Sys::platform {

/// What the platform can tell about one volume, in its own terms (paths and texts in UTF-8).
struct VolumeFacts {
    std::string source;      ///< what answered: "udev", "blkid" or "statfs"
    std::string device;      ///< the block device node ("/dev/sdb1"); empty when there is none
    std::string mountPoint;  ///< where the volume is mounted; empty when it is not
    std::string type;        ///< the platform's file-system type: "vfat", "ntfs", "exfat", "ext4", ...
    std::string version;     ///< the type's variant where known: "FAT12", "FAT16", "FAT32"
    std::string uuid;        ///< the file-system UUID as probes print it; empty when unknown
    std::string label;       ///< empty when the volume has none
    std::uint64_t fsid = 0;  ///< the mounted file system's identifier (statfs), used when no UUID is known
};

class SystemInfo {
public:
    virtual ~SystemInfo();

    /// The host name as the system holds it; empty when it cannot be read.
    virtual std::string hostName() = 0;
    /// The volume at `where`: a block device node ("/dev/...") or a folder (the file system that
    /// holds it). Nothing when the volume cannot be read: no such device, no medium, nothing known
    /// about it.
    virtual std::optional<VolumeFacts> volume(const std::string& where) = 0;
    /// The folder through which the files of `where` are reached: a folder is itself, a device is
    /// where it is mounted. Error 71 when the medium is away (a device with no medium or not
    /// mounted, a folder that the file-system table mounts but nothing is mounted on, a folder that
    /// is gone, as an automounter's folder goes with its medium); error 68 when the device does not
    /// exist.
    virtual std::string filesRoot(const std::string& where) = 0;
    /// The name of the first ordinary, non-hidden file that `path` names; its last part may hold
    /// the wildcards * and ? (case-sensitive; "*.*" is every name). Nothing when no file matches or
    /// the folder does not exist. Errors: 71 no medium, 68 device unavailable, 70 permission denied,
    /// 75 any other failure of the path (too long, a loop of symbolic links, input/output).
    virtual std::optional<std::string> firstFile(const std::string& path) = 0;
};

/// The full path of the library's own file, links resolved; empty when it cannot be told.
std::string libraryFile();

/// The system information in use (the platform's own unless one was installed).
std::shared_ptr<SystemInfo> systemInfo();
/// Installs one (null: back to the platform's own); returns the previous one. Safe from any thread.
std::shared_ptr<SystemInfo> installSystemInfo(std::shared_ptr<SystemInfo> info);
/// The platform's own, made on first use (defined by the platform's implementation).
std::shared_ptr<SystemInfo> platformSystemInfo();

using ScopedSystemInfo = ScopedInstall<SystemInfo, &installSystemInfo>;

} // namespace Kor2_Sys::platform
