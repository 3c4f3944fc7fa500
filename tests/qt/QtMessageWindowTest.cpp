// F_mensajes on real widgets: the copy button, its own icon, and the place and size the user gives
// it kept however it is closed.
#include <Kor2_Sys/c_imput1.h>

#include "QtWindowTest.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

using namespace Kor2_Sys;
using kor2test::child;

namespace {

using QtMessageWindow = kor2test::QtWindows;

TEST_F(QtMessageWindow, CopiesItsExactTextToTheClipboard)
{
    const Text message = u"Informe de cotas\r\nPunto 1: 12,5 m \U0001F600\r\n\tfin";
    whenShown([](QWidget* dialog) {
        auto* area = qobject_cast<QPlainTextEdit*>(child(dialog, "TxtMensaje"));
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(area->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_TRUE(area->horizontalScrollBar()->isVisible()) << "long lines are reached by scrolling";
        EXPECT_GT(area->height(), 40) << area->geometry().height();
        EXPECT_EQ(child(dialog, "cmdcopy")->toolTip(), QStringLiteral("Copia todo al portapapeles"));
        QTest::mouseClick(child(dialog, "cmdcopy"), Qt::LeftButton);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    c_imput1().A_Mensaje(message, u"Mensaje de prueba");
    const QString held = QGuiApplication::clipboard()->text();
    EXPECT_EQ(Text(reinterpret_cast<const char16_t*>(held.utf16()), static_cast<std::size_t>(held.size())), message);
}

TEST_F(QtMessageWindow, ShowsAnIconOfItsOwn)
{
    QIcon icon;
    whenShown([&](QWidget* dialog) {
        icon = dialog->windowIcon();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    c_imput1().A_Mensaje(u"texto", u"Icono");
    ASSERT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(16, 16).isNull());
    EXPECT_NE(icon.cacheKey(), QApplication::windowIcon().cacheKey()) << "not just the application's icon";
}

// Whichever way the window is closed, it remembers where the user left it and how big; the text
// area and the buttons followed the size.
class QtMessageWindowPlaced : public QtMessageWindow, public ::testing::WithParamInterface<kor2test::WindowEnd> {};

TEST_P(QtMessageWindowPlaced, MovedAndResizedWindowIsLaidOutAndSaved)
{
    const QSize inner(480, 300);
    Placed placed;
    placeThenEnd(placed, {75, 60}, inner, {"cmdAceptar", "cmdcopy", "TxtMensaje"}, GetParam());
    c_imput1().A_Mensaje(u"línea", u"Listado");

    EXPECT_EQ(placed.outer.topLeft(), QPoint(75, 60));
    expectOpenedThenSaved(placed, {1000, 1000, 6000, 2800}, u"Mensaje: Listado");
    const double w = twipsX(inner.width()), h = twipsY(inner.height());
    EXPECT_EQ(placed.controls["cmdAceptar"].topLeft(), QPoint(pixelsX(w - 1.1 * 1245), pixelsY(h - 1.05 * 405)));
    EXPECT_EQ(placed.controls["cmdcopy"].topLeft(), QPoint(pixelsX(20), pixelsY(h - 1.05 * 405)));
    EXPECT_EQ(placed.controls["TxtMensaje"], QRect(0, 0, inner.width(), pixelsY(h - 1.15 * 405)));
}

INSTANTIATE_TEST_SUITE_P(Ends, QtMessageWindowPlaced,
                         ::testing::Values(kor2test::clicking("accept", "cmdAceptar"),
                                           kor2test::pressing("escape", Qt::Key_Escape), kor2test::closeBox()),
                         kor2test::endName);

} // namespace
