// F_mensajes on real widgets: the copy button, its own icon, and the place and size the user gives
// it kept however it is closed.
#include <Kor2_Sys/c_imput1.h>

#include "QtWindowTest.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
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
struct MessageEnd {
    const char* label;
    std::function<void(QWidget*)> close;
};

class QtMessageWindowPlaced : public QtMessageWindow, public ::testing::WithParamInterface<MessageEnd> {};

TEST_P(QtMessageWindowPlaced, MovedAndResizedWindowIsLaidOutAndSaved)
{
    const QSize inner(480, 300);
    QRect opened, outer, accept, copy, text;
    whenShown([&](QWidget* dialog) {
        opened = dialog->frameGeometry();
        dialog->resize(inner);
        dialog->move(75, 60);
        outer = dialog->frameGeometry();
        accept = child(dialog, "cmdAceptar")->geometry();
        copy = child(dialog, "cmdcopy")->geometry();
        text = child(dialog, "TxtMensaje")->geometry();
        GetParam().close(dialog);
    });
    c_imput1().A_Mensaje(u"línea", u"Listado");

    EXPECT_EQ(opened, QRect(pixelsX(1000), pixelsY(1000), pixelsX(6000), pixelsY(2800))) << "a new title";
    expectStoredGeometry(u"Mensaje: Listado", outer);
    const double w = twipsX(inner.width()), h = twipsY(inner.height());
    EXPECT_EQ(accept.topLeft(), QPoint(pixelsX(w - 1.1 * 1245), pixelsY(h - 1.05 * 405)));
    EXPECT_EQ(copy.topLeft(), QPoint(pixelsX(20), pixelsY(h - 1.05 * 405)));
    EXPECT_EQ(text, QRect(0, 0, inner.width(), pixelsY(h - 1.15 * 405)));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, QtMessageWindowPlaced,
    ::testing::Values(MessageEnd{"accept", [](QWidget* d) { qobject_cast<QPushButton*>(child(d, "cmdAceptar"))->click(); }},
                      MessageEnd{"escape", [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }},
                      MessageEnd{"closeBox", [](QWidget* d) { d->close(); }}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
