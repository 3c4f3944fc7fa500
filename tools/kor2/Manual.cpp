#include "Manual.h"

#include "Commands.h"

#include <Kor2_Sys/Object.h>

#include "classes/Classes.h"

namespace kor2cli {
namespace {

// Plain text as roff reads it: a backslash and a hyphen are escaped, and a line may not start
// with a control character.
std::string roff(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    std::string guarded;
    bool lineStart = true;
    for (char c : out) {
        if (lineStart && (c == '.' || c == '\''))
            guarded += "\\&";
        guarded += c;
        lineStart = c == '\n';
    }
    return guarded;
}

bool isFlag(const CLI::Option& option) { return option.get_type_size() == 0; }

std::string valueName(const CLI::App& app, const CLI::Option& option)
{
    if (isFlag(option))
        return {};
    const std::string type = option.get_type_name();
    return type.empty() ? std::string("VALOR") : app.get_formatter()->get_label(type);
}

std::string synopsis(const CLI::App& command)
{
    std::string out = "\\fBkor2 " + command.get_name() + "\\fR";
    for (const CLI::Option* option : command.get_options()) {
        if (option == command.get_help_ptr())
            continue;
        const bool optional = !option->get_required();
        const bool many = option->get_expected_max() > 1;
        std::string item = option->get_positional()
                               ? "\\fI" + option->get_name(true) + "\\fR"
                               : "\\fB" + roff(option->get_name()) + "\\fR" +
                                     (isFlag(*option) ? "" : " \\fI" + valueName(command, *option) + "\\fR");
        out += " " + (optional ? "[" + item + "]" : item) + (many ? "..." : "");
    }
    return out;
}

void commandSection(std::string& page, const CLI::App& command)
{
    page += ".SS " + roff(command.get_name()) + "\n" + synopsis(command) + "\n.PP\n" + roff(command.get_description()) + ".\n";
    for (const CLI::Option* option : command.get_options()) {
        if (option == command.get_help_ptr())
            continue;
        const std::string name = option->get_positional() ? "\\fI" + option->get_name(true) + "\\fR"
                                                          : "\\fB" + roff(option->get_name()) + "\\fR";
        page += ".TP\n" + name + "\n" + roff(option->get_description()) + "\n";
    }
    const unsigned globals = CommandLine::globalsOf(command);
    if (globals != 0) {
        std::string names;
        for (const GlobalOptionRow& row : kGlobalOptions)
            if ((globals & row.use) != 0)
                names += (names.empty() ? "" : ", ") + std::string("\\fB") + roff(row.name) + "\\fR";
        page += ".PP\nOpciones globales que valen aquí: " + names + ".\n";
    }
}

} // namespace

std::string manualPage(const CommandLine& line)
{
    const CLI::App& app = line.app;
    std::string page = ".\\\" -*- coding: UTF-8 -*-\n";
    page += ".TH KOR2 1 \"\" \"" + roff("kor2 " + std::string(version())) + "\" \"Órdenes de usuario\"\n";
    page += ".SH NOMBRE\nkor2 \\- servicios de Kor2_Sys desde la línea de órdenes\n";
    page += ".SH SINOPSIS\n\\fBkor2\\fR [\\fIOPCIONES GLOBALES\\fR] \\fIORDEN\\fR [\\fIARGUMENTOS\\fR]\n.br\n"
            "\\fBkor2 help\\fR [\\fIORDEN\\fR]\n.br\n\\fBkor2 \\-\\-version\\fR\n";
    page += ".SH DESCRIPCIÓN\n"
            "\\fBkor2\\fR llama a las clases de la biblioteca Kor2_Sys con enlace tardío, sirve sesiones JSON "
            "por líneas a otros lenguajes, muestra sus ventanas (colores, textos, números, archivos, mensajes, "
            "usuario y contraseña) a los guiones y administra el almacén de configuración.\n";
    page += ".SH OPCIONES GLOBALES\n";
    for (const GlobalOptionRow& row : kGlobalOptions)
        page += ".TP\n\\fB" + roff(row.name) + "\\fR" + (row.value.empty() ? "" : " \\fI" + roff(row.value) + "\\fR") +
                "\n" + roff(row.help) + "\n";
    page += ".TP\n\\fB\\-\\-version\\fR\nMuestra la versión y termina\n.TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\n"
            "Muestra la ayuda y termina\n";
    page += ".SH ÓRDENES\n";
    for (const CLI::App* command : app.get_subcommands({}))
        commandSection(page, *command);
    page += ".SH CLASES\nLas clases que \\fBkor2 call\\fR y \\fBkor2 describe\\fR conocen:\n";
    std::string names;
    for (const Kor2_Sys::ClassInfo* info : Kor2_Sys::libraryClasses())
        names += (names.empty() ? "" : ", ") + std::string("\\fB") + roff(info->name) + "\\fR";
    page += names + ".\n";
    page += ".SH ESTADO DE SALIDA\n.TP\n0\nHecho (aceptado en las ventanas).\n.TP\n1\nNo encontrado o cancelado.\n"
            ".TP\n2\nUso incorrecto: una orden, opción o argumento que no vale.\n.TP\n3\nUn error de la biblioteca, "
            "del almacén o de la salida.\n";
    page += ".SH ENTORNO\n.TP\n\\fBKOR2_SETTINGS\\fR\nOtro almacén de configuración, como \\fB\\-\\-settings\\fR.\n"
            ".TP\n\\fBDISPLAY\\fR, \\fBWAYLAND_DISPLAY\\fR\nLa pantalla de las ventanas. Sin pantalla, use "
            "\\fB\\-\\-headless\\fR con guiones de acciones o \\fBxvfb\\-run\\fR(1).\n";
    page += ".SH ARCHIVOS\n.TP\n\\fI${XDG_CONFIG_HOME:\\-$HOME/.config}/kor2\\-sys/settings.db\\fR\n"
            "El almacén de configuración de cada usuario.\n";
    page += ".SH VÉASE TAMBIÉN\n\\fBxvfb\\-run\\fR(1)\n";
    return page;
}

} // namespace kor2cli
