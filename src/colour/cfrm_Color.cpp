#include <Kor2_Sys/cfrm_Color.h>

#include "colour/ColourWindow.h"
#include "frame/Trap.h"

namespace Kor2_Sys {

void cfrm_Color::ColorShow()
{
    trap::report(u".S_color", [&] {
        colour::ColourWindow window;
        window.setC_Titulo(titulo);
        m_preselected = Variant(NumColorPreSeleccVb).toLong();
        window.setC_color_elegido_Vb(m_preselected);
        if (PorCapa)
            window.C_añadir_BT_por_Capa(NumColorPorCapaPreSeleccVb);
        window.C_expandir_colores();
        window.C_ejecuta();
        if (window.C_aceptado()) {
            NumColorElegiVB = window.C_color_elegido_Vb();
            NumColorAutocad = window.C_NumColorAutocaD();
            NomColorAutocad = window.C_NomColorAutocaD();
        } else {
            NumColorElegiVB = m_preselected;
            NumColorAutocad = window.NumColAutocad_dado_NumVB(m_preselected);
            NomColorAutocad = window.Nombre_Color_dado_Num_Vb(m_preselected);
        }
        window.unload();
    });
}

} // namespace Kor2_Sys
