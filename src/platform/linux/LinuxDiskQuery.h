#pragma once
// Disk identity on Linux. Drive number N is the Nth whole disk in sysfs (sd*, nvme*, vd*, hd*, in
// that order, each in natural order). Its identity comes from the first source that answers:
// ATA PASS-THROUGH IDENTIFY DEVICE through SG_IO, NVMe Identify Controller, HDIO_GET_IDENTITY
// (these need access to the device node), else the world-readable udev database and sysfs, each
// laid out as the 512-byte IDENTIFY block.

#include "platform/DiskQuery.h"
#include "platform/linux/SystemTree.h"

#include <cstdint>
#include <span>
#include <vector>

namespace Kor2_Sys::platform::linuxos {

/// An NVMe Identify Controller data structure laid out as an IDENTIFY block: its serial number
/// (bytes 4 to 23), model number (24 to 63) and firmware revision (64 to 71) in the ATA string
/// fields.
IdentityBlock identityFromNvme(std::span<const std::uint8_t> data);

class LinuxDiskQuery final : public DiskQuery {
public:
    explicit LinuxDiskQuery(SystemTree tree = {}) : m_tree(std::move(tree)) {}

    /// Platform family 2 ("WNT"): drives are opened by number.
    PlatformVersion version() override { return {2, 0}; }
    /// The drive's whole disk; null when there is no such disk.
    std::unique_ptr<DiskDevice> openPhysicalDrive(unsigned number) override;
    /// The SMART driver of platform family 1 does not exist here: always null.
    std::unique_ptr<DiskDevice> openSmartDriver() override { return nullptr; }

    /// The whole disks by kernel name, in drive-number order.
    std::vector<std::string> wholeDisks() const;

private:
    SystemTree m_tree;
};

} // namespace Kor2_Sys::platform::linuxos
