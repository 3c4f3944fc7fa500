#include "Describe.h"
#include "FaultyStore.h"
#include "Guards.h"
#include "JsonReader.h"
#include "JsonValues.h"
#include "JsonWriter.h"
#include "RecordingWindowSystem.h"
#include "Runtime.h"
#include "Session.h"
#include "Settings.h"
#include "classes/Classes.h"
#include "frame/Errors.h"
#include "script/ScriptJson.h"
#include "settings/Store.h"

#include <Kor2_Sys/c_imput1.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <fstream>
#include <sstream>
#include <tuple>

using namespace Kor2_Sys;

namespace {

using kor2cli::JsonWriter;

std::string nested(std::size_t depth, std::string_view open, std::string_view middle, std::string_view close)
{
    std::string text;
    for (std::size_t i = 0; i < depth; ++i)
        text += open;
    text += middle;
    for (std::size_t i = 0; i < depth; ++i)
        text += close;
    return text;
}

std::string readerError(std::string_view json)
{
    try {
        kor2cli::parseJson(json);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "";
}

TEST(JsonWriter, KeepsEveryUtf16UnitAndWritesNumbersShortestOrNamed)
{
    const std::pair<std::u16string_view, std::string> texts[] = {
        {u"rojo", "\"rojo\""}, {u"a\"b\\c", "\"a\\\"b\\\\c\""}, {u"Nº\r\n x", "\"Nº\\r\\n x\""},
        {std::u16string_view(u"a\0b", 3), "\"a\\u0000b\""}, {u"\xD83D\xDE00", "\"\xF0\x9F\x98\x80\""},
        {u"x\xD800y", "\"x\\ud800y\""}, {u"\xDC00", "\"\\udc00\""}, {u"\xD800", "\"\\ud800\""},
        {u"\xDBFF!\xDC00\xD800", R"("\udbff!\udc00\ud800")"}};  // a low unit before a high one is no pair
    for (const auto& [text, json] : texts)
        EXPECT_EQ(JsonWriter().text(text).take(), json);
    const std::pair<double, std::string> numbers[] = {
        {0.1, "0.1"}, {1e300, "1e+300"}, {-0.0, "-0"}, {2.5, "2.5"}, {static_cast<double>(0.1f), "0.10000000149011612"},
        {std::numeric_limits<double>::quiet_NaN(), "\"NaN\""}, {std::numeric_limits<double>::infinity(), "\"Inf\""},
        {-std::numeric_limits<double>::infinity(), "\"-Inf\""}};
    for (const auto& [value, json] : numbers)
        EXPECT_EQ(JsonWriter().number(value).take(), json);
}

// The layouts every kor2 output uses: answer lines inline, export entries one per line.
TEST(JsonWriter, WritesTheLayoutAsToldAndReadsBack)
{
    using Write = std::function<void(JsonWriter&)>;
    constexpr auto Lines = JsonWriter::Layout::Lines;
    const std::pair<Write, std::string> layouts[] = {
        {[](JsonWriter& w) { w.beginObject().key("a").beginArray().endArray().key("b").beginObject().endObject().endObject(); },
         R"({"a": [], "b": {}})"},
        {[](JsonWriter& w) { w.beginArray().number(1).number(-2147483647 - 1).boolean(false).null().utf8("ñ").endArray(); },
         R"([1, -2147483648, false, null, "ñ"])"},
        {[](JsonWriter& w) {
             w.beginObject().key("n").number(1).key("e").beginArray(Lines);
             w.beginObject().key("k").text(u"v").endObject().number(2).endArray().endObject();
         }, "{\"n\": 1, \"e\": [\n  {\"k\": \"v\"},\n  2\n]}"},
        {[](JsonWriter& w) { w.beginArray(Lines).beginArray(Lines).number(1).endArray().number(2).endArray(); },
         "[\n  [\n    1\n  ],\n  2\n]"},
        {[](JsonWriter& w) { w.beginObject().key("a\"b").null().endObject(); }, R"({"a\"b": null})"}};
    for (const auto& [write, expected] : layouts) {
        JsonWriter writer;
        write(writer);
        const std::string json = writer.take();
        EXPECT_EQ(json, expected);
        EXPECT_EQ(readerError(json), "");
        EXPECT_EQ(writer.take(), "");  // taking starts a new document
    }
}

TEST(JsonValues, WriteEveryTypeWithItsName)
{
    const std::vector<Variant> values{Variant{}, Variant::null(), Variant(Integer{-5}), Variant(Single{0.5f}), Variant(true),
                                      Variant(Byte{200}), Array{ValueType::Any, {Long{1}, Text(u"\xD800")}}};
    JsonWriter json;
    kor2cli::writeValues(json, values);
    EXPECT_EQ(json.take(), R"([{"type": "empty", "value": null}, {"type": "null", "value": null}, )"
                           R"({"type": "integer", "value": -5}, {"type": "single", "value": 0.5}, )"
                           R"({"type": "boolean", "value": true}, {"type": "byte", "value": 200}, )"
                           R"({"type": "array", "value": [{"type": "long", "value": 1}, {"type": "text", "value": "\ud800"}]}])");
}

TEST(JsonValues, ReadTypedValuesWithTheirRanges)
{
    const auto value = [](std::string json) { return kor2cli::valueFromJson(kor2cli::parseJson(json)); };
    const std::pair<std::string, Variant> read[] = {
        {R"({"type": "integer", "value": -32768})", Integer{-32768}}, {R"({"type": "byte", "value": 255})", Byte{255}},
        {R"({"type": "long", "value": 2147483647})", Long{2147483647}}, {R"({"type": "single", "value": 0.5})", Single{0.5f}},
        {R"({"type": "text", "value": "\ud800"})", Text(u"\xD800")}, {"2147483648", Double{2147483648.0}},
        {"-7", Long{-7}}, {"7.0", Double{7.0}}};
    for (const auto& [json, expected] : read)
        EXPECT_EQ(value(json), expected) << json;
    const Variant array = value(R"({"type": "array", "value": [1, {"type": "array", "value": ["a"]}]})");
    ASSERT_EQ(array.toArray().items.size(), 2u);
    EXPECT_EQ(array.toArray().items[1].toArray().items[0], Variant(Text(u"a")));
    for (const char* bad : {R"({"type": "integer", "value": 32768})", R"({"type": "integer", "value": 1.0})",
                            R"({"type": "byte", "value": 256})", R"({"type": "byte", "value": -1})",
                            R"({"type": "long", "value": 2147483648})", R"({"type": "single", "value": 1e39})",
                            R"({"type": "text", "value": 1})", R"({"type": "long"})", R"({"type": "fecha", "value": 1})",
                            R"({"value": 1})", "[1, 2]"})
        EXPECT_THROW(value(bad), std::invalid_argument) << bad;
}

TEST(CallArguments, ReadTheirTypePrefixOrAreRefused)
{
    const std::pair<std::string, Variant> read[] = {
        {"int:-32768", Integer{-32768}}, {"long:13132800", Long{13132800}}, {"double:-2.5", -2.5},
        {"single:0.5", Single{0.5f}}, {"bool:true", true}, {"text:a:b c", Text(u"a:b c")}, {"text:", Text()},
        {"empty", Variant{}}, {"null", Variant::null()}, {"text:año", Text(u"año")}, {"byte:255", Byte{255}}};
    for (const auto& [text, value] : read)
        EXPECT_EQ(kor2cli::parseArgument(text), value) << text;
    for (const char* bad : {"int:40000", "long:1.5", "long:", "bool:yes", "7", "float:1", "double:1,5", "int: 1",
                            "byte:256", "byte:-1"})
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

// A session answers each request on its own line, whatever the request, and never echoes it.
const std::string kCall200 = R"({"op":"call","class":"CColores","member":"Col_NuCad_de_NuVB","args":[200]})" "\n";
TEST(Session, AnswersOneLinePerRequestSayingWhatHappened)
{
    struct SessionCase {
        const char* label;
        std::string input;
        std::vector<std::string> says;  ///< part of each answer line, in order
        bool headless = true;
    };
    const SessionCase rows[] = {
        {"everyKindOfRequest",
                R"({"op":"call","class":"CColores","member":"Col_NuCad_de_NuVB","args":[{"type":"long","value":200}]})" "\n\n"
                R"({"op":"new","class":"cls_Loging","id":"f"})" "\n" R"({"op":"set","id":"f","member":"User","value":"Hola"})" "\n"
                "not json\n" R"({"op":"get","id":"nadie","member":"titulo"})" "\n"
                R"({"op":"call","class":"CColores","member":"Col_NombreCad_NuCad","args":[-3]})" "\n",
                {R"({"result": {"type": "long", "value": 12}, "args": [{"type": "long", "value": 200}], "error": null, )"
                 R"("messages": [], "beeps": 0, "clipboard": null, "warnings": []})",
                 R"("result": {"type": "object", "value": "cls_Loging"})", R"("error": null)", R"("number": 5)", "nadie",
                 R"("result": {"type": "text", "value": "3"})"}},
    {"actionsNeedTheScriptedWindowSystem",
                R"({"op":"actions","windows":[{"window":"msgbox","do":[{"answer":"cancel"}]}]})" "\n", {"--headless"}, false},
    {"overlongLineIsRefusedAndTheNextAnswered", std::string(kor2cli::kMaxRequestLine + 10, ' ') + "\n" + kCall200,
                {"la petición pasa de 64 MiB", R"("value": 12})"}},
    {"theFieldAtFaultIsNamed",
                R"({"op":"call","class":"CColores","member":"Col_NuCad_de_NuVB","args":[{"type":"long","value":1.5}]})" "\n"
                R"({"op":7})" "\n" R"({"op":"frob"})" "\n" R"({"op":"call","class":"CColores","member":"X","args":{}})" "\n",
                {"argumento 1: el valor long debe ser un número entero, no un número", R"(\"op\" debe ser un texto, no un número)",
                 "operación desconocida: frob", R"(\"args\" debe ser una lista)"}},
    {"deepNestingIsAnErrorLine",
                std::string(100000, '[') + "\n" + kCall200.substr(0, 69) +
                    nested(20000, R"({"type":"array","value":[)", "", "") + "\n" + kCall200,
                {"más de 64 niveles de anidamiento", "más de 64 niveles de anidamiento", R"("value": 12})"}},
    {"scriptsAtFaultAreNamed",
                R"({"op":"actions","windows":[{"window":"dlgLoging","do":[{"type":["txtUser","x"]}]}]})" "\n"
                R"({"op":"new","class":"cls_Loging","id":"l"})" "\n" R"({"op":"call","id":"l","member":"ShowDialog"})" "\n"
                R"({"op":"actions","windows":[{"window":"a","do":[]},{"window":"b","do":[{"key":["x",9,8]}]}]})" "\n",
                {R"("error": null)", R"("error": null)", "guion de ventanas, dlgLoging: el guion termina con la ventana aún visible",
                 "guion 2: acción 1: "}}};
    for (const SessionCase& c : rows) {
        SCOPED_TRACE(c.label);
        const auto lines = runLines(c.input, c.headless);
        ASSERT_EQ(lines.size(), c.says.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_NE(lines[i].find(c.says[i]), std::string::npos) << lines[i];
            EXPECT_LT(lines[i].size(), 400u);
        }
    }
}

TEST(Session, ListsWhatSilentTrapsSwallowedInEachAnswer)
{
    kor2test::InstalledStore refusing(std::make_shared<kor2test::FaultyStore>(errors::diskFull()));
    const auto lines = runLines(
        R"({"op":"call","class":"cRegistro","member":"R_Grabar_un_dato_en_Win","args":["A","S","K","V"]})" "\n" + kCall200);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(R"("error": null)"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(R"("warnings": [{"number": 61, "description": "Disco lleno", )"
                            R"("operation": "cRegistro.R_Grabar_un_dato_en_Win"}]})"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(R"("warnings": []})"), std::string::npos) << lines[1];
}

TEST(Scripts, NameTheScriptAndActionAtFault)
{
    for (const auto& [json, says] : std::vector<std::pair<const char*, const char*>>{
             {R"({"window": "x"})", "los guiones de ventanas son una lista JSON"},
             {R"([{"window": "x", "do": [{"hover": "a"}]}])", "guion 1: acción 1: acción desconocida: hover"},
             {R"([{"window": "x", "do": [{"click": "a"}, {"close": "maybe"}]}])", "guion 1: acción 2: close admite"},
             {R"([{"window": "x", "do": [{"key": ["a", "Intro"]}]}])", "guion 1: acción 1: tecla desconocida: Intro"},
             {R"([{"window": "x", "do": []}, {"do": []}])", "guion 2: "},
             {R"([{"window": "x", "do": [{"click": "a", "dblclick": "b"}]}])", "una sola clave"}}) {
        try {
            script::scriptsFromJson(kor2cli::parseJson(json));
            ADD_FAILURE() << json;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
        }
    }
}

// Every member the type information lists has a body (the listing itself: cli.describe_*).
TEST(Describe, ListsNoMemberWithoutABody)
{
    for (const ClassInfo* info : libraryClasses())
        EXPECT_EQ(kor2cli::describe(*info, false).find("[sin implementar]"), std::string::npos) << info->name;
}

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
    std::ranges::sort(written, {}, [](const auto& e) { return std::tie(e.app, e.section, e.key); });
    EXPECT_EQ(read, written);
}

// The summary agrees in number with what it counts (it said "1 valores importados"; three are
// counted by the export and import above).
TEST(SettingsCommand, ImportSummaryAgreesInNumber)
{
    kor2test::TempDir dir;
    const std::string entry = R"({"app": "Vesolar", "section": "S", "key": "k", "value": "v"})";
    for (const auto& [entries, summary] : {std::pair<std::string, std::string>{"", "0 valores importados\n"},
                                           {entry, "1 valor importado\n"}}) {
        settings::ScopedStore store(":memory:");
        std::ofstream(dir.file("some.json")) << R"({"format": "kor2-settings", "version": 1, "entries": [)" << entries << "]}";
        std::string said;
        EXPECT_EQ(settingsCommand({"import", dir.file("some.json")}, &said), 0) << said;
        EXPECT_EQ(said, summary);
    }
}

TEST(SettingsCommand, GetSetListDeleteWithTheirExitStatus)
{
    settings::ScopedStore store(":memory:");
    const struct {
        std::vector<std::string> words;
        int status;
        const char* out = nullptr;  ///< all it writes, when given
        bool json = false;
    } steps[] = {
        {{"set", "App Win", "Top", "300"}, 0, ""}, {{"get", "App Win", "Top"}, 0, "300\n"},
        // A stored name or value never steers the terminal nor breaks a listing's lines.
        {{"set", "App\nWin", "T\r[x] y = z", "a\x1b[2J\xc2\x9b\x7f\n"}, 0, ""},
        {{"get", "App\nWin", "T\r[x] y = z"}, 0, "a\\u001b[2J\\u009b\\u007f\\n\n"},
        {{"list"}, 0, "[App\\nWin] T\\r[x] y = z = a\\u001b[2J\\u009b\\u007f\\n\n[App Win] Top = 300\n"},
        {{"delete", "App\nWin", "T\r[x] y = z"}, 0, ""}, {{"get", "App Win", "Nada"}, 1},
        {{"list", "App Win"}, 0, R"({"format": "kor2-settings", "version": 1, "entries": [)" "\n"
                                 R"(  {"app": "Vesolar", "section": "App Win", "key": "Top", "value": "300"})" "\n]}\n", true},
        {{"delete", "App Win", "Top"}, 0, ""}, {{"delete", "App Win", "Top"}, 1}, {{"get", "solo-una-palabra"}, 2},
        {{"frob"}, 2}};
    for (const auto& step : steps) {
        std::string out;
        EXPECT_EQ(settingsCommand(step.words, &out, step.json), step.status) << step.words[0] << " " << out;
        EXPECT_EQ(out, step.out ? step.out : out) << step.words[0];
    }
}

TEST(SettingsCommand, ImportNamesTheEntryAtFault)
{
    kor2test::TempDir dir;
    settings::ScopedStore store(":memory:");
    const std::string head = R"({"format": "kor2-settings", "version": 1, "entries": [)";
    const std::string good = R"({"app": "a", "section": "s", "key": "k", "value": "v"})";
    for (const auto& [document, says] : std::vector<std::pair<std::string, std::string>>{
             {head + good + "," + good + R"(, {"app": "a", "section": "s", "key": 5, "value": "v"}]})",
              R"("entries"[2]: "key" debe ser un texto, no un número)"},
             {head + good + R"(, {"app": "a", "section": "s", "key": "k"}]})", R"("entries"[1]: falta "value" en la entrada)"},
             {head + "7]}", R"("entries"[0]: la entrada debe ser un objeto)"},
             {R"({"format": "otro", "version": 1, "entries": []})", R"("format" debe ser "kor2-settings")"},
             {R"({"format": "kor2-settings", "version": 2, "entries": []})", R"("version" debe ser 1)"},
             {R"({"format": "kor2-settings", "version": 1})", R"(falta "entries")"},
             {"[]", "no es una exportación de kor2"},
             {R"({"entries": [{"app": "a", "section": "s", "key": "k", "value": "v"}, {"app": 1}]})", ""},
             {R"({"entries": [)", ""}, {R"({"entries": {}})", ""}, {R"([1, 2])", ""},
             {R"({"entries": [{"app": "\ud8"}]})", ""}}) {
        std::ofstream(dir.file("bad.json"), std::ios::trunc) << document;
        std::string said;
        EXPECT_EQ(settingsCommand({"import", dir.file("bad.json")}, &said), 2) << document;
        EXPECT_NE(said.find(says), std::string::npos) << said;
        EXPECT_NE(said.find("no se ha cambiado nada"), std::string::npos) << said;
    }
    EXPECT_TRUE(settings::store().entries().empty());
}

// --- One reader for everything kor2 reads --------------------------------------------------------

TEST(JsonReader, ReadsStringsNumbersAndNestingItAccepts)
{
    const auto doc = kor2cli::parseJson("\xEF\xBB\xBF{\"a\": [\"\\ud800x\", \"\\u00f1\", \"ñ\", true, false, null, -1.5e3, {}, "
                                        "\"\\u00F1\\uABcd\\u0009\", \"\xF1\x90\x80\x80\xF4\x8F\xBF\xBF\xF0\x9F\x98\x80\xE1\x80\x80\xEF\xBF\xBD\"]}");
    const auto* a = doc.find(u"a");  // past a byte order mark
    ASSERT_NE(a, nullptr);
    EXPECT_EQ((std::vector<std::u16string>{a->items[0].string, a->items[1].string, a->items[2].string,
                                           a->items[8].string, a->items[9].string}),
              (std::vector<std::u16string>{u"\xD800x", u"ñ", u"ñ", u"ñ\xABCD\t", u"\U00050000\U0010FFFF\U0001F600\u1000\uFFFD"}))
        << "escapes in either case; four-byte characters of every lead; three-byte ones from the first lead to the last";
    EXPECT_EQ(std::tuple(a->items[3].boolean, a->items[4].boolean, a->items[6].number), std::tuple(true, false, -1500.0));
    EXPECT_EQ(readerError(nested(kor2cli::kJsonMaxDepth, "[", "1", "]")), "");
    EXPECT_EQ(readerError(nested(kor2cli::kJsonMaxDepth / 2, "{\"a\":[", "1", "]}")), "");
    const auto n = kor2cli::parseJson("[7, -0, 2.0, 1e2, 9223372036854775807, 9223372036854775808, -12345678901]").items;
    // past 64 bits: a real
    EXPECT_EQ((std::vector<bool>{n[0].isInteger, n[1].isInteger, n[2].isInteger, n[3].isInteger, n[5].isInteger}),
              (std::vector<bool>{true, true, false, false, false}));
    EXPECT_EQ(std::tuple(n[0].integer, n[4].integer, n[6].integer, n[3].number), std::tuple(7, INT64_MAX, -12345678901, 100.0));
}

// Too small for a double is no error: the number rounds to zero or to a subnormal, as strtod reads it.
TEST(JsonReader, ReadsNumbersThatUnderflow)
{
    for (const std::string& text : std::vector<std::string>{"-1e-400", "0." + std::string(400, '0') + "1", "2e-324",
                                                            "3e-324", "1e-310",
                                   "0.0000000001e-320", "1" + std::string(400, '0') + "e-800", "1e-99999999999999999999"}) {
        const double expected = std::strtod(text.c_str(), nullptr);
        const auto node = kor2cli::parseJson(text);
        EXPECT_EQ(node.number, expected) << text;
        EXPECT_EQ(std::signbit(node.number), std::signbit(expected)) << text;
    }
}

// Every refusal names the byte and what is wrong, quoting only a short piece of the line.
TEST(JsonReader, RefusesJunkNamingTheByteAndWhatIsWrong)
{
    for (const auto& [json, says] : std::vector<std::pair<std::string, std::string>>{
             {"01", "byte 1: texto sobrante"}, {"[1.]", "byte 3: faltan cifras tras el punto"},
             {".5", "byte 0: se esperaba un valor"}, {"+1", "byte 0"}, {"1e", "exponente"}, {"-", "número no válido"},
             {"1e999", "fuera del intervalo"}, {"-1" + std::string(400, '0') + ".5e-90", "fuera del intervalo"},
             {"0.00001e99999999999999999999", "fuera del intervalo"}, {"\"a\xC3(\"", "byte 2: UTF-8 no válido"},
             {"\"\xED\xA0\x80\"", "UTF-8 no válido"}, {"\"\xC0\xAF\"", "UTF-8 no válido"},
             {"\"\xF4\x90\x80\x80\"", "UTF-8 no válido"}, {"\"\xF0\x8F\xBF\xBF\"", "UTF-8 no válido"},
             {"\"\xF0\x9F\x41\x80\"", "UTF-8 no válido"}, {"\"\xF0\x9F\x98\"", "UTF-8 no válido"},
             // A bad byte after a good second one, for each kind of lead
             {"\"\xE0\xA0\x41\"", "byte 1: UTF-8"}, {"\"\xE1\x80\x41\"", "byte 1: UTF-8"}, {"\"\xED\x80\x41\"", "byte 1: UTF-8"},
             {"\"\xF1\x80\x41\x80\"", "byte 1: UTF-8"}, {"\"\xF4\x8F\x41\x80\"", "byte 1: UTF-8"},
             {"\"\xF4\x8F\xBF\x41\"", "byte 1: UTF-8"},
             {"\"abc", "byte 0: texto sin cerrar"}, {"[1,]", "byte 3: se esperaba un valor, ante «]»"},
             {"", "falta un valor, al final"}, {"[\x1b[31m]", "ante «\\x1B[31m]»"},
             {"[" + std::string(4 << 20, 'x') + "]", "byte 1: se esperaba un valor, ante «xxxx"},
             {nested(kor2cli::kJsonMaxDepth + 1, "[", "", "]"), "en el byte 64: más de 64 niveles de anidamiento"},
             {"{", ""}, {"{\"a\" 1}", ""}, {"\"\\q\"", ""}, {"tru", ""}, {"1 2", ""}, {"\"a\nb\"", ""}, {"\"\\u00g1\"", ""}}) {
        SCOPED_TRACE(json.substr(0, 80));
        const std::string said = readerError(json);
        EXPECT_NE(said, "");
        EXPECT_NE(said.find(says), std::string::npos) << said;
        EXPECT_LT(said.size(), 200u) << said.substr(0, 300);
    }
}

// Under kor2 a prompt remembered on a second monitor opens there: the recording layer must pass
// the desktop's screens through, not just the primary one.
TEST(RecordingWindowSystem, WindowRememberedOnASecondScreenStaysThere)
{
    settings::ScopedStore store(":memory:");
    auto headless = std::make_shared<platform::HeadlessWindowSystem>();
    headless->setScreens({{0, 0, 28800, 16200}, {28800, 0, 28800, 16200}});
    headless->queue({{"f_Imput", {script::Action{script::Action::Kind::Click, "cmdAceptar"}}}});
    platform::ScopedWindowSystem windows(std::make_shared<kor2cli::RecordingWindowSystem>(headless));
    settings::store().write(u"Vesolar", u"Input Lejos", u"Left", u"40000");

    c_imput1().A_Imput(u"", u"Lejos");

    ASSERT_EQ(headless->shownForms().size(), 1u);
    EXPECT_EQ(headless->shownForms()[0].left, 40000);
}

} // namespace
