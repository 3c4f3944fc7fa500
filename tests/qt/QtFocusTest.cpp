// The focus as only real widgets show it: code that moves, hides and disables what has it, and a
// line edit's own undo history kept while the model mirrors every typed character. How keys move
// the focus is the players' table, on every backend.
#include "ProbeWindow.h"
#include "QtWindowTest.h"
#include "frame/Utf.h"
#include "prompts/InputWindow.h"

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

} // namespace
