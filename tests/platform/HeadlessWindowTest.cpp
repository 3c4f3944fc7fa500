// What only the scripted window system does: scripts that do not fit their window are errors
// naming it, and message boxes answered from scripts. How events and focus reach a window is the players' table (WindowPlayTest).
#include <Kor2_Sys/Error.h>

#include "Actions.h"
#include "Guards.h"
#include "ProbeWindow.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace Kor2_Sys;
using namespace Kor2_Sys::platform;
using namespace kor2test;

namespace {

TEST(Focus, LeavesAControlThatIsHiddenOrDisabled)
{
    kor2test::ScopedHeadless ui;
    ProbeWindow window;
    windowSystem().showModeless(window.form);
    EXPECT_EQ(window.form.focus(), "TX_valor");
    window.form.setVisible("Fr", true);
    window.form.setFocus("TX_marco");
    window.form.setVisible("Fr", false);
    EXPECT_EQ(window.form.focus(), "TX_valor") << "hiding the frame hides what it holds";
    for (const char* c : {"TX_valor", "BT_aceptar", "BT_cancelar"})
        window.form.update(c, [](Control& control) { control.enabled = false; });
    EXPECT_EQ(window.form.focus(), "") << "no control left to take it";
    EXPECT_FALSE(window.form.takesFocus("BT_preguntar"));
    EXPECT_EQ(errorOf([&] { window.form.setFocus("BT_preguntar"); }), 5) << "a control without a tab place cannot take the focus";
}

TEST(Playback, RefusedCloseKeepsTheWindowLoaded)
{
    kor2test::ScopedHeadless ui({{"F_prueba", {closeBox()}}});
    ProbeWindow window;
    window.refuseUserClose = true;
    windowSystem().showModal(window.form);
    EXPECT_EQ(std::tuple(window.log, window.form.unloaded()), std::tuple(Log{"close user"}, false));
    window.form.unload();
    EXPECT_EQ(std::tuple(window.log, window.form.unloaded()), std::tuple(Log{"close user", "close code", "unload"}, true));
}

// A window's boxes are answered by its script and recorded with their titles; a top-level script
// answers boxes outside windows, and then the default answer is Ok.
TEST(Playback, RecordsMessageBoxesAndAnswersThemFromTheScript)
{
    kor2test::ScopedHeadless ui({{"F_prueba", {click("BT_preguntar"), click("BT_aceptar")}},
                                 {"msgbox", {answer(MessageAnswer::Cancel)}}});
    ProbeWindow window;
    windowSystem().showModal(window.form);
    ASSERT_EQ(ui->messages().size(), 1u);
    EXPECT_EQ(std::tie(ui->messages()[0].text, ui->messages()[0].title, ui->messages()[0].icon),
              std::tuple(Text(u"¿Seguro?"), Text(u"Pregunta"), MessageIcon::Warning));
    EXPECT_EQ(windowSystem().messageBox({u"a", MessageButtons::OkCancel}), MessageAnswer::Cancel);
    EXPECT_EQ(windowSystem().messageBox({u"b", MessageButtons::OkCancel}), MessageAnswer::Ok);
    EXPECT_EQ(std::tuple(ui->pendingScripts(), ui->messages()[2].title), std::tuple(0u, Text(u"Kor2_Sys")));
}

struct BrokenScript { const char* label; std::vector<WindowScript> scripts; std::u16string_view mentions; };

class ScriptErrors : public ::testing::TestWithParam<BrokenScript> {};

TEST_P(ScriptErrors, FailWithAnErrorNamingTheWindowInsteadOfHanging)
{
    kor2test::ScopedHeadless ui(GetParam().scripts);
    ProbeWindow window;
    const auto e = failureOf([&] { windowSystem().showModal(window.form); });
    ASSERT_TRUE(e) << "expected an error";
    EXPECT_EQ(e->number(), 5);
    EXPECT_NE(e->description().find(GetParam().mentions), Text::npos) << utf::toUtf8(e->description());
}

INSTANTIATE_TEST_SUITE_P(Headless, ScriptErrors, ::testing::Values(
    BrokenScript{"key to a control without focus", {{"F_prueba", {key("Pc", 13)}}}, u"foco"},
    BrokenScript{"no script left", {}, u"F_prueba"},
    BrokenScript{"script for another window", {{"F_color", {click("BT_aceptar")}}}, u"F_color"},
    BrokenScript{"missing control", {{"F_prueba", {click("BT_nada")}}}, u"BT_nada"},
    BrokenScript{"window still shown", {{"F_prueba", {type("TX_valor", u"1")}}}, u"visible"},
    BrokenScript{"action after hide", {{"F_prueba", {click("BT_aceptar"), click("BT_aceptar")}}}, u"oculta"},
    BrokenScript{"file action in a window", {{"F_prueba", cancelFile().actions}}, u"archivos"}),
    labelled<BrokenScript>);

} // namespace
