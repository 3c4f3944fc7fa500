#include "Commands.h"

#include "Io.h"
#include "JsonReader.h"

#include <algorithm>

namespace kor2cli {
namespace {

using namespace std::string_view_literals;

constexpr std::array kSettingsActions{"get"sv, "set"sv, "list"sv, "delete"sv, "export"sv, "import"sv};
constexpr std::array kSettingsForms{"SECCIÓN CLAVE"sv, "SECCIÓN CLAVE VALOR"sv, "[SECCIÓN]"sv, "SECCIÓN [CLAVE]"sv,
                                    "[ARCHIVO]"sv,     "ARCHIVO"sv};
constexpr std::array kInfoQueries{"host"sv, "volume"sv, "disk"sv, "identify"sv};
constexpr std::array kInfoForms{""sv, "LETRA"sv, "N"sv, "ARCHIVO"sv};
static_assert(kSettingsForms.size() == kSettingsActions.size() && kInfoForms.size() == kInfoQueries.size());

constexpr unsigned kDialog = kUsesHeadless | kUsesActions | kUsesSettings;
constexpr std::string_view kDialogExits = "0 aceptado; 1 cancelado o cerrado sin aceptar; 2 uso; 3 ninguna ventana "
                                          "que mostrar (error 68, sin pantalla o sin guion) u otro error";

// In the order --help, the manual and the completion list them.
constexpr std::array kCommands{
    CommandRow{"call", "Una llamada con enlace tardío; MIEMBRO= asigna una propiedad",
               kUsesHeadless | kUsesActions | kUsesSettings | kUsesDecimal,
               "0 hecho; 2 uso (clase desconocida, argumento sin tipo); 3 un error de la biblioteca que llegó al "
               "llamador, en la respuesta JSON y en una línea de la salida de errores"},
    CommandRow{"session", "Peticiones JSON por líneas en la entrada estándar",
               kUsesHeadless | kUsesActions | kUsesSettings | kUsesDecimal,
               "0 al acabar la entrada, aunque alguna petición falle (su respuesta lleva el error); 2 uso; 3 salida "
               "que no se puede escribir"},
    CommandRow{"describe", "Miembros de una clase con sus identificadores, valores de una enumeración", kUsesJson,
               "0 hecho; 2 clase o enumeración desconocida; 3 salida que no se puede escribir"},
    CommandRow{"settings", "El almacén de configuración: get, set, list, delete, export, import",
               kUsesSettings | kUsesJson,
               "0 hecho; 1 get de una clave que no existe; 2 uso, o un archivo que falta, es una carpeta, es "
               "demasiado grande o está mal formado; 3 error del almacén o del sistema de archivos",
               kSettingsActions, kSettingsForms},
    CommandRow{"color", "El selector de colores; imprime el color, su índice y su nombre", kDialog, kDialogExits},
    CommandRow{"input", "Pide un texto; lo imprime al aceptar", kDialog, kDialogExits},
    CommandRow{"number", "Pide un número (coma o punto); lo imprime al aceptar", kDialog, kDialogExits},
    CommandRow{"open", "Elige un archivo para leer; imprime su ruta", kDialog, kDialogExits},
    CommandRow{"save", "Elige un archivo para grabar; imprime su ruta", kDialog, kDialogExits},
    CommandRow{"message", "Muestra un texto largo que se puede copiar", kDialog,
               "0 cerrado; 2 uso, o un archivo que no se puede leer o pasa de 16 MiB; 3 ninguna ventana que mostrar "
               "(error 68) u otro error"},
    CommandRow{"login", "Pide usuario y contraseña; al aceptar los imprime en dos líneas", kDialog | kUsesJson,
               kDialogExits},
    CommandRow{"info", "La máquina, el volumen de una unidad y la identidad de un disco", kUsesSettings | kUsesJson,
               "0 hecho; 1 unidad no asignada o sin volumen; 2 uso, o un bloque de identidad mal formado; 3 error "
               "de la biblioteca",
               kInfoQueries, kInfoForms},
    CommandRow{"help", "Muestra la ayuda de kor2 o de una orden", 0, "0 hecho; 2 orden desconocida"},
};

} // namespace

const CommandRow* commandRow(std::string_view name)
{
    const auto* row = std::find_if(kCommands.begin(), kCommands.end(), [&](const CommandRow& r) { return r.name == name; });
    return row == kCommands.end() ? nullptr : row;
}

namespace {

std::string joined(std::span<const std::string_view> words, std::string_view separator)
{
    std::string out;
    for (std::string_view word : words)
        out += (out.empty() ? "" : std::string(separator)) + std::string(word);
    return out;
}

// Sub-command help shows only the command's own options: the global ones it honours are named in
// its footer, so that `kor2 call --help` says that --headless applies.
std::string globalsFooter(unsigned globals)
{
    if (globals == 0)
        return {};
    std::string footer = "Opciones globales (antes o después de la orden):\n";
    for (const GlobalOptionRow& option : kGlobalOptions) {
        if ((globals & option.use) == 0)
            continue;
        std::string left = "  " + std::string(option.name) + (option.value.empty() ? "" : " " + std::string(option.value));
        left.resize(std::max<std::size_t>(left.size() + 1, 24), ' ');
        footer += left + std::string(option.help) + "\n";
    }
    return footer;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The commands that do the work: help is offered by the line that follows every usage error.
std::string commandNames(const CLI::App& app)
{
    std::string names;
    for (const CLI::App* sub : app.get_subcommands({}))
        if (sub->get_name() != "help")
            names += (names.empty() ? "" : ", ") + sub->get_name();
    return names;
}

// The parser's own words are English; what a user meets is said again in Spanish. Anything not
// recognised keeps the parser's text after a Spanish lead.
std::string spanishParseError(const CLI::App& app, const CLI::Error& e)
{
    const std::string what = e.what();
    const auto after = [&](std::string_view lead) { return what.substr(std::min(what.size(), lead.size())); };
    if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) {
        if (what == "A subcommand is required") {
            const auto rest = app.remaining();
            if (!rest.empty())
                return "orden desconocida: " + kor2cli::excerpt(rest.front()) + " (órdenes: " + commandNames(app) + ")";
            return "falta la orden (" + commandNames(app) + ")";
        }
        if (endsWith(what, " is required"))
            return "falta " + what.substr(0, what.size() - std::string_view(" is required").size());
        return "faltan opciones obligatorias";
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) {
        const auto colon = what.find(": ");
        const std::string words = colon == std::string::npos ? what : what.substr(colon + 2);
        return (words.find(' ') == std::string::npos ? "argumento inesperado: " : "argumentos inesperados: ") +
               kor2cli::excerpt(words, 200);
    }
    if (dynamic_cast<const CLI::ConversionError*>(&e) != nullptr) {
        if (startsWith(what, "Could not convert: ")) {
            const std::string rest = after("Could not convert: ");
            const auto equals = rest.find(" = ");
            if (equals != std::string::npos)
                return "valor no válido para " + rest.substr(0, equals) + ": " + kor2cli::excerpt(rest.substr(equals + 3));
        }
        if (const auto colon = what.find(": too many inputs for a flag"); colon != std::string::npos)
            return what.substr(0, colon) + " no admite valor";
        return "valor no válido (" + kor2cli::excerpt(what, 200) + ")";
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
        if (const auto colon = what.find(": "); colon != std::string::npos && endsWith(what, " missing"))
            return what.substr(0, colon) + " necesita un valor";
        return "número de valores incorrecto (" + kor2cli::excerpt(what, 200) + ")";
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&e) != nullptr) {
        if (const auto at = what.find(" excludes "); at != std::string::npos)
            return what.substr(0, at) + " y " + what.substr(at + 10) + " no pueden ir juntas";
    }
    if (dynamic_cast<const CLI::RequiresError*>(&e) != nullptr) {
        if (const auto at = what.find(" requires "); at != std::string::npos)
            return what.substr(0, at) + " necesita " + what.substr(at + 10);
    }
    return "argumentos no válidos (" + kor2cli::excerpt(what, 200) + ")";
}

// Help texts in Spanish: labels, the help flag, the group titles. Set before any option or
// command is added, since those copy them when they are made.
void spanishHelp(CLI::App& app)
{
    auto formatter = std::make_shared<CLI::Formatter>();
    for (const auto& [key, label] : {std::pair{"Usage", "Uso"}, {"OPTIONS", "OPCIONES"}, {"SUBCOMMAND", "ORDEN"},
                                     {"SUBCOMMANDS", "ÓRDENES"}, {"Positionals", "Argumentos"},
                                     {"REQUIRED", "OBLIGATORIO"}, {"TEXT", "TEXTO"}, {"INT", "ENTERO"},
                                     {"UINT", "NATURAL"}, {"FLOAT", "NÚMERO"}, {"Needs", "Necesita"},
                                     {"Excludes", "Excluye"}, {"Env", "Variable"}})
        formatter->label(key, label);
    app.formatter(formatter);
    app.option_defaults()->group("Opciones");
    app.set_help_flag("-h,--help", "Muestra esta ayuda y termina");
    app.failure_message([](const CLI::App* top, const CLI::Error& e) {
        return "kor2: " + spanishParseError(*top, e) + "\nUse --help para más información.\n";
    });
}

// The parser reads a word in brackets given to a list as a list ("[a,b]" as a and b, "[x]" as x):
// every word here is data, a file name or a stored value, and is taken as typed. A positional
// list then gathers its words one by one, as many as there are.
void takeWordsAsTyped(CLI::App& app)
{
    for (CLI::App* command : app.get_subcommands({}))
        takeWordsAsTyped(*command);
    for (CLI::Option* option : app.get_options()) {
        if (!option->get_allow_extra_args())
            continue;
        option->allow_extra_args(false);
        if (option->get_positional())
            option->expected(CLI::detail::expected_max_vector_size, CLI::detail::expected_max_vector_size)
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    }
}

} // namespace

std::string_view version() { return KOR2_VERSION; }

ValueKind valueKindOf(std::string_view valueName)
{
    if (valueName.empty())
        return ValueKind::None;
    if (valueName == "ARCHIVO" || valueName == "RUTA")
        return ValueKind::File;
    return valueName == "CARPETA" ? ValueKind::Folder : ValueKind::Other;
}

CommandLine::CommandLine()
{
    spanishHelp(app);
    app.require_subcommand(1);
    app.fallthrough();  // global options may also follow the command
    app.set_version_flag("--version", "kor2 " + std::string(version()), "Muestra la versión y termina");
    app.footer("Use «kor2 help ORDEN» para la ayuda de una orden.");
    for (const GlobalOptionRow& row : kGlobalOptions) {
        const std::string name(row.name);
        const std::string help(row.help);
        if (row.use == kUsesHeadless)
            app.add_flag(name, options.headless, help);
        else if (row.use == kUsesJson)
            app.add_flag(name, options.json, help);
        else if (row.use == kUsesSettings)
            app.add_option(name, options.settings, help)->type_name(std::string(row.value));
        else
            app.add_option(name, row.use == kUsesActions ? options.actionsFile : options.decimal, help)
                ->type_name(std::string(row.value));
    }
    for (const CommandRow& row : kCommands) {
        CLI::App* sub = app.add_subcommand(std::string(row.name), std::string(row.help));
        sub->group("Órdenes");
        sub->get_help_ptr()->group("Opciones");
        sub->footer(globalsFooter(row.globals));
    }
    const auto sub = [this](const char* name) { return app.get_subcommand(name); };

    CLI::App* callCmd = sub("call");
    callCmd->add_option("CLASE", call.className, "Clase, p. ej. CColores")->required();
    callCmd->add_option("MIEMBRO", call.member, "Miembro")->required();
    callCmd->add_option("ARG", call.args, argumentKindsHelp());

    sub("describe")->add_option("CLASE", describeName, "Clase o enumeración; sin ella, todas");

    CLI::App* settingsCmd = sub("settings");
    settingsCmd->add_option("ACCIÓN", settings.action, joined(kSettingsActions, "|"))->required();
    settingsCmd->add_option("PALABRAS", settings.words, "SECCIÓN, CLAVE, VALOR o ARCHIVO según la acción");
    settingsCmd->add_option("--app", settings.app, "Aplicación (por omisión Vesolar)")->type_name("NOMBRE");

    CLI::App* colorCmd = sub("color");
    colorCmd->add_option("--initial", colour.initial, "Número de color propuesto")->type_name("N");
    colorCmd->add_option("--title", colour.title, "Título de la ventana")->type_name("TÍTULO");
    layerOption = colorCmd->add_option("--layer", layer, "Color de la capa principal que se ofrece")->type_name("N");

    CLI::App* inputCmd = sub("input");
    inputCmd->add_option("--title", input.title, "Título de la ventana")->type_name("TÍTULO");
    inputCmd->add_option("--text", input.text, "Texto propuesto")->type_name("TEXTO");
    inputCmd->add_option("--info", input.info, "Texto del botón Ayuda")->type_name("TEXTO");

    CLI::App* numberCmd = sub("number");
    numberCmd->add_option("--title", number.title, "Título de la ventana")->type_name("TÍTULO");
    numberCmd->add_option("--value", number.value, "Número propuesto")->type_name("X");
    numberCmd->add_option("--decimals", number.decimals, "Decimales con que se muestra")->type_name("N");

    save.save = true;
    for (auto [cmd, file] : {std::pair{sub("open"), &open}, std::pair{sub("save"), &save}}) {
        cmd->add_option("--title", file->title, "Título del diálogo (recuerda la última ruta de cada título)")
            ->type_name("TÍTULO");
        cmd->add_option("--filter", file->filter, "Filtro: descripción|patrón;patrón|descripción|patrón")->type_name("FILTRO");
        cmd->add_option("--dir", file->dir, "Carpeta inicial en lugar de la recordada")->type_name("CARPETA");
    }

    CLI::App* messageCmd = sub("message");
    messageCmd->add_option("--title", message.title, "Título de la ventana")->type_name("TÍTULO")->required();
    messageText = messageCmd->add_option("--text", message.text, "El texto")->type_name("TEXTO");
    messageFile = messageCmd->add_option("--file", message.file, "Archivo con el texto (UTF-8)")->type_name("ARCHIVO");
    messageText->excludes(messageFile);

    CLI::App* infoCmd = sub("info");
    infoCmd->add_option("CONSULTA", info.what, "host | volume LETRA | disk N | identify ARCHIVO")->required();
    infoCmd->add_option("PALABRAS", info.words, "LETRA, N o ARCHIVO según la consulta");

    sub("help")->add_option("ORDEN", helpTopic, "La orden de la que se quiere ayuda");
    takeWordsAsTyped(app);
}

CLI::App* CommandLine::command() const
{
    const auto parsed = app.get_subcommands();
    return parsed.empty() ? nullptr : parsed.front();
}

unsigned CommandLine::globalsOf(const CLI::App& command)
{
    const CommandRow* row = commandRow(command.get_name());
    return row ? row->globals : 0;
}

std::span<const std::string_view> CommandLine::choicesOf(const CLI::App& command, const CLI::Option& positional)
{
    const CommandRow* row = commandRow(command.get_name());
    const auto positionals = command.get_options([](const CLI::Option* o) { return o->get_positional(); });
    if (row == nullptr || positionals.empty() || positionals.front() != &positional)
        return {};
    return row->choices;
}

std::string helpText(const CommandLine& line, const std::string& topic)
{
    // Through the formatter: the application's own help() would describe the command just parsed,
    // which is `help` itself.
    const auto formatter = line.app.get_formatter();
    if (topic.empty())
        return formatter->make_help(&line.app, line.app.get_name(), CLI::AppFormatMode::Normal);
    const CLI::App* command = commandRow(topic) ? line.app.get_subcommand(topic) : nullptr;
    if (command == nullptr)
        throw std::invalid_argument("orden desconocida: " + excerpt(topic) + " (órdenes: " + commandNames(line.app) + ")");
    return formatter->make_help(command, line.app.get_name() + " " + command->get_name(), CLI::AppFormatMode::Normal);
}

} // namespace kor2cli
