#pragma once
/// \file CColores.h
/// Colour conversions between colour numbers (red + 256·green + 65536·blue), CAD colour indices
/// (0 to 255), colour names and the sixteen-colour list. A global class.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// The colour chooser and the conversions of the colour catalogue. No conversion fails on any
/// argument value, assigns to its argument or keeps state.
class KOR2_SYS_EXPORT CColores {
public:
    /// Shows the colour chooser with `NumPorDefectoVb` proposed (snapped to the palette) and returns
    /// the accepted colour number, or `NumPorDefectoVb` unchanged when the user cancels. A failure
    /// shows the library's error report (tag ".S_color") and returns 0.
    Long A_Color_Show(Long NumPorDefectoVb);
    /// Colour number of a colour name, initial or digit ("rojo", "R", "1", "am", ...), ignoring case
    /// and surrounding blanks; 16777215 (white) when nothing matches.
    Long Col_NuVB_de_Nombre_o_inicial(const Text& NombreColor);
    /// CAD colour index of a list number 1 to 16; every other number gives 7.
    Long Col_NuTB_de_NuCad(const Integer& NumColAutocad);
    /// Label of a list number ("9 Rojo mate " keeps its trailing blank); "7 Blanco" outside 1 to 16.
    Text Col_NuyNomTB_de_NuTB(const Integer& NumColTB);
    /// Colour name of a colour number: the nine named colours by name, any other as the decimal
    /// digits of its CAD colour index ("7" when the number is no palette key). A failure shows the
    /// library's error report and gives the empty text.
    Text Col_NombCad_de_NuVb(const Long& NumColorVb);
    /// Colour name of a CAD colour index: "por capa", "rojo" ... for 0 to 9, otherwise the digits of
    /// the number without its sign (-3 gives "3").
    Text Col_NombreCad_NuCad(const Long& NumColorCad);
    /// Console colour code (0 to 15) of a list number; 15 outside 1 to 16.
    Long Col_NuVB_de_NuTB(const Integer& NumColorTB);
    /// Colour number of a CAD colour index; 16777215 outside 0 to 254.
    Long Col_NumVB_de_NumCad(const Integer& NumColorAutocad);
    /// CAD colour index of a colour number by exact match; 7 when the number is no palette key.
    Long Col_NuCad_de_NuVB(const Long& NumColorVb);
};

/// The shared instance that free calls use: `global<CColores>().Member(...)`.
template <> KOR2_SYS_EXPORT CColores& global<CColores>();

} // namespace Kor2_Sys
