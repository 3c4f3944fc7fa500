// kor2: the library from the command line — late-bound calls, a JSON-lines session for other
// languages, and the interface listing of every class.

#include "Describe.h"
#include "Dialogs.h"
#include "Info.h"
#include "Io.h"
#include "JsonReader.h"
#include "Runtime.h"
#include "Session.h"
#include "Settings.h"

#include "frame/Utf.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>

using namespace Kor2_Sys;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr int kExitError = 3;

struct CallCommand {
    std::string className;
    std::string member;
    std::vector<std::string> args;
};

const ClassInfo& requireClass(const std::string& name)
{
    const ClassInfo* info = findClass(name);
    if (info == nullptr)
        throw std::invalid_argument("clase desconocida: " + kor2cli::excerpt(name) + " (kor2 describe las lista)");
    return *info;
}

int runCall(kor2cli::Runtime& runtime, const CallCommand& command)
{
    const ClassInfo& info = requireClass(command.className);
    std::vector<Variant> args;
    for (const std::string& arg : command.args)
        args.push_back(kor2cli::parseArgument(arg));
    std::shared_ptr<Object> target;
    kor2cli::CallOutcome outcome;
    try {
        target = kor2cli::callTarget(info);
        outcome = runtime.call(*target, command.member, std::move(args));
    } catch (const Error& error) {
        outcome.error = error;
    }
    std::cout << runtime.answer(outcome) << std::endl;
    return outcome.error ? kExitError : kExitOk;
}

int runDescribe(const std::string& name, bool json)
{
    if (!name.empty()) {
        if (const ClassInfo* info = findClass(name))
            std::cout << kor2cli::describe(*info, json);
        else if (const EnumInfo* enumeration = findEnum(name))
            std::cout << kor2cli::describe(*enumeration, json);
        else
            throw std::invalid_argument("clase o enumeración desconocida: " + kor2cli::excerpt(name) +
                                        " (kor2 describe las lista)");
        return kExitOk;
    }
    for (const ClassInfo* info : libraryClasses())
        std::cout << kor2cli::describe(*info, json) << (json ? "" : "\n");
    for (const EnumInfo* info : libraryEnums())
        std::cout << kor2cli::describe(*info, json) << (json ? "" : "\n");
    return kExitOk;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string commandNames(const CLI::App& app)
{
    std::string names;
    for (const CLI::App* sub : app.get_subcommands({}))
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

int run(int argc, char** argv)
{
    CLI::App app{"kor2: servicios de Kor2_Sys desde la línea de órdenes"};
    spanishHelp(app);
    app.require_subcommand(1);
    app.fallthrough();  // global options may also follow the command
    kor2cli::GlobalOptions options;
    app.add_flag("--headless", options.headless, "Sistema de ventanas guionizado, sin pantalla");
    app.add_option("--actions", options.actionsFile, "Archivo JSON con los guiones de ventanas (con --headless)");
    app.add_option("--settings", options.settings, "Almacén de configuración: RUTA o :memory:");
    app.add_option("--decimal", options.decimal, "Separador decimal regional para esta ejecución: , o .");
    app.add_flag("--json", options.json, "Salida JSON donde la salida es texto");

    CallCommand call;
    auto* callCmd = app.add_subcommand("call", "Una llamada con enlace tardío; MIEMBRO= asigna una propiedad");
    callCmd->add_option("CLASE", call.className, "Clase, p. ej. CColores")->required();
    callCmd->add_option("MIEMBRO", call.member, "Miembro")->required();
    callCmd->add_option("ARG", call.args, "byte:N int:N long:N single:X double:X bool:true|false text:TEXTO empty null");

    auto* sessionCmd = app.add_subcommand("session", "Peticiones JSON por líneas en la entrada estándar");

    std::string describeClass;
    auto* describeCmd = app.add_subcommand("describe", "Miembros de una clase con sus identificadores, valores de una enumeración");
    describeCmd->add_option("CLASE", describeClass, "Clase o enumeración; sin ella, todas");

    kor2cli::SettingsCommand settingsCommand;
    auto* settingsCmd = app.add_subcommand("settings", "El almacén de configuración: get, set, list, delete, export, import");
    settingsCmd->add_option("ACCIÓN", settingsCommand.action, "get|set|list|delete|export|import")->required();
    settingsCmd->add_option("PALABRAS", settingsCommand.words, "SECCIÓN, CLAVE, VALOR o ARCHIVO según la acción");
    settingsCmd->add_option("--app", settingsCommand.app, "Aplicación (por omisión Vesolar)");

    kor2cli::ColourCommand colourCommand;
    Long layer = 0;
    auto* colorCmd = app.add_subcommand("color", "El selector de colores; imprime el color, su índice y su nombre");
    colorCmd->add_option("--initial", colourCommand.initial, "Número de color propuesto");
    colorCmd->add_option("--title", colourCommand.title, "Título de la ventana");
    auto* layerOption = colorCmd->add_option("--layer", layer, "Color de la capa principal que se ofrece");

    kor2cli::InputCommand inputCommand;
    auto* inputCmd = app.add_subcommand("input", "Pide un texto; lo imprime al aceptar");
    inputCmd->add_option("--title", inputCommand.title, "Título de la ventana");
    inputCmd->add_option("--text", inputCommand.text, "Texto propuesto");
    inputCmd->add_option("--info", inputCommand.info, "Texto del botón Ayuda");

    kor2cli::NumberCommand numberCommand;
    auto* numberCmd = app.add_subcommand("number", "Pide un número (coma o punto); lo imprime al aceptar");
    numberCmd->add_option("--title", numberCommand.title, "Título de la ventana");
    numberCmd->add_option("--value", numberCommand.value, "Número propuesto");
    numberCmd->add_option("--decimals", numberCommand.decimals, "Decimales con que se muestra");

    kor2cli::FileCommand openCommand, saveCommand;
    saveCommand.save = true;
    auto* openCmd = app.add_subcommand("open", "Elige un archivo para leer; imprime su ruta");
    auto* saveCmd = app.add_subcommand("save", "Elige un archivo para grabar; imprime su ruta");
    for (auto [cmd, file] : {std::pair{openCmd, &openCommand}, std::pair{saveCmd, &saveCommand}}) {
        cmd->add_option("--title", file->title, "Título del diálogo (recuerda la última ruta de cada título)");
        cmd->add_option("--filter", file->filter, "Filtro: descripción|patrón;patrón|descripción|patrón");
        cmd->add_option("--dir", file->dir, "Carpeta inicial en lugar de la recordada");
    }

    kor2cli::MessageCommand messageCommand;
    auto* messageCmd = app.add_subcommand("message", "Muestra un texto largo que se puede copiar");
    messageCmd->add_option("--title", messageCommand.title, "Título de la ventana")->required();
    auto* messageText = messageCmd->add_option("--text", messageCommand.text, "El texto");
    auto* messageFile = messageCmd->add_option("--file", messageCommand.file, "Archivo con el texto (UTF-8)");
    messageText->excludes(messageFile);

    auto* loginCmd = app.add_subcommand("login", "Pide usuario y contraseña; al aceptar los imprime en dos líneas");
    kor2cli::InfoCommand infoCommand;
    auto* infoCmd = app.add_subcommand("info", "La máquina, el volumen de una unidad y la identidad de un disco");
    infoCmd->add_option("CONSULTA", infoCommand.what, "host | volume LETRA | disk N | identify ARCHIVO")->required();
    infoCmd->add_option("PALABRAS", infoCommand.words, "LETRA, N o ARCHIVO según la consulta");

    for (CLI::App* command : app.get_subcommands({})) {
        command->group("Órdenes");
        command->get_help_ptr()->group("Opciones");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }

    try {
        if (messageCmd->parsed() && messageText->count() == 0 && messageFile->count() == 0)
            throw std::invalid_argument("message necesita --text o --file");
        if (describeCmd->parsed())
            return runDescribe(describeClass, options.json);
        kor2cli::Runtime runtime(options);
        if (callCmd->parsed())
            return runCall(runtime, call);
        if (sessionCmd->parsed())
            return kor2cli::runSession(runtime, kor2cli::standardInput(), std::cout);
        if (colorCmd->parsed()) {
            if (layerOption->count() > 0)
                colourCommand.layer = layer;
            return kor2cli::runColour(colourCommand, std::cout, std::cerr);
        }
        if (inputCmd->parsed())
            return kor2cli::runInput(inputCommand, std::cout, std::cerr);
        if (numberCmd->parsed())
            return kor2cli::runNumber(numberCommand, std::cout, std::cerr);
        if (openCmd->parsed())
            return kor2cli::runFile(openCommand, std::cout, std::cerr);
        if (saveCmd->parsed())
            return kor2cli::runFile(saveCommand, std::cout, std::cerr);
        if (messageCmd->parsed())
            return kor2cli::runMessage(messageCommand, std::cout, std::cerr);
        if (loginCmd->parsed())
            return kor2cli::runLogin(options.json, std::cout, std::cerr);
        if (infoCmd->parsed()) {
            infoCommand.json = options.json;
            return kor2cli::runInfo(infoCommand, std::cout, std::cerr);
        }
        if (settingsCmd->parsed()) {
            settingsCommand.json = options.json;
            kor2cli::openStoreFor(settingsCommand);
            return kor2cli::runSettings(settingsCommand, std::cout, std::cerr);
        }
    } catch (const std::invalid_argument& e) {
        std::cerr << "kor2: " << e.what() << "\n";
        return kExitUsage;
    } catch (const Error& e) {
        std::cerr << "kor2: error " << e.number() << ": " << utf::toUtf8(e.description()) << "\n";
        return kExitError;
    } catch (const std::exception& e) {
        std::cerr << "kor2: " << e.what() << "\n";
        return kExitError;
    }
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    // Past a file-size limit a write fails with EFBIG, which every command reports and cleans up
    // after, instead of the signal ending the run with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    // Whatever the command, its output must have reached standard output for the run to succeed.
    kor2cli::checkStandardOutput();
    return kor2cli::finishStandardOutput(run(argc, argv));
}
