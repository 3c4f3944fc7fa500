#include "Manual.h"

#include "Commands.h"

#include "script/WindowScript.h"

#include <Kor2_Sys/Object.h>

#include "classes/Classes.h"

#include <algorithm>
#include <iterator>
#include <vector>

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
        else if (c == '\'')
            out += "\\(aq";
        else if (c == '`')
            out += "\\(ga";
        else
            out += c;
    }
    std::string guarded;
    bool lineStart = true;
    for (char c : out) {
        if (lineStart && c == '.')
            guarded += "\\&";
        guarded += c;
        lineStart = c == '\n';
    }
    return guarded;
}

bool isFlag(const CLI::Option& option) { return option.get_expected_max() == 0; }

std::string valueName(const CLI::App& app, const CLI::Option& option)
{
    if (isFlag(option))
        return {};
    const std::string type = option.get_type_name();
    return type.empty() ? std::string("VALOR") : app.get_formatter()->get_label(type);
}

// The words a person replaces (the capitalised ones) in italics, the rest as typed.
std::string metavariables(std::string_view words)
{
    std::string out;
    bool inWord = false;
    for (char c : words) {
        const auto byte = static_cast<unsigned char>(c);
        const bool wordChar = (byte >= 'A' && byte <= 'Z') || byte == '_' || (inWord && byte >= 0x80);
        if (wordChar != inWord)
            out += wordChar ? "\\fI" : "\\fR";
        inWord = wordChar;
        out += roff(std::string(1, c));
    }
    return out + (inWord ? "\\fR" : "");
}

std::string optionItem(const CLI::App& command, const CLI::Option& option)
{
    return "\\fB" + roff(option.get_name()) + "\\fR" + (isFlag(option) ? "" : " " + metavariables(valueName(command, option)));
}

// The options after the positionals: optional ones in brackets, options that exclude each other
// as one choice, "(--text TEXTO | --file ARCHIVO)", of which the command needs one.
std::string optionsSynopsis(const CLI::App& command)
{
    std::string out;
    std::vector<const CLI::Option*> done;
    for (const CLI::Option* option : command.get_options([](const CLI::Option* o) { return !o->get_positional(); })) {
        if (option == command.get_help_ptr() || std::find(done.begin(), done.end(), option) != done.end())
            continue;
        const auto& excluded = option->get_excludes();
        if (!excluded.empty()) {
            std::string choice = optionItem(command, *option);
            for (const CLI::Option* other : excluded) {
                choice += " | " + optionItem(command, *other);
                done.push_back(other);
            }
            out += " (" + choice + ")";
        } else {
            const std::string item = optionItem(command, *option);
            out += " " + (option->get_required() ? item : "[" + item + "]");
        }
    }
    return out;
}

// One line per form of the command: a command whose first word is one of a closed list has a
// line for each, with the words that follow it.
std::vector<std::string> synopses(const CLI::App& command)
{
    const std::string head = "\\fBkor2 " + roff(command.get_name()) + "\\fR";
    const std::string options = optionsSynopsis(command);
    const CommandRow* row = commandRow(command.get_name());
    std::vector<std::string> lines;
    if (row != nullptr && !row->choices.empty()) {
        for (std::size_t i = 0; i < row->choices.size(); ++i)
            lines.push_back(head + " \\fB" + roff(row->choices[i]) + "\\fR" +
                            (row->forms[i].empty() ? "" : " " + metavariables(row->forms[i])) + options);
        return lines;
    }
    std::string line = head;
    for (const CLI::Option* option : command.get_options([](const CLI::Option* o) { return o->get_positional(); })) {
        const std::string item = "\\fI" + roff(option->get_name(true)) + "\\fR";
        line += " " + (option->get_required() ? item : "[" + item + "]") + (option->get_expected_max() > 1 ? "..." : "");
    }
    lines.push_back(line + options);
    return lines;
}

void commandSection(std::string& page, const CLI::App& command)
{
    page += ".SS " + roff(command.get_name()) + "\n";
    const std::vector<std::string> lines = synopses(command);
    for (std::size_t i = 0; i < lines.size(); ++i)
        page += (i ? ".br\n" : "") + lines[i] + "\n";
    page += ".PP\n" + roff(command.get_description()) + ".\n";
    for (const CLI::Option* option : command.get_options()) {
        if (option == command.get_help_ptr())
            continue;
        const std::string name = option->get_positional() ? "\\fI" + option->get_name(true) + "\\fR"
                                                          : optionItem(command, *option);
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
    if (const CommandRow* row = commandRow(command.get_name()))
        page += ".PP\nEstado de salida: " + roff(row->exits) + ".\n";
}

// What each action of a window script does, in the order of the script vocabulary's verbs.
struct VerbHelp {
    std::string_view argument;
    std::string_view help;
};
constexpr VerbHelp kVerbHelp[] = {
    {"C", "Pulsa el control C."},
    {"C", "Hace doble clic en el control C."},
    {"[C, TEXTO]", "Escribe TEXTO en el control C, que debe tener el foco, como lo haría el usuario."},
    {"[C, TEXTO]", "Pone TEXTO en el control C de una vez, tenga o no el foco."},
    {"[C, CÓDIGO] o [C, CÓDIGO, ESTADO]",
     "Pulsa una tecla en el control C, que debe tener el foco: CÓDIGO es el código del carácter (9 tabulador, "
     "13 Intro, 27 Escape, 8 retroceso) o el nombre de una tecla que no escribe (NOMBRES); ESTADO, 1 para "
     "Mayúsculas y 4 para Alt: [C, 9, 1] es Mayúsculas+Tab y [C, 67, 4] Alt+C."},
    {"[C, FX, FY]", "Pulsa el ratón sobre el control C, en las fracciones FX y FY de su ancho y de su alto."},
    {"[X, Y]", "El usuario arrastra la ventana hasta X, Y (twips)."},
    {"[ANCHO, ALTO]", "El usuario cambia el tamaño de la ventana (twips); una ventana de tamaño fijo no cambia."},
    {"\"user\" o \"code\"", "Cierra la ventana: con su botón de cierre, o desde el programa."},
    {"\"ok\" o \"cancel\"", "Responde al próximo cuadro de mensaje."},
    {"RUTA", "Elige RUTA en el diálogo de archivos (ventana \"file\")."},
    {"true", "Cancela el diálogo de archivos (ventana \"file\")."},
};
static_assert(std::size(kVerbHelp) == std::size(Kor2_Sys::script::kActionVerbs), "one help per script verb");

void scriptSection(std::string& page)
{
    page += ".SH GUIONES DE VENTANAS\n"
            "Con \\fB\\-\\-headless\\fR, las ventanas no se muestran: juegan los guiones del archivo JSON de "
            "\\fB\\-\\-actions\\fR (o de la petición \\fBactions\\fR de una sesión), una lista con un guion por "
            "ventana, en el orden en que se muestran:\n.PP\n.RS\n.nf\n" +
            roff(R"([{"window": VENTANA, "do": [ACCIÓN, ...]}, ...])") +
            "\n.fi\n.RE\n.PP\nVENTANA es el nombre de la ventana (F_color, f_Imput, dlgLoging, ...), \\fBfile\\fR "
            "para el diálogo de archivos y \\fBmsgbox\\fR para los cuadros de mensaje de fuera de toda ventana. "
            "C es el nombre de un control. Cada ACCIÓN es un objeto de una sola clave:\n";
    for (std::size_t i = 0; i < std::size(kVerbHelp); ++i)
        page += ".TP\n\\fB" + roff("{\"" + std::string(Kor2_Sys::script::kActionVerbs[i].verb) + "\": ") + "\\fR" +
                metavariables(kVerbHelp[i].argument) + "\\fB}\\fR\n" + roff(kVerbHelp[i].help) + "\n";
    std::string keys;
    for (const Kor2_Sys::script::NamedKey& key : Kor2_Sys::script::kNamedKeys)
        keys += (keys.empty() ? "\"" : ", \"") + std::string(key.name) + "\"";
    page += ".PP\nNOMBRES de teclas: " + roff(keys) + ".\n"
            ".PP\nUna ventana que se muestra sin guion, un guion de otra ventana, un control que no existe o un guion "
            "que acaba con la ventana aún abierta es un error que nombra la ventana, nunca una espera. Por ejemplo, "
            "elegir una celda de la paleta especial y aceptar:\n.PP\n.RS\n.nf\n" +
            roff(R"([{"window": "F_color", "do": [{"mousedown": ["Pc_color_especial", 0.99, 0.45]}, {"click": "BT_aceptar"}]}])") +
            "\n.fi\n.RE\n";
}

struct EnvironmentRow {
    std::string_view names;
    std::string_view help;
};
constexpr EnvironmentRow kEnvironment[] = {
    {"KOR2_SETTINGS", "Otro almacén de configuración, como --settings."},
    {"XDG_CONFIG_HOME", "La carpeta de configuración del usuario (ruta absoluta), donde está el almacén."},
    {"HOME", "Sin XDG_CONFIG_HOME, el almacén está en $HOME/.config. Sin ninguna de las dos no hay almacén "
             "por omisión y el error lo dice."},
    {"LC_NUMERIC", "El separador decimal con que se escriben los números, si no se da --decimal."},
    {"DISPLAY, WAYLAND_DISPLAY",
     "La pantalla de las ventanas. Sin pantalla, las ventanas son el error 68, que dice cómo trabajar sin ella: "
     "--headless con guiones de acciones, o xvfb-run(1)."},
    {"QT_QPA_PLATFORM",
     "La plataforma de las ventanas: xcb necesita DISPLAY y wayland WAYLAND_DISPLAY. En una que no dibuja en "
     "ninguna parte (offscreen, minimal) una ventana modal es el error 68 al momento, no una espera."},
};

std::string environmentName(std::string_view names)
{
    std::string out;
    for (std::size_t at = 0; at < names.size();) {
        const std::size_t comma = std::min(names.find(", ", at), names.size());
        out += (out.empty() ? "" : ", ") + std::string("\\fB") + roff(names.substr(at, comma - at)) + "\\fR";
        at = comma + 2;
    }
    return out;
}

// Drawn from the README's: a check compares each command here with those there.
struct Example {
    std::string_view help;
    std::string_view lines;
};
constexpr Example kExamples[] = {
    {"Una llamada; la respuesta es una línea JSON:",
     "$ kor2 call CColores Col_NuCad_de_NuVB long:200\n"
     R"({"result": {"type": "long", "value": 12}, "args": [{"type": "long", "value": 200}], "error": null, "messages": [], "beeps": 0, "clipboard": null, "warnings": []})"},
    {"Los números se leen con coma o con punto, y se escriben con el separador regional:",
     "$ kor2 call CString S_Vl 'text: -2,5e2'          # resultado -250\n"
     "$ kor2 call CString S_LeeTira 'text:a,,b' empty   # argumentos: \"a,,b \" y [\"\", \"a\", \"\", \"b\"]"},
    {"El selector de colores, jugado por un guion y sin pantalla:",
     R"($ echo '[{"window":"F_color","do":[{"mousedown":["Pc_color_especial",0.99,0.45]},{"click":"BT_aceptar"}]}]' > pick.json)"
     "\n$ kor2 --headless --actions pick.json call CColores A_Color_Show long:255    # resultado 4194559 (índice 240)"},
    {"Una sesión sin pantalla en la que la sesión hace de aplicación anfitriona: la barra de progreso se mueve "
     "a 30, 30, 1500, 270 twips, se hace visible y vale 0:",
     "$ kor2 --headless session <<'EOF'\n"
     R"({"op":"host","id":"frm","kind":"form"}
{"op":"host","id":"sb","kind":"statusbar","parts":[[0,0,2,20],[2,2,102,20]]}
{"op":"host","id":"pb","kind":"progressbar"}
{"op":"new","class":"c_StatusBar","id":"s"}
{"op":"call","id":"s","member":"Progreso","args":[{"type":"object","value":"frm"},{"type":"object","value":"pb"},{"type":"object","value":"sb"},{"type":"integer","value":1},true]}
{"op":"log","id":"pb"}
EOF)"},
    {"El almacén de configuración:",
     "$ kor2 settings set 'App Win' Top 300\n$ kor2 settings list 'App Win'\n[App Win] Top = 300\n"
     "$ kor2 settings export copia.json"},
};

} // namespace

std::string manualPage(const CommandLine& line, std::string_view date)
{
    const CLI::App& app = line.app;
    std::string page = ".\\\" -*- coding: UTF-8 -*-\n";
    page += ".TH KOR2 1 \"" + std::string(date) + "\" \"" + roff("kor2 " + std::string(version())) + "\" \"Órdenes de usuario\"\n";
    // Synopses and examples are read as typed: no word of them broken at a hyphen.
    page += ".nh\n";
    page += ".SH NOMBRE\nkor2 \\- servicios de Kor2_Sys desde la línea de órdenes\n";
    page += ".SH SINOPSIS\n\\fBkor2\\fR [\\fIOPCIONES GLOBALES\\fR] \\fIORDEN\\fR [\\fIARGUMENTOS\\fR]\n.br\n"
            "\\fBkor2 help\\fR [\\fIORDEN\\fR]\n.br\n\\fBkor2 \\-\\-version\\fR\n";
    page += ".SH DESCRIPCIÓN\n"
            "\\fBkor2\\fR llama a las clases de la biblioteca Kor2_Sys con enlace tardío, sirve sesiones JSON "
            "por líneas a otros lenguajes, muestra sus ventanas (colores, textos, números, archivos, mensajes, "
            "usuario y contraseña) a los guiones y administra el almacén de configuración.\n"
            ".PP\nCada palabra se toma tal como se escribe: una entre corchetes no es una lista.\n";
    page += ".SH OPCIONES GLOBALES\n";
    for (const GlobalOptionRow& row : kGlobalOptions)
        page += ".TP\n\\fB" + roff(row.name) + "\\fR" + (row.value.empty() ? "" : " \\fI" + roff(row.value) + "\\fR") +
                "\n" + roff(row.help) + "\n";
    page += ".TP\n\\fB\\-\\-version\\fR\nMuestra la versión y termina\n.TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\n"
            "Muestra la ayuda y termina\n";
    page += ".SH ÓRDENES\n";
    for (const CLI::App* command : app.get_subcommands({}))
        commandSection(page, *command);
    scriptSection(page);
    page += ".SH CLASES\nLas clases que \\fBkor2 call\\fR y \\fBkor2 describe\\fR conocen:\n";
    std::string names;
    for (const Kor2_Sys::ClassInfo* info : Kor2_Sys::libraryClasses())
        names += (names.empty() ? "" : ", ") + std::string("\\fB") + roff(info->name) + "\\fR";
    page += names + ".\n";
    page += ".SH ESTADO DE SALIDA\n.TP\n0\nHecho (aceptado en las ventanas).\n.TP\n1\nNo encontrado o cancelado.\n"
            ".TP\n2\nUso incorrecto: una orden, opción o argumento que no vale.\n.TP\n3\nUn error de la biblioteca, "
            "del almacén o de la salida.\n.PP\nLo que vale para cada orden está en su apartado de ÓRDENES.\n";
    page += ".SH ENTORNO\n";
    for (const EnvironmentRow& row : kEnvironment)
        page += ".TP\n" + environmentName(row.names) + "\n" + roff(row.help) + "\n";
    page += ".SH ARCHIVOS\n.TP\n\\fI${XDG_CONFIG_HOME:\\-$HOME/.config}/kor2\\-sys/settings.db\\fR\n"
            "El almacén de configuración de cada usuario.\n";
    page += ".SH EJEMPLOS\n";
    for (const Example& example : kExamples)
        page += ".PP\n" + roff(example.help) + "\n.PP\n.RS\n.nf\n" + roff(example.lines) + "\n.fi\n.RE\n";
    page += ".SH VÉASE TAMBIÉN\n\\fBxvfb\\-run\\fR(1)\n";
    return page;
}

} // namespace kor2cli
