#pragma once
/// \file cfrm_Dialog.h
/// Asks the user for a file to read or to write in the platform's file dialog, starting where the
/// last choice under the same title was made. A creatable class. A failure shows the library's error report (tags ".F_nombr" and ".F_ruta") and returns the empty text.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

class KOR2_SYS_EXPORT cfrm_Dialog {
public:
    Text Aplicac;         ///< kept for the host; settings always go under "Vesolar"
    Text titulo;          ///< the dialog's title, and the section that remembers the last path
    Text FiltroNombre;    ///< "description|pattern;pattern|description|pattern"
    Integer FiltroIndex = 0;  ///< the filter selected at the start (1 is the first)
    Text Nonbredefecto;   ///< the file name proposed; empty proposes none

    /// The full path of an existing file; the library's folder when the name confirmed is no
    /// existing file; on cancel `Nonbredefecto` (or the empty text).
    Text Fich_NonbreRuta_a_Leer();
    /// The full path confirmed (the user was asked before an existing file); empty on cancel.
    Text Fich_NonbreRuta_a_Grabar();
};

} // namespace Kor2_Sys
