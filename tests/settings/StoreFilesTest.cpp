// What a store may touch on disk: only files that are its own, folders only when they are missing
// or the library's own, nothing at all when opened read-only; and side files that never leave a
// store unwritable.
#include "ChildProcess.h"
#include "Guards.h"
#include "SettingsGuards.h"
#include "frame/Utf.h"
#include "settings/Store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Kor2_Sys;
using namespace Kor2_Sys::settings;
using kor2test::look;
using kor2test::modeOf;

namespace {

constexpr std::int64_t kOurMark = 0x4B6F7232;
constexpr const char* kOurTable = "CREATE TABLE settings(app BLOB NOT NULL, section BLOB NOT NULL, key BLOB NOT NULL, "
                                  "value BLOB NOT NULL, PRIMARY KEY(app, section, key)) WITHOUT ROWID";

// Runs SQL on a database with SQLite alone, as another program would; the first column of the
// last row it answers.
std::string sql(const std::string& path, const std::string& statements)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string last;
    const auto take = [](void* to, int, char** row, char**) { *static_cast<std::string*>(to) = row[0] ? row[0] : ""; return 0; };
    char* message = nullptr;
    if (sqlite3_exec(db, statements.c_str(), take, &last, &message) != SQLITE_OK)
        ADD_FAILURE() << statements << ": " << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    return last;
}
std::int64_t applicationId(const std::string& path) { return std::stoll(sql(path, "PRAGMA application_id")); }

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// A store file `path` in a folder of its own, holding [Vesolar][S] k = v once seeded.
class StoreFile : public ::testing::Test {
protected:
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
    void seed() { openFile(path)->write(u"Vesolar", u"S", u"k", u"v"); }
    Text read() { return openFile(path)->read(u"Vesolar", u"S", u"k", u""); }
};

bool mentions(const Error& e, const std::string& path) { return e.description().find(utf::fromUtf8(path)) != Text::npos; }

// SQLite's texts are English: none of them, nor the check's findings, reaches a message.
bool saysSqlitesEnglish(const Text& description)
{
    std::vector<std::string> english{"database", "page", "Tree"};
    for (int code = 0; code <= 28; ++code)
        english.push_back(sqlite3_errstr(code));
    const std::string said = utf::toUtf8(description);
    return std::any_of(english.begin(), english.end(), [&](const std::string& e) { return said.find(e) != std::string::npos; });
}

// `action` fails with error `number`, whose description names `path` (and says `words`), in Spanish only.
void expectRefused(const std::function<void()>& action, long number, const std::string& path, std::u16string_view words = {})
{
    const auto e = kor2test::failureOf(action);
    ASSERT_TRUE(e) << "no error; expected " << number << " naming " << path;
    EXPECT_EQ(e->number(), number) << e->what();
    EXPECT_TRUE(mentions(*e, path) && e->description().find(words) != Text::npos) << e->what();
    EXPECT_FALSE(saysSqlitesEnglish(e->description())) << e->what();
}

// A store of ours with enough rows to span several pages, its second page then overwritten.
void makeDamagedStore(const std::string& path)
{
    {
        auto s = openFile(path);
        for (int i = 0; i < 300; ++i)
            s->write(u"Vesolar", u"S", u"clave" + utf::fromUtf8(std::to_string(i)), Text(40, u'v'));
    }
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(4096);
    const std::string garbage(4096, '\xA5');
    f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

// ---- Files that are not stores of ours ---------------------------------------------------------

struct Foreign {
    const char* name;
    std::function<void(const std::string&)> make;
};
const Foreign kForeign[] = {
    {"TextFile", [](const std::string& p) { std::string t; while (t.size() < 16000) t += "Capítulo: la tesis sigue.\n";
                                            writeFile(p, t); }},
    {"ShortText", [](const std::string& p) { writeFile(p, "hola\n"); }},
    {"OtherDatabase", [](const std::string& p) { sql(p, "CREATE TABLE notes(t TEXT); INSERT INTO notes VALUES('x')"); }},
    {"OtherDatabaseInWal",
     [](const std::string& p) { sql(p, "PRAGMA journal_mode=WAL; CREATE TABLE notes(t TEXT); INSERT INTO notes VALUES('x')"); }},
    {"OurTableMarkedByAnother", [](const std::string& p) { sql(p, "PRAGMA application_id = 1234; " + std::string(kOurTable)); }},
    {"SameTableNameOtherColumns", [](const std::string& p) { sql(p, "CREATE TABLE settings(name TEXT PRIMARY KEY, value TEXT)"); }},
    {"OurTableAndAnother", [](const std::string& p) { sql(p, std::string(kOurTable) + "; CREATE TABLE extra(x)"); }},
    {"DatabaseWithoutTables", [](const std::string& p) { sql(p, "PRAGMA user_version = 7"); }},
};
using enum OpenMode;
std::string modeSuffix(OpenMode mode) { return mode == ReadOnly ? "_RO" : "_RW"; }

TEST(ForeignFile, IsRefusedByNameAndLeftAsItWas)
{
    for (const Foreign& foreign : kForeign)
        for (const OpenMode mode : {ReadWrite, ReadOnly}) {
            SCOPED_TRACE(foreign.name + modeSuffix(mode));
            kor2test::TempDir dir;
            const auto docs = dir.path() / "docs";
            std::filesystem::create_directory(docs);
            ::chmod(docs.c_str(), 01777);  // a shared folder: its sticky bit must survive
            const std::string path = (docs / "thesis.txt").string();
            foreign.make(path);
            ::chmod(path.c_str(), 0644);
            const auto fileBefore = look(path), folderBefore = look(docs);
            expectRefused([&] { openFile(path, mode); }, 75, path);
            EXPECT_EQ(look(path), fileBefore) << "bytes, mode and time of the file stay as they were";
            EXPECT_EQ(look(docs), folderBefore) << "nothing appears beside it and the folder keeps its mode";
        }
}

TEST_F(StoreFile, AFolderWhereTheStoreShouldBeIsNamed)
{
    std::filesystem::create_directory(path);
    for (const OpenMode mode : {OpenMode::ReadWrite, OpenMode::ReadOnly})
        expectRefused([&] { openFile(path, mode); }, 75, path, u"carpeta");
}

// The kernel's files say they are empty and yet hold text: they are no blank store to begin (a
// write said "no existe", a read found an empty store).
TEST(KernelFile, IsRefusedAsNoStore)
{
    for (const char* path : {"/proc/self/status", "/proc/self/stat"})
        for (const OpenMode mode : {ReadWrite, ReadOnly})
            expectRefused([&] { openFile(path, mode)->entries(); }, 75, path, u"no es un almacén de configuración");
}

// ---- Folders -----------------------------------------------------------------------------------

// The process's file creation mask for a scope: with none, a mode asserted is the library's own.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_old(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_old); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_old;
};

// A user's folder keeps its mode (sticky and set-group bits too). Missing folders, nested ones
// too, are made private, and so are the store and its side files, whatever the mask lets through.
TEST(Folders, KeepTheirModeOrAreCreatedPrivate)
{
    const ScopedUmask none(0);
    kor2test::TempDir dir;
    for (const unsigned mode : {01777u, 02775u, 0755u, 0700u}) {
        const auto folder = dir.path() / std::to_string(mode);
        std::filesystem::create_directory(folder);
        ::chmod(folder.c_str(), mode);
        const std::string path = (folder / "settings.db").string();
        openFile(path)->write(u"Vesolar", u"S", u"k", u"v");
        EXPECT_EQ(std::pair(modeOf(folder), modeOf(path)), std::pair(mode, 0600u)) << std::oct << mode;
    }
    const std::string path = dir.file("a/b/settings.db");
    auto s = openFile(path);
    s->write(u"Vesolar", u"S", u"k", u"v");
    EXPECT_EQ(openFile(path)->read(u"Vesolar", u"S", u"k", u""), u"v");
    EXPECT_EQ(std::vector({modeOf(dir.path() / "a"), modeOf(dir.path() / "a/b"), modeOf(path), modeOf(path + "-wal"),
                           modeOf(path + "-shm")}),
              std::vector({0700u, 0700u, 0600u, 0600u, 0600u}));
}

// The library's own folder is made private only when it is a real folder: a link in its place
// leads to a folder that is someone else's business, whose mode a write never changes.
TEST(OwnFolder, IsKeptPrivateUnlessALinkStandsForIt)
{
    const struct { bool linked; unsigned before, after; } rows[] = {
        {false, 0755, 0700}, {true, 01777, 01777} /* it became 0700 */, {true, 0755, 0755}};
    for (const auto& c : rows) {
        kor2test::TempDir dir;
        kor2test::ScopedEnv config("XDG_CONFIG_HOME", dir.file("config"));
        const auto target = dir.path() / (c.linked ? "shared" : "config/kor2-sys");
        std::filesystem::create_directories(dir.path() / "config");
        std::filesystem::create_directories(target);
        ::chmod(target.c_str(), c.before);
        if (c.linked)
            std::filesystem::create_directory_symlink(target, dir.path() / "config/kor2-sys");
        const std::string path = dir.file("config/kor2-sys/settings.db");
        ASSERT_EQ(defaultPath(), path);
        openFile(path)->write(u"Vesolar", u"S", u"k", u"v");
        EXPECT_EQ(modeOf(target), c.after) << std::oct << c.before << " " << modeOf(target);
        EXPECT_EQ(openFile(path)->read(u"Vesolar", u"S", u"k", u""), u"v");
    }
}

// The copies of `path` set aside as damaged, beside it.
std::vector<std::string> keptAside(const std::string& path)
{
    std::vector<std::string> contents;
    const std::string prefix = std::filesystem::path(path).filename().string() + ".dañado-";
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && !name.ends_with("-wal") && !name.ends_with("-shm"))
            contents.push_back(look(entry.path()).contents);
    }
    return contents;
}

// Read-only, a damaged store is reported where it is; writable, it is moved aside, not overwritten.
TEST_F(StoreFile, DamagedOneIsMovedAsideNotOverwritten)
{
    makeDamagedStore(path);
    const auto folderBefore = look(dir.path()), fileBefore = look(path);
    expectRefused([&] { openFile(path, OpenMode::ReadOnly)->entries(); }, 75, path, u"dañado");
    EXPECT_EQ(look(dir.path()), folderBefore) << "read-only: not moved aside";
    EXPECT_EQ(look(path), fileBefore);
    expectRefused([&] { openFile(path); }, 75, path, u"dañado");
    EXPECT_EQ(keptAside(path), std::vector<std::string>{fileBefore.contents}) << "the damaged bytes are kept";
    seed();
    EXPECT_EQ(read(), u"v");
}

// Our header with a bad page size (it said "file is not a database") is damage too.
TEST_F(StoreFile, ABadPageSizeIsDamage)
{
    seed();
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).seekp(16).write("\x00\x03", 2);
    for (const OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite})
        expectRefused([&] { openFile(path, mode)->entries(); }, 75, path, u"dañado");
}

// ---- Stores of the earlier version -------------------------------------------------------------

TEST_F(StoreFile, EarlierVersionIsReadAsItIsAndMarkedOnTheFirstWritableOpen)
{
    openFile(path)->write(u"Vesolar", u"S", u"k", u"antes");
    sql(path, "PRAGMA application_id = 0");  // as the earlier version left its stores
    ASSERT_EQ(applicationId(path), 0);
    const auto before = look(path);
    EXPECT_EQ(openFile(path, OpenMode::ReadOnly)->read(u"Vesolar", u"S", u"k", u""), u"antes");
    EXPECT_EQ(look(path), before) << "reading does not mark it";
    {
        auto s = openFile(path);
        EXPECT_EQ(s->read(u"Vesolar", u"S", u"k", u""), u"antes");
        s->write(u"Vesolar", u"S", u"k", u"después");
    }
    EXPECT_EQ(applicationId(path), kOurMark);
    EXPECT_EQ(read(), u"después");
    openFile(dir.file("nueva.db"));
    EXPECT_EQ(applicationId(dir.file("nueva.db")), kOurMark) << "a new store carries the mark";
}

// ---- Read-only stores --------------------------------------------------------------------------

// Every change a read-only store must refuse.
void expectEveryChangeRefused(Store& s, const std::string& path)
{
    const Entry e{u"Vesolar", u"S", u"k", u"w"};
    for (const auto& change : {std::function<void()>([&] { s.write(u"Vesolar", u"S", u"k", u"w"); }),
                               std::function<void()>([&] { s.remove(u"Vesolar", u"S", u"k"); }),
                               std::function<void()>([&] { s.removeSection(u"Vesolar", u"S"); }),
                               std::function<void()>([&] { s.writeAll(std::span(&e, 1)); })})
        expectRefused(change, 70, path);
}

TEST(ReadOnlyStore, AMissingFileIsAnEmptyStoreAndNothingIsCreated)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("nueva/settings.db");
    auto s = openFile(path, OpenMode::ReadOnly);
    EXPECT_EQ(s->find(u"Vesolar", u"S", u"k"), std::nullopt);
    EXPECT_EQ(s->read(u"Vesolar", u"S", u"k", u"d"), u"d");
    EXPECT_TRUE(s->entries().empty());
    expectEveryChangeRefused(*s, path);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "nueva"));
}

// A name with signs that mean something in a URI is read as the file it names.
TEST(ReadOnlyStore, ANameOfUriSignsIsTheFileItNames)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("a b#c?d%41&e.db");
    openFile(path)->write(u"Vesolar", u"S", u"k", u"v");
    EXPECT_EQ(openFile(path, OpenMode::ReadOnly)->read(u"Vesolar", u"S", u"k", u""), u"v");
}

TEST_F(StoreFile, ReadOnlyReadsAStoreAndLeavesEverythingAsItWas)
{
    seed();
    ::chmod(path.c_str(), 0400);
    const auto fileBefore = look(path), folderBefore = look(dir.path());
    {
        auto s = openFile(path, OpenMode::ReadOnly);
        EXPECT_EQ(s->entries(), (std::vector<Entry>{{u"Vesolar", u"S", u"k", u"v"}}));
        expectEveryChangeRefused(*s, path);
        EXPECT_EQ(look(dir.path()), folderBefore) << "no side files while it is open";
    }
    EXPECT_EQ(look(path), fileBefore);
    EXPECT_EQ(look(dir.path()), folderBefore);
}

// A reader leaves the journal of a writer that has it open as it found it.
TEST_F(StoreFile, ReadOnlyLeavesAnOpenWritersJournalAlone)
{
    seed();
    auto writer = openFile(path);
    writer->write(u"Vesolar", u"S", u"k", u"w");
    ASSERT_TRUE(std::filesystem::exists(path + "-wal"));
    ::chmod((path + "-wal").c_str(), 0400);
    EXPECT_EQ(openFile(path, OpenMode::ReadOnly)->read(u"Vesolar", u"S", u"k", u""), u"w");
    EXPECT_EQ(modeOf(path + "-wal"), 0400u);
}

// A store open for reading, in either mode, sees every commit of another connection: new values,
// new keys and removed keys, also after the writer has folded its journal back.
TEST_F(StoreFile, AnOpenReaderSeesEveryCommitOfAnotherConnection)
{
    for (const OpenMode mode : {ReadWrite, ReadOnly}) {
        SCOPED_TRACE(modeSuffix(mode));
        seed();
        auto reader = openFile(path, mode);
        EXPECT_EQ(reader->read(u"Vesolar", u"S", u"k", u""), u"v");
        auto writer = openFile(path);
        for (int round = 0; round < 20; ++round) {
            const Text value = u"v" + Text(static_cast<std::size_t>(round % 7), u'x'), other = u"other" + value;
            writer->write(u"Vesolar", u"S", u"k", value);
            EXPECT_EQ(reader->read(u"Vesolar", u"S", u"k", u""), value) << round;
            EXPECT_EQ(reader->read(u"Vesolar", u"S", u"k", u""), value) << "again, from memory";
            writer->write(u"Vesolar", u"S", other, u"1");
            EXPECT_TRUE(reader->find(u"Vesolar", u"S", other).has_value()) << round;
            EXPECT_TRUE(writer->remove(u"Vesolar", u"S", other));
            EXPECT_FALSE(reader->find(u"Vesolar", u"S", other).has_value()) << round;
        }
        writer.reset();
        EXPECT_EQ(reader->read(u"Vesolar", u"S", u"k", u""), u"vxxxxx") << "after the writer folded its journal back";
    }
}

// ---- Side files --------------------------------------------------------------------------------


TEST_F(StoreFile, SideFilesLeftUnwritableAreMadeWritableAgain)
{
    seed();
    // What a read-only reader leaves behind: side files as unwritable as the store was.
    ::chmod(path.c_str(), 0400);
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, "SELECT count(*) FROM settings", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(modeOf(path + "-shm"), 0400u);
    ::chmod(path.c_str(), 0600);
    {
        auto s = openFile(path);
        s->write(u"Vesolar", u"S", u"k", u"w");
        // Writable by their owner again, and by nobody else.
        EXPECT_EQ(std::pair(modeOf(path + "-wal"), modeOf(path + "-shm")), std::pair(0600u, 0600u));
    }
    EXPECT_EQ(read(), u"w");
}

// A link planted where a side file goes. SQLite would not open through it; nor does the library
// change what it points to (its mode went from 0444 to 0644) or anything else.
TEST_F(StoreFile, ALinkedSideFileIsRefusedAndItsTargetLeftAlone)
{
    seed();
    const std::string target = dir.file("elsewhere");
    writeFile(target, "ajeno");
    ::chmod(target.c_str(), 0444);
    for (const std::string suffix : {"-wal", "-shm"})
        for (const OpenMode mode : {ReadWrite, ReadOnly}) {
            SCOPED_TRACE(suffix + modeSuffix(mode));
            const std::string side = path + suffix;
            std::filesystem::create_symlink(target, side);
            const auto targetBefore = look(target), storeBefore = look(path);
            expectRefused([&] {
                auto s = openFile(path, mode);
                if (mode == ReadOnly)
                    s->entries();
                else
                    s->write(u"Vesolar", u"S", u"k", u"w");
            }, 75, side, u"enlace");
            EXPECT_EQ(look(target), targetBefore) << "mode " << std::oct << modeOf(target);
            EXPECT_EQ(look(path), storeBefore);
            std::filesystem::remove(side);
            EXPECT_EQ(read(), u"v");
        }
}

// ---- A full disk -------------------------------------------------------------------------------

// A disk that fills up in the middle of an import (one writeAll): here the file size limit of the
// writing process, which makes its writes fail past a point as a full disk does. All of the
// import or none of it is kept, and the file still opens intact.
TEST_F(StoreFile, ImportOnAFullDiskLeavesNothingAndSaysSo)
{
    seed();
    const int status = kor2test::Child([&](int) {
        auto store = openFile(path);
        store->read(u"Vesolar", u"S", u"k", u"");
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{256 * 1024, 256 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<Entry> entries;
        for (int n = 0; n < 20000; ++n)
            entries.push_back({u"Vesolar", u"lote", u"k" + utf::fromUtf8(std::to_string(n)), Text(60, u'v')});
        const auto e = kor2test::failureOf([&] { store->writeAll(entries); });
        return !e ? 10 : e->number() == 61 && mentions(*e, path) ? 0 : 11;  // 10: the import fit
    }).wait();
    EXPECT_NE(status, 10) << "the limit did not bite";
    EXPECT_EQ(status, 0) << "a full disk is error 61 naming the store";
    EXPECT_EQ(openFile(path)->entries(), (std::vector<Entry>{{u"Vesolar", u"S", u"k", u"v"}})) << "nothing of the import";
    seed();
    EXPECT_EQ(sql(path, "PRAGMA integrity_check"), "ok");
}


} // namespace
