#include "Json.h"
#include "Runtime.h"
#include "Scripts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <tuple>

using namespace Kor2_Sys;

namespace {

struct StringCase {
    std::u16string_view text;
    std::string json;
};
class JsonText : public ::testing::TestWithParam<StringCase> {};
TEST_P(JsonText, KeepsEveryUtf16Unit)
{
    EXPECT_EQ(kor2cli::jsonString(GetParam().text), GetParam().json);
}
INSTANTIATE_TEST_SUITE_P(Escapes, JsonText, ::testing::Values(
    StringCase{u"rojo", "\"rojo\""},
    StringCase{u"a\"b\\c", "\"a\\\"b\\\\c\""},
    StringCase{u"Nº\r\n x", "\"Nº\\r\\n x\""},
    StringCase{std::u16string_view(u"a\0b", 3), "\"a\\u0000b\""},
    StringCase{u"\xD83D\xDE00", "\"\xF0\x9F\x98\x80\""},
    StringCase{u"x\xD800y", "\"x\\ud800y\""},
    StringCase{u"\xDC00", "\"\\udc00\""},
    StringCase{u"\xD800", "\"\\ud800\""}));

struct ArgCase {
    std::string text;
    Variant value;
};
class CallArguments : public ::testing::TestWithParam<ArgCase> {};
TEST_P(CallArguments, ReadTheirTypePrefix)
{
    EXPECT_EQ(kor2cli::parseArgument(GetParam().text), GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Prefixes, CallArguments, ::testing::Values(
    ArgCase{"int:-32768", Integer{-32768}}, ArgCase{"long:13132800", Long{13132800}}, ArgCase{"double:-2.5", -2.5},
    ArgCase{"single:0.5", Single{0.5f}}, ArgCase{"bool:true", true}, ArgCase{"text:a:b c", Text(u"a:b c")},
    ArgCase{"text:", Text()}, ArgCase{"empty", Variant{}}, ArgCase{"null", Variant::null()},
    ArgCase{"text:año", Text(u"año")}));

TEST(CallArguments, RejectWhatTheyCannotRead)
{
    for (const char* bad : {"int:40000", "long:1.5", "long:", "bool:yes", "7", "float:1", "double:1,5", "int: 1"})
        EXPECT_THROW(kor2cli::parseArgument(bad), std::invalid_argument) << bad;
}

std::vector<std::string> runLines(const std::string& input, bool headless = true)
{
    kor2cli::GlobalOptions options;
    options.headless = headless;
    kor2cli::Runtime runtime(options);
    std::istringstream in(input);
    std::ostringstream out;
    EXPECT_EQ(kor2cli::runSession(runtime, in, out), 0);
    std::vector<std::string> lines;
    std::istringstream split(out.str());
    for (std::string line; std::getline(split, line);)
        lines.push_back(line);
    return lines;
}

TEST(Session, AnswersEveryRequestOnItsOwnLine)
{
    const auto lines = runLines(
        R"({"op":"call","class":"CColores","member":"Col_NuCad_de_NuVB","args":[{"type":"long","value":200}]})" "\n"
        "\n"
        R"({"op":"new","class":"cls_Loging","id":"f"})" "\n"
        R"({"op":"set","id":"f","member":"User","value":"Hola"})" "\n"
        "not json\n"
        R"({"op":"get","id":"nadie","member":"titulo"})" "\n"
        R"({"op":"call","class":"CColores","member":"Col_NombreCad_NuCad","args":[-3]})" "\n");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], R"({"result": {"type": "long", "value": 12}, "args": [{"type": "long", "value": 200}], "error": null, "messages": [], "beeps": 0, "clipboard": null})");
    EXPECT_NE(lines[1].find(R"("result": {"type": "object", "value": "cls_Loging"})"), std::string::npos);
    EXPECT_NE(lines[2].find(R"("number": 438)"), std::string::npos);
    EXPECT_NE(lines[3].find(R"("number": 5)"), std::string::npos);
    EXPECT_NE(lines[4].find("nadie"), std::string::npos);
    EXPECT_NE(lines[5].find(R"("result": {"type": "text", "value": "3"})"), std::string::npos);
}

TEST(Session, ActionsNeedTheScriptedWindowSystem)
{
    const auto lines = runLines(R"({"op":"actions","windows":[{"window":"msgbox","do":[{"answer":"cancel"}]}]})" "\n", false);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("--headless"), std::string::npos);
}

TEST(Scripts, ReadEveryAction)
{
    const auto scripts = kor2cli::scriptsFromJson(nlohmann::json::parse(R"([
        {"window": "F_color", "do": [{"click": "BT_aceptar"}, {"dblclick": "Pc"}, {"type": ["TX_color", "12"]},
                                     {"set": ["TX_color", ""]}, {"key": ["TX_color", 13]},
                                     {"mousedown": ["Pc_color_especial", 0.5, 0.25]}, {"resize": [6000, 3000]},
                                     {"close": "user"}, {"answer": "cancel"}]},
        {"window": "file", "do": [{"file": "/tmp/a b.txt"}]},
        {"window": "file", "do": [{"cancel": true}]}])"));
    ASSERT_EQ(scripts.size(), 3u);
    const auto& a = scripts[0].actions;
    ASSERT_EQ(a.size(), 9u);
    EXPECT_EQ(a[2].text, u"12");
    EXPECT_EQ(a[4].key, 13);
    EXPECT_DOUBLE_EQ(a[5].y, 0.25);
    EXPECT_EQ(a[6].height, 3000);
    EXPECT_TRUE(a[7].fromUser);
    EXPECT_EQ(a[8].answer, platform::MessageAnswer::Cancel);
    EXPECT_EQ(scripts[1].actions[0].text, u"/tmp/a b.txt");
    EXPECT_EQ(scripts[2].actions[0].kind, platform::Action::Kind::Cancel);
}

TEST(Scripts, NameTheScriptAtFault)
{
    for (const char* bad : {R"({"window": "x"})", R"([{"window": "x", "do": [{"hover": "a"}]}])",
                            R"([{"window": "x", "do": [{"close": "maybe"}]}])",
                            R"([{"window": "x", "do": []}, {"do": []}])",
                            R"([{"window": "x", "do": [{"click": "a", "dblclick": "b"}]}])"}) {
        try {
            kor2cli::scriptsFromJson(nlohmann::json::parse(bad));
            ADD_FAILURE() << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_TRUE(std::string(e.what()).find("guion") != std::string::npos ||
                        std::string(e.what()).find("lista") != std::string::npos) << e.what();
        }
    }
}

TEST(Describe, ListsIdentifiersAndMarksMembersNotBuilt)
{
    const std::string listing = kor2cli::describe(*findClass("CColores"), false);
    EXPECT_NE(listing.find("0x60030000  function     A_Color_Show(byval NumPorDefectoVb: long): long\n"), std::string::npos)
        << listing;
    const std::string disk = kor2cli::describe(*findClass("c_VL"), false);
    EXPECT_NE(disk.find("0x60030001  function     GetModelNumber(): text  [sin implementar]"), std::string::npos) << disk;
    EXPECT_NE(listing.find("0x60030008  function     Col_NuCad_de_NuVB(byref NumColorVb: long): long\n"), std::string::npos);
    const auto json = nlohmann::json::parse(kor2cli::describe(*findClass("c_VL"), true));
    EXPECT_EQ(json["members"][5]["hex"], "0x68030004");
    EXPECT_EQ(json["creation"], "creatable");
}

} // namespace

#include "JsonReader.h"
#include "Settings.h"
#include "SettingsGuards.h"
#include "settings/Store.h"

namespace {

int settingsCommand(std::vector<std::string> words, std::string* out = nullptr, bool json = false)
{
    kor2cli::SettingsCommand c;
    c.action = words.front();
    c.words.assign(words.begin() + 1, words.end());
    c.json = json;
    std::ostringstream o, e;
    const int status = kor2cli::runSettings(c, o, e);
    if (out)
        *out = o.str() + e.str();
    return status;
}

TEST(SettingsCommand, ExportImportKeepsEveryUnit)
{
    kor2test::TempDir dir;
    const Text odd = Text(u"a\0b", 3) + u"\xD800 ñ \xDC00\U0001F600\"\\\n";
    std::vector<settings::Entry> written{{u"Vesolar", u"Input Título", u"Left", u"1234"},
                                         {u"Vesolar", u"", u"", u""},
                                         {u"Otra", odd, odd, odd}};
    {
        settings::ScopedStore store(":memory:");
        for (const auto& e : written)
            settings::store().write(e.app, e.section, e.key, e.value);
        ASSERT_EQ(settingsCommand({"export", dir.file("all.json")}), 0);
    }
    settings::ScopedStore fresh(":memory:");
    std::string said;
    ASSERT_EQ(settingsCommand({"import", dir.file("all.json")}, &said), 0) << said;
    EXPECT_EQ(said, "3 valores importados\n");
    auto read = settings::store().entries();
    std::sort(written.begin(), written.end(), [](auto& a, auto& b) { return std::tie(a.app, a.section, a.key) < std::tie(b.app, b.section, b.key); });
    EXPECT_EQ(read, written);
}

TEST(SettingsCommand, GetSetListDeleteWithTheirExitStatus)
{
    settings::ScopedStore store(":memory:");
    std::string out;
    EXPECT_EQ(settingsCommand({"set", "App Win", "Top", "300"}), 0);
    EXPECT_EQ(settingsCommand({"get", "App Win", "Top"}, &out), 0);
    EXPECT_EQ(out, "300\n");
    EXPECT_EQ(settingsCommand({"get", "App Win", "Nada"}), 1);
    EXPECT_EQ(settingsCommand({"list"}, &out), 0);
    EXPECT_EQ(out, "[App Win] Top = 300\n");
    EXPECT_EQ(settingsCommand({"list", "App Win"}, &out, true), 0);
    EXPECT_NE(out.find(R"("key": "Top", "value": "300")"), std::string::npos);
    EXPECT_EQ(settingsCommand({"delete", "App Win", "Top"}), 0);
    EXPECT_EQ(settingsCommand({"delete", "App Win", "Top"}), 1);
    EXPECT_EQ(settingsCommand({"get", "solo-una-palabra"}), 2);
    EXPECT_EQ(settingsCommand({"frob"}), 2);
}

TEST(SettingsCommand, MalformedImportChangesNothing)
{
    kor2test::TempDir dir;
    settings::ScopedStore store(":memory:");
    for (const char* bad : {R"({"entries": [{"app": "a", "section": "s", "key": "k", "value": "v"}, {"app": 1}]})",
                            R"({"entries": [)", R"({"entries": {}})", R"([1, 2])", R"({"entries": [{"app": "\ud8"}]})"}) {
        std::ofstream(dir.file("bad.json")) << bad;
        EXPECT_EQ(settingsCommand({"import", dir.file("bad.json")}), 2) << bad;
    }
    EXPECT_TRUE(settings::store().entries().empty());
}

TEST(JsonReader, KeepsLoneSurrogatesAndRefusesJunk)
{
    const auto doc = kor2cli::parseJson(R"({"a": ["\ud800x", "\u00f1", "ñ", true, false, null, -1.5e3, {}]})");
    const auto* a = doc.find(u"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->items[0].string, u"\xD800x");
    EXPECT_EQ(a->items[1].string, u"ñ");
    EXPECT_EQ(a->items[2].string, u"ñ");
    EXPECT_TRUE(a->items[3].boolean);
    EXPECT_FALSE(a->items[4].boolean);
    EXPECT_EQ(a->items[6].number, -1500);
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "\"\\q\"", "tru", "1 2", "\"a\nb\"", "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[["})
        EXPECT_THROW(kor2cli::parseJson(bad), std::invalid_argument) << bad;
}

} // namespace
