// Every window system delivers a person's actions alike: one table of scripts played on a small
// window of every control kind, on each backend, with the events and focus moves it caused.
#include "Actions.h"
#include "Player.h"
#include "ProbeWindow.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace Kor2_Sys;
using namespace Kor2_Sys::platform;
using namespace kor2test;

namespace {

struct PlayRow {
    const char* label;
    Actions actions;
    Log events;
    Log focus;  ///< the focus when shown, then each control it moved to
    bool accepted = false;
    std::function<void(Form&)> setup = nullptr;  ///< the window's state before it is shown
    Only only = Only::Any;
    Log onScreens{};  ///< the events on Qt and Win32 where they differ from `events`
};

class Playback : public OnEveryBackend<PlayRow> {};

TEST_P(Playback, DeliversEventsAndFocusAsAPersonCausesThem)
{
    ui->queue({{"F_prueba", row().actions}});
    ProbeWindow window;
    if (row().setup)
        row().setup(window.form);
    windowSystem().showModal(window.form);
    EXPECT_EQ(window.log, backend() != Backend::Headless && !row().onScreens.empty() ? row().onScreens : row().events);
    EXPECT_EQ(ui->focusTrail(), row().focus);
    EXPECT_EQ(window.accepted, row().accepted);
    EXPECT_FALSE(window.form.visible());
}

void noDefaultButton(Form& f) { f.setDefaultButton(""); }
void disableAccept(Form& f) { f.update("BT_aceptar", [](Control& c) { c.enabled = false; }); }
void notesWithoutDefault(Form& f) { f.setVisible("Fr", true), f.setDefaultButton(""); }
void showFrame(Form& f) { f.setVisible("Fr", true); }
void fixedSize(Form& f) { f.setResizable(false); }
void notesWithDisabledDefault(Form& f) { f.setVisible("Fr", true), f.update("BT_aceptar", [](Control& c) { c.enabled = false; }); }
void hideDefaultButton(Form& f) { f.setVisible("BT_aceptar", false); }
void disableTextBox(Form& f) { f.update("TX_valor", [](Control& c) { c.enabled = false; }); }
void focusCancel(Form& f) { f.setFocus("BT_cancelar"); }
void markCancel(Form& f) { f.update("BT_cancelar", [](Control& c) { c.caption = u"&Cancelar"; }); }
void markFrame(Form& f) { f.setVisible("Fr", true), f.update("Fr", [](Control& c) { c.caption = u"&Marco"; }); }
const Log kAccepted{"TX_valor", "BT_aceptar"}, kCancelled{"TX_valor", "BT_cancelar"}, kBox{"TX_valor"};
const char *const kOk = "click BT_aceptar", *const kCancel = "click BT_cancelar";

const PlayRow kEvents[] = {
    {.label = "typingReplacesAllKeyBeforeEachChange", .actions = {type("TX_valor", u"ab"), click("BT_aceptar")},
     .events = {"key 97", "change A", "key 98", "change AB", kOk}, .focus = kAccepted, .accepted = true},
    {.label = "settingFromCodeIsOneChange", .actions = {set("TX_valor", u"12"), click("BT_aceptar")},
     .events = {"change 12", kOk}, .focus = kAccepted, .accepted = true},
    {.label = "backspaceEditsAfterItsKey", .actions = {type("TX_valor", u"ab"), key("TX_valor", 8), enter("TX_valor")},
     .events = {"key 97", "change A", "key 98", "change AB", "key 8", "change A", kOk}, .focus = kBox,
     .accepted = true},
    {.label = "mouseDownAtAFractionOfTheScale", .actions = {mousedown("Pc", 0.5, 0.25), click("BT_cancelar")},
     .events = {"mousedown Pc 1 0 50 12", kCancel}, .focus = kCancelled, .only = Only::Headless | Only::Qt},
    // The platform's mouse reaches whole pixels only: the press lands where one starts at every
    // resolution.
    {.label = "mouseDownAtAFractionOfTheScale", .actions = {mousedown("Pc", 0.5, 0), click("BT_cancelar")},
     .events = {"mousedown Pc 1 0 50 0", kCancel}, .focus = kCancelled, .only = Only::Win32},
    {.label = "doubleClick", .actions = {dblclick("Pc"), click("BT_aceptar")}, .events = {"dblclick Pc", kOk},
     .focus = kAccepted, .accepted = true},
    {.label = "resizeRaisesTheEvent", .actions = {resize(6000, 3000), click("BT_aceptar")},
     .events = {"resize 6000x3000", kOk}, .focus = kAccepted, .accepted = true},
    {.label = "aFixedWindowTakesNoResize", .actions = {resize(6000, 3000), click("BT_aceptar")}, .events = {kOk},
     .focus = kAccepted, .accepted = true, .setup = fixedSize},
    {.label = "closeBoxUnloads", .actions = {closeBox()}, .events = {"close user", "unload"}, .focus = kBox},
    {.label = "messageBoxAnswersComeFromTheScript",
     .actions = {answer(MessageAnswer::Cancel), click("BT_preguntar"), click("BT_preguntar"), click("BT_aceptar")},
     .events = {"click BT_preguntar", "answer cancel", "click BT_preguntar", "answer ok", kOk}, .focus = kAccepted,
     .accepted = true},
};
KOR2_TABLE(Events, Playback, kEvents);

const PlayRow kKeys[] = {
    {.label = "firstFocusableWhenTheFirstIsDisabled", .actions = {escape("BT_cancelar")}, .events = {kCancel},
     .focus = {"BT_aceptar", "BT_cancelar"}, .setup = disableTextBox},
    {.label = "aFocusCodeGaveBeforeTheShowStays", .actions = {enter("BT_cancelar")}, .events = {kCancel},
     .focus = {"BT_cancelar"}, .setup = focusCancel},
    {.label = "tabGoesRoundSkippingAHiddenFrame",
     .actions = {tab("TX_valor"), tab("BT_aceptar"), tab("BT_cancelar"), escape("TX_valor")}, .events = {kCancel},
     .focus = {"TX_valor", "BT_aceptar", "BT_cancelar", "TX_valor"}},
    {.label = "tabReachesAShownFramesControls", .actions = {tab("BT_cancelar"), tab("TX_marco"), escape("TX_valor")},
     .events = {kCancel}, .focus = {"TX_valor", "TX_marco", "TX_notas", "TX_valor"}, .setup = showFrame},
    {.label = "shiftTabGoesBackRoundTheStart",
     .actions = {backTab("TX_valor"), backTab("BT_cancelar"), escape("BT_aceptar")}, .events = {kCancel},
     .focus = {"TX_valor", "BT_cancelar", "BT_aceptar"}},
    {.label = "tabSkipsAHiddenButton", .actions = {tab("TX_valor"), key("BT_cancelar", 32)}, .events = {kCancel},
     .focus = kCancelled, .setup = hideDefaultButton},
    {.label = "enterPressesTheFocusedButtonNotTheDefault", .actions = {enter("BT_cancelar")}, .events = {kCancel},
     .focus = kCancelled},
    {.label = "enterInTheBoxPressesTheDefaultButton", .actions = {type("TX_valor", u"q"), enter("TX_valor")},
     .events = {"key 113", "change Q", kOk}, .focus = kBox, .accepted = true},
    {.label = "withoutDefaultEnterPressesOnlyAFocusedButton", .actions = {enter("TX_valor"), enter("BT_aceptar")},
     .events = {"key 13", kOk}, .focus = kAccepted, .accepted = true, .setup = noDefaultButton},
    {.label = "aHiddenDefaultButtonIsNotPressed", .actions = {enter("TX_valor"), escape("TX_valor")},
     .events = {"key 13", kCancel}, .focus = kBox, .setup = hideDefaultButton},
    {.label = "escapePressesCancelWhereverTheFocusIs", .actions = {escape("BT_aceptar")}, .events = {kCancel},
     .focus = kAccepted},
    {.label = "spacePressesTheFocusedButton", .actions = {key("BT_aceptar", 32)}, .events = {kOk}, .focus = kAccepted,
     .accepted = true},
    // Alt with the letter a caption marks answers wherever the focus is, in either case, with no
    // key press; a letter no caption marks does nothing at all.
    {.label = "altAndTheMarkedLetterPressesTheButton", .actions = {alt("TX_valor", u'c')}, .events = {kCancel},
     .focus = kCancelled, .setup = markCancel},
    {.label = "altAndAFrameTitlesLetterFocusesInsideIt", .actions = {alt("TX_valor", u'M'), click("BT_cancelar")},
     .events = {kCancel}, .focus = {"TX_valor", "TX_marco", "BT_cancelar"}, .setup = markFrame},
    {.label = "altAndAnUnmarkedLetterDoesNothing", .actions = {alt("TX_valor", u'a'), escape("TX_valor")},
     .events = {kCancel}, .focus = kBox},
    {.label = "aDisabledButtonTakesNoClickAndNoFocus",
     .actions = {click("BT_aceptar"), tab("TX_valor"), key("BT_cancelar", 32)}, .events = {kCancel},
     .focus = kCancelled, .setup = disableAccept},
    {.label = "aPictureTakesNoFocusFromAPress", .actions = {mousedown("Pc", 0, 0), click("BT_cancelar")},
     .events = {"mousedown Pc 1 0 0 0", kCancel}, .focus = kCancelled},
    // A text box takes the focus from a click on every backend; only the scripted one also
    // delivers the click, as the window's logic may answer one.
    {.label = "clickOnTheBoxGivesItTheFocus", .actions = {tab("TX_valor"), click("TX_valor"), escape("TX_valor")},
     .events = {"click TX_valor", kCancel}, .focus = {"TX_valor", "BT_aceptar", "TX_valor"}, .onScreens = {kCancel}},
    // A box of several lines with no default button: the scripted window system delivers each key
    // and Enter edits nothing; a multi-line editor on screen reports its edits without their keys,
    // and Enter starts a new line.
    {.label = "enterInAMultiLineBoxWithoutDefault",
     .actions = {type("TX_notas", u"a"), enter("TX_notas"), escape("TX_notas")},
     .events = {"key 97", "change A", "key 13", kCancel}, .focus = {"TX_valor", "TX_notas"},
     .setup = notesWithoutDefault, .onScreens = {"change a", "change a\n", kCancel}},
    // With a default button Enter is the window's key there too, and no line break as well (the
    // button is disabled here, so that the window stays to show it).
    {.label = "enterInAMultiLineBoxWithADefaultBreaksNoLine",
     .actions = {type("TX_notas", u"a"), enter("TX_notas"), escape("TX_notas")},
     .events = {"key 97", "change A", "key 13", kCancel}, .focus = {"TX_valor", "TX_notas"},
     .setup = notesWithDisabledDefault, .onScreens = {"change a", "key 13", kCancel}},
};
KOR2_TABLE(Keys, Playback, kKeys);

// Focus moves the window's code makes while it is shown reach the platform's focus as well (the
// player checks it after every action): onto a control, then off the one it hides or disables.
class CodeFocus : public EveryBackend {};
KOR2_ON_EVERY_BACKEND(CodeFocus);

TEST_P(CodeFocus, ReachesTheScreen)
{
    ProbeWindow window;
    int step = 0;
    window.then = [&](const std::string& event) {
        if (event != "dblclick Pc")
            return;
        if (++step == 1)
            window.form.setFocus("BT_cancelar");
        else if (step == 2)
            window.form.setVisible("BT_cancelar", false);  // round the end of the tab order
        else
            window.form.update("TX_valor", [](Control& c) { c.enabled = false; });
    };
    ui->queue({{"F_prueba", {dblclick("Pc"), dblclick("Pc"), dblclick("Pc"), tab("BT_aceptar"), closeBox()}}});
    windowSystem().showModal(window.form);
    EXPECT_EQ(ui->focusTrail(), (Log{"TX_valor", "BT_cancelar", "TX_valor", "BT_aceptar"})) << "Tab stays on the one left";
}

// A hover shows the tip the model holds now: the one given before the show, then what the window's
// logic changed, added and took away while it was shown.
class ToolTips : public EveryBackend {};
KOR2_ON_EVERY_BACKEND(ToolTips);

TEST_P(ToolTips, FollowTheModel)
{
    using Tips = std::vector<std::pair<std::string, Text>>;
    ProbeWindow window;
    window.form.update("BT_aceptar", [](Control& c) { c.toolTip = u"Acepta y cierra"; });
    window.form.update("Pc", [](Control& c) { c.toolTip = u"Dibujo"; });
    window.then = [&](const std::string& event) {
        if (event != "dblclick Pc")
            return;
        window.form.update("BT_aceptar", [](Control& c) { c.toolTip = u"Acepta"; });
        window.form.update("Pc", [](Control& c) { c.toolTip.clear(); });
        window.form.update("TX_valor", [](Control& c) { c.toolTip = u"Un número"; });
    };
    ui->queue({{"F_prueba", {click("BT_aceptar")}}, {"F_prueba", {dblclick("Pc"), click("BT_aceptar")}}});
    windowSystem().showModal(window.form);
    EXPECT_EQ(ui->toolTips(), (Tips{{"BT_aceptar", u"Acepta y cierra"}, {"Pc", u"Dibujo"}}));
    windowSystem().showModal(window.form);
    EXPECT_EQ(ui->toolTips(), (Tips{{"TX_valor", u"Un número"}, {"BT_aceptar", u"Acepta"}}));
}

} // namespace
