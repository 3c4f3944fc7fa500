#include "Completion.h"

#include "Commands.h"

#include <Kor2_Sys/Object.h>

#include "classes/Classes.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace kor2cli {
namespace {

// Every word goes into single quotes: one that could end them would break the script.
std::string word(std::string_view text)
{
    if (text.find_first_of("' \t\n\\\"$`") != std::string_view::npos)
        throw std::logic_error("nombre que no se puede completar: " + std::string(text));
    return std::string(text);
}

void append(std::string& list, std::string_view text)
{
    list += (list.empty() ? "" : " ") + word(text);
}

bool isFlag(const CLI::Option& option) { return option.get_expected_max() == 0; }

// A command's own options; its help flag is offered once, with the global ones.
std::vector<const CLI::Option*> ownOptions(const CLI::App& command)
{
    std::vector<const CLI::Option*> options;
    for (const CLI::Option* option : command.get_options([](const CLI::Option* o) { return !o->get_positional(); }))
        if (option != command.get_help_ptr())
            options.push_back(option);
    return options;
}

// Each case of a `case "$1" in` body: the key, then the words it yields.
std::string caseArm(const std::string& keys, const std::string& words)
{
    return "    " + keys + ") echo '" + words + "' ;;\n";
}

std::string optionLists(const CLI::App& app, bool takingValues)
{
    std::string arms;
    for (const CLI::App* command : app.get_subcommands({})) {
        std::string names;
        for (const CLI::Option* option : ownOptions(*command))
            if (!takingValues || !isFlag(*option))
                for (const std::string& name : option->get_lnames())
                    append(names, "--" + name);
        arms += caseArm(word(command->get_name()), names);
    }
    return arms;
}

// What each option's value is offered from: file names, folders, its closed list of words, or
// nothing. An option name means one kind of value in every command.
std::string valueArms(const CLI::App& app)
{
    std::map<std::string, std::string> wordsOf;  // option name -> compgen's arguments
    const auto add = [&](const std::string& name, std::string words) {
        const auto [at, added] = wordsOf.emplace(name, words);
        if (!added && at->second != words)
            throw std::logic_error("opción con dos clases de valor: " + name);
    };
    const auto kindWords = [](std::string_view valueName, std::span<const std::string_view> choices) -> std::string {
        if (!choices.empty()) {
            std::string list;
            for (std::string_view choice : choices)
                append(list, choice);
            return "-W '" + list + "'";
        }
        switch (valueKindOf(valueName)) {
        case ValueKind::File: return "-f";
        case ValueKind::Folder: return "-d";
        default: return {};
        }
    };
    for (const GlobalOptionRow& row : kGlobalOptions)
        if (!row.value.empty())
            add(std::string(row.name), kindWords(row.value, row.choices));
    for (const CLI::App* command : app.get_subcommands({}))
        for (const CLI::Option* option : ownOptions(*command))
            if (!isFlag(*option))
                for (const std::string& name : option->get_lnames())
                    add("--" + name, kindWords(option->get_type_name(), {}));
    std::map<std::string, std::string> namesOf;  // compgen's arguments -> option names
    for (const auto& [name, words] : wordsOf)
        if (!words.empty())
            namesOf[words] += (namesOf[words].empty() ? "" : "|") + word(name);
    std::string arms;
    for (const auto& [words, names] : namesOf)
        arms += "    " + names + ") compgen " + words + " -- \"$2\" ;;\n";
    return arms;
}

std::string choiceLists(const CLI::App& app)
{
    std::string arms;
    for (const CLI::App* command : app.get_subcommands({})) {
        const auto positionals = command->get_options([](const CLI::Option* o) { return o->get_positional(); });
        if (positionals.empty())
            continue;
        std::string words;
        for (std::string_view choice : CommandLine::choicesOf(*command, *positionals.front()))
            append(words, choice);
        if (!words.empty())
            arms += caseArm(word(command->get_name()), words);
    }
    return arms;
}

// A member appears once even when it is both read and assigned.
std::string memberLists()
{
    std::string arms;
    for (const Kor2_Sys::ClassInfo* info : Kor2_Sys::libraryClasses()) {
        std::vector<std::string_view> seen;
        std::string words;
        for (const Kor2_Sys::MemberInfo& member : info->members)
            if (std::find(seen.begin(), seen.end(), member.name) == seen.end()) {
                seen.push_back(member.name);
                append(words, member.name);
            }
        arms += caseArm(word(info->name) + "|" + word(info->progId()), words);
    }
    return arms;
}

} // namespace

std::string completionScript(const CommandLine& line)
{
    const CLI::App& app = line.app;
    std::string globals, globalValues, commands, classes, enums, kinds;
    for (const GlobalOptionRow& row : kGlobalOptions) {
        append(globals, row.name);
        if (!row.value.empty())
            append(globalValues, row.name);
    }
    append(globals, "--version");
    append(globals, "--help");
    for (const CLI::App* command : app.get_subcommands({}))
        append(commands, command->get_name());
    for (const Kor2_Sys::ClassInfo* info : Kor2_Sys::libraryClasses())
        append(classes, info->name);
    for (const Kor2_Sys::EnumInfo* info : Kor2_Sys::libraryEnums())
        append(enums, info->name);
    for (const ArgumentKind& kind : kArgumentKinds)
        append(kinds, kind.word);

    return "# Completado de bash para kor2 " + std::string(version()) +
           ", escrito al compilar a partir de la tabla de órdenes y de las tablas de despacho.\n"
           "\n_kor2_members() {\n  case \"$1\" in\n" + memberLists() + "  esac\n}\n"
           "\n_kor2_options() {\n  case \"$1\" in\n" + optionLists(app, false) + "  esac\n}\n"
           "\n_kor2_valued() {\n  case \"$1\" in\n" + optionLists(app, true) + "  esac\n}\n"
           "\n_kor2_values() {\n  case \"$1\" in\n" + valueArms(app) + "  esac\n}\n"
           "\n_kor2_choices() {\n  case \"$1\" in\n" + choiceLists(app) + "  esac\n}\n"
           "\n_kor2() {\n"
           "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "  local command='' first='' positional=0 words='' i\n"
           "  local valued=' " + globalValues + " '\n"
           "  COMPREPLY=()\n"
           "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "    local w=${COMP_WORDS[i]}\n"
           "    if [[ $w == -* ]]; then\n"
           "      [[ \" $valued $(_kor2_valued \"$command\") \" == *\" $w \"* ]] && ((i++))\n"
           "    elif [[ -z $command ]]; then\n"
           "      command=$w\n"
           "    else\n"
           "      ((positional++ == 0)) && first=$w\n"
           "    fi\n"
           "  done\n"
           "  if [[ $prev == -* && \" $valued $(_kor2_valued \"$command\") \" == *\" $prev \"* ]]; then\n"
           "    mapfile -t COMPREPLY < <(_kor2_values \"$prev\" \"$cur\")\n"
           "    return\n"
           "  fi\n"
           "  if [[ $cur == -* ]]; then\n"
           "    words='" + globals + "'\" $(_kor2_options \"$command\")\"\n"
           "  elif [[ -z $command ]]; then\n"
           "    words='" + commands + "'\n"
           "  elif ((positional == 0)); then\n"
           "    case $command in\n"
           "      call) words='" + classes + "' ;;\n"
           "      describe) words='" + classes + " " + enums + "' ;;\n"
           "      help) words='" + commands + "' ;;\n"
           "      *) words=$(_kor2_choices \"$command\") ;;\n"
           "    esac\n"
           "  elif [[ $command == call && $positional == 1 ]]; then\n"
           "    words=$(_kor2_members \"$first\")\n"
           "  elif [[ $command == call ]]; then\n"
           "    words='" + kinds + "'\n"
           "  fi\n"
           "  COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
           "  # A type prefix is completed without the space, for the value to follow it.\n"
           "  [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *: ]] && compopt -o nospace 2> /dev/null\n"
           "  return 0\n"
           "}\n"
           "complete -F _kor2 kor2\n";
}

} // namespace kor2cli
