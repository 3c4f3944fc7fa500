// F_color on real widgets: the same choices as the scripted runs, and the position the user left
// it at is where it opens next.
#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/cfrm_Color.h>

#include "QtWindowTest.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Kor2_Sys;
using kor2test::child;

namespace {

class QtColourWindow : public kor2test::QtWindows {
protected:
    // Pixel centre of a cell of a palette picture with `columns` x `rows` cells.
    static QPoint cell(QWidget* picture, int column, int row, int columns, int rows)
    {
        return QPoint(static_cast<int>((column - 0.5) * picture->width() / columns),
                      static_cast<int>((row - 0.5) * picture->height() / rows));
    }
};

TEST_F(QtColourWindow, ClickingASpecialCellAndAcceptingMatchesTheScriptedRun)
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

TEST_F(QtColourWindow, TypingGoesThroughTheColourBox)
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

TEST_F(QtColourWindow, EscapeAndCloseBoxCancel)
{
    whenShown([](QWidget* dialog) {
        QTest::mouseClick(child(dialog, "Pc_color_grises"), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(CColores().A_Color_Show(255), 255);
    whenShown([](QWidget* dialog) { dialog->close(); });
    EXPECT_EQ(CColores().A_Color_Show(200), 200);
}

TEST_F(QtColourWindow, OtherColoursResizesTheRealDialog)
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

// Controls the window keeps hidden at first appear when the logic shows them, in the model's order
// of overlap: the error label under "por capa", whichever showed first.
TEST_F(QtColourWindow, HiddenLabelsAppearWhenShownAndOverlapInTheModelsOrder)
{
    QString error;
    bool errorUnderLayer = false;
    whenShown([&](QWidget* dialog) {
        auto* box = qobject_cast<QLineEdit*>(child(dialog, "TX_color"));
        ASSERT_NE(child(dialog, "LB_por_capa"), nullptr);
        EXPECT_TRUE(child(dialog, "LB_por_capa")->isVisible());
        box->selectAll();
        QTest::keyClicks(box, "-1");
        QWidget* label = child(dialog, "LB_error");
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->isVisible());
        error = qobject_cast<QLabel*>(label)->text();
        const auto siblings = label->parentWidget()->children();
        errorUnderLayer = siblings.indexOf(label) < siblings.indexOf(child(dialog, "LB_por_capa"));
        QTest::mouseClick(child(dialog, "BT_cancelar"), Qt::LeftButton);
    });
    cfrm_Color chooser;
    chooser.NumColorPreSeleccVb = u"255";
    chooser.PorCapa = true;
    chooser.NumColorPorCapaPreSeleccVb = 0x00FF00;
    chooser.ColorShow();
    EXPECT_EQ(error, QStringLiteral("color válido: de 1a 255"));
    EXPECT_TRUE(errorUnderLayer);
}

// However the chooser is left, it opens next time where the user dragged it.
class QtColourWindowDragged : public QtColourWindow, public ::testing::WithParamInterface<kor2test::WindowEnd> {};

TEST_P(QtColourWindowDragged, OpensNextTimeWhereItWasLeft)
{
    const QPoint dragged(321, 123);
    whenShown([&](QWidget* dialog) {
        EXPECT_EQ(dialog->frameGeometry().topLeft(), QPoint(pixelsX(1000), pixelsY(1000))) << "first use";
        dialog->move(dragged);
        GetParam().end(dialog);
    });
    CColores().A_Color_Show(255);
    EXPECT_EQ(stored(u"ColorPosicion", u"Left"), twipsX(dragged.x()));
    EXPECT_EQ(stored(u"ColorPosicion", u"Top"), twipsY(dragged.y()));

    QPoint reopened;
    whenShown([&](QWidget* dialog) {
        reopened = dialog->frameGeometry().topLeft();
        dialog->close();
    });
    CColores().A_Color_Show(255);
    EXPECT_EQ(reopened, dragged);
}

INSTANTIATE_TEST_SUITE_P(Ends, QtColourWindowDragged,
                         ::testing::Values(kor2test::clicking("accept", "BT_aceptar"),
                                           kor2test::clicking("cancel", "BT_cancelar"),
                                           kor2test::pressing("escape", Qt::Key_Escape), kor2test::closeBox()),
                         kor2test::endName);

} // namespace
