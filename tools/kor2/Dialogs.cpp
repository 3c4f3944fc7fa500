#include "Dialogs.h"

#include "Io.h"
#include "JsonWriter.h"

#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/cls_Loging.h>

#include "colour/ColourWindow.h"
#include "files/FileChooser.h"
#include "frame/NumberFunctions.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"
#include "prompts/InputWindow.h"
#include "prompts/MessageWindow.h"

#include <ostream>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

constexpr int kAccepted = 0, kCancelled = 1, kFailed = 3;
// A message window shows the whole text at once; more than this is no message.
constexpr std::size_t kMaxMessageFile = std::size_t{16} << 20;

int failed(const Error& e, std::ostream& err)
{
    err << "kor2: error " << e.number() << ": " << displayText(e.description()) << "\n";
    return kFailed;
}

// UTF-8 a character at a time: each piece is a few bytes on the stack, so no whole copy of the text
// is ever made (lone surrogates become U+FFFD, as everywhere in plain output).
void writeUtf8(std::ostream& out, std::u16string_view text)
{
    for (std::size_t i = 0, n = 1; i < text.size(); i += n) {
        n = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF
                ? 2 : 1;
        std::string piece = utf::toUtf8(text.substr(i, n));
        out << piece;
        wipe::text(piece);
    }
}

} // namespace

int runColour(const ColourCommand& command, std::ostream& out, std::ostream& err)
{
    try {
        const colour::ColourChoice choice = colour::chooseColour(utf::fromUtf8(command.title), command.initial, command.layer);
        out << JsonWriter()
                   .beginObject()
                   .key("accepted").boolean(choice.accepted)
                   .key("colour").number(choice.colour)
                   .key("index").number(choice.index)
                   .key("name").text(choice.name)
                   .endObject()
                   .take()
            << "\n";
        return choice.accepted ? kAccepted : kCancelled;
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
            out << displayText(window.TextoAceptado) << "\n";
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
        out << shortestNumber(value) << "\n";
        return kAccepted;
    } catch (const Error& e) {
        return failed(e, err);
    }
}

int runFile(const FileCommand& command, std::ostream& out, std::ostream& err)
{
    try {
        FileDialogFields fields;
        fields.titulo = utf::fromUtf8(command.title);
        fields.FiltroNombre = utf::fromUtf8(command.filter);
        fields.FiltroIndex = 1;
        const files::FileChoice choice = files::runChooser(fields, !command.save, utf::fromUtf8(command.dir));
        // A dialog that could not be shown, or ran out of its script, is a failure like the other
        // windows', not a cancel.
        if (choice.failure)
            return failed(*choice.failure, err);
        if (choice.path.empty())
            return kCancelled;
        out << displayText(choice.path) << "\n";
        return kAccepted;
    } catch (const Error& e) {
        return failed(e, err);
    }
}

int runLogin(bool json, std::ostream& out, std::ostream& err)
{
    try {
        cls_Loging login;
        login.ShowDialog();
        if (!login.Acept)
            return kCancelled;
        if (json) {
            // Room for the longest escapes up front: a growing answer would release copies of its start.
            std::string answer = JsonWriter()
                                     .reserve(6 * (login.User.size() + login.Password.size()) + 64)
                                     .beginObject()
                                     .key("user").text(login.User)
                                     .key("password").text(login.Password)
                                     .endObject()
                                     .take();
            const wipe::Scoped wiped(answer);
            out << answer << '\n';
        } else {
            writeUtf8(out, login.User);
            out << '\n';
            writeUtf8(out, login.Password);
            out << '\n';
        }
        out.flush();
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
