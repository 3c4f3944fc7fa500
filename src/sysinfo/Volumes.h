#pragma once
// Drive letters on this platform and what their volumes show the host. Shared by CinfoDiscoVol
// and `kor2 info volume`.

#include <Kor2_Sys/Value.h>

#include "platform/SystemInfo.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Kor2_Sys::sysinfo {

/// The settings section (application "Vesolar") that maps drive letters to mount points or block
/// devices; the key is the upper-case letter.
inline constexpr std::u16string_view kDrivesSection = u"Unidades";

/// A volume as the host sees it, with the facts it was made from.
struct Volume {
    Text label;
    std::uint32_t serial = 0;
    Text fileSystem;
    platform::VolumeFacts facts;
};

/// The letter as drives are named: upper case (c and C are one drive).
char16_t driveLetter(char16_t letter);
/// Where drive `letter` points: "/" for C, else its mapping; nothing when it has none.
std::optional<std::string> driveTarget(char16_t letter);
/// The volume of drive `letter`; nothing when it has no readable volume.
std::optional<Volume> driveVolume(char16_t letter);
/// What `facts` show the host: the original platform's names of its own file systems and their
/// serial numbers as it reports them (FAT and exFAT: the volume serial; NTFS: the low 32 bits of
/// the volume serial), otherwise a 32-bit value folded from the file-system UUID, or from the
/// file-system identifier when no UUID is known.
Volume volumeOf(platform::VolumeFacts facts);
/// The serial number as the host reads it: signed 32-bit decimal.
Text serialText(std::uint32_t serial);
/// The serial number as the original platform prints it: "ABCD-1234".
std::string serialHex(std::uint32_t serial);

/// A file name on this platform: a drive path ("C:\datos\*.txt", either slash) goes through its
/// drive's folder, other paths are taken as they are (backslashes read as slashes when the path
/// has no slash). Error 68 for a drive with no mapping; the drive's own errors (71, 68, ...).
std::string platformPath(const Text& name);

} // namespace Kor2_Sys::sysinfo
