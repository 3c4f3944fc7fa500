#pragma once
// Where the Linux services read the machine: sysfs, the device nodes, the mount table, the
// file-system table and the udev database. The real system by default; tests point it at a tree
// of their own.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Kor2_Sys::platform::linuxos {

/// A block device's major and minor number.
struct DeviceNumber {
    unsigned major = 0;
    unsigned minor = 0;
    friend bool operator==(const DeviceNumber&, const DeviceNumber&) = default;
};

/// Properties the udev database keeps for one device ("ID_FS_UUID" = "...").
using UdevProperties = std::map<std::string, std::string, std::less<>>;

class UdevDatabase {
public:
    virtual ~UdevDatabase();
    /// The properties of block device `number`; empty when the database knows none.
    virtual UdevProperties properties(DeviceNumber number) = 0;
};

/// The value of `key`; empty when absent.
std::string property(const UdevProperties& properties, std::string_view key);
/// A text as udev's "_ENC" properties write it (unsafe characters as \xHH), decoded.
std::string udevDecoded(std::string_view text);

/// The system's udev database, read through libudev.
std::shared_ptr<UdevDatabase> systemUdev();

/// One line of the mount table.
struct Mount {
    DeviceNumber number;
    std::string mountPoint;
    std::string type;
    std::string source;
};

struct SystemTree {
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string mountinfo = "/proc/self/mountinfo";
    std::string fstab = "/etc/fstab";
    std::shared_ptr<UdevDatabase> udev;  ///< null: the system's own

    /// The first line of the sysfs file at `relative` ("block/sda/size"), trailing blanks removed;
    /// nothing when it cannot be read.
    std::optional<std::string> attribute(const std::string& relative) const;
    /// The node of kernel device `name` in this tree.
    std::string node(std::string_view name) const;
    /// The block device `number` by its kernel name ("sdb1"); nothing when sysfs has no such device.
    std::optional<std::string> blockName(DeviceNumber number) const;
    /// The number of the block device with kernel name `name`; nothing when sysfs has none.
    std::optional<DeviceNumber> blockNumber(std::string_view name) const;
    /// The kernel name behind a device path such as "/dev/sdb1" or "/dev/disk/by-label/X"
    /// (symbolic links followed inside the tree's /dev).
    std::string deviceName(const std::string& path) const;
    UdevProperties udevProperties(DeviceNumber number) const;
    /// The mount table, in mounting order.
    std::vector<Mount> mounts() const;
    /// The mount points that the file-system table lists.
    std::vector<std::string> fstabMountPoints() const;
};

/// "8:17" read as a device number.
std::optional<DeviceNumber> parseDeviceNumber(std::string_view text);

} // namespace Kor2_Sys::platform::linuxos
