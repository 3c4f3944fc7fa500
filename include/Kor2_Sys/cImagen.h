#pragma once
/// \file cImagen.h
/// Copies what a host form or picture box shows inside to the system clipboard as a bitmap.
/// A global class.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// Copies a host form's or picture box's drawing to the clipboard.
class KOR2_SYS_EXPORT cImagen {
public:
    /// Clears the clipboard and puts on it a bitmap of `objFrom`'s inner area (`ScaleWidth` ×
    /// `ScaleHeight` twips, in whole pixels) copied from its drawing context `hdc`. False when no
    /// off-screen drawing context could be made; true otherwise, also when no bitmap could be made
    /// and the clipboard stays empty. Errors are reported with the common error report.
    Boolean I__CopyPictureToClipboard(const Variant& objFrom);
};

/// The shared instance that free calls use: `global<cImagen>().Member(...)`.
template <> KOR2_SYS_EXPORT cImagen& global<cImagen>();

} // namespace Kor2_Sys
