// dlgLoging on real widgets: the keys a person uses, the close box, the masked box that forgets what
// was typed once the window goes, and captions whole at the screen's resolution (this program runs
// these tests a second time on a 144 DPI screen).
#include <Kor2_Sys/cls_Loging.h>

#include "QtWindowTest.h"
#include "login/LoginOutcome.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <functional>

using namespace Kor2_Sys;
using kor2test::child;

namespace {

QLineEdit* box(QWidget* dialog, const char* name) { return qobject_cast<QLineEdit*>(child(dialog, name)); }
std::string focused(QWidget* dialog) { return dialog->focusWidget() ? dialog->focusWidget()->objectName().toStdString() : ""; }

// Keys and clicks reach an active window only.
bool activate(QWidget* dialog)
{
    dialog->activateWindow();
    return QTest::qWaitForWindowActive(dialog);
}

// As a person replaces a box's text: select all, type (one key event per character, any character).
void typeOver(QWidget* dialog, const char* name, const QString& text)
{
    QTest::keyClick(child(dialog, name), Qt::Key_A, Qt::ControlModifier);
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(child(dialog, name), &press);
    }
}

struct EndCase {
    const char* label;
    std::function<void(QWidget*)> drive;
    kor2test::LoginOutcome outcome;
};

class QtLoginWindow : public kor2test::QtWindows, public ::testing::WithParamInterface<EndCase> {};

TEST_P(QtLoginWindow, EndsAsThePersonChose)
{
    const EndCase& c = GetParam();
    whenShown([&](QWidget* dialog) {
        QLineEdit* password = box(dialog, "txtPassword");
        ASSERT_TRUE(password && activate(dialog)) << "the window does not activate";
        EXPECT_EQ(focused(dialog), "cmdAcept");
        EXPECT_EQ(password->text(), QStringLiteral("vupa"));
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), u'*');
        EXPECT_EQ(password->inputMethodHints() & (Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText),
                  Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
        c.drive(dialog);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(password->text().isEmpty()) << "the box forgets the password when the window goes";
        EXPECT_FALSE(password->isUndoAvailable());
    });
    kor2test::expectLogin(c.outcome);
}

INSTANTIATE_TEST_SUITE_P(Ends, QtLoginWindow, ::testing::Values(
    EndCase{"tabRoundAndEnterOnAccept", [](QWidget* d) {
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(d), "txtUser");
        typeOver(d, "txtUser", QStringLiteral(" Ana "));
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(d), "txtPassword");
        typeOver(d, "txtPassword", QStringLiteral("s3 ñ"));
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(d), "cmdAcept") << "round the end of the tab order";
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
    }, {true, u" Ana ", u"s3 ñ"}},
    EndCase{"enterAndEscapeInTheBoxesThenCancel", [](QWidget* d) {
        typeOver(d, "txtPassword", QStringLiteral("x"));
        QTest::keyClick(child(d, "txtPassword"), Qt::Key_Return);
        QTest::keyClick(child(d, "txtUser"), Qt::Key_Escape);
        QTest::keyClick(child(d, "cmdAcept"), Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible()) << "neither key presses a button from there";
        QTest::mouseClick(child(d, "cmdCancel"), Qt::LeftButton);
    }, {false, u"antes", u"previa"}},
    EndCase{"closeBoxAfterTyping", [](QWidget* d) {
        typeOver(d, "txtUser", QStringLiteral("otro"));
        typeOver(d, "txtPassword", QStringLiteral("otra"));
        d->close();
    }, {false, u"antes", u"previa"}}),
    [](const auto& info) { return std::string(info.param.label); });

using QtLoginLook = kor2test::QtWindows;

// The frames' titles are bold and the boxes inside them are not; every caption shows whole in the
// font the window took, and the inner area is 3090 x 2265 twips.
TEST_F(QtLoginLook, CaptionsWholeAndFramesBold)
{
    SCOPED_TRACE("screen at " + std::to_string(QGuiApplication::primaryScreen()->logicalDotsPerInchX()) + " DPI");
    whenShown([&](QWidget* dialog) {
        EXPECT_EQ(dialog->size(), QSize(pixelsX(3090), pixelsY(2265)));
        for (const char* name : {"Frame1", "Frame2"}) {
            auto* frame = qobject_cast<QGroupBox*>(child(dialog, name));
            ASSERT_NE(frame, nullptr) << name;
            EXPECT_TRUE(frame->font().bold()) << name;
            EXPECT_LE(QFontMetrics(frame->font()).horizontalAdvance(frame->title()) + 12, frame->width()) << name;
        }
        for (const char* name : {"txtUser", "txtPassword"})
            EXPECT_FALSE(child(dialog, name)->font().bold()) << name;
        for (const char* name : {"cmdAcept", "cmdCancel"}) {
            auto* button = qobject_cast<QPushButton*>(child(dialog, name));
            ASSERT_NE(button, nullptr) << name;
            const QFontMetrics metrics(button->font());
            EXPECT_LE(metrics.horizontalAdvance(button->text().remove(u'&')) + 8, button->width()) << name;
            EXPECT_LE(metrics.height(), button->height()) << name;
        }
        EXPECT_EQ(qobject_cast<QPushButton*>(child(dialog, "cmdCancel"))->text(), QStringLiteral("&Cancelar"));
        QTest::mouseClick(child(dialog, "cmdCancel"), Qt::LeftButton);
    });
    cls_Loging().ShowDialog();
}

} // namespace
