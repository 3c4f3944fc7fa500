#pragma once
/// \file c_VL.h
/// A hard disk's identity: model number, serial number and firmware revision as the disk reports
/// them to ATA IDENTIFY DEVICE, for one of the physical drives 0 to 3. A creatable class. Its
/// members raise their failures to the caller and show no message:
///   10000 "Illegal drive number", 10002 "Illegal platform (only WNT, W98 or W95)",
///   10003 "Error on CreateFile" (no such drive).
///
/// On this platform the platform text is "WNT", and drive N is the Nth whole disk (sd*, nvme*,
/// vd*, hd*, in that order). Without access to the disk device the identity comes from what the
/// system publishes to every user (udev, sysfs).

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// A hard disk's model number, serial number and firmware revision.
class KOR2_SYS_EXPORT c_VL {
public:
    /// Reads the platform family once, for the life of the instance.
    c_VL();

    /// Always the empty text.
    Text Copyright() const { return {}; }
    /// The model number; empty when the drive does not answer.
    Text GetModelNumber();
    /// The serial number; empty when the drive does not answer.
    Text GetSerialNumber();
    /// The firmware revision; empty when the drive does not answer.
    Text GetFirmwareRevision();
    /// Selects the drive the identity members read: 0 to 3, else error 10000 and no change.
    void CurrentDrive(Byte drive);
    /// The selected drive, 0 on a new instance.
    Byte CurrentDrive() const noexcept { return m_drive; }
    /// "WNT", "W98", "W95", "32S" or "Unk".
    const Text& Platform() const noexcept { return m_platform; }

private:
    Text identity(int selector) const;

    Byte m_drive = 0;
    Text m_platform;
};

} // namespace Kor2_Sys
