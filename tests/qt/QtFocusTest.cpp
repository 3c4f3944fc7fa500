// The focus as only real widgets show it: code that moves, hides and disables what has it, and a
// line edit's own undo history kept while the model mirrors every typed character. How keys move
// the focus is the players' table, on every backend.
#include "QtWindowTest.h"
#include "frame/Utf.h"
#include "prompts/InputWindow.h"

#include <QLineEdit>

#include <functional>

using namespace Kor2_Sys;
using kor2test::child;

namespace {

std::string focusedControl(QWidget* dialog)
{
    QWidget* focused = dialog->focusWidget();
    return focused ? focused->objectName().toStdString() : std::string();
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

} // namespace
