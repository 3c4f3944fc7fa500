// The focus as only real widgets show it: code that moves, hides and disables what has it. How keys
// move the focus is the players' table, on every backend.
#include "ProbeWindow.h"
#include "QtWindowTest.h"

using namespace Kor2_Sys;

namespace {

using QtFocus = kor2test::QtWindows;

// A window whose code moves the focus and hides and disables what has it.
// The probe window's tab order: TX_valor, BT_aceptar, BT_cancelar (and a hidden frame's boxes).
TEST_F(QtFocus, WidgetsFollowTheFocusTheWindowsCodeGives)
{
    kor2test::ProbeWindow window;
    platform::Form& form = window.form;
    form.setFocus("BT_aceptar");
    showThen(form, [&](QWidget* dialog) {
        // A person's click goes to an active window, and Qt gives the focus only within one.
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_aceptar")) << "a focus given before the show";
        form.setFocus("BT_cancelar");
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_cancelar"));
        form.setVisible("BT_cancelar", false);
        EXPECT_EQ(form.focus(), "TX_valor") << "round the end of the tab order";
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "TX_valor"));
        form.update("TX_valor", [](platform::Control& c) { c.enabled = false; });
        EXPECT_EQ(form.focus(), "BT_aceptar");
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_aceptar"));
        QTest::mouseClick(child(dialog, "Pc"), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_aceptar")) << "a control outside the tab order takes no focus";
        QTest::keyClick(child(dialog, "BT_aceptar"), Qt::Key_Tab);
        EXPECT_EQ(form.focus(), "BT_aceptar") << "the only control left that takes the focus";
    });
}

} // namespace
