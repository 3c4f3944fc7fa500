#pragma once
/// \file cfrm_Dialog.h
/// Asks the user for a file to read or to write in the platform's file dialog, starting where the
/// last choice under the same title was made. A creatable class. A failure shows the library's
/// error report (tags ".F_nombr" and ".F_ruta") and returns the empty text.

#include <Kor2_Sys/FileDialogFields.h>
#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// The file chooser that reports its failures itself and returns the empty text.
class KOR2_SYS_EXPORT cfrm_Dialog : public FileDialogFields {
public:
    /// The full path of an existing file; the library's folder when the name confirmed is no
    /// existing file; on cancel `Nonbredefecto` (or the empty text).
    Text Fich_NonbreRuta_a_Leer();
    /// The full path confirmed (the user was asked before an existing file); empty on cancel.
    Text Fich_NonbreRuta_a_Grabar();
};

} // namespace Kor2_Sys
