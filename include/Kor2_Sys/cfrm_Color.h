#pragma once
/// \file cfrm_Color.h
/// The colour chooser configured through properties: caption, preselected colour and an optional
/// layer colour before the call; chosen colour, its CAD colour index and its name afterwards.
/// A creatable class.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// The colour chooser, configured and read back through properties.
class KOR2_SYS_EXPORT cfrm_Color {
public:
    Text titulo;                        ///< caption of the window
    Text NumColorPreSeleccVb;           ///< the preselected colour number, as decimal text
    Boolean PorCapa = false;            ///< whether to offer the layer colour
    Long NumColorPorCapaPreSeleccVb = 0;///< the layer colour
    Boolean Expandircolores = false;    ///< kept for the host; the window always opens expanded
    Long NumColorElegiVB = 0;           ///< result: the colour number
    Long NumColorAutocad = 0;           ///< result: the CAD colour index
    Text NomColorAutocad;               ///< result: the colour name or the text of the colour box

    /// Shows the chooser modally and fills the three results, accepted or cancelled (a cancel
    /// describes the preselected colour). A preselection that does not read as a whole number shows
    /// the library's error report (tag ".S_color"), no window, and leaves the results as they were.
    void ColorShow();
};

} // namespace Kor2_Sys
