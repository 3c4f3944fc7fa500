#pragma once
// The disk identity reader: one code path from the 512-byte IDENTIFY block to the three strings,
// whichever source filled the block. Shared by c_VL and `kor2 info disk|identify`.

#include <Kor2_Sys/Error.h>

#include "platform/DiskQuery.h"

#include <string_view>

namespace Kor2_Sys::sysinfo {

/// The identity strings by selector.
enum IdentitySelector : int { kModel = 0, kSerial = 1, kFirmware = 2 };

Error illegalDriveNumber();  ///< 10000 "Illegal drive number"
Error illegalDataType();     ///< 10001 "Illegal HD Data type"
Error illegalPlatform();     ///< 10002 "Illegal platform (only WNT, W98 or W95)"
Error createFileFailed();    ///< 10003 "Error on CreateFile"

/// Where string `selector` lies in the block; error 10001 for an unknown selector.
platform::AtaStringField identityField(int selector);
/// The string in `field` of `block`, read pair by pair with the high byte first, ending at the
/// first zero byte, blanks around it removed.
Text readAtaString(const platform::IdentityBlock& block, platform::AtaStringField field);
/// `readAtaString` of the field of `selector`.
inline Text identityString(const platform::IdentityBlock& block, int selector)
{
    return readAtaString(block, identityField(selector));
}

/// Opens drive `drive` as platform `platformText` does (a physical drive for "WNT", the SMART
/// driver for "W95" and "W98"), sends IDENTIFY DEVICE and closes it again. Errors 10002, 10003.
platform::IdentifyAnswer identifyDrive(const Text& platformText, Byte drive);

/// A saved identity block: 256 hexadecimal words as disk tools print them (blanks between words,
/// "#" comments and "/dev/sda:" headings ignored), or the 512 raw bytes. Error 5 saying what is
/// wrong otherwise.
platform::IdentityBlock parseIdentityDump(std::string_view content);

} // namespace Kor2_Sys::sysinfo
