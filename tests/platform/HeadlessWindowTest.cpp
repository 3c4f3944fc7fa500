#include <Kor2_Sys/Error.h>

#include "Guards.h"
#include "frame/Utf.h"
#include "platform/Form.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <optional>
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
        form.add({.name = "Fr", .kind = ControlKind::Frame, .visible = false});
        form.add({.name = "TX_marco", .kind = ControlKind::TextBox, .container = "Fr", .tabIndex = 3});
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
Action backTab(std::string control)
{
    return {.kind = Action::Kind::Key, .control = std::move(control), .key = keys::Tab, .shift = keys::ShiftDown};
}

using Log = std::vector<std::string>;

// The error `call` fails with, if it fails.
template <class Call> std::optional<Error> failure(Call&& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    return std::nullopt;
}

// Test names from the cases' labels, so that a failure line says which case broke.
template <class Case> std::string labelled(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (const char* c = info.param.label; *c != 0; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

struct PlayCase {
    const char* label;
    std::vector<Action> actions;
    Log log;
    bool accepted;
    std::function<void(Form&)> setup = nullptr;  ///< the window's state before it is shown
};

// The focus as a renderer follows it: through the model's observer.
class FocusLog final : public FormObserver {
public:
    explicit FocusLog(std::vector<std::string>& log) : m_log(log) {}
    void focusChanged(const std::string& control) override { m_log.push_back("focus " + control); }

private:
    std::vector<std::string>& m_log;
};

// Plays a case's script on a fresh window; with `followFocus` the focus moves join the log.
void expectPlayed(const PlayCase& c, bool followFocus)
{
    kor2test::ScopedHeadless ui({{"F_prueba", c.actions}});
    ProbeWindow window;
    FocusLog focusLog(window.log);
    if (followFocus)
        window.form.setObserver(&focusLog);
    if (c.setup)
        c.setup(window.form);
    windowSystem().showModal(window.form);
    EXPECT_EQ(window.log, c.log);
    EXPECT_EQ(window.accepted, c.accepted);
    EXPECT_FALSE(window.form.visible());
}

class Playback : public ::testing::TestWithParam<PlayCase> {};

TEST_P(Playback, DeliversEventsInTheOrderAPersonCausesThem)
{
    expectPlayed(GetParam(), false);
}

INSTANTIATE_TEST_SUITE_P(Events, Playback, ::testing::Values(
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
    PlayCase{"escape presses the cancel button",
             {key("TX_valor", 27)},
             {"click BT_cancelar"}, false},
    PlayCase{"backspace edits after its key press",
             {type("TX_valor", u"ab"), key("TX_valor", 8), key("TX_valor", 13)},
             {"key 97", "change A", "key 98", "change AB", "key 8", "change A", "click BT_aceptar"}, true},
    PlayCase{"mouse down at a fraction of the scale",
             {{.kind = Action::Kind::MouseDown, .control = "Pc", .x = 0.5, .y = 0.25}, click("BT_cancelar")},
             {"mousedown Pc 1 0 50 12", "click BT_cancelar"}, false},
    PlayCase{"double click",
             {{.kind = Action::Kind::DoubleClick, .control = "Pc"}, click("BT_aceptar")},
             {"dblclick Pc", "click BT_aceptar"}, true},
    PlayCase{"resize raises the event",
             {{.kind = Action::Kind::Resize, .width = 6000, .height = 3000}, click("BT_aceptar")},
             {"resize 6000x3000", "click BT_aceptar"}, true},
    PlayCase{"close box unloads",
             {{.kind = Action::Kind::Close, .fromUser = true}},
             {"close user", "unload"}, false},
    PlayCase{"message box answers come from the script",
             {{.kind = Action::Kind::Answer, .answer = MessageAnswer::Cancel}, click("BT_preguntar"), click("BT_preguntar"), click("BT_aceptar")},
             {"click BT_preguntar", "answer cancel", "click BT_preguntar", "answer ok", "click BT_aceptar"}, true}),
    labelled<PlayCase>);

class Focus : public ::testing::TestWithParam<PlayCase> {};

TEST_P(Focus, FollowsTabOrderClicksAndKeys)
{
    expectPlayed(GetParam(), true);
}

void noDefaultButton(Form& f) { f.setDefaultButton(""); }
void showFrame(Form& f) { f.setVisible("Fr", true); }
void hideDefaultButton(Form& f) { f.setVisible("BT_aceptar", false); }
void disableTextBox(Form& f) { f.update("TX_valor", [](Control& c) { c.enabled = false; }); }

INSTANTIATE_TEST_SUITE_P(Keys, Focus, ::testing::Values(
    PlayCase{"shown with the first control in tab order",
             {click("BT_cancelar")},
             {"focus TX_valor", "focus BT_cancelar", "click BT_cancelar"}, false},
    PlayCase{"first focusable control when the first is disabled",
             {key("BT_cancelar", 27)},
             {"focus BT_aceptar", "focus BT_cancelar", "click BT_cancelar"}, false, disableTextBox},
    PlayCase{"a focus that code gave before the show stays",
             {key("BT_cancelar", 13)},
             {"focus BT_cancelar", "click BT_cancelar"}, false, [](Form& f) { f.setFocus("BT_cancelar"); }},
    PlayCase{"tab goes round, skipping a hidden frame's controls",
             {key("TX_valor", 9), key("BT_aceptar", 9), key("BT_cancelar", 9), key("TX_valor", 27)},
             {"focus TX_valor", "focus BT_aceptar", "focus BT_cancelar", "focus TX_valor", "click BT_cancelar"}, false},
    PlayCase{"tab reaches a shown frame's controls",
             {key("BT_cancelar", 9), key("TX_marco", 9), key("TX_valor", 27)},
             {"focus TX_valor", "focus BT_cancelar", "focus TX_marco", "focus TX_valor", "click BT_cancelar"}, false,
             showFrame},
    PlayCase{"shift+tab goes backwards round the start",
             {backTab("TX_valor"), backTab("BT_cancelar"), key("BT_aceptar", 27)},
             {"focus TX_valor", "focus BT_cancelar", "focus BT_aceptar", "click BT_cancelar"}, false},
    PlayCase{"tab skips a hidden button",
             {key("TX_valor", 9), key("BT_cancelar", 32)},
             {"focus TX_valor", "focus BT_cancelar", "click BT_cancelar"}, false, hideDefaultButton},
    PlayCase{"enter presses the focused button, not the default",
             {key("BT_cancelar", 13)},
             {"focus TX_valor", "focus BT_cancelar", "click BT_cancelar"}, false},
    PlayCase{"enter in the text box presses the default button, the focus stays",
             {type("TX_valor", u"q"), key("TX_valor", 13)},
             {"focus TX_valor", "key 113", "change Q", "click BT_aceptar"}, true},
    PlayCase{"without a default button enter presses only a focused button",
             {key("TX_valor", 13), key("BT_aceptar", 13)},
             {"focus TX_valor", "key 13", "focus BT_aceptar", "click BT_aceptar"}, true, noDefaultButton},
    PlayCase{"a hidden default button is not pressed",
             {key("TX_valor", 13), key("TX_valor", 27)},
             {"focus TX_valor", "key 13", "click BT_cancelar"}, false, hideDefaultButton},
    PlayCase{"escape presses the cancel button wherever the focus is",
             {key("BT_aceptar", 27)},
             {"focus TX_valor", "focus BT_aceptar", "click BT_cancelar"}, false},
    PlayCase{"space presses the focused button",
             {key("BT_aceptar", 32)},
             {"focus TX_valor", "focus BT_aceptar", "click BT_aceptar"}, true},
    PlayCase{"a picture takes no focus from a click; a button does",
             {{.kind = Action::Kind::MouseDown, .control = "Pc", .x = 0, .y = 0}, click("BT_cancelar")},
             {"focus TX_valor", "mousedown Pc 1 0 0 0", "focus BT_cancelar", "click BT_cancelar"}, false}),
    labelled<PlayCase>);

TEST(Focus, LeavesAControlThatIsHiddenOrDisabled)
{
    kor2test::ScopedHeadless ui;
    ProbeWindow window;
    windowSystem().showModeless(window.form);
    EXPECT_EQ(window.form.focus(), "TX_valor");
    window.form.setFocus("BT_cancelar");
    window.form.setVisible("BT_cancelar", false);
    EXPECT_EQ(window.form.focus(), "TX_valor") << "round the end to the first";
    window.form.setVisible("Fr", true);
    window.form.setFocus("TX_marco");
    window.form.setVisible("Fr", false);
    EXPECT_EQ(window.form.focus(), "TX_valor") << "hiding the frame hides what it holds";
    for (const char* c : {"TX_valor", "BT_aceptar"})
        window.form.update(c, [](Control& control) { control.enabled = false; });
    EXPECT_EQ(window.form.focus(), "") << "no control left to take it";
    EXPECT_FALSE(window.form.takesFocus("BT_preguntar"));
    const auto refused = failure([&] { window.form.setFocus("BT_preguntar"); });
    EXPECT_EQ(refused ? refused->number() : 0, 5) << "a control without a tab place cannot take the focus";
}

// Typing a long text costs the same per character at the end as at the start; the window
// below does constant work per event, so only the model and the window system are measured.
class CountingWindow final : public FormEvents {
public:
    CountingWindow() : form("F_contar", *this)
    {
        form.add(makeControl("TX_texto", ControlKind::TextBox, u"previo", 0, 0, 4000, 300, 0));
        form.add(makeControl("BT_aceptar", ControlKind::Button, u"Aceptar", 0, 400, 1000, 300, 1));
    }
    void onClick(const std::string&) override { form.hide(); }
    void onKeyPress(const std::string&, int&) override
    {
        ordered = ordered && !keyPending;
        keyPending = true;
        ++keys;
    }
    void onChange(const std::string&) override
    {
        ordered = ordered && keyPending;
        keyPending = false;
        ++changes;
    }

    Form form;
    long keys = 0, changes = 0;
    bool keyPending = false, ordered = true;
};

TEST(Typing, TwoHundredThousandCharactersOneKeyAndOneChangeEach)
{
    constexpr std::size_t kLength = 200'000;
    Text typed(kLength, u'x');
    for (std::size_t i = 0; i < kLength; i += 7)
        typed[i] = static_cast<char16_t>(u'a' + i % 26);
    kor2test::ScopedHeadless ui({{"F_contar",
                                  {{.kind = Action::Kind::Type, .control = "TX_texto", .text = typed},
                                   {.kind = Action::Kind::Click, .control = "BT_aceptar"}}}});
    CountingWindow window;
    windowSystem().showModal(window.form);
    EXPECT_EQ(window.form.control("TX_texto").caption, typed) << "the first character replaced the selection";
    EXPECT_EQ(window.keys, static_cast<long>(kLength));
    EXPECT_EQ(window.changes, static_cast<long>(kLength));
    EXPECT_TRUE(window.ordered) << "every change follows its own key press";
    EXPECT_EQ(window.form.control("TX_texto").selStart, static_cast<Long>(kLength));
}

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

// A window's boxes are answered by its script and recorded with their titles; a top-level script
// answers boxes outside windows, and then the default answer is Ok.
TEST(Playback, RecordsMessageBoxesAndAnswersThemFromTheScript)
{
    kor2test::ScopedHeadless ui({{"F_prueba", {click("BT_preguntar"), click("BT_aceptar")}},
                                 {"msgbox", {{.kind = Action::Kind::Answer, .answer = MessageAnswer::Cancel}}}});
    ProbeWindow window;
    windowSystem().showModal(window.form);
    ASSERT_EQ(ui->messages().size(), 1u);
    EXPECT_EQ(ui->messages()[0].text, u"¿Seguro?");
    EXPECT_EQ(ui->messages()[0].title, u"Pregunta");
    EXPECT_EQ(ui->messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(windowSystem().messageBox({u"a", MessageButtons::OkCancel}), MessageAnswer::Cancel);
    EXPECT_EQ(windowSystem().messageBox({u"b", MessageButtons::OkCancel}), MessageAnswer::Ok);
    EXPECT_EQ(ui->pendingScripts(), 0u);
    EXPECT_EQ(ui->messages()[2].title, u"Kor2_Sys");
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
    const auto e = failure([&] { windowSystem().showModal(window.form); });
    ASSERT_TRUE(e) << "expected an error";
    EXPECT_EQ(e->number(), 5);
    EXPECT_NE(e->description().find(GetParam().mentions), Text::npos) << utf::toUtf8(e->description());
}

INSTANTIATE_TEST_SUITE_P(Headless, ScriptErrors, ::testing::Values(
    BrokenScript{"key to a control without focus", {{"F_prueba", {key("Pc", 13)}}}, u"foco"},
    BrokenScript{"typing into a hidden frame", {{"F_prueba", {{.kind = Action::Kind::Type, .control = "TX_marco", .text = u"a"}}}}, u"foco"},
    BrokenScript{"no script left", {}, u"F_prueba"},
    BrokenScript{"script for another window", {{"F_color", {click("BT_aceptar")}}}, u"F_color"},
    BrokenScript{"missing control", {{"F_prueba", {click("BT_nada")}}}, u"BT_nada"},
    BrokenScript{"window still shown", {{"F_prueba", {type("TX_valor", u"1")}}}, u"visible"},
    BrokenScript{"action after hide", {{"F_prueba", {click("BT_aceptar"), click("BT_aceptar")}}}, u"oculta"},
    BrokenScript{"file action in a window", {{"F_prueba", {{.kind = Action::Kind::Cancel}}}}, u"archivos"}),
    labelled<BrokenScript>);

TEST(FileDialog, AnswersFromTheScript)
{
    kor2test::ScopedHeadless ui({{"file", {{.kind = Action::Kind::File, .text = u"/tmp/año 1.txt"}}},
                                 {"file", {{.kind = Action::Kind::Cancel}}}});
    EXPECT_EQ(windowSystem().fileDialog({}), u"/tmp/año 1.txt");
    const auto cancelled = failure([] { windowSystem().fileDialog({}); });
    EXPECT_EQ(cancelled ? cancelled->number() : 0, 32755) << "cancel must raise";
}

} // namespace
