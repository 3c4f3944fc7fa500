// What each control kind looks like and does on screen: small windows built here, shown through the
// Qt window system, checked on their widgets as a person sees and uses them. What keys and clicks
// do is the players' table, on every backend.
#include "ProbeWindow.h"
#include "QtWindowTest.h"

using namespace Kor2_Sys;
using Kor2_Sys::platform::ControlKind;
using Kor2_Sys::platform::makeControl;

namespace {

using QtRenderer = kor2test::QtWindows;

// The picture's own units run 0..200 across and 0..50 down, whatever its size in pixels; the
// button and the shift keys arrive as the window's logic numbers them. The display list is drawn
// scaled to the widget, in order: a red band across the middle of the left half, over white.
TEST_F(QtRenderer, PicturePressesArriveInItsScaleAndItPaintsItsDisplayList)
{
    using Item = platform::DisplayItem;
    kor2test::ProbeWindow window{"F_pintor", false};  // empty: its logic only writes down what reached it
    platform::Control& picture = window.add("PC_dibujo", ControlKind::Picture, u"", 300, 200, 3000, 1500);
    picture.scaleWidth = 200;
    picture.scaleHeight = 50;
    picture.picture = {{.kind = Item::Kind::FilledRect, .x1 = 0, .y1 = 0, .x2 = 200, .y2 = 50, .colour = 0xFFFFFF},
                       {.kind = Item::Kind::FilledRect, .x1 = 0, .y1 = 12.5, .x2 = 100, .y2 = 37.5, .colour = 0x0000FF}};
    showThen(window.form, [&](QWidget* dialog) {
        QWidget* widget = child(dialog, "PC_dibujo");
        ASSERT_NE(widget, nullptr);
        const QImage image = widget->grab().toImage();
        const int w = image.width(), h = image.height();
        EXPECT_EQ(image.pixelColor(w / 4, h / 2), QColor(Qt::red)) << "colour numbers keep red in the lowest byte";
        for (const QPoint at : {QPoint(3 * w / 4, h / 2), QPoint(w / 4, h / 8), QPoint(w / 4, 7 * h / 8)})
            EXPECT_EQ(image.pixelColor(at), QColor(Qt::white)) << at.x() << "," << at.y() << ": outside the band";
        // The codes themselves are the form view's (its table); here they come from Qt's events.
        const auto modifiers = Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier);
        QTest::mousePress(widget, Qt::RightButton, modifiers, QPoint(150, 60));
        QTest::mouseRelease(widget, Qt::RightButton, modifiers, QPoint(150, 60));
        EXPECT_EQ(std::tuple(window.lastDown.button, window.lastDown.shift), std::tuple(2, 3));
        EXPECT_DOUBLE_EQ(window.lastDown.x, 150 * 200.0 / widget->width());
        EXPECT_DOUBLE_EQ(window.lastDown.y, 60 * 50.0 / widget->height());
    });
    EXPECT_EQ(window.log.size(), 1u) << "a press, no click";
}

// A frame's caption is its title; a label's and a button's, their text.
QString shownCaption(QWidget* widget)
{
    auto* frame = qobject_cast<QGroupBox*>(widget);
    return frame ? frame->title() : widget->property("text").toString();
}

// Captions show as the model has them, in its weight, also after the window's code changes them.
TEST_F(QtRenderer, CaptionsShowAsTheModelHasThemAndKeepTheirWeight)
{
    platform::Control rows[] = {makeControl("label", ControlKind::Label, u"Distancia (m):", 3500, 500, 2000, 600),
                                makeControl("boldLabel", ControlKind::Label, u"Atención", 3500, 1200, 2000, 600),
                                makeControl("button", ControlKind::Button, u"&Aceptar", 3500, 1900, 2000, 600),
                                makeControl("frame", ControlKind::Frame, u"Opciones de capa", 3500, 2600, 2000, 600)};
    rows[1].bold = true;
    kor2test::ProbeWindow window{"F_pintor", false};  // empty: its logic only writes down what reached it
    for (const auto& r : rows)
        window.form.add(r);
    showThen(window.form, [&](QWidget* dialog) {
        for (const auto& r : rows) {
            QWidget* widget = child(dialog, r.name.c_str());
            ASSERT_NE(widget, nullptr) << r.name;
            EXPECT_EQ(shownCaption(widget), QString::fromStdU16String(r.caption)) << r.name;
            EXPECT_EQ(widget->font().bold(), r.bold) << r.name;
            window.form.setText(r.name, u"Cambiado ñ");
            EXPECT_EQ(shownCaption(widget), QStringLiteral("Cambiado ñ")) << r.name;
            EXPECT_EQ(widget->font().bold(), r.bold) << r.name << ": a caption change keeps the weight";
        }
    });
}

// A password box hides what is typed, from input methods too; a plain box shows it.
TEST_F(QtRenderer, PasswordBoxHidesWhatIsTyped)
{
    kor2test::ProbeWindow window{"F_pintor", false};
    window.add("TX_clave", ControlKind::TextBox, u"", 100, 500, 2000, 300, 0).passwordChar = u'*';
    window.add("TX_nombre", ControlKind::TextBox, u"", 100, 900, 2000, 300, 1);
    showThen(window.form, [&](QWidget* dialog) {
        auto* password = qobject_cast<QLineEdit*>(child(dialog, "TX_clave"));
        ASSERT_TRUE(password);
        const auto secret = Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText;
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), u'*');
        EXPECT_EQ(password->inputMethodHints() & secret, secret) << "no input method sees or learns a password";
        EXPECT_EQ(qobject_cast<QLineEdit*>(child(dialog, "TX_nombre"))->echoMode(), QLineEdit::Normal);
    });
}

// A box of several lines is an unwrapped editor with both scroll bars.
TEST_F(QtRenderer, BoxOfSeveralLinesIsAnUnwrappedEditorWithBothScrollBars)
{
    kor2test::ProbeWindow window{"F_pintor", false};
    window.add("TX_lineas", ControlKind::TextBox, u"uno", 100, 1300, 3000, 1500, 0).multiline = true;
    showThen(window.form, [&](QWidget* dialog) {
        auto* area = qobject_cast<QPlainTextEdit*>(child(dialog, "TX_lineas"));
        ASSERT_TRUE(area);
        EXPECT_EQ(area->toPlainText(), QStringLiteral("uno"));
        EXPECT_TRUE(area->horizontalScrollBar()->isVisible() && area->verticalScrollBar()->isVisible());
        EXPECT_EQ(area->lineWrapMode(), QPlainTextEdit::NoWrap);
    });
}

// A control hidden when the window shows has no widget yet; it gets one, in its place, when the
// window's code first shows it.
TEST_F(QtRenderer, HiddenControlGetsItsWidgetInItsPlaceWhenFirstShown)
{
    kor2test::ProbeWindow window{"F_pintor", false};
    window.add("LB_error", ControlKind::Label, u"Valor no válido", 100, 100, 3000, 300).visible = false;
    showThen(window.form, [&](QWidget* dialog) {
        EXPECT_EQ(child(dialog, "LB_error"), nullptr);
        window.form.setVisible("LB_error", true);
        auto* label = qobject_cast<QLabel*>(child(dialog, "LB_error"));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->isVisible());
        EXPECT_EQ(label->text(), QStringLiteral("Valor no válido"));
        EXPECT_EQ(label->pos(), QPoint(pixelsX(100), pixelsY(100)));
    });
}

// A label has no click of its own; a released mouse button on it is one. (Disabled controls take
// no click on every backend: the playback table.)
TEST_F(QtRenderer, ReleasedButtonOnALabelIsItsClick)
{
    kor2test::ProbeWindow window{"F_pintor", false};
    window.add("LB_texto", ControlKind::Label, u"Pulse aquí", 3500, 100, 2000, 300);
    showThen(window.form, [&](QWidget* dialog) { QTest::mouseClick(child(dialog, "LB_texto"), Qt::LeftButton); });
    EXPECT_EQ(window.log, (std::vector<std::string>{"click LB_texto"}));
}

// A palette's cells reach a screen reader each as an interface of its own, the ringed one focused
// (the last, the one painted, when the window's logic left the ring past it), and none outlives the
// palette.
TEST_F(QtRenderer, PaletteCellsGoWithTheirPalette)
{
    std::vector<QAccessible::Id> cells;
    {
        kor2test::ProbeWindow window{"F_pintor", false};
        window.add("PC_paleta", ControlKind::Picture, u"", 300, 200, 3000, 1500, 0).swatches =
            platform::Swatches{2, 1, {u"rojo", u"azul"}, 5};
        showThen(window.form, [&](QWidget* dialog) {
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            QAccessibleInterface* palette = QAccessible::queryAccessibleInterface(child(dialog, "PC_paleta"));
            ASSERT_TRUE(palette && palette->childCount() == 2);
            for (int i = 0; i < 2; ++i) {
                cells.push_back(QAccessible::uniqueId(palette->child(i)));
                EXPECT_EQ(palette->child(i)->state().focused, i == 1) << i;
            }
        });
    }
    for (const QAccessible::Id cell : cells)
        EXPECT_EQ(QAccessible::accessibleInterface(cell), nullptr);
}

// Qt's own focus chain, which assistive tools and Qt's focus moves follow, is the model's tab order
// and not the order in which the controls were added.
TEST_F(QtRenderer, TheWidgetsFocusChainIsTheTabOrder)
{
    kor2test::ProbeWindow window{"F_orden", false};
    for (const auto& [name, tab] : {std::pair("TX_a", 0), std::pair("TX_c", 2), std::pair("TX_b", 1)})
        window.add(name, ControlKind::TextBox, u"", 120, 120 + 400 * tab, 1200, 300, tab);
    showThen(window.form, [&](QWidget* dialog) {
        QWidget* at = child(dialog, "TX_a");
        std::vector<std::string> chain;
        for (int i = 0; i < 20 && chain.size() < 3; ++i, at = at->nextInFocusChain())
            if ((at->focusPolicy() & Qt::TabFocus) != 0)
                chain.push_back(at->objectName().toStdString());
        EXPECT_EQ(chain, (std::vector<std::string>{"TX_a", "TX_b", "TX_c"}));
    });
}

// Siblings overlap in the model's order, a later control over an earlier one, also when the earlier
// one is shown, and so made, only after the later one.
TEST_F(QtRenderer, ALaterControlStaysOverAnEarlierOneShownAfterIt)
{
    kor2test::ProbeWindow window{"F_capas", false};
    window.add("LB_debajo", ControlKind::Label, u"debajo", 120, 120, 1500, 600).visible = false;
    window.add("LB_encima", ControlKind::Label, u"encima", 120, 120, 1500, 600);
    showThen(window.form, [&](QWidget* dialog) {
        window.form.setVisible("LB_debajo", true);
        QWidget* over = child(dialog, "LB_encima");
        ASSERT_NE(child(dialog, "LB_debajo"), nullptr);
        EXPECT_EQ(over->parentWidget()->childAt(over->geometry().center()), over);
    });
}

} // namespace
