#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/cRegistro.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include "Guards.h"
#include "platform/qt/QtWindowSystem.h"
#include "settings/Store.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace Kor2_Sys;

namespace {

// Each test drives the real dialogs from the hook that runs once a window is on screen.
class QtWindows : public ::testing::Test {
protected:
    QtWindows() : m_ws(std::make_shared<platform::qt::QtWindowSystem>()), m_guard(m_ws) {}

    void whenShown(std::function<void(QWidget*)> drive) { m_ws->setShownHook(std::move(drive)); }

    // Pixel centre of a cell of a palette picture with `columns` x `rows` cells.
    static QPoint cell(QWidget* picture, int column, int row, int columns, int rows)
    {
        return QPoint(static_cast<int>((column - 0.5) * picture->width() / columns),
                      static_cast<int>((row - 0.5) * picture->height() / rows));
    }
    static QWidget* child(QWidget* dialog, const char* name) { return dialog->findChild<QWidget*>(name); }

    settings::ScopedStore m_store{":memory:"};
    std::shared_ptr<platform::qt::QtWindowSystem> m_ws;
    platform::ScopedWindowSystem m_guard;
};

TEST_F(QtWindows, ClickingASpecialCellAndAcceptingMatchesTheScriptedRun)
{
    whenShown([](QWidget* dialog) {
        QWidget* special = child(dialog, "Pc_color_especial");
        ASSERT_NE(special, nullptr);
        ASSERT_TRUE(special->isVisible()) << "the chooser opens expanded";
        QTest::mouseClick(special, Qt::LeftButton, {}, cell(special, 24, 1, 24, 10));
        QTest::mouseClick(child(dialog, "BT_aceptar"), Qt::LeftButton);
    });
    const Long onScreen = CColores().A_Color_Show(255);

    kor2test::ScopedHeadless ui({{"F_color", {{.kind = platform::Action::Kind::MouseDown, .control = "Pc_color_especial",
                                               .x = 23.5 / 24, .y = 0.05},
                                              {.kind = platform::Action::Kind::Click, .control = "BT_aceptar"}}}});
    EXPECT_EQ(onScreen, CColores().A_Color_Show(255));
    EXPECT_EQ(onScreen, 0x180050);
}

TEST_F(QtWindows, TypingGoesThroughTheColourBox)
{
    whenShown([](QWidget* dialog) {
        auto* box = qobject_cast<QLineEdit*>(child(dialog, "TX_color"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QStringLiteral("rojo"));
        box->selectAll();
        QTest::keyClicks(box, "12,6");
        EXPECT_EQ(box->text(), QStringLiteral("12,6"));
        QTest::mouseClick(child(dialog, "BT_aceptar"), Qt::LeftButton);
    });
    EXPECT_EQ(CColores().A_Color_Show(255), 0x6064C8);
}

TEST_F(QtWindows, EscapeAndCloseBoxCancel)
{
    whenShown([](QWidget* dialog) {
        QTest::mouseClick(child(dialog, "Pc_color_grises"), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(CColores().A_Color_Show(255), 255);
    whenShown([](QWidget* dialog) { dialog->close(); });
    EXPECT_EQ(CColores().A_Color_Show(200), 200);
    EXPECT_NE(settings::store().find(u"Vesolar", u"ColorPosicion", u"Left"), std::nullopt) << "unloading saved the position";
}

TEST_F(QtWindows, OtherColoursResizesTheRealDialog)
{
    int collapsed = 0, expanded = 0;
    whenShown([&](QWidget* dialog) {
        expanded = dialog->height();
        QTest::mouseClick(child(dialog, "BT_otros"), Qt::LeftButton);
        collapsed = dialog->height();
        QTest::mouseClick(child(dialog, "BT_cancelar"), Qt::LeftButton);
    });
    CColores().A_Color_Show(255);
    EXPECT_GT(expanded, collapsed);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the dialog is gone after the call";
}

TEST_F(QtWindows, MessageBoxCarriesTheApplicationTitle)
{
    QString title, text;
    whenShown([&](QWidget* box) {
        title = box->windowTitle();
        text = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->button(QMessageBox::Cancel)->click();
    });
    const auto answer = platform::windowSystem().messageBox({u"¿Seguro?", platform::MessageButtons::OkCancel});
    EXPECT_EQ(answer, platform::MessageAnswer::Cancel);
    EXPECT_EQ(title, QStringLiteral("Kor2_Sys"));
    EXPECT_EQ(text, QStringLiteral("¿Seguro?"));
}

TEST_F(QtWindows, ClipboardHoldsTheExactText)
{
    const Text text = u"línea 1\r\nlínea 2 \U0001F600";
    platform::windowSystem().clipboardSetText(text);
    const QString held = QGuiApplication::clipboard()->text();
    EXPECT_EQ(Text(reinterpret_cast<const char16_t*>(held.utf16()), static_cast<std::size_t>(held.size())), text);
}

TEST_F(QtWindows, HostWindowGeometryRoundTripsThroughTheStore)
{
    QWidget window;
    window.setGeometry(100, 200, 640, 480);
    window.show();
    auto host = qt::hostWindow(&window);
    EXPECT_EQ(getProperty(*host, "WindowState"), Variant(Integer{0}));
    cRegistro r;
    const QRect before = window.frameGeometry();
    r.R_Graba_tamaño_y_pos_Obj_en_Win(host, u"Demo", u"Principal");
    const Text left = settings::store().read(u"Vesolar", u"Demo Principal", u"Left", u"");
    EXPECT_EQ(Variant(left).toDouble(), before.x() * 15.0) << "pixels are stored as twips";
    window.setGeometry(300, 300, 200, 100);
    r.R_Lee_tamaño_y_pos_Obj_en_Win1(host, u"Demo", u"Principal", 0, 0, 0, 0);
    EXPECT_EQ(window.frameGeometry(), before);
}

} // namespace

#include <Kor2_Sys/c_imput1.h>

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

TEST_F(QtWindows, TextPromptTypedAndAccepted)
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

TEST_F(QtWindows, NumberPromptEscapeCancels)
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

TEST_F(QtWindows, MessageWindowCopiesItsExactTextToTheClipboard)
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
    EXPECT_NE(settings::store().find(u"Vesolar", u"Mensaje: Mensaje de prueba", u"Width"), std::nullopt);
}

} // namespace

#include <Kor2_Sys/CCmDialog.h>

#include "SettingsGuards.h"
#include "frame/Utf.h"

#include <QFileDialog>

#include <fstream>

namespace {

TEST_F(QtWindows, FileDialogTypedNameMatchesTheScriptedRun)
{
    kor2test::TempDir dir;
    const std::string file = dir.file("plano uno.txt");
    std::ofstream(file) << "x";
    QStringList filters;
    whenShown([&](QWidget* shown) {
        auto* dialog = qobject_cast<QFileDialog*>(shown);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->setDirectory(QString::fromStdString(dir.path().string()));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        QTest::keyClicks(name, "plano uno.txt");
        QTest::keyClick(name, Qt::Key_Return);
    });
    CCmDialog onScreen;
    onScreen.titulo = u"Planos";
    onScreen.FiltroNombre = u"Texto|*.txt;*.csv|Todos|*.*";
    onScreen.FiltroIndex = 1;
    const Text chosen = onScreen.Fich_NonbreRuta_a_Leer();
    EXPECT_EQ(chosen, utf::fromUtf8(file));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Texto (*.txt *.csv)"), QStringLiteral("Todos (*.*)")}));
    EXPECT_EQ(settings::store().read(u"Vesolar", u"Planos", u"Directorio y Nombre", u""), chosen);

    kor2test::ScopedHeadless ui({{"file", {{.kind = platform::Action::Kind::File, .text = utf::fromUtf8(file)}}}});
    EXPECT_EQ(onScreen.Fich_NonbreRuta_a_Leer(), chosen);
}

} // namespace
