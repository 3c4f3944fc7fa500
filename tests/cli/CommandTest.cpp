// The kor2 program as a script meets it: a child process with its own standard streams, judged by
// exit status and what it says.
#include "ChildProcess.h"
#include "Guards.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

using kor2test::Outcome;

Outcome kor2(std::vector<std::string> args)
{
    // KOR2_TEST_EXE runs the same checks on another build of the program (an installed one).
    const char* exe = std::getenv("KOR2_TEST_EXE");
    args.insert(args.begin(), exe != nullptr ? exe : KOR2_EXE);
    return kor2test::runProgram(std::move(args), {});
}

// What the tool says about a file, a store or a word it cannot use: whole and in Spanish (the
// usage errors and the plain file arguments are checked on the command line: cli.usage_*). And
// text the tool did not write itself (a stored value, a chosen file name, a word of the command
// line) reaches a terminal or a JSON reader escaped, in every printer: controls, DEL, C1 and the
// bidirectional controls that would reorder what is read. Every word is taken as typed: one in
// brackets is no list of words.
TEST(Said, IsWholeSpanishAndEscaped)
{
    kor2test::TempDir dir;
    const std::string store = dir.file("settings.db");
    const std::string escaped = "a\\u001b]0;x\\u0007b\\u007f\\u0085\\u202e\\u2066";
    std::ofstream(dir.file("binary"), std::ios::binary) << std::string("ab\0cd\x1b", 6);
    fs::create_symlink(dir.file("nowhere/settings.db"), dir.file("dangling.db"));
    std::ofstream(dir.file("actions.json"))
        << R"([{"window": "file", "do": [{"file": "/tmp/a\u001b]0;x\u0007b\u202e.txt"}]}])";
    ASSERT_EQ(kor2({"--settings", store, "settings", "set", "S", "K", "a\x1b]0;x\x07" "b\x7f\xc2\x85\xe2\x80\xae\xe2\x81\xa6"})
                  .status, 0);
    // A link planted at a store's journal (the library keeps its target as it was).
    ASSERT_EQ(kor2({"--settings", dir.file("linked.db"), "settings", "set", "S", "K", "V"}).status, 0);
    fs::create_symlink(dir.file("binary"), dir.file("linked.db-wal"));
    for (const auto& [args, status, says] : std::vector<std::tuple<std::vector<std::string>, int, std::string>>{
             {{"info", "identify", dir.file("binary")}, 2, "tiene \"ab\\u0000cd\\u001b\", que no es una palabra hexadecimal"},
             {{"--settings", dir.file("dangling.db"), "settings", "set", "S", "K", "V"}, 3, "dangling.db: no existe"},
             {{"--settings", dir.file("linked.db"), "settings", "set", "S", "K", "W"}, 3,
              "linked.db-wal no es un archivo normal (es un enlace"},
             // it used the default store
             {{"--settings", "", "settings", "list"}, 2, "--settings necesita la ruta de un archivo"},
             {{"settings", "get", "S", "K", "--settings", ""}, 2, "--settings necesita la ruta de un archivo"},
             {{"--settings", store, "settings", "get", "S", "K"}, 0, escaped},
             {{"--settings", store, "settings", "list"}, 0, escaped},
             {{"--settings", store, "--json", "settings", "list"}, 0, escaped},
             {{"--settings", store, "--headless", "--actions", dir.file("actions.json"), "save"}, 0,
              "/tmp/a\\u001b]0;x\\u0007b\\u202e.txt"},
             // A file dialog that cannot be played is a failure, not a cancel.
             {{"--settings", store, "--headless", "open"}, 3, "error 5: "},
             {{"info", "volume", "\x1b"}, 2, "una sola letra, de la A a la Z: \\x1B"},
             {{"info", "volume", "\xe2\x80\xae"}, 2, "una sola letra, de la A a la Z: \\u202E"},
             {{"--settings", store, "settings", "set", "P", "K", "[x]"}, 0, ""},  // it stored x
             {{"--settings", store, "settings", "set", "P", "L", "[1,2]"}, 0, ""},  // a usage error
             {{"--settings", store, "settings", "list", "P"}, 0, "[P] K = [x]\n[P] L = [1,2]\n"},
             {{"call", "CString", "S_Vl", "[text:3]"}, 2, "argumento no válido: [text:3]"},  // it ran as text:3
             {{"info", "volume", "[C]"}, 2, "una sola letra, de la A a la Z: [C]"}}) {  // drive C
        const Outcome run = kor2(args);
        const std::string said = run.out + run.err;
        EXPECT_EQ(run.status, status) << args.back() << ": " << said;
        EXPECT_NE(said.find(says), std::string::npos) << args.back() << ": " << said;
        EXPECT_EQ(said.find("No such"), std::string::npos) << said;
        for (const std::string_view raw : {"\x1b", "\x07", "\x7f", "\xc2\x85", "\xe2\x80\xae", "\xe2\x81\xa6"})
            EXPECT_EQ(said.find(raw), std::string::npos) << args.back() << ": sin escapar";
    }
    // The synopsis's own "export [ARCHIVO]", typed as it is, writes a file of that name.
    const char* exe = std::getenv("KOR2_TEST_EXE");
    const Outcome run = kor2test::runProgram({"/bin/sh", "-c", "cd \"$0\" && exec \"$1\" --settings \"$2\" settings export '[ARCHIVO]'",
                                              dir.file(""), exe != nullptr ? exe : KOR2_EXE, store});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(dir.file("[ARCHIVO]")));
    EXPECT_FALSE(fs::exists(dir.file("ARCHIVO")));
}

// A library error from `call` keeps its JSON answer and also tells the person at the terminal
// where it happened: the member, the argument at fault and its type, and where to look.
TEST(CallError, SaysOnStandardErrorWhatWentWrongWhere)
{
    for (const auto& [args, line] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"cColores", "Nada"}, "error 438 en CColores.Nada: El objeto no admite esta propiedad o método"},
             {{"CColores", "col_nucad_de_nuvb", "text:rojo"},
              "error 13 en CColores.Col_NuCad_de_NuVB: No coinciden los tipos; el argumento 1, NumColorVb, que espera long"},
             {{"c_VL", "CurrentDrive=", "text:x"},
              "error 13 en c_VL.CurrentDrive=: No coinciden los tipos; el argumento 1, CurrentDrive, que espera byte"},
             {{"CColores", "Col_NuCad_de_NuVB"},
              "error 449 en CColores.Col_NuCad_de_NuVB: Argumento no opcional; falta el argumento 1, NumColorVb, que espera long"},
             {{"CColores", "Col_NuCad_de_NuVB", "long:1", "long:2"},
              "error 450 en CColores.Col_NuCad_de_NuVB: Número de argumentos incorrecto o asignación de propiedad no "
              "válida; admite 1 argumento como mucho y recibió 2"}}) {
        std::vector<std::string> call{"call"};
        call.insert(call.end(), args.begin(), args.end());
        const Outcome run = kor2(call);
        const std::string cls = line.substr(line.find(" en ") + 4, line.find('.') - line.find(" en ") - 4);
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err, "kor2: " + line + " (véase kor2 describe " + cls + ")\n");
        EXPECT_NE(run.out.find("\"error\": {\"number\": " + line.substr(6, line.find(' ', 6) - 6) + ","), std::string::npos) << run.out;
    }
}

} // namespace
