#include "Guards.h"
#include "SettingsGuards.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using namespace Kor2_Sys;
using namespace Kor2_Sys::settings;

namespace {

// Every rule holds for both backends: the file store and the memory store.
class Backends : public ::testing::TestWithParam<bool> {
protected:
    std::shared_ptr<Store> make() { return GetParam() ? openFile(dir.file("s.db")) : openMemory(); }
    kor2test::TempDir dir;
};

TEST_P(Backends, NamesMatchExactlyAsComposed)
{
    auto s = make();
    s->write(u"Vesolar", u"A B", u"k", u"1");
    EXPECT_EQ(s->read(u"Vesolar", u"A B", u"k", u"d"), u"1");
    for (auto [section, key] : {std::pair<Text, Text>{u"B A", u"k"}, {u"a b", u"k"}, {u"A B ", u"k"}, {u" A B", u"k"},
                                {u"A B", u"K"}, {u"A B", u" k"}})
        EXPECT_EQ(s->read(u"Vesolar", section, key, u"d"), u"d");
    EXPECT_EQ(s->read(u"Otro", u"A B", u"k", u"d"), u"d");
}

TEST_P(Backends, EmptyNamesAndEmptyValuesAreReal)
{
    auto s = make();
    s->write(u"", u"", u"", u"nothing named");
    s->write(u"Vesolar", u" ", u"vacía", u"");
    EXPECT_EQ(s->read(u"", u"", u"", u"d"), u"nothing named");
    EXPECT_EQ(s->read(u"Vesolar", u" ", u"vacía", u"d"), u"") << "an existing empty key is not the default";
    EXPECT_EQ(s->find(u"Vesolar", u" ", u"otra"), std::nullopt);
}

TEST_P(Backends, ValuesKeepEveryUnit)
{
    auto s = make();
    const Text odd = Text(u"a\0b", 3) + u"\xD800" + u"ñ\xDFFF" + u"\U0001F600";
    s->write(odd, odd, odd, odd);
    EXPECT_EQ(s->read(odd, odd, odd, u""), odd);
    const Text big(100000, u'x');
    s->write(u"Vesolar", u"big", u"k", big);
    EXPECT_EQ(s->read(u"Vesolar", u"big", u"k", u""), big);
}

TEST_P(Backends, WritesReplaceAndRemovalsCount)
{
    auto s = make();
    s->write(u"V", u"S", u"a", u"1");
    s->write(u"V", u"S", u"a", u"2");
    s->write(u"V", u"S", u"b", u"3");
    s->write(u"V", u"T", u"a", u"4");
    EXPECT_EQ(s->read(u"V", u"S", u"a", u""), u"2");
    EXPECT_TRUE(s->remove(u"V", u"S", u"a"));
    EXPECT_FALSE(s->remove(u"V", u"S", u"a"));
    EXPECT_EQ(s->removeSection(u"V", u"S"), 1u);
    EXPECT_EQ(s->entries(), (std::vector<Entry>{{u"V", u"T", u"a", u"4"}}));
}

INSTANTIATE_TEST_SUITE_P(FileAndMemory, Backends, ::testing::Values(true, false));

TEST(FileStore, SurvivesReopeningAndIsPrivate)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("nested/kor2-sys/settings.db");
    openFile(path)->write(u"Vesolar", u"S", u"k", u"v");
    EXPECT_EQ(openFile(path)->read(u"Vesolar", u"S", u"k", u""), u"v");
    struct stat file{}, folder{};
    ASSERT_EQ(::stat(path.c_str(), &file), 0);
    ASSERT_EQ(::stat(dir.file("nested/kor2-sys").c_str(), &folder), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

TEST(FileStore, ReadsSeeEveryCommitOfAnotherConnection)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
    auto writer = openFile(path);
    auto reader = openFile(path);
    for (int round = 0; round < 50; ++round) {
        const Text value = u"v" + Text(static_cast<std::size_t>(round % 7), u'x');
        writer->write(u"Vesolar", u"S", u"k", value);
        EXPECT_EQ(reader->read(u"Vesolar", u"S", u"k", u""), value) << round;
        EXPECT_EQ(reader->read(u"Vesolar", u"S", u"k", u""), value) << "again, from memory";
        writer->write(u"Vesolar", u"S", u"other" + value, u"1");
        EXPECT_TRUE(reader->find(u"Vesolar", u"S", u"other" + value).has_value()) << round;
        EXPECT_TRUE(writer->remove(u"Vesolar", u"S", u"other" + value));
        EXPECT_FALSE(reader->find(u"Vesolar", u"S", u"other" + value).has_value()) << round;
    }
}

TEST(FileStore, DamagedStoreIsMovedAsideNotOverwritten)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
    {
        auto s = openFile(path);
        for (int i = 0; i < 300; ++i)
            s->write(u"Vesolar", u"S", u"clave" + Text(static_cast<std::size_t>(i % 50), u'x') + Text(1, char16_t(u'0' + i / 50)),
                     Text(40, u'v'));
    }
    {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096);
        const std::string garbage(4096, '\xA5');
        f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    const std::string damaged = kor2test::look(path).contents;
    try {
        openFile(path);
        ADD_FAILURE() << "a damaged store must be reported";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_NE(e.description().find(u"dañado"), Text::npos);
    }
    int kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        if (entry.path().filename().string().rfind("settings.db.dañado-", 0) == 0 &&
            entry.path().string().find("-wal") == std::string::npos && entry.path().string().find("-shm") == std::string::npos) {
            EXPECT_EQ(kor2test::look(entry.path()).contents, damaged) << "the damaged bytes are kept";
            ++kept;
        }
    }
    EXPECT_EQ(kept, 1);
    auto fresh = openFile(path);
    fresh->write(u"Vesolar", u"S", u"k", u"v");
    EXPECT_EQ(fresh->read(u"Vesolar", u"S", u"k", u""), u"v");
}

TEST(StoreSelection, EnvironmentNamesTheFile)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("chosen.db");
    ::setenv("KOR2_SETTINGS", path.c_str(), 1);
    auto previous = installStore(nullptr);
    store().write(u"Vesolar", u"S", u"k", u"v");
    installStore(std::move(previous));
    ::unsetenv("KOR2_SETTINGS");
    EXPECT_EQ(openFile(path)->read(u"Vesolar", u"S", u"k", u""), u"v");
}

} // namespace
