#include <Kor2_Sys/Error.h>

#include "Guards.h"
#include "frame/Utf.h"
#include "platform/Form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kor2_Sys;
using namespace Kor2_Sys::platform;

namespace {

// A small window with the kinds of control the library's windows use; it logs every event it
// receives so that a test can see the order in which a window system delivered them.
class ProbeWindow final : public FormEvents {
public:
    ProbeWindow() : form("F_prueba", *this)
    {
        form.add({.name = "TX_valor", .kind = ControlKind::TextBox, .tabIndex = 0});
        form.add({.name = "BT_aceptar", .kind = ControlKind::Button, .caption = u"Aceptar", .tabIndex = 1});
        form.add({.name = "BT_cancelar", .kind = ControlKind::Button, .caption = u"Cancelar", .tabIndex = 2});
        form.add({.name = "BT_preguntar", .kind = ControlKind::Button});
        form.add({.name = "Pc", .kind = ControlKind::Picture, .width = 2000, .height = 400, .scaleWidth = 100, .scaleHeight = 50});
        form.setDefaultButton("BT_aceptar");
        form.setCancelButton("BT_cancelar");
    }

    void onClick(const std::string& c) override
    {
        log.push_back("click " + c);
        if (c == "BT_aceptar" || c == "BT_cancelar") {
            accepted = c == "BT_aceptar";
            form.hide();
        } else if (c == "BT_preguntar") {
            const auto answer = windowSystem().messageBox({u"¿Seguro?", MessageButtons::OkCancel, MessageIcon::Warning, u"Pregunta"});
            log.push_back(answer == MessageAnswer::Ok ? "answer ok" : "answer cancel");
        }
    }
    void onDoubleClick(const std::string& c) override { log.push_back("dblclick " + c); }
    void onMouseDown(const std::string& c, int button, int shift, double x, double y) override
    {
        log.push_back("mousedown " + c + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
                      std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
    }
    void onChange(const std::string& c) override { log.push_back("change " + utf::toUtf8(form.control(c).caption)); }
    void onKeyPress(const std::string&, int& key) override
    {
        log.push_back("key " + std::to_string(key));
        if (key == 'x')
            key = 0;  // swallowed
        else if (key >= 'a' && key <= 'z')
            key -= 32;
    }
    void onResize() override
    {
        log.push_back("resize " + std::to_string(static_cast<long>(form.width())) + "x" +
                      std::to_string(static_cast<long>(form.height())));
    }
    void onCloseRequest(bool fromUser, bool& cancel) override
    {
        log.push_back(fromUser ? "close user" : "close code");
        if (fromUser && refuseUserClose) {
            cancel = true;
            form.hide();
        }
    }
    void onUnload() override { log.push_back("unload"); }

    Form form;
    std::vector<std::string> log;
    bool accepted = false;
    bool refuseUserClose = false;
};

Action click(std::string control) { return {.kind = Action::Kind::Click, .control = std::move(control)}; }
Action type(std::string control, Text text) { return {.kind = Action::Kind::Type, .control = std::move(control), .text = std::move(text)}; }
Action key(std::string control, int k) { return {.kind = Action::Kind::Key, .control = std::move(control), .key = k}; }

using Log = std::vector<std::string>;

struct PlayCase {
    const char* label;
    std::vector<Action> actions;
    Log log;
    bool accepted;
};

class Playback : public ::testing::TestWithParam<PlayCase> {};

TEST_P(Playback, DeliversEventsInTheOrderAPersonCausesThem)
{
    kor2test::ScopedHeadless ui({{"F_prueba", GetParam().actions}});
    ProbeWindow window;
    windowSystem().showModal(window.form);
    EXPECT_EQ(window.log, GetParam().log);
    EXPECT_EQ(window.accepted, GetParam().accepted);
    EXPECT_FALSE(window.form.visible());
}

INSTANTIATE_TEST_SUITE_P(Keyboard, Playback, ::testing::Values(
    PlayCase{"typing replaces all, key press before each change",
             {type("TX_valor", u"ab"), click("BT_aceptar")},
             {"key 97", "change A", "key 98", "change AB", "click BT_aceptar"}, true},
    PlayCase{"a swallowed key changes nothing",
             {type("TX_valor", u"axb"), click("BT_aceptar")},
             {"key 97", "change A", "key 120", "key 98", "change AB", "click BT_aceptar"}, true},
    PlayCase{"typing nothing deletes without a key press",
             {type("TX_valor", u"a"), type("TX_valor", u""), click("BT_aceptar")},
             {"key 97", "change A", "change ", "click BT_aceptar"}, true},
    PlayCase{"setting from code is one change",
             {{.kind = Action::Kind::Set, .control = "TX_valor", .text = u"12"}, click("BT_aceptar")},
             {"change 12", "click BT_aceptar"}, true},
    PlayCase{"enter presses the default button",
             {type("TX_valor", u"q"), key("TX_valor", 13)},
             {"key 113", "change Q", "click BT_aceptar"}, true},
    PlayCase{"escape presses the cancel button",
             {key("TX_valor", 27)},
             {"click BT_cancelar"}, false},
    PlayCase{"backspace edits after its key press",
             {type("TX_valor", u"ab"), key("TX_valor", 8), key("TX_valor", 13)},
             {"key 97", "change A", "key 98", "change AB", "key 8", "change A", "click BT_aceptar"}, true}));

INSTANTIATE_TEST_SUITE_P(Mouse, Playback, ::testing::Values(
    PlayCase{"mouse down at a fraction of the scale",
             {{.kind = Action::Kind::MouseDown, .control = "Pc", .x = 0.5, .y = 0.25}, click("BT_cancelar")},
             {"mousedown Pc 1 0 50 12", "click BT_cancelar"}, false},
    PlayCase{"double click",
             {{.kind = Action::Kind::DoubleClick, .control = "Pc"}, click("BT_aceptar")},
             {"dblclick Pc", "click BT_aceptar"}, true}));

INSTANTIATE_TEST_SUITE_P(Window, Playback, ::testing::Values(
    PlayCase{"resize raises the event",
             {{.kind = Action::Kind::Resize, .width = 6000, .height = 3000}, click("BT_aceptar")},
             {"resize 6000x3000", "click BT_aceptar"}, true},
    PlayCase{"close box unloads",
             {{.kind = Action::Kind::Close, .fromUser = true}},
             {"close user", "unload"}, false},
    PlayCase{"message box answers come from the script",
             {{.kind = Action::Kind::Answer, .answer = MessageAnswer::Cancel}, click("BT_preguntar"), click("BT_preguntar"), click("BT_aceptar")},
             {"click BT_preguntar", "answer cancel", "click BT_preguntar", "answer ok", "click BT_aceptar"}, true}));

TEST(Playback, RefusedCloseKeepsTheWindowLoaded)
{
    kor2test::ScopedHeadless ui({{"F_prueba", {{.kind = Action::Kind::Close, .fromUser = true}}}});
    ProbeWindow window;
    window.refuseUserClose = true;
    windowSystem().showModal(window.form);
    EXPECT_EQ(window.log, (Log{"close user"}));
    EXPECT_FALSE(window.form.unloaded());
    window.form.unload();
    EXPECT_EQ(window.log, (Log{"close user", "close code", "unload"}));
    EXPECT_TRUE(window.form.unloaded());
}

TEST(Playback, RecordsMessageBoxesWithTheirTitles)
{
    kor2test::ScopedHeadless ui({{"F_prueba", {click("BT_preguntar"), click("BT_aceptar")}}});
    ProbeWindow window;
    windowSystem().showModal(window.form);
    ASSERT_EQ(ui->messages().size(), 1u);
    EXPECT_EQ(ui->messages()[0].text, u"¿Seguro?");
    EXPECT_EQ(ui->messages()[0].title, u"Pregunta");
    EXPECT_EQ(ui->messages()[0].icon, MessageIcon::Warning);
}

TEST(Playback, TopLevelMessageBoxScriptAnswersBoxesOutsideWindows)
{
    kor2test::ScopedHeadless ui({{"msgbox", {{.kind = Action::Kind::Answer, .answer = MessageAnswer::Cancel}}}});
    EXPECT_EQ(windowSystem().messageBox({u"a", MessageButtons::OkCancel}), MessageAnswer::Cancel);
    EXPECT_EQ(windowSystem().messageBox({u"b", MessageButtons::OkCancel}), MessageAnswer::Ok);
    EXPECT_EQ(ui->pendingScripts(), 0u);
    EXPECT_EQ(ui->messages()[1].title, u"Kor2_Sys");
}

struct BrokenScript {
    const char* label;
    std::vector<WindowScript> scripts;
    std::u16string_view mentions;
};

class ScriptErrors : public ::testing::TestWithParam<BrokenScript> {};

TEST_P(ScriptErrors, FailWithAnErrorNamingTheWindowInsteadOfHanging)
{
    kor2test::ScopedHeadless ui(GetParam().scripts);
    ProbeWindow window;
    try {
        windowSystem().showModal(window.form);
        ADD_FAILURE() << "expected an error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_NE(e.description().find(GetParam().mentions), Text::npos) << utf::toUtf8(e.description());
    }
}

INSTANTIATE_TEST_SUITE_P(Headless, ScriptErrors, ::testing::Values(
    BrokenScript{"no script left", {}, u"F_prueba"},
    BrokenScript{"script for another window", {{"F_color", {click("BT_aceptar")}}}, u"F_color"},
    BrokenScript{"missing control", {{"F_prueba", {click("BT_nada")}}}, u"BT_nada"},
    BrokenScript{"window still shown", {{"F_prueba", {type("TX_valor", u"1")}}}, u"visible"},
    BrokenScript{"action after hide", {{"F_prueba", {click("BT_aceptar"), click("BT_aceptar")}}}, u"oculta"},
    BrokenScript{"file action in a window", {{"F_prueba", {{.kind = Action::Kind::Cancel}}}}, u"archivos"}));

TEST(FileDialog, AnswersFromTheScript)
{
    kor2test::ScopedHeadless ui({{"file", {{.kind = Action::Kind::File, .text = u"/tmp/año 1.txt"}}},
                                 {"file", {{.kind = Action::Kind::Cancel}}}});
    EXPECT_EQ(windowSystem().fileDialog({}), u"/tmp/año 1.txt");
    try {
        windowSystem().fileDialog({});
        ADD_FAILURE() << "cancel must raise";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 32755);
    }
}

} // namespace
