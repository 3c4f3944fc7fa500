// Keys and focus on the library's windows: one case table played by the headless window system and
// by real widgets, so that Tab, Shift+Tab, Enter, Escape and Space do the same on both.
#include "QtWindowTest.h"
#include "colour/ColourWindow.h"
#include "frame/Utf.h"
#include "prompts/InputWindow.h"
#include "prompts/MessageWindow.h"

#include <QClipboard>
#include <QLineEdit>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

using namespace Kor2_Sys;
using Kor2_Sys::platform::Action;
using kor2test::child;

namespace {

enum class Backend { Headless, Qt };
enum class Window { Message, Input, Colour };

constexpr std::u16string_view kMessage = u"Informe\r\nPunto 1";

// A window of the library, opened as its front opens it, with what it handed back in words.
struct Subject {
    std::shared_ptr<void> window;
    platform::Form* form;
    std::function<void()> show;
    std::function<std::string()> outcome;
};

Subject open(Window which)
{
    if (which == Window::Message) {
        auto w = std::make_shared<prompts::MessageWindow>();
        return {w, &w->form(), [w] { w->A_Mensaje(Text(kMessage), u"Foco"); },
                [w] { return std::string(w->form().unloaded() ? "cerrada" : "abierta"); }};
    }
    if (which == Window::Input) {
        auto w = std::make_shared<prompts::InputWindow>();
        return {w, &w->form(), [w] { w->A_Input(u"inicial", u"Foco"); },
                [w] { return (w->Cancelado ? "cancelado " : "aceptado ") + utf::toUtf8(w->TextoAceptado); }};
    }
    auto w = std::make_shared<colour::ColourWindow>();
    return {w, &w->form(), [w] { w->C_ejecuta(); },
            [w] { return w->C_aceptado() ? "aceptado " + std::to_string(w->C_NumColorAutocaD()) : std::string("cancelado"); }};
}

Action click(std::string control) { return {.kind = Action::Kind::Click, .control = std::move(control)}; }
Action type(std::string control, Text text)
{
    return {.kind = Action::Kind::Type, .control = std::move(control), .text = std::move(text)};
}
Action key(std::string control, int code) { return {.kind = Action::Kind::Key, .control = std::move(control), .key = code}; }
Action tab(std::string control) { return key(std::move(control), platform::keys::Tab); }
Action backTab(std::string control)
{
    return {.kind = Action::Kind::Key, .control = std::move(control), .key = platform::keys::Tab,
            .shift = platform::keys::ShiftDown};
}

struct KeyCase {
    const char* label;
    Window window;
    std::vector<Action> actions;
    std::vector<std::string> focus;  ///< the model's focus when shown, then each control it moved to
    std::string outcome;             ///< what the window handed back
    bool copied = false;             ///< the message is on the clipboard
};

void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.label; }

using Param = std::tuple<Backend, KeyCase>;

std::string caseName(const ::testing::TestParamInfo<Param>& info)
{
    return std::string(std::get<0>(info.param) == Backend::Qt ? "Qt_" : "Headless_") + std::get<1>(info.param).label;
}

// The focus as the model reports it to its observer.
class FocusLog final : public platform::FormObserver {
public:
    explicit FocusLog(std::vector<std::string>& log) : m_log(log) {}
    void focusChanged(const std::string& control) override { m_log.push_back(control); }

private:
    std::vector<std::string>& m_log;
};

QString toQString(const Text& text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }

std::string focusedControl(QWidget* dialog)
{
    QWidget* focused = dialog->focusWidget();
    return focused ? focused->objectName().toStdString() : std::string();
}

// An action in a failure line: its control and key.
std::string what(const Action& action)
{
    return action.control + (action.kind == Action::Kind::Key ? " key " + std::to_string(action.key) : std::string());
}

// A scripted action as a person does it on the widgets: the events go to the named control's widget.
void playOnWidgets(QWidget* dialog, const Action& action)
{
    QWidget* target = child(dialog, action.control.c_str());
    ASSERT_NE(target, nullptr) << what(action);
    switch (action.kind) {
    case Action::Kind::Click: QTest::mouseClick(target, Qt::LeftButton); break;
    case Action::Kind::Type:
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);  // select all, then type over it
        QTest::keyClicks(target, toQString(action.text));
        break;
    case Action::Kind::Key: {
        const Qt::KeyboardModifiers shift = (action.shift & platform::keys::ShiftDown) ? Qt::ShiftModifier : Qt::NoModifier;
        const std::map<int, Qt::Key> named{{platform::keys::Tab, Qt::Key_Tab}, {platform::keys::Enter, Qt::Key_Return},
                                           {platform::keys::Escape, Qt::Key_Escape}, {platform::keys::Space, Qt::Key_Space}};
        if (const auto k = named.find(action.key); k != named.end())
            QTest::keyClick(target, k->second, shift);
        else
            QTest::keyClick(target, static_cast<char>(action.key), shift);
        break;
    }
    default: FAIL() << "no widget player for " << what(action);
    }
}

// A person's click goes to an active window, and Qt gives the focus only within one. A window
// that does not activate is hidden, so that its modal show ends.
bool activated(QWidget* dialog, platform::Form& form)
{
    dialog->activateWindow();
    if (QTest::qWaitForWindowActive(dialog))
        return true;
    ADD_FAILURE() << "the window does not activate";
    form.hide();
    return false;
}

// Plays the actions on the shown dialog; after each one the widget that has Qt's focus is the
// model's, and every move of the model's focus is logged.
void playAll(QWidget* dialog, platform::Form& form, const std::vector<Action>& actions, std::vector<std::string>& focus)
{
    focus.push_back(form.focus());
    EXPECT_EQ(focusedControl(dialog), form.focus()) << "when shown";
    if (!activated(dialog, form))
        return;
    EXPECT_EQ(QApplication::focusWidget(), dialog->focusWidget()) << "the model's focus is the window's when it activates";
    for (const Action& action : actions) {
        if (!form.visible()) {
            ADD_FAILURE() << what(action) << " comes after the window was hidden";
            return;
        }
        playOnWidgets(dialog, action);
        if (form.focus() != focus.back())
            focus.push_back(form.focus());
        if (form.visible()) {
            EXPECT_EQ(focusedControl(dialog), form.focus()) << "after " << what(action);
        }
    }
    if (form.visible()) {
        ADD_FAILURE() << "the window is still shown after its actions";
        form.hide();
    }
}

class KeysAndFocus : public kor2test::QtWindows, public ::testing::WithParamInterface<Param> {};

TEST_P(KeysAndFocus, SameOnBothBackends)
{
    const auto& [backend, c] = GetParam();
    QGuiApplication::clipboard()->clear();
    std::optional<kor2test::ScopedHeadless> headless;
    if (backend == Backend::Headless)
        headless.emplace();
    const Subject subject = open(c.window);
    platform::Form& form = *subject.form;
    std::vector<std::string> focus;
    FocusLog log(focus);
    if (headless) {
        (*headless)->queue({{form.name(), c.actions}});
        form.setObserver(&log);
        subject.show();
        form.setObserver(nullptr);
    } else {
        whenShown([&](QWidget* dialog) { playAll(dialog, form, c.actions, focus); });
        subject.show();
    }
    EXPECT_EQ(focus, c.focus);
    EXPECT_EQ(subject.outcome(), c.outcome);
    const std::optional<Text> clipboard = headless ? (*headless)->clipboardText()
                                                   : std::optional<Text>(utf::fromUtf8(QGuiApplication::clipboard()->text().toStdString()));
    EXPECT_EQ(clipboard == Text(kMessage), c.copied);
}

// The message window: Aceptar (tab 0, the cancel button), the text (1), the copy button (2).
const KeyCase kMessageCases[] = {
    {"enterOnFocusedAccept", Window::Message, {key("cmdAceptar", 13)}, {"cmdAceptar"}, "cerrada"},
    {"enterOnFocusedButton", Window::Message, {tab("cmdAceptar"), tab("TxtMensaje"), key("cmdcopy", 13), key("cmdcopy", 27)},
     {"cmdAceptar", "TxtMensaje", "cmdcopy"}, "cerrada", true},
    {"spaceOnBackTabbedCopy", Window::Message,
     {backTab("cmdAceptar"), key("cmdcopy", 32), backTab("cmdcopy"), backTab("TxtMensaje"), key("cmdAceptar", 32)},
     {"cmdAceptar", "cmdcopy", "TxtMensaje", "cmdAceptar"}, "cerrada", true},
    {"escapeInTheText", Window::Message, {tab("cmdAceptar"), key("TxtMensaje", 27)}, {"cmdAceptar", "TxtMensaje"}, "cerrada"},
    {"clickInTheTextTakesFocus", Window::Message, {click("TxtMensaje"), tab("TxtMensaje"), key("cmdcopy", 27)},
     {"cmdAceptar", "TxtMensaje", "cmdcopy"}, "cerrada"},
};

// The input prompt: the box (tab 0), Cancelar (1, cancel), Aceptar (2, default), a hidden Ayuda (3).
const KeyCase kInputCases[] = {
    {"enterInTextBoxPressesDefault", Window::Input, {type("TxtInput", u"nuevo"), key("TxtInput", 13)}, {"TxtInput"},
     "aceptado nuevo"},
    {"enterOnFocusedCancel", Window::Input, {type("TxtInput", u"nuevo"), tab("TxtInput"), key("cmdCancel", 13)},
     {"TxtInput", "cmdCancel"}, "cancelado inicial"},
    {"tabSkipsTheHiddenHelp", Window::Input,
     {tab("TxtInput"), tab("cmdCancel"), tab("cmdAceptar"), backTab("TxtInput"), key("cmdAceptar", 32)},
     {"TxtInput", "cmdCancel", "cmdAceptar", "TxtInput", "cmdAceptar"}, "aceptado inicial"},
    {"escapeOnFocusedDefault", Window::Input, {tab("TxtInput"), tab("cmdCancel"), key("cmdAceptar", 27)},
     {"TxtInput", "cmdCancel", "cmdAceptar"}, "cancelado inicial"},
    {"clickOnTextBoxTakesFocus", Window::Input, {tab("TxtInput"), click("TxtInput"), type("TxtInput", u"x"), key("TxtInput", 13)},
     {"TxtInput", "cmdCancel", "TxtInput"}, "aceptado x"},
};

// The colour chooser: the box (tab 0), Aceptar (1), Cancelar (2, cancel), otros (3); no default.
const KeyCase kColourCases[] = {
    {"enterWithoutDefaultButton", Window::Colour,
     {type("TX_color", u"rojo"), key("TX_color", 13), tab("TX_color"), key("BT_aceptar", 13)}, {"TX_color", "BT_aceptar"},
     "aceptado 1"},
    {"backTabRoundTheStart", Window::Colour, {backTab("TX_color"), backTab("BT_otros"), key("BT_cancelar", 32)},
     {"TX_color", "BT_otros", "BT_cancelar"}, "cancelado"},
    {"escapeFromAccept", Window::Colour, {tab("TX_color"), key("BT_aceptar", 27)}, {"TX_color", "BT_aceptar"}, "cancelado"},
};

const auto kBackends = ::testing::Values(Backend::Headless, Backend::Qt);

INSTANTIATE_TEST_SUITE_P(MessageWindow, KeysAndFocus, ::testing::Combine(kBackends, ::testing::ValuesIn(kMessageCases)), caseName);
INSTANTIATE_TEST_SUITE_P(InputWindow, KeysAndFocus, ::testing::Combine(kBackends, ::testing::ValuesIn(kInputCases)), caseName);
INSTANTIATE_TEST_SUITE_P(ColourWindow, KeysAndFocus, ::testing::Combine(kBackends, ::testing::ValuesIn(kColourCases)), caseName);

using QtFocus = kor2test::QtWindows;

// A window whose code moves the focus and hides and disables what has it.
class ProbeWindow final : public platform::FormEvents {
public:
    ProbeWindow() : form("F_prueba", *this)
    {
        form.add(platform::makeControl("TX_a", platform::ControlKind::TextBox, u"", 100, 100, 1500, 300, 0));
        form.add(platform::makeControl("BT_b", platform::ControlKind::Button, u"b", 100, 500, 1000, 350, 1));
        form.add(platform::makeControl("BT_c", platform::ControlKind::Button, u"c", 1200, 500, 1000, 350, 2));
        form.add(platform::makeControl("BT_sin", platform::ControlKind::Button, u"sin", 2300, 500, 1000, 350));
        form.resize(4000, 1500);
    }
    platform::Form form;
};

TEST_F(QtFocus, WidgetsFollowTheFocusTheWindowsCodeGives)
{
    ProbeWindow window;
    platform::Form& form = window.form;
    form.setFocus("BT_b");
    whenShown([&](QWidget* dialog) {
        if (!activated(dialog, form))
            return;
        EXPECT_EQ(focusedControl(dialog), "BT_b") << "a focus given before the show";
        form.setFocus("BT_c");
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_c"));
        form.setVisible("BT_c", false);
        EXPECT_EQ(form.focus(), "TX_a") << "round the end of the tab order";
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "TX_a"));
        form.update("TX_a", [](platform::Control& c) { c.enabled = false; });
        EXPECT_EQ(form.focus(), "BT_b");
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_b"));
        QTest::mouseClick(child(dialog, "BT_sin"), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_b")) << "a control outside the tab order takes no focus";
        QTest::keyClick(child(dialog, "BT_b"), Qt::Key_Tab);
        EXPECT_EQ(form.focus(), "BT_b") << "the only control left that takes the focus";
        form.hide();
    });
    platform::windowSystem().showModal(form);
}

// The box follows the model one typed character at a time, so its own undo history is kept: undo
// does what it does in any line edit, and the model takes the result.
TEST_F(QtFocus, TypingKeepsTheBoxsUndoHistory)
{
    QLineEdit plain(QStringLiteral("inicial"));
    plain.selectAll();
    QTest::keyClicks(&plain, "abc");
    QTest::keyClick(&plain, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_NE(plain.text(), QStringLiteral("abc"));

    QString undone;
    prompts::InputWindow window;
    whenShown([&](QWidget* dialog) {
        QWidget* box = child(dialog, "TxtInput");
        QTest::keyClicks(box, "abc");
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        undone = qobject_cast<QLineEdit*>(box)->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    window.A_Input(u"inicial", u"Deshacer");
    EXPECT_EQ(undone, plain.text());
    EXPECT_EQ(window.TextoAceptado, utf::fromUtf8(plain.text().toStdString()));
}

// A long text typed into the prompt, one key at a time as a person types it, ends up whole in the
// box and in the model. Qt's line edit lays out its whole line again for every character (20,000
// characters take half a minute in a bare QLineEdit), so the length is kept to what a test can
// afford; the model and the renderer add a constant cost per character.
TEST_F(QtFocus, LongTypedTextReachesTheModel)
{
    QString typed(4'000, u'x');
    for (qsizetype i = 0; i < typed.size(); i += 7)
        typed[i] = QChar(u'a' + static_cast<char16_t>(i % 26));
    prompts::InputWindow window;
    whenShown([&](QWidget* dialog) {
        auto* box = qobject_cast<QLineEdit*>(child(dialog, "TxtInput"));
        ASSERT_NE(box, nullptr);
        QTest::keyClicks(box, typed);
        EXPECT_EQ(box->text(), typed);
        EXPECT_EQ(box->cursorPosition(), typed.size());
        QTest::keyClick(box, Qt::Key_Return);
    });
    window.A_Input(u"inicial", u"Largo");
    EXPECT_FALSE(window.Cancelado);
    EXPECT_EQ(window.TextoAceptado, Text(reinterpret_cast<const char16_t*>(typed.utf16()), static_cast<std::size_t>(typed.size())));
}

} // namespace
