#include "Dialogs.h"

#include "Io.h"
#include "Json.h"

#include <Kor2_Sys/Error.h>

#include "colour/ColourWindow.h"
#include "files/FileChooser.h"
#include "prompts/InputWindow.h"
#include "prompts/MessageWindow.h"
#include "frame/NumberFunctions.h"

#include "frame/Utf.h"

#include <charconv>
#include <ostream>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

constexpr int kAccepted = 0, kCancelled = 1, kFailed = 3;
// A message window shows the whole text at once; more than this is no message.
constexpr std::size_t kMaxMessageFile = std::size_t{16} << 20;

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

int runInput(const InputCommand& command, std::ostream& out, std::ostream& err)
{
    try {
        prompts::InputWindow window;
        window.A_Input(utf::fromUtf8(command.text), utf::fromUtf8(command.title), utf::fromUtf8(command.info));
        // Closed through the title bar, neither button ran: a script reads that as a cancel.
        const bool accepted = !window.Cancelado && window.form().unloaded() == false;
        if (accepted)
            out << utf::toUtf8(window.TextoAceptado) << "\n";
        return accepted ? kAccepted : kCancelled;
    } catch (const Error& e) {
        return failed(e, err);
    }
}

int runNumber(const NumberCommand& command, std::ostream& out, std::ostream& err)
{
    try {
        prompts::InputWindow window;
        window.A_Input(mfunc::FormatoFijo(command.value, command.decimals, 0), utf::fromUtf8(command.title));
        if (window.Cancelado || window.form().unloaded())
            return kCancelled;
        const Double value = mfunc::ValorTexto(window.TextoAceptado.empty() ? Text(u"0") : window.TextoAceptado);
        char buffer[64];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
        out << std::string(buffer, ec == std::errc{} ? end : buffer) << "\n";
        return kAccepted;
    } catch (const Error& e) {
        return failed(e, err);
    }
}

int runFile(const FileCommand& command, std::ostream& out, std::ostream& err)
{
    try {
        files::FileChooser chooser;
        chooser.show();
        chooser.setA_Titulo(utf::fromUtf8(command.title));
        chooser.setA_Filtro_archivos(utf::fromUtf8(command.filter));
        chooser.setA_Numero_de_Filtro_archivos(1);
        chooser.setInitialFolder(utf::fromUtf8(command.dir));
        if (command.save)
            chooser.A_grabar();
        else
            chooser.A_leer();
        const Text chosen = chooser.A_ruta_y_archivo();
        chooser.unload();
        if (chosen.empty())
            return kCancelled;
        out << utf::toUtf8(chosen) << "\n";
        return kAccepted;
    } catch (const Error& e) {
        return failed(e, err);
    }
}

int runMessage(const MessageCommand& command, std::ostream&, std::ostream& err)
{
    try {
        const std::string text =
            command.file.empty() ? command.text : readFileArgument(command.file, "el archivo del mensaje", kMaxMessageFile);
        prompts::MessageWindow window;
        window.A_Mensaje(utf::fromUtf8(text), utf::fromUtf8(command.title));
        return kAccepted;
    } catch (const Error& e) {
        return failed(e, err);
    }
}

} // namespace kor2cli
