#include <Kor2_Sys/c_VL.h>

#include "platform/DiskQuery.h"
#include "sysinfo/DiskIdentity.h"

namespace Kor2_Sys {
namespace {

constexpr Byte kLastDrive = 3;

Text platformText(const platform::PlatformVersion& version)
{
    switch (version.platformId) {
    case 0: return u"32S";
    case 1: return version.minorVersion == 0 ? u"W95" : u"W98";
    case 2: return u"WNT";
    default: return u"Unk";
    }
}

} // namespace

c_VL::c_VL() : m_platform(platformText(platform::diskQuery()->version())) {}

Text c_VL::GetModelNumber() { return identity(sysinfo::kModel); }
Text c_VL::GetSerialNumber() { return identity(sysinfo::kSerial); }
Text c_VL::GetFirmwareRevision() { return identity(sysinfo::kFirmware); }

void c_VL::CurrentDrive(Byte drive)
{
    if (drive > kLastDrive)
        throw sysinfo::illegalDriveNumber();
    m_drive = drive;
}

Text c_VL::identity(int selector) const
{
    // The selector is checked before the drive is opened.
    const platform::AtaStringField field = sysinfo::identityField(selector);
    return sysinfo::readAtaString(sysinfo::identifyDrive(m_platform, m_drive).block, field);
}

} // namespace Kor2_Sys
