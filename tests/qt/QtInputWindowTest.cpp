// f_Imput on real widgets: typing, Enter and Escape, the close box, and the size and place the
// user gives it reaching both the layout and the store.
#include <Kor2_Sys/c_imput1.h>

#include "QtWindowTest.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace Kor2_Sys;
using kor2test::child;

namespace {

using QtInputWindow = kor2test::QtWindows;

TEST_F(QtInputWindow, TextPromptTypedAndAccepted)
{
    whenShown([](QWidget* dialog) {
        auto* box = qobject_cast<QLineEdit*>(child(dialog, "TxtInput"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QStringLiteral("inicial"));
        EXPECT_TRUE(box->hasSelectedText()) << "the proposal is selected so typing replaces it";
        QTest::keyClicks(box, "Cota ");
        QKeyEvent enye(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("ñ"));  // beyond ASCII
        QApplication::sendEvent(box, &enye);
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(c_imput1().A_Imput(u"inicial", u"Texto"), u"Cota ñ");
}

TEST_F(QtInputWindow, NumberPromptEscapeCancels)
{
    whenShown([](QWidget* dialog) {
        EXPECT_EQ(qobject_cast<QLineEdit*>(child(dialog, "TxtInput"))->text(), QStringLiteral("2.50"));
        QTest::keyClick(child(dialog, "TxtInput"), Qt::Key_Escape);
    });
    EXPECT_EQ(c_imput1().A_Imput_Numero_R_F(2.5, u"Número", 2), c_imput1::kCancelado);
    whenShown([](QWidget* dialog) {
        auto* box = child(dialog, "TxtInput");
        QTest::keyClicks(box, "3,5");
        QTest::mouseClick(child(dialog, "cmdAceptar"), Qt::LeftButton);
    });
    EXPECT_EQ(c_imput1().A_Imput_Numero_R(9, u"Número"), 3.5);
}

TEST_F(QtInputWindow, CloseBoxEndsThePromptWithoutSavingItsPlace)
{
    whenShown([](QWidget* dialog) {
        QTest::keyClicks(child(dialog, "TxtInput"), "editado");
        dialog->move(200, 100);
        dialog->close();
    });
    EXPECT_EQ(c_imput1().A_Imput(u"inicial", u"Cerrada"), u"");
    EXPECT_EQ(stored(u"Input Cerrada", u"Left"), std::nullopt);
}

// Accepted or cancelled, the prompt keeps the place and size the user gave it, and its layout
// followed the size: the text box fills the width and the buttons stand along the bottom.
class QtInputWindowPlaced : public QtInputWindow, public ::testing::WithParamInterface<kor2test::WindowEnd> {};

TEST_P(QtInputWindowPlaced, MovedAndResizedPromptIsLaidOutSavedAndReopenedThere)
{
    const QSize inner(520, 140);
    Placed placed;
    placeThenEnd(placed, {140, 90}, inner, {"cmdAceptar", "cmdCancel", "TxtInput"}, GetParam());
    c_imput1().A_Imput(u"x", u"Cota");

    EXPECT_EQ(placed.outer.topLeft(), QPoint(140, 90));
    expectOpenedThenSaved(placed, {5000, 5000, 4300, 1100}, u"Input Cota");
    const double w = twipsX(inner.width()), h = twipsY(inner.height());
    EXPECT_EQ(placed.controls["cmdAceptar"].topLeft(), QPoint(pixelsX(w - 1.05 * 1050), pixelsY(h - 1.05 * 345)));
    EXPECT_EQ(placed.controls["cmdCancel"].topLeft(), QPoint(pixelsX(w - 2 * 1.05 * 1050), pixelsY(h - 1.05 * 345)));
    EXPECT_EQ(placed.controls["TxtInput"].size(), QSize(inner.width(), pixelsY(h - 1.15 * 345)));

    QRect reopened;
    whenShown([&](QWidget* dialog) {
        reopened = dialog->frameGeometry();
        QTest::keyClick(child(dialog, "TxtInput"), Qt::Key_Escape);
    });
    c_imput1().A_Imput(u"x", u"Cota");
    EXPECT_EQ(reopened, placed.outer);
    expectStoredGeometry(u"Input Cota", placed.outer);
}

INSTANTIATE_TEST_SUITE_P(Ends, QtInputWindowPlaced,
                         ::testing::Values(kor2test::pressing("enter", Qt::Key_Return, "TxtInput"),
                                           kor2test::pressing("escape", Qt::Key_Escape, "TxtInput")),
                         kor2test::endName);

} // namespace
