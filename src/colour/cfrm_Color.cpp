#include <Kor2_Sys/cfrm_Color.h>

#include "colour/ColourWindow.h"
#include "frame/Trap.h"

namespace Kor2_Sys {

void cfrm_Color::ColorShow()
{
    trap::report(u".S_color", [&] {
        const Long proposal = Variant(NumColorPreSeleccVb).toLong();
        const auto choice = colour::chooseColour(titulo, proposal, PorCapa ? std::optional(NumColorPorCapaPreSeleccVb) : std::nullopt);
        NumColorElegiVB = choice.colour;
        NumColorAutocad = choice.index;
        NomColorAutocad = choice.name;
    });
}

} // namespace Kor2_Sys
