#include "FaultyStore.h"
#include "Guards.h"
#include "SettingsGuards.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <functional>

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
    for (auto [app, section, key] : {std::tuple<Text, Text, Text>{u"Vesolar", u"B A", u"k"}, {u"Vesolar", u"a b", u"k"},
                                     {u"Vesolar", u"A B ", u"k"}, {u"Vesolar", u" A B", u"k"}, {u"Vesolar", u"A B", u"K"},
                                     {u"Vesolar", u"A B", u" k"}, {u"Otro", u"A B", u"k"}})
        EXPECT_EQ(s->read(app, section, key, u"d"), u"d");
}

// Empty names and values are real; values keep every unit, lone surrogates and NULs included.
TEST_P(Backends, EmptyAndOddNamesAndValuesAreKept)
{
    auto s = make();
    const Text odd = Text(u"a\0b", 3) + u"\xD800" + u"ñ\xDFFF" + u"\U0001F600", big(100000, u'x');
    const Entry rows[] = {{u"", u"", u"", u"nothing named"}, {u"Vesolar", u" ", u"vacía", u""}, {odd, odd, odd, odd},
                          {u"Vesolar", u"big", u"k", big}};
    for (const Entry& e : rows)
        s->write(e.app, e.section, e.key, e.value);
    for (const Entry& e : rows)
        EXPECT_EQ(s->read(e.app, e.section, e.key, u"d"), e.value) << "an existing empty key is not the default";
    EXPECT_EQ(s->find(u"Vesolar", u" ", u"otra"), std::nullopt);
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

// ---- Where the store lives ---------------------------------------------------------------------

TEST(DefaultPath, FollowsTheConfigurationFolderRules)
{
    const struct {
        std::optional<std::string> xdg, home;
        std::optional<std::string> expected;  // nothing: no place, an error
    } rows[] = {{"/x/conf", "/h", "/x/conf/kor2-sys/settings.db"},
                {std::nullopt, "/h", "/h/.config/kor2-sys/settings.db"},
                {"conf", "/h", "/h/.config/kor2-sys/settings.db"},  // a relative one is ignored
                {std::nullopt, std::nullopt, std::nullopt},
                {"conf", std::nullopt, std::nullopt},
                {std::nullopt, "", std::nullopt},
                {std::nullopt, "casa", std::nullopt}};
    for (const auto& c : rows) {
        SCOPED_TRACE(c.xdg.value_or("-") + " " + c.home.value_or("-"));
        kor2test::ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg), home("HOME", c.home), chosen("KOR2_SETTINGS", std::nullopt);
        if (c.expected) {
            EXPECT_EQ(std::pair(defaultPath(), configuredPath()), std::pair(*c.expected, *c.expected));
            continue;
        }
        for (const auto& ask : {std::function<std::string()>(defaultPath), std::function<std::string()>(configuredPath)}) {
            const auto e = kor2test::failureOf(ask);  // no folder to keep the store in
            ASSERT_TRUE(e && e->number() == 75) << (e ? e->what() : "no error");
            EXPECT_TRUE(e->description().find(u"HOME") != Text::npos && e->description().find(u"XDG_CONFIG_HOME") != Text::npos)
                << e->what();
        }
        kor2test::TempDir dir;
        kor2test::ScopedEnv named("KOR2_SETTINGS", dir.file("chosen.db"));
        EXPECT_EQ(configuredPath(), dir.file("chosen.db")) << "a named store needs no home";
        {
            kor2test::InstalledStore none(nullptr);
            store().write(u"Vesolar", u"S", u"k", u"v");
        }
        EXPECT_EQ(openFile(dir.file("chosen.db"))->read(u"Vesolar", u"S", u"k", u""), u"v");
    }
}

} // namespace
