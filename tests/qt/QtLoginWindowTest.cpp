// dlgLoging as only a real desktop shows it: the masked box that forgets what was typed once the
// window goes. How it ends is the login table, on every backend.
#include <Kor2_Sys/cls_Loging.h>

#include "QtWindowTest.h"

using namespace Kor2_Sys;

namespace {

using QtLoginLook = kor2test::QtWindows;

// The masked box as Qt shows it: stars, no input-method help, and nothing left once the window goes,
// however it went.
TEST_F(QtLoginLook, PasswordBoxMasksAndForgets)
{
    const std::function<void(QWidget*)> ends[] = {[](QWidget* d) { d->close(); }, [](QWidget* d) {
        QTest::keyClick(child(d, "txtPassword"), Qt::Key_Tab);
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
    }};
    for (const auto& end : ends) {
        whenShown([&](QWidget* dialog) {
            auto* password = qobject_cast<QLineEdit*>(child(dialog, "txtPassword"));
            ASSERT_NE(password, nullptr);
            EXPECT_EQ(password->echoMode(), QLineEdit::Password);
            EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), u'*');
            const auto hidden = Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText;
            EXPECT_EQ(password->inputMethodHints() & hidden, hidden);
            QTest::keyClicks(password, "s3creta");
            end(dialog);
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_TRUE(password->text().isEmpty()) << "the box forgets the password when the window goes";
            EXPECT_FALSE(password->isUndoAvailable());
        });
        cls_Loging().ShowDialog();
    }
}

} // namespace
