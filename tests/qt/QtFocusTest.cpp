// The focus as only real widgets show it: code that moves, hides and disables what has it. How keys
// and clicks move it, and a focus given before the show, are the players' table, on every backend.
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
    showThen(form, [&](QWidget* dialog) {
        // A person's keys go to an active window, and Qt gives the focus only within one.
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        form.setFocus("BT_cancelar");
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_cancelar"));
        form.setVisible("BT_cancelar", false);
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "TX_valor")) << "round the end of the tab order";
        form.update("TX_valor", [](platform::Control& c) { c.enabled = false; });
        EXPECT_EQ(QApplication::focusWidget(), child(dialog, "BT_aceptar"));
        QTest::keyClick(child(dialog, "BT_aceptar"), Qt::Key_Tab);
        EXPECT_EQ(form.focus(), "BT_aceptar") << "the only control left that takes the focus";
    });
}

} // namespace
