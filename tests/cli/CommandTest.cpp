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
#include <string>
#include <tuple>
#include <vector>

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

std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A store holding 300 entries of 1000 bytes, past any 64 KiB limit; `store` in `dir`.
void bigStore(const kor2test::TempDir& dir, const std::string& store)
{
    std::string doc = R"({"format": "kor2-settings", "version": 1, "entries": [)";
    for (int i = 0; i < 300; ++i)
        doc += (i ? "," : "") + std::string(R"({"app": "Vesolar", "section": "Grande", "key": "k)") + std::to_string(i) +
               R"(", "value": ")" + std::string(1000, 'v') + "\"}";
    std::ofstream(dir.file("big.json")) << doc + "]}";
    ASSERT_EQ(kor2({"settings", "import", dir.file("big.json")}, onStore(store)).status, 0);
}

TEST(Export, ThatFailsLeavesTheFormerBackupWhole)
{
    kor2test::TempDir dir;
    const std::string store = dir.file("settings.db"), backup = dir.file("backup.json");
    bigStore(dir, store);
    std::ofstream(backup) << "la copia anterior";
    const auto before = filesIn(dir.path());
    const Outcome run = kor2({"settings", "export", backup}, onStore(store, 64 << 10));
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "kor2: no se puede escribir " + backup + ": el archivo pasa del tamaño permitido\n");
    EXPECT_EQ(kor2test::look(backup).contents, "la copia anterior");
    EXPECT_EQ(filesIn(dir.path()), before);  // no temporary file left behind
}

// What the tool says about a file or a store it cannot use: whole, escaped and in Spanish (the
// usage errors and the plain file arguments are checked on the command line: cli.usage_*).
TEST(Refusal, OfAFileOrStoreIsWholeAndInSpanish)
{
    kor2test::TempDir dir;
    std::ofstream(dir.file("binary"), std::ios::binary) << std::string("ab\0cd\x1b", 6);
    fs::create_symlink(dir.file("nowhere/settings.db"), dir.file("dangling.db"));
    for (const auto& [args, status, says] : std::vector<std::tuple<std::vector<std::string>, int, std::string>>{
             {{"info", "identify", dir.file("binary")}, 2, "tiene \"ab\\u0000cd\\u001b\", que no es una palabra hexadecimal"},
             {{"--settings", dir.file("dangling.db"), "settings", "set", "S", "K", "V"}, 3, "dangling.db: no existe"}}) {
        const Outcome run = kor2(args);
        EXPECT_EQ(run.status, status) << run.err;
        EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("No such"), std::string::npos) << run.err;
    }
}

} // namespace
