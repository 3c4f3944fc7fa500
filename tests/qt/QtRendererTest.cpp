// What each control kind looks like and does on screen: small windows built here, shown through the
// Qt window system, checked on their widgets as a person sees and uses them.
#include "ProbeWindow.h"
#include "QtWindowTest.h"
#include "frame/Utf.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <string>
#include <tuple>
#include <vector>

using namespace Kor2_Sys;
using Kor2_Sys::platform::ControlKind;
using kor2test::child;

namespace {

// An empty window whose logic only writes down what reached it.
using Recorder = kor2test::ProbeWindow;

// Test names from the cases' labels.
template <class Case> std::string labelOf(const ::testing::TestParamInfo<Case>& info) { return info.param.label; }

class QtRenderer : public kor2test::QtWindows {
protected:
    /// Shows the window modally, runs `drive` on it once it is on screen, then hides it.
    void showThen(Recorder& window, std::function<void(QWidget*)> drive)
    {
        bool driven = false;
        whenShown([&](QWidget* dialog) {
            driven = true;
            drive(dialog);
            window.form.hide();
        });
        platform::windowSystem().showModal(window.form);
        EXPECT_TRUE(driven) << "the window was never shown";
    }
};

// A password box hides what is typed and the model gets it; a box of several lines is an unwrapped
// editor with both scroll bars, where Enter is a new line (the window has no default button).
TEST_F(QtRenderer, TextBoxesEchoAndWrapAsTheModelSays)
{
    Recorder window{"F_pintor", false};
    window.add("TX_clave", ControlKind::TextBox, u"", 100, 100, 2000, 300, 0).passwordChar = u'*';
    window.add("TX_nombre", ControlKind::TextBox, u"", 100, 500, 2000, 300, 1);
    window.add("TX_lineas", ControlKind::TextBox, u"uno", 100, 900, 3000, 1500, 2).multiline = true;
    showThen(window, [&](QWidget* dialog) {
        auto* secret = qobject_cast<QLineEdit*>(child(dialog, "TX_clave"));
        auto* plain = qobject_cast<QLineEdit*>(child(dialog, "TX_nombre"));
        auto* area = qobject_cast<QPlainTextEdit*>(child(dialog, "TX_lineas"));
        ASSERT_TRUE(secret && plain && area);
        EXPECT_EQ(secret->echoMode(), QLineEdit::Password);
        EXPECT_EQ(plain->echoMode(), QLineEdit::Normal);
        QTest::keyClicks(secret, "s3cr");
        EXPECT_EQ(secret->text(), QStringLiteral("S3CR")) << "the window's key handler changed each letter";
        EXPECT_EQ(area->toPlainText(), QStringLiteral("uno"));
        EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_TRUE(area->horizontalScrollBar()->isVisible() && area->verticalScrollBar()->isVisible());
        EXPECT_EQ(area->lineWrapMode(), QPlainTextEdit::NoWrap);
        area->moveCursor(QTextCursor::End);
        QTest::keyClick(area, Qt::Key_Return);
        QTest::keyClicks(area, "dos");
    });
    EXPECT_EQ(window.form.control("TX_clave").caption, u"S3CR");
    EXPECT_EQ(window.form.control("TX_lineas").caption, u"uno\ndos");
}

// The picture's own units run 0..200 across and 0..50 down, whatever its size in pixels; the
// button and the shift keys arrive as the window's logic numbers them.
TEST_F(QtRenderer, PicturePressArrivesInThePicturesScaleUnits)
{
    Recorder window{"F_pintor", false};
    platform::Control& picture = window.add("PC_dibujo", ControlKind::Picture, u"", 300, 200, 3000, 1500);
    picture.scaleWidth = 200;
    picture.scaleHeight = 50;
    showThen(window, [&](QWidget* dialog) {
        QWidget* widget = child(dialog, "PC_dibujo");
        ASSERT_NE(widget, nullptr);
        for (const auto& [button, modifiers, at, modelButton, modelShift] :
             {std::tuple(Qt::LeftButton, Qt::KeyboardModifiers(), QPoint(40, 10), 1, 0),
              std::tuple(Qt::RightButton, Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier), QPoint(150, 60), 2, 3),
              std::tuple(Qt::MiddleButton, Qt::KeyboardModifiers(Qt::AltModifier), QPoint(1, 2), 4, 4)}) {
            QTest::mousePress(widget, button, modifiers, at);
            QTest::mouseRelease(widget, button, modifiers, at);
            EXPECT_EQ(window.lastDown.button, modelButton);
            EXPECT_EQ(window.lastDown.shift, modelShift);
            EXPECT_DOUBLE_EQ(window.lastDown.x, at.x() * 200.0 / widget->width());
            EXPECT_DOUBLE_EQ(window.lastDown.y, at.y() * 50.0 / widget->height());
        }
    });
    EXPECT_EQ(window.log.size(), 3u) << "a press each, no click";
}

// The display list is drawn scaled to the widget, in order: a red band across the middle of the
// left half, over a white ground.
TEST_F(QtRenderer, PicturePaintsItsDisplayList)
{
    Recorder window{"F_pintor", false};
    platform::Control& picture = window.add("PC_dibujo", ControlKind::Picture, u"", 300, 200, 3000, 1500);
    picture.scaleWidth = 100;
    picture.scaleHeight = 100;
    picture.picture = {{.kind = platform::DisplayItem::Kind::FilledRect, .x1 = 0, .y1 = 0, .x2 = 100, .y2 = 100, .colour = 0xFFFFFF},
                       {.kind = platform::DisplayItem::Kind::FilledRect, .x1 = 0, .y1 = 25, .x2 = 50, .y2 = 75, .colour = 0x0000FF}};
    showThen(window, [&](QWidget* dialog) {
        QWidget* widget = child(dialog, "PC_dibujo");
        ASSERT_NE(widget, nullptr);
        const QImage image = widget->grab().toImage();
        const int w = image.width(), h = image.height();
        EXPECT_EQ(image.pixelColor(w / 4, h / 2), QColor(Qt::red)) << "colour numbers keep red in the lowest byte";
        for (const QPoint at : {QPoint(3 * w / 4, h / 2), QPoint(w / 4, h / 8), QPoint(w / 4, 7 * h / 8)})
            EXPECT_EQ(image.pixelColor(at), QColor(Qt::white)) << at.x() << "," << at.y() << ": outside the band";
    });
}

struct PlaceCase {
    const char* label;
    ControlKind kind;
    double left, top, width, height;  ///< twips, inside the frame
};

class Placement : public QtRenderer, public ::testing::WithParamInterface<PlaceCase> {};

// Twips become pixels by whole-number division, relative to the frame that holds the control.
TEST_P(Placement, ControlLandsAtWholePixelsInsideItsFrame)
{
    const PlaceCase& c = GetParam();
    Recorder window{"F_pintor", false};
    window.add("FR_marco", ControlKind::Frame, u"Marco", 150, 250, 5000, 3000);
    window.add("CT_dentro", c.kind, u"", c.left, c.top, c.width, c.height).container = "FR_marco";
    showThen(window, [&](QWidget* dialog) {
        QWidget* frame = child(dialog, "FR_marco");
        QWidget* widget = child(dialog, "CT_dentro");
        ASSERT_TRUE(frame && widget);
        EXPECT_EQ(widget->parentWidget(), frame);
        EXPECT_EQ(frame->geometry(), QRect(pixelsX(150), pixelsY(250), pixelsX(5000), pixelsY(3000)));
        EXPECT_EQ(widget->geometry(), QRect(pixelsX(c.left), pixelsY(c.top), pixelsX(c.width), pixelsY(c.height)));
    });
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Placement,
    ::testing::Values(PlaceCase{"textBox", ControlKind::TextBox, 129, 359, 1514, 314},
                      PlaceCase{"picture", ControlKind::Picture, 14, 16, 2009, 991.5},
                      PlaceCase{"filledRect", ControlKind::FilledRect, 301, 29, 44, 44},
                      PlaceCase{"button", ControlKind::Button, 100, 100, 1290, 404}),
    labelOf<PlaceCase>);

// A label has no click of its own; a released mouse button on it is one. A control hidden when
// the window shows has no widget yet; it gets one, in its place, when the window's code first shows
// it. (Disabled controls take no click on every backend: the playback table.)
TEST_F(QtRenderer, LabelsClickAndHiddenControlsAppearWhenShown)
{
    Recorder window{"F_pintor", false};
    window.add("LB_texto", ControlKind::Label, u"Pulse aquí", 3500, 100, 2000, 300);
    window.add("LB_error", ControlKind::Label, u"Valor no válido", 100, 100, 3000, 300).visible = false;
    window.add("LB_no", ControlKind::Label, u"Apagado", 100, 1800, 1200, 300).enabled = false;
    showThen(window, [&](QWidget* dialog) {
        EXPECT_EQ(child(dialog, "LB_error"), nullptr);
        window.form.setVisible("LB_error", true);
        auto* label = qobject_cast<QLabel*>(child(dialog, "LB_error"));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->isVisible());
        EXPECT_EQ(label->text(), QStringLiteral("Valor no válido"));
        EXPECT_EQ(label->pos(), QPoint(pixelsX(100), pixelsY(100)));
        QTest::mouseClick(child(dialog, "LB_no"), Qt::LeftButton);
        QTest::mouseClick(child(dialog, "LB_texto"), Qt::LeftButton);
    });
    EXPECT_EQ(window.log, (std::vector<std::string>{"click LB_texto"}));
}

struct CaptionCase {
    const char* label;
    ControlKind kind;
    std::u16string caption;
    bool bold;
};

QString shownCaption(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    return QStringLiteral("<no caption>");
}

class Caption : public QtRenderer, public ::testing::WithParamInterface<CaptionCase> {};

// Captions show as the model has them, also after the window's code changes them.
TEST_P(Caption, ShowsTheModelsTextAndWeight)
{
    const CaptionCase& c = GetParam();
    Recorder window{"F_pintor", false};
    window.add("CT_rotulo", c.kind, c.caption, 100, 100, 3000, 600).bold = c.bold;
    showThen(window, [&](QWidget* dialog) {
        QWidget* widget = child(dialog, "CT_rotulo");
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(shownCaption(widget), QString::fromStdU16String(c.caption));
        EXPECT_EQ(widget->font().bold(), c.bold);
        window.form.setText("CT_rotulo", u"Cambiado ñ");
        EXPECT_EQ(shownCaption(widget), QStringLiteral("Cambiado ñ"));
        EXPECT_EQ(widget->font().bold(), c.bold) << "a caption change keeps the weight";
    });
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Caption,
    ::testing::Values(CaptionCase{"label", ControlKind::Label, u"Distancia (m):", false},
                      CaptionCase{"boldLabel", ControlKind::Label, u"Atención", true},
                      CaptionCase{"button", ControlKind::Button, u"&Aceptar", false},
                      CaptionCase{"frame", ControlKind::Frame, u"Opciones de capa", false}),
    labelOf<CaptionCase>);

} // namespace
