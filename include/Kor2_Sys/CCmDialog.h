#pragma once
/// \file CCmDialog.h
/// Asks the user for a file to read or to write in the platform's file dialog, starting where the
/// last choice under the same title was made. A creatable class. A failure reaches the caller as
/// an `Error`.

#include <Kor2_Sys/FileDialogFields.h>
#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// The file chooser whose failures reach the caller as an `Error`.
class KOR2_SYS_EXPORT CCmDialog : public FileDialogFields {
public:
    /// The full path of an existing file; the library's folder when the name confirmed is no
    /// existing file; on cancel `Nonbredefecto` (or the empty text).
    Text Fich_NonbreRuta_a_Leer();
    /// The full path confirmed (the user was asked before an existing file); empty on cancel.
    Text Fich_NonbreRuta_a_Grabar();
};

} // namespace Kor2_Sys
