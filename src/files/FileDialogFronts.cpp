#include <Kor2_Sys/CCmDialog.h>
#include <Kor2_Sys/cfrm_Dialog.h>

#include "files/FileChooser.h"
#include "frame/Trap.h"

namespace Kor2_Sys {
namespace {

// The twelve steps both fronts share; `result` is assigned only once the choice is read back.
void choose(const FileDialogFields& f, bool toRead, Text& result)
{
    files::FileChooser chooser;
    chooser.show();
    chooser.setA_Aplicacion(f.Aplicac);
    chooser.setA_Titulo(f.titulo);
    chooser.setA_Numero_de_Filtro_archivos(f.FiltroIndex);
    if (!f.Nonbredefecto.empty())
        chooser.setA_nombre_por_defecto(f.Nonbredefecto);
    chooser.setA_Filtro_archivos(f.FiltroNombre);
    if (toRead)
        chooser.A_leer();
    else
        chooser.A_grabar();
    result = chooser.A_ruta_y_archivo();
    chooser.unload();
}

} // namespace

Text CCmDialog::Fich_NonbreRuta_a_Leer()
{
    Text result;
    choose(*this, true, result);
    return result;
}

Text CCmDialog::Fich_NonbreRuta_a_Grabar()
{
    Text result;
    choose(*this, false, result);
    return result;
}

Text cfrm_Dialog::Fich_NonbreRuta_a_Leer()
{
    Text result;
    trap::report(u".F_nombr", [&] { choose(*this, true, result); });
    return result;
}

Text cfrm_Dialog::Fich_NonbreRuta_a_Grabar()
{
    Text result;
    trap::report(u".F_ruta", [&] { choose(*this, false, result); });
    return result;
}

} // namespace Kor2_Sys
