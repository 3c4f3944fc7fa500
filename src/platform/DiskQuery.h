#pragma once
// The disk identity request: which platform family the library runs on, the physical drives by
// number, and the 512-byte ATA IDENTIFY DEVICE block each of them answers with. The Linux
// implementation is in platform/linux; tests install fakes, or the Linux one over a fake system
// tree.

#include "platform/Installed.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Kor2_Sys::platform {

/// The platform's version record as the disk identity class reads it: the platform family
/// (0 "32S", 1 "W95"/"W98" by minor version, 2 "WNT") and the minor version.
struct PlatformVersion {
    std::int32_t platformId = 0;
    std::int32_t minorVersion = 0;
};

/// The IDENTIFY DEVICE request as the SMART drive-data request carries it (registers and drive).
struct IdentifyRequest {
    std::uint32_t bufferSize = 512;
    std::uint8_t features = 0;
    std::uint8_t sectorCount = 1;
    std::uint8_t sectorNumber = 1;
    std::uint8_t cylinderLow = 0;
    std::uint8_t cylinderHigh = 0;
    std::uint8_t driveHead = 0xA0;  ///< 0xB0 selects the second device on the channel
    std::uint8_t command = 0xEC;
    std::uint8_t driveNumber = 0;
};

/// ATA IDENTIFY DEVICE data: 256 little-endian words. ATA strings hold two characters per word,
/// the first one in the word's high byte (the odd byte).
using IdentityBlock = std::array<std::uint8_t, 512>;

/// Where each identity string lies in the block.
struct AtaStringField {
    std::size_t offset;  ///< first byte (even)
    std::size_t length;  ///< characters at most
};
inline constexpr AtaStringField kModelField{54, 40};
inline constexpr AtaStringField kSerialField{20, 20};
inline constexpr AtaStringField kFirmwareField{46, 8};

/// Writes `text` into `field` as an ATA string: byte-swapped in pairs, filled up with spaces, cut
/// at the field's length. Lets every source of identity answer in the one block layout.
void putAtaString(IdentityBlock& block, AtaStringField field, std::string_view text);

/// A drive's answer: the block (all zero when the drive did not answer), which source gave it and
/// the device it came from.
struct IdentifyAnswer {
    IdentityBlock block{};
    std::string source;  ///< e.g. "SG_IO ATA PASS-THROUGH", "sysfs"; empty when nothing answered
    std::string device;  ///< e.g. "/dev/sda"
};

/// An opened drive; closed when destroyed.
class DiskDevice {
public:
    virtual ~DiskDevice();
    /// Sends the request and returns the answer; a drive that does not answer gives a zero block.
    virtual IdentifyAnswer identify(const IdentifyRequest& request) = 0;
};

class DiskQuery {
public:
    virtual ~DiskQuery();
    virtual PlatformVersion version() = 0;
    /// Physical drive `number`; null when it cannot be opened.
    virtual std::unique_ptr<DiskDevice> openPhysicalDrive(unsigned number) = 0;
    /// The SMART driver that platform family 1 opens instead of a drive; null when it cannot be opened.
    virtual std::unique_ptr<DiskDevice> openSmartDriver() = 0;
};

/// The disk query in use (the platform's own unless one was installed).
std::shared_ptr<DiskQuery> diskQuery();
/// Installs one (null: back to the platform's own); returns the previous one. Safe from any thread.
std::shared_ptr<DiskQuery> installDiskQuery(std::shared_ptr<DiskQuery> query);
/// The platform's own, made on first use (defined by the platform's implementation).
std::shared_ptr<DiskQuery> platformDiskQuery();

using ScopedDiskQuery = ScopedInstall<DiskQuery, &installDiskQuery>;

} // namespace Kor2_Sys::platform
