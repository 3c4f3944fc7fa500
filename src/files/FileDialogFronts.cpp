#include <Kor2_Sys/CCmDialog.h>
#include <Kor2_Sys/cfrm_Dialog.h>

#include "files/FileChooser.h"
#include "frame/Trap.h"

namespace Kor2_Sys::files {

FileChoice runChooser(const FileDialogFields& f, bool toRead, const Text& initialFolder)
{
    FileChooser chooser;
    chooser.show();
    chooser.setA_Aplicacion(f.Aplicac);
    chooser.setA_Titulo(f.titulo);
    chooser.setA_Numero_de_Filtro_archivos(f.FiltroIndex);
    if (!f.Nonbredefecto.empty())
        chooser.setA_nombre_por_defecto(f.Nonbredefecto);
    chooser.setA_Filtro_archivos(f.FiltroNombre);
    chooser.setInitialFolder(initialFolder);
    if (toRead)
        chooser.A_leer();
    else
        chooser.A_grabar();
    FileChoice choice{chooser.A_ruta_y_archivo(), chooser.failure()};
    chooser.unload();
    return choice;
}

Text chooseFile(const FileDialogFields& f, bool toRead, const Text& initialFolder)
{
    return runChooser(f, toRead, initialFolder).path;
}

} // namespace Kor2_Sys::files

namespace Kor2_Sys {

Text CCmDialog::Fich_NonbreRuta_a_Leer() { return files::chooseFile(*this, true); }

Text CCmDialog::Fich_NonbreRuta_a_Grabar() { return files::chooseFile(*this, false); }

Text cfrm_Dialog::Fich_NonbreRuta_a_Leer()
{
    Text result;
    trap::report(u".F_nombr", [&] { result = files::chooseFile(*this, true); });
    return result;
}

Text cfrm_Dialog::Fich_NonbreRuta_a_Grabar()
{
    Text result;
    trap::report(u".F_ruta", [&] { result = files::chooseFile(*this, false); });
    return result;
}

} // namespace Kor2_Sys
