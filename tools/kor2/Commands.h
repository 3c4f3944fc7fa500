#pragma once
// kor2's command line as one table: the global options, the commands with their own options and
// the words their positionals take. The parser, `--help`, `kor2 help`, the manual page and the
// shell completion are all read from it, so none of them is a second list.

#include "Dialogs.h"
#include "Info.h"
#include "Runtime.h"
#include "Settings.h"

#include <CLI/CLI.hpp>

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kor2cli {

/// Which global options a command honours (a bit each).
enum GlobalUse : unsigned {
    kUsesHeadless = 1u << 0,
    kUsesActions = 1u << 1,
    kUsesSettings = 1u << 2,
    kUsesDecimal = 1u << 3,
    kUsesJson = 1u << 4,
};

struct GlobalOptionRow {
    std::string_view name;   ///< "--headless"
    std::string_view value;  ///< the value's name (see `ValueKind`); empty for a flag
    std::string_view help;
    GlobalUse use;
    std::span<const std::string_view> choices{};  ///< the words the value takes, when closed
};

/// The options that stand before or after any command.
inline constexpr std::array kGlobalOptions{
    GlobalOptionRow{"--headless", "", "Sistema de ventanas guionizado, sin pantalla", kUsesHeadless},
    GlobalOptionRow{"--actions", "ARCHIVO", "Archivo JSON con los guiones de ventanas (con --headless)", kUsesActions},
    GlobalOptionRow{"--settings", "RUTA", "Almacén de configuración: RUTA o :memory:", kUsesSettings},
    GlobalOptionRow{"--decimal", "SEP", "Separador decimal regional para esta ejecución: , o .", kUsesDecimal,
                    kDecimalSeparators},
    GlobalOptionRow{"--json", "", "Salida JSON donde la salida es texto", kUsesJson},
};

/// What an option's value is, told by the value's name: the completion offers file names for a
/// file, folders for a folder and nothing for the rest, whose words it cannot know.
enum class ValueKind { None, File, Folder, Other };
ValueKind valueKindOf(std::string_view valueName);

/// One command of the table.
struct CommandRow {
    std::string_view name;
    std::string_view help;
    unsigned globals;                             ///< GlobalUse bits
    std::string_view exits;                       ///< its exit statuses, "0 hecho; 2 uso; ..."
    std::span<const std::string_view> choices{};  ///< the first positional's words, when closed
    std::span<const std::string_view> forms{};    ///< for each choice, the words that follow it
};

/// The row of the command `name`; null for none.
const CommandRow* commandRow(std::string_view name);

struct CallCommand {
    std::string className;
    std::string member;
    std::vector<std::string> args;
};

/// The parsed command line of one run. Not movable: the parser holds pointers into it.
class CommandLine {
public:
    CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    CLI::App app{"kor2: servicios de Kor2_Sys desde la línea de órdenes", "kor2"};
    GlobalOptions options;
    CallCommand call;
    std::string describeName;
    std::string helpTopic;
    SettingsCommand settings;
    ColourCommand colour;
    Kor2_Sys::Long layer = 0;
    InputCommand input;
    NumberCommand number;
    FileCommand open, save;
    MessageCommand message;
    InfoCommand info;

    CLI::Option* layerOption = nullptr;
    CLI::Option* messageText = nullptr;
    CLI::Option* messageFile = nullptr;

    /// The command given, or null (only --version or --help).
    CLI::App* command() const;
    /// The global options that `command` honours, as a bit set of GlobalUse.
    static unsigned globalsOf(const CLI::App& command);
    /// The closed list of words of a command's positional; empty when any word goes.
    static std::span<const std::string_view> choicesOf(const CLI::App& command, const CLI::Option& positional);
};

/// The text `kor2 help [COMMAND]` prints; std::invalid_argument for a command that does not exist.
std::string helpText(const CommandLine& line, const std::string& topic);

/// kor2's version, the project's.
std::string_view version();

} // namespace kor2cli
