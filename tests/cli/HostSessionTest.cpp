// kor2 session with host objects, the headless screen and the virtual clock, as a driving
// program uses them.
#include "JsonReader.h"
#include "JsonWriter.h"
#include "Runtime.h"
#include "Session.h"

#include "frame/Utf.h"
#include "platform/Clock.h"
#include "platform/WindowSystem.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace Kor2_Sys;
using kor2cli::JsonNode;

namespace {

kor2cli::GlobalOptions withHeadless(bool headless)
{
    kor2cli::GlobalOptions o;
    o.headless = headless;
    return o;
}

// A session whose runtime stays installed between batches of requests, so that a test can look
// at the window system and the clock the requests left behind.
struct HostSession {
    kor2cli::Runtime runtime;
    explicit HostSession(bool headless = true) : runtime(withHeadless(headless)) {}

    std::vector<std::string> send(const std::vector<std::string>& requests)
    {
        std::string input;
        for (const std::string& request : requests)
            input += request + "\n";
        std::istringstream in(input);
        std::ostringstream out;
        kor2cli::runSession(runtime, in, out);
        std::vector<std::string> lines;
        std::istringstream split(out.str());
        for (std::string line; std::getline(split, line);)
            lines.push_back(line);
        EXPECT_EQ(lines.size(), requests.size());
        return lines;
    }
    JsonNode last(const std::vector<std::string>& requests) { return kor2cli::parseJson(send(requests).back()); }
};

std::string scalar(const JsonNode& node)
{
    using Kind = JsonNode::Kind;
    return node.kind == Kind::Boolean  ? (node.boolean ? "true" : "false")
           : node.kind == Kind::Number ? kor2cli::shortestNumber(node.number)
           : node.kind == Kind::String ? utf::toUtf8(node.string) : "?";
}

// An answer's "log" as "kind member arg..." entries joined by "; ".
std::string logOf(const JsonNode& answer)
{
    std::string text;
    for (const JsonNode& call : answer.find(u"log")->items) {
        text += (text.empty() ? "" : "; ") + scalar(*call.find(u"kind")) + " " + scalar(*call.find(u"member"));
        for (const JsonNode& arg : call.find(u"args")->items)
            text += " " + scalar(*arg.find(u"value"));
    }
    return text;
}

std::string resultOf(const JsonNode& answer) { return scalar(*answer.find(u"result")->find(u"value")); }
std::string obj(const char* id) { return std::string(R"({"type":"object","value":")") + id + "\"}"; }

const std::string kForm = R"({"op":"host","id":"frm","kind":"form","props":{"ScaleWidth":4500,"ScaleHeight":3000}})";
const std::string kBar = R"({"op":"host","id":"sb","kind":"statusbar","parts":[[0,0,2,20],[2,2,102,20]]})";
const std::string kProgress = R"({"op":"host","id":"pb","kind":"progressbar"})";

TEST(HostSession, ProgressBarGoesIntoTheStatusBarPart)
{
    HostSession session;
    const auto lines = session.send({kForm, kBar, kProgress, R"({"op":"screen","twips":[15,15],"cursor":[100,50]})",
                                     R"({"op":"new","class":"c_StatusBar","id":"s"})",
                                     R"({"op":"call","id":"s","member":"Progreso","args":[)" + obj("frm") + "," + obj("pb") +
                                         "," + obj("sb") + R"(,{"type":"integer","value":1},true]})",
                                     R"({"op":"log","id":"pb"})", R"({"op":"get","id":"pb","member":"Parent"})"});
    EXPECT_EQ(resultOf(kor2cli::parseJson(lines[1])), "4097");  // the handle assigned
    EXPECT_NE(lines[5].find(R"("args": [{"type": "object", "value": "frm"}, {"type": "object", "value": "pb"})"),
              std::string::npos) << lines[5];
    EXPECT_EQ(logOf(kor2cli::parseJson(lines[6])), "get hWnd; method Move 30 30 1500 270; put Visible true; put Value 0");
    EXPECT_EQ(resultOf(kor2cli::parseJson(lines[7])), "sb");
    EXPECT_EQ(platform::windowSystem().cursorPosition(), (platform::PixelPoint{100, 50}));
}

TEST(HostSession, PictureCopyReportsTheBitmapOnTheClipboard)
{
    HostSession session;
    const auto copy = R"({"op":"call","class":"cImagen","member":"I__CopyPictureToClipboard","args":[)" + obj("frm") + "]}";
    const auto lines = session.send({kForm, copy, R"({"op":"set","id":"frm","member":"ScaleWidth","value":0})", copy});
    EXPECT_NE(lines[1].find(R"("clipboard": {"bitmap": [300, 200]})"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[3].find("bitmap"), std::string::npos) << lines[3];  // an empty area makes none
}

// A form with a menu bar and a bitmap beside its first item, read back as the menu stands.
TEST(HostSession, MenuFormGetsItsIcon)
{
    HostSession session;
    const auto lines = session.send({
        R"({"op":"host","id":"frm","kind":"form","menu":[{"caption":"&Archivo","items":["&Abrir","-","&Salir"]},)"
        R"({"caption":"&Ver","items":[]}]})",
        R"({"op":"host","id":"ico","kind":"bitmap","props":{"Handle":700}})",
        R"({"op":"call","class":"CIconosMenu","member":"I_insertar_iconos_en_menu","args":[)"
        R"({"type":"integer","value":0},{"type":"integer","value":0},)" + obj("ico") + "," + obj("frm") + "]}",
        R"({"op":"get","id":"frm","member":"menu"})"});
    EXPECT_NE(lines[2].find(R"("messages": [])"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find(R"("menu": [{"caption": "&Archivo", "id": 0, "separator": false, "bitmaps": [0, 0], "items": [)"
                            R"({"caption": "&Abrir", "id": 1, "separator": false, "bitmaps": [700, 700]}, )"
                            R"({"caption": "", "id": 0, "separator": true, "bitmaps": [0, 0]}, )"
                            R"({"caption": "&Salir", "id": 2, "separator": false, "bitmaps": [0, 0]}]}, )"
                            R"({"caption": "&Ver", "id": 0, "separator": false, "bitmaps": [0, 0], "items": []}])"),
              std::string::npos) << lines[3];
}

// The virtual tick moves only with pauses and clock requests, and the real clock is back after.
TEST(HostSession, VirtualTickMovesOnlyWithPausesAndClockRequests)
{
    const std::string start = R"({"op":"call","id":"t","member":"T_IniciaReloj"})";
    const std::string elapsed = R"({"op":"call","id":"t","member":"T_TiempoTranscurrido"})";
    for (const auto& [requests, says] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{R"({"op":"clock","tick":-1})", start, R"({"op":"clock","tick":999})", elapsed}, R"("value": "1000")"},
             {{R"({"op":"clock","tick":5000})", start, R"({"op":"call","id":"t","member":"Pausa","args":[250]})", elapsed},
              R"("value": "250")"},
             {{R"({"op":"clock","tick":5000})", R"({"op":"call","id":"t","member":"Pausa","args":[-1]})",
               R"({"op":"call","id":"t","member":"T_tiempo"})"}, R"("value": 5000})"}}) {
        {
            HostSession session;
            std::vector<std::string> all{R"({"op":"new","class":"CTiempo","id":"t"})"};
            all.insert(all.end(), requests.begin(), requests.end());
            const std::string last = session.send(all).back();
            EXPECT_NE(last.find(says), std::string::npos) << last;
        }
        EXPECT_EQ(dynamic_cast<platform::VirtualClock*>(&platform::clock()), nullptr);
    }
}

// `count` copies of `item` (its "#" replaced by the copy's number), joined by commas.
std::string many(int count, std::string item)
{
    std::string list;
    for (int i = 0; i < count; ++i)
        list += (i ? "," : "") +
                (item.find('#') == std::string::npos ? item : std::string(item).replace(item.find('#'), 1, std::to_string(i)));
    return list;
}

// A bad request, after the form "frm" and the object "s" were made, answers error 5 saying why.
TEST(HostSession, BadRequestsAnswerErrorFiveSayingWhy)
{
    struct BadCase {
        std::string request, says;
        bool headless = true;
    };
    const BadCase rows[] = {
        {R"({"op":"host","id":"w","kind":"window"})", "desconocida: window"},
        {R"({"op":"host","id":"frm","kind":"picture"})", "ya hay un objeto con id \"frm\""},
        {R"({"op":"new","class":"c_StatusBar","id":"frm"})", "objeto anfitrión"},
        {R"({"op":"release","id":"frm"})", "sigue en el escritorio"},
        {R"({"op":"new","class":"CColores","id":"s"})", "ya hay un objeto con id \"s\""},
        {R"({"op":"release","id":"nadie"})", "no hay ningún objeto con id \"nadie\""},
        {R"({"op":"host","id":"f2","kind":"form","parts":[[0,0,1,1]]})", "barra de estado"},
        {R"({"op":"host","id":"b","kind":"statusbar","parts":[)" + many(257, "[0,0,1,1]") + "]}", "hasta 256 partes"},
        {R"({"op":"host","id":"c","kind":"control","props":{)" + many(257, R"("p#":1)") + "}}", "hasta 256 propiedades"},
        {R"({"op":"host","id":"c","kind":"control","props":{"hwnd":0}})", "0 no nombra"},
        {R"({"op":"host","id":"c","kind":"control","props":{"hWnd":4096}})", "4096 ya está en uso"},
        {R"({"op":"host","id":"c","kind":"control","props":{"Parent":"frm"}})", "la da la ventana"},
        {R"({"op":"call","id":"s","member":"Progreso","args":[{"type":"object","value":"x"}]})",
         "argumento 1: no hay ningún objeto con id \"x\""},
        {R"({"op":"screen","twips":[15,0]})", "mayor que 0"},
        {R"({"op":"clock","tick":4294967296})", "fuera del intervalo"},
        {R"({"op":"host","id":"c","kind":"control","menu":[]})", "sólo vale para un formulario"},
        {R"({"op":"host","id":"f2","kind":"form","menu":[{"caption":"&A","items":[)" + many(1025, "\"x\"") + "]}]}",
         "hasta 1024 elementos"},
        {R"({"op":"host","id":"f","kind":"form"})", "sólo vale con --headless", false}};
    for (const BadCase& c : rows) {
        SCOPED_TRACE(c.request.substr(0, 80));
        HostSession session(c.headless);
        const auto answer = session.last({c.headless ? kForm : "{\"op\":\"log\",\"id\":\"x\"}",
                                          R"({"op":"new","class":"c_StatusBar","id":"s"})", c.request});
        ASSERT_NE(answer.find(u"error")->find(u"number"), nullptr);
        EXPECT_EQ(answer.find(u"error")->find(u"number")->integer, 5);
        const std::string said = utf::toUtf8(answer.find(u"error")->find(u"description")->string);
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
    }
}

} // namespace
