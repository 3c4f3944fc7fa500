#pragma once
/// \file FileDialogFields.h
/// The five properties that both file dialog classes (`CCmDialog`, `cfrm_Dialog`) carry.

#include <Kor2_Sys/Value.h>

namespace Kor2_Sys {

/// What a file dialog class hands to the chooser. A new instance holds empty texts and 0; the
/// operations never assign to them.
struct FileDialogFields {
    Text Aplicac;             ///< kept for the host; settings always go under "Vesolar"
    Text titulo;              ///< the dialog's title, and the section that remembers the last path
    Text FiltroNombre;        ///< "description|pattern;pattern|description|pattern"
    Integer FiltroIndex = 0;  ///< the filter selected at the start (1 is the first)
    Text Nonbredefecto;       ///< the file name proposed; empty proposes none
};

} // namespace Kor2_Sys
