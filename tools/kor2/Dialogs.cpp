#include "Dialogs.h"

#include "Json.h"

#include <Kor2_Sys/Error.h>

#include "colour/ColourWindow.h"
#include "frame/Utf.h"

#include <ostream>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

constexpr int kAccepted = 0, kCancelled = 1, kFailed = 3;

int failed(const Error& e, std::ostream& err)
{
    err << "kor2: error " << e.number() << ": " << utf::toUtf8(e.description()) << "\n";
    return kFailed;
}

} // namespace

int runColour(const ColourCommand& command, std::ostream& out, std::ostream& err)
{
    try {
        colour::ColourWindow window;
        window.setC_Titulo(utf::fromUtf8(command.title));
        window.setC_color_elegido_Vb(command.initial);
        if (command.layer)
            window.C_añadir_BT_por_Capa(*command.layer);
        window.C_expandir_colores();
        window.C_ejecuta();
        // A cancel answers with the proposal untouched, as the library's own fronts do.
        const bool accepted = window.C_aceptado();
        const Long colour = accepted ? window.C_color_elegido_Vb() : command.initial;
        const Long index = accepted ? window.C_NumColorAutocaD() : window.NumColAutocad_dado_NumVB(colour);
        const Text name = accepted ? window.C_NomColorAutocaD() : window.Nombre_Color_dado_Num_Vb(colour);
        out << "{\"accepted\": " << (accepted ? "true" : "false") << ", \"colour\": " << colour << ", \"index\": " << index
            << ", \"name\": " << jsonString(name) << "}\n";
        window.unload();
        return accepted ? kAccepted : kCancelled;
    } catch (const Error& e) {
        return failed(e, err);
    }
}

} // namespace kor2cli
