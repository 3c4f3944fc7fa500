#include <Kor2_Sys/CColores.h>

#include "colour/ColourCatalogue.h"
#include "colour/ColourWindow.h"
#include "frame/Trap.h"

namespace Kor2_Sys {

// The chooser proposes the host's colour and gives it back unchanged when the user cancels.
Long CColores::A_Color_Show(Long NumPorDefectoVb)
{
    Long result = 0;
    trap::report(u".S_color", [&] {
        colour::ColourWindow window;
        window.setC_Titulo(u"Elige Color:");
        window.setC_color_elegido_Vb(NumPorDefectoVb);
        window.C_expandir_colores();
        window.C_ejecuta();
        result = window.C_aceptado() ? window.C_color_elegido_Vb() : NumPorDefectoVb;
        window.unload();
    });
    return result;
}

// The conversions cannot fail on any value; their traps guard against the platform's own failures
// (memory) so that a host never sees an error from them.

Long CColores::Col_NuVB_de_Nombre_o_inicial(const Text& NombreColor)
{
    Long result = 0;
    trap::silent("CColores.Col_NuVB_de_Nombre_o_inicial", [&] { result = colour::colourOfWord(NombreColor); });
    return result;
}

Long CColores::Col_NuTB_de_NuCad(const Integer& NumColAutocad)
{
    return colour::listEntry(NumColAutocad).cadIndex;
}

Text CColores::Col_NuyNomTB_de_NuTB(const Integer& NumColTB)
{
    Text result;
    trap::silent("CColores.Col_NuyNomTB_de_NuTB", [&] { result = Text(colour::listEntry(NumColTB).label); });
    return result;
}

Text CColores::Col_NombCad_de_NuVb(const Long& NumColorVb)
{
    Text result;
    trap::report(u"", [&] { result = colour::nameOfColour(NumColorVb); });
    return result;
}

Text CColores::Col_NombreCad_NuCad(const Long& NumColorCad)
{
    Text result;
    trap::silent("CColores.Col_NombreCad_NuCad", [&] { result = colour::nameOfIndex(NumColorCad); });
    return result;
}

Long CColores::Col_NuVB_de_NuTB(const Integer& NumColorTB)
{
    return colour::listEntry(NumColorTB).consoleCode;
}

Long CColores::Col_NumVB_de_NumCad(const Integer& NumColorAutocad)
{
    return colour::forwardColour(NumColorAutocad);
}

Long CColores::Col_NuCad_de_NuVB(const Long& NumColorVb)
{
    return colour::reverseIndex(NumColorVb);
}

template <> CColores& global<CColores>()
{
    static CColores instance;
    return instance;
}

} // namespace Kor2_Sys
