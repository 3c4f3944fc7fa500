// dlgLoging as only a real desktop shows it: the masked box that forgets what was typed once the
// window goes, and captions whole at the screen's resolution (this program runs these tests a
// second time on a 144 DPI screen). How it ends is the login table, on every backend.
#include <Kor2_Sys/cls_Loging.h>

#include "QtWindowTest.h"

using namespace Kor2_Sys;

namespace {

using QtLoginLook = kor2test::QtWindows;

// The masked box as Qt shows it: stars, no input-method help, and nothing left once the window goes,
// however it went. The frames' titles are bold and the boxes inside them are not; every caption
// shows whole in the font the window took, and the inner area is 3090 x 2265 twips.
TEST_F(QtLoginLook, PasswordBoxMasksAndForgetsAndCaptionsShowWhole)
{
    SCOPED_TRACE("screen at " + std::to_string(QGuiApplication::primaryScreen()->logicalDotsPerInchX()) + " DPI");
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
            EXPECT_EQ(dialog->size(), QSize(pixelsX(3090), pixelsY(2265)));
            for (const char* name : {"Frame1", "Frame2"}) {
                auto* frame = qobject_cast<QGroupBox*>(child(dialog, name));
                ASSERT_NE(frame, nullptr) << name;
                EXPECT_TRUE(frame->font().bold()) << name;
                EXPECT_LE(QFontMetrics(frame->font()).horizontalAdvance(frame->title()) + 12, frame->width()) << name;
            }
            EXPECT_FALSE(child(dialog, "txtUser")->font().bold() || password->font().bold());
            for (const char* name : {"cmdAcept", "cmdCancel"}) {
                auto* button = qobject_cast<QPushButton*>(child(dialog, name));
                const QFontMetrics metrics(button->font());
                EXPECT_LE(metrics.horizontalAdvance(button->text().remove(u'&')) + 8, button->width()) << name;
                EXPECT_LE(metrics.height(), button->height()) << name;
            }
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
