#pragma once
/// \file CinfoDiscoVol.h
/// The machine the host runs on: the computer's name, a drive's volume label, serial number and
/// file system, and whether a file exists. A global class without state.
///
/// Drives are single letters. On this platform C is the volume mounted at `/`; any other letter
/// is what the settings section "Unidades" of the application "Vesolar" maps it to (key: the
/// upper-case letter; value: a mount point such as `/media/usb`, or a block device such as
/// `/dev/sdb1`). A letter without a mapping is a drive with no volume.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// The computer's name, the volumes' identity and file existence.
class KOR2_SYS_EXPORT CinfoDiscoVol {
public:
    /// The computer's name as the original platform reports it: the host name up to its first
    /// dot, upper case, at most 15 characters; empty when it cannot be read. Error report ".D_Maquina".
    Text D_Nombre_Maquina();

    /// Label, serial number and file system of drive `LetraUnidad` (one letter, either case).
    /// The serial number is the signed decimal text of the 32-bit volume serial ("0" with empty
    /// label and file system when the drive has no readable volume, without a message). File
    /// systems are named "FAT", "FAT32", "exFAT", "NTFS", or by their Linux type ("ext4").
    /// An empty letter or one of two or more characters shows a message and leaves the outputs
    /// as they were. Error report ".D_nserie".
    void D_NumeroDeSerieVolyMas(const Text& LetraUnidad, Text& NombreVolumen, Text& NumeroSerie, Text& NombeSystem);

    /// The serial number text of drive `s`; "0" when it has no readable volume; the empty text,
    /// without a message, when `s` is not exactly one character. Error report " .Sol".
    Text D_Sol(const Text& s);

    /// Whether `Nombre` names an ordinary, non-hidden file: a drive path (`C:\datos\*.txt`) or a
    /// platform path (`/home/ana/*.txt`), with the wildcards * and ? in its last part. A drive
    /// whose medium is away asks to insert it, with OK to retry and Cancel to give up; a drive that
    /// does not exist and any other failure are reported in a message box. Never fails.
    Boolean D_Existe_fichero(const Text& Nombre);
};

/// The shared instance that free calls use: `global<CinfoDiscoVol>().Member(...)`.
template <> KOR2_SYS_EXPORT CinfoDiscoVol& global<CinfoDiscoVol>();

} // namespace Kor2_Sys
