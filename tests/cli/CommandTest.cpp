// The kor2 program as a script meets it: a child process with its own standard streams,
// environment and file-size limit, judged by exit status, output and what it leaves on disk.
#include "ChildProcess.h"
#include "Guards.h"
#include "SettingsGuards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using kor2test::Launch;
using kor2test::Outcome;

Outcome kor2(std::vector<std::string> args, const Launch& launch = {})
{
    // KOR2_TEST_EXE runs the same checks on another build of the program (an installed one).
    const char* exe = std::getenv("KOR2_TEST_EXE");
    args.insert(args.begin(), exe != nullptr ? exe : KOR2_EXE);
    return kor2test::runProgram(std::move(args), launch);
}

// A run on the settings file `store`, whose files may grow to `fileSizeLimit` bytes.
Launch onStore(const std::string& store, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    Launch launch;
    launch.env["KOR2_SETTINGS"] = store;
    launch.fileSizeLimit = fileSizeLimit;
    return launch;
}

Launch fed(std::string input, std::string stdoutPath = {})
{
    Launch launch;
    launch.input = std::move(input);
    launch.stdoutPath = std::move(stdoutPath);
    return launch;
}

std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// An export document of `count` entries with values of `size` bytes.
std::string bigExport(int count, std::size_t size)
{
    std::string doc = R"({"format": "kor2-settings", "version": 1, "entries": [)";
    for (int i = 0; i < count; ++i)
        doc += (i ? "," : "") + std::string(R"({"app": "Vesolar", "section": "Grande", "key": "k)") + std::to_string(i) +
               R"(", "value": ")" + std::string(size, 'v') + "\"}";
    return doc + "]}";
}

// --- Output that cannot be written ----------------------------------------------------------------

// A command line and a text: its standard input, or what it must say.
struct CommandCase {
    std::vector<std::string> args;
    std::string text;
    friend std::ostream& operator<<(std::ostream& os, const CommandCase& c)
    {
        for (const auto& a : c.args)
            os << a << ' ';
        return os;
    }
};

class FullStandardOutput : public ::testing::TestWithParam<CommandCase> {};
TEST_P(FullStandardOutput, IsAnErrorWhateverTheCommand)
{
    const Outcome run = kor2(GetParam().args, fed(GetParam().text, "/dev/full"));
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.err, "kor2: no se puede escribir la salida: no queda espacio en el disco\n");
}
INSTANTIATE_TEST_SUITE_P(Commands, FullStandardOutput, ::testing::Values(
    CommandCase{{"describe"}, ""}, CommandCase{{"describe", "CColores"}, ""},
    CommandCase{{"call", "CColores", "Col_NuCad_de_NuVB", "long:1"}, ""},
    CommandCase{{"--headless", "session"}, R"({"op":"call","class":"CColores","member":"Col_NuCad_de_NuVB","args":[1]})" "\n"},
    CommandCase{{"--settings", ":memory:", "settings", "export"}, ""}, CommandCase{{"--help"}, ""}));

TEST(Export, ToAFullDeviceFailsNamingIt)
{
    const Outcome run = kor2({"--settings", ":memory:", "settings", "export", "/dev/full"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "kor2: no se puede escribir /dev/full: no queda espacio en el disco\n");
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));  // written to, never replaced
}

TEST(Export, ThatFailsLeavesTheFormerBackupWhole)
{
    kor2test::TempDir dir;
    const std::string store = dir.file("settings.db"), backup = dir.file("backup.json");
    std::ofstream(dir.file("big.json")) << bigExport(300, 1000);
    ASSERT_EQ(kor2({"settings", "import", dir.file("big.json")}, onStore(store)).status, 0);
    std::ofstream(backup) << "la copia anterior";
    const auto before = filesIn(dir.path());
    const Outcome run = kor2({"settings", "export", backup}, onStore(store, 64 << 10));
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "kor2: no se puede escribir " + backup + ": el archivo pasa del tamaño permitido\n");
    EXPECT_EQ(kor2test::look(backup).contents, "la copia anterior");
    EXPECT_EQ(filesIn(dir.path()), before);  // no temporary file left behind
}

TEST(Export, ReplacesThroughALinkWithAPrivateFile)
{
    kor2test::TempDir dir;
    const std::string store = dir.file("settings.db");
    ASSERT_EQ(kor2({"settings", "set", "S", "K", "V"}, onStore(store)).status, 0);
    std::ofstream(dir.file("real.json")) << "vieja";
    fs::create_symlink("real.json", dir.file("link.json"));
    const Outcome run = kor2({"settings", "export", dir.file("link.json")}, onStore(store));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(dir.file("link.json")));
    EXPECT_NE(kor2test::look(dir.file("real.json")).contents.find(R"("key": "K", "value": "V")"), std::string::npos);
    EXPECT_EQ(fs::status(dir.file("real.json")).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

// A killed export leaves its temporary file; the next export to that file removes it, and only it.
TEST(Export, RemovesTheTemporaryFilesThatNoRunHolds)
{
    kor2test::TempDir dir;
    const std::string store = dir.file("settings.db");
    ASSERT_EQ(kor2({"settings", "set", "S", "K", "V"}, onStore(store)).status, 0);
    const std::vector<std::string> stale{".backup.json.kor2-a1B2c3", ".backup.json.kor2-XXXXXX"},
        kept{".backup.json.kor2-Live00", ".backup.json.kor2-toolong", ".other.json.kor2-a1B2c3", "backup.json.kor2-a1B2c3"};
    for (const auto& name : stale)
        std::ofstream(dir.file(name)) << std::string(1000, 'x');
    for (const auto& name : kept)
        std::ofstream(dir.file(name)) << "x";
    const int live = ::open(dir.file(kept[0]).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);  // a run that is still writing it
    const Outcome run = kor2({"settings", "export", dir.file("backup.json")}, onStore(store));
    ::close(live);
    ASSERT_EQ(run.status, 0) << run.err;
    for (const auto& name : stale)
        EXPECT_FALSE(fs::exists(dir.file(name))) << name;
    for (const auto& name : kept)
        EXPECT_TRUE(fs::exists(dir.file(name))) << name;
}

// --- Import: one transaction ------------------------------------------------------------------------

TEST(Import, ThatFailsForLackOfRoomChangesNothing)
{
    kor2test::TempDir dir;
    const std::string store = dir.file("settings.db");
    ASSERT_EQ(kor2({"settings", "set", "Antes", "K", "V"}, onStore(store)).status, 0);
    std::ofstream(dir.file("big.json")) << bigExport(300, 1000);
    const Outcome run = kor2({"settings", "import", dir.file("big.json")}, onStore(store, 64 << 10));
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("no se ha cambiado nada"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("error;"), std::string::npos) << "in Spanish: " << run.err;
    EXPECT_EQ(kor2({"settings", "list"}, onStore(store)).out, "[Antes] K = V\n");
}

// --- Commands that only read --------------------------------------------------------------------

class ReadOnlyCommand : public ::testing::TestWithParam<std::vector<std::string>> {};
TEST_P(ReadOnlyCommand, CreatesNothing)
{
    kor2test::TempDir home;
    Launch launch;
    launch.env["HOME"] = home.path().string();
    launch.env["KOR2_SETTINGS"] = std::nullopt;
    launch.env["XDG_CONFIG_HOME"] = std::nullopt;
    std::vector<std::string> args{"settings"};
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    const Outcome run = kor2(args, launch);
    EXPECT_LE(run.status, 1) << run.err;
    EXPECT_TRUE(filesIn(home.path()).empty());
}
INSTANTIATE_TEST_SUITE_P(Settings, ReadOnlyCommand, ::testing::Values(
    std::vector<std::string>{"get", "S", "K"}, std::vector<std::string>{"list"}, std::vector<std::string>{"export"}));

// --- File arguments -------------------------------------------------------------------------------

class FileArgument : public ::testing::TestWithParam<CommandCase> {};
TEST_P(FileArgument, ThatCannotBeUsedIsAUsageError)
{
    const Outcome run = kor2(GetParam().args, onStore(":memory:"));
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(GetParam().text), std::string::npos) << run.err;
}
INSTANTIATE_TEST_SUITE_P(Arguments, FileArgument, ::testing::Values(
    CommandCase{{"--headless", "--actions", "/tmp", "call", "CColores", "Col_NuCad_de_NuVB", "long:1"},
                     "no se puede leer el archivo de acciones /tmp: es una carpeta, no un archivo"},
    CommandCase{{"settings", "import", "/tmp"}, "no se puede leer el archivo de importación /tmp: es una carpeta"},
    CommandCase{{"message", "--title", "t", "--file", "/tmp"}, "no se puede leer el archivo del mensaje /tmp: es una carpeta"},
    CommandCase{{"message", "--title", "t", "--file", "/dev/zero"}, "el archivo del mensaje /dev/zero pasa de 16 MiB"},
    CommandCase{{"--headless", "--actions", "/dev/zero", "call", "CColores", "Col_NuCad_de_NuVB", "long:1"}, "pasa de 64 MiB"},
    CommandCase{{"settings", "import", "/nonexistent/x.json"}, "/nonexistent/x.json: no existe"}));

// --- Usage errors in Spanish ------------------------------------------------------------------------

class Usage : public ::testing::TestWithParam<CommandCase> {};
TEST_P(Usage, IsToldInSpanish)
{
    const Outcome run = kor2(GetParam().args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kor2: " + GetParam().text + "\nUse --help para más información.\n");
}
INSTANTIATE_TEST_SUITE_P(Words, Usage, ::testing::Values(
    CommandCase{{"bogus"}, "orden desconocida: bogus (órdenes: call, session, describe, settings, color, input, number, open, save, message, login, info)"},
    CommandCase{{}, "falta la orden (call, session, describe, settings, color, input, number, open, save, message, login, info)"},
    CommandCase{{"call", "CColores"}, "falta MIEMBRO"}, CommandCase{{"describe", "a", "b"}, "argumento inesperado: b"},
    CommandCase{{"color", "--initial", "x"}, "valor no válido para --initial: x"},
    CommandCase{{"--decimal"}, "--decimal necesita un valor"},
    CommandCase{{"message", "--title", "a", "--text", "b", "--file", "c"}, "--text y --file no pueden ir juntas"}));

TEST(Help, IsInSpanish)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, std::vector<std::string>{"settings", "--help"}}) {
        const Outcome run = kor2(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("Uso: "), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("Muestra esta ayuda y termina"), std::string::npos) << run.out;
        for (const char* english : {"Usage", "Options", "Print this", "Subcommands", "REQUIRED", "TEXT ", "ACTION"})
            EXPECT_EQ(run.out.find(english), std::string::npos) << english << "\n" << run.out;
    }
}

// --- Sessions that push the reader ------------------------------------------------------------------

TEST(SessionCommand, AnswersDeepNestingWithAnErrorLine)
{
    const std::string request = R"({"op":"call","class":"CColores","member":"Col_NuCad_de_NuVB","args":[)";
    std::string typed = request;
    for (int i = 0; i < 20000; ++i)
        typed += R"({"type":"array","value":[)";
    const Outcome run = kor2({"--headless", "session"}, fed(std::string(100000, '[') + "\n" + typed + "\n" + request + "200]}\n"));
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(run.out.substr(at, end - at));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("más de 64 niveles de anidamiento"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("más de 64 niveles de anidamiento"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(R"("value": 12})"), std::string::npos) << lines[2];
}

// --- Text from devices and files never steers the terminal -----------------------------------------

// A raw identity block whose model, serial and firmware words hold terminal controls.
std::string craftedIdentity()
{
    std::string block(512, ' ');
    const auto put = [&](std::size_t word, std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i)
            block[2 * word + (i ^ 1)] = text[i];  // two characters to a word, the first in the high byte
    };
    put(10, "\x1b]0;titulo\a");
    put(23, "\x9b" "31m");
    put(27, "MODELO\x1b[2J\x7f");
    return block;
}

TEST(Info, IdentifyEscapesControlsOfTheBlock)
{
    kor2test::TempDir dir;
    std::ofstream(dir.file("block.bin"), std::ios::binary) << craftedIdentity();
    const Outcome run = kor2({"info", "identify", dir.file("block.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find_first_of("\x1b\x07\x7f"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\xc2\x9b"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("modelo: MODELO\\u001b[2J\\u007f"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("número de serie: \\u001b]0;titulo\\u0007"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("firmware: \\u009b31m"), std::string::npos) << run.out;
}

// What the tool says about a file or a store it cannot use: whole, escaped and in Spanish.
class Refusal : public ::testing::TestWithParam<CommandCase> {};
TEST_P(Refusal, IsWholeAndInSpanish)
{
    kor2test::TempDir dir;
    std::ofstream(dir.file("binary"), std::ios::binary) << std::string("ab\0cd\x1b", 6);
    fs::create_symlink(dir.file("nowhere/settings.db"), dir.file("dangling.db"));
    std::vector<std::string> args = GetParam().args;
    for (auto& a : args)
        a = a == "DIR" ? dir.path().string() : a.starts_with("DIR/") ? dir.file(a.substr(4)) : a;
    const Outcome run = kor2(args);
    EXPECT_GE(run.status, 2);
    EXPECT_NE(run.err.find(GetParam().text), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("No such"), std::string::npos) << run.err;
}
INSTANTIATE_TEST_SUITE_P(Files, Refusal, ::testing::Values(
    CommandCase{{"info", "identify", "DIR/binary"}, "tiene \"ab\\u0000cd\\u001b\", que no es una palabra hexadecimal"},
    CommandCase{{"--settings", "DIR/dangling.db", "settings", "set", "S", "K", "V"}, "dangling.db: no existe"}));

// --- Swallowed failures -------------------------------------------------------------------------

TEST(CallCommand, ReportsASettingsWriteThatWasLost)
{
    kor2test::TempDir dir;  // a folder where the store's file should be: no store can open there
    const Outcome run = kor2({"--settings", dir.path().string(), "call", "cRegistro", "R_Grabar_un_dato_en_Win", "text:A",
                              "text:S", "text:K", "text:V"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(R"("error": null)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(R"("operation": "cRegistro.R_Grabar_un_dato_en_Win"}])"), std::string::npos) << run.out;
    EXPECT_TRUE(fs::is_directory(dir.path()));
}

} // namespace
