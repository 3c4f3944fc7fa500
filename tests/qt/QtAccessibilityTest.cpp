// What a screen reader hears from the Qt windows, caught as the accessibility events Qt sends it:
// a palette's choices and its ringed cell, and which button is the default.
#include "ProbeWindow.h"
#include "QtWindowTest.h"
#include "colour/ColourWindow.h"

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

#include <string>
#include <vector>

using namespace Kor2_Sys;

namespace {

const char* const kNormal = "Pc_color_normal";

// Every event a reader would get about one palette and its cells, in words: "foco" with the name
// of what took the focus, "selección" with the chosen cell's, "elegido"/"dejado" with the cell whose
// selected state changed and what it is now.
class QtAccessibility : public kor2test::QtWindows {
protected:
    QtAccessibility() : m_previous(QAccessible::installUpdateHandler(&QtAccessibility::heard))
    {
        accessibility()->setActive(true);
        s_heard = this;
    }
    ~QtAccessibility() override
    {
        s_heard = nullptr;
        QAccessible::installUpdateHandler(m_previous);
        accessibility()->setActive(false);
    }

    QWidget* m_palette = nullptr;
    std::vector<std::string> m_events;

private:
    // What an assistive technology talks to: Qt sends it nothing until one says it is there.
    static QPlatformAccessibility* accessibility() { return QGuiApplicationPrivate::platformIntegration()->accessibility(); }
    static void heard(QAccessibleEvent* event)
    {
        QAccessibleInterface* target = event->accessibleInterface();
        if (s_heard == nullptr || target == nullptr || s_heard->m_palette == nullptr)
            return;
        const bool cell = target->object() == nullptr && target->parent() && target->parent()->object() == s_heard->m_palette;
        if (!cell && target->object() != s_heard->m_palette)
            return;
        const std::string name = target->text(QAccessible::Name).toStdString();
        if (event->type() == QAccessible::Focus)
            s_heard->m_events.push_back("foco " + name);
        else if (event->type() == QAccessible::Selection)
            s_heard->m_events.push_back("selección " + name);
        else if (event->type() == QAccessible::StateChanged && static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().selected)
            s_heard->m_events.push_back((target->state().selected ? "elegido " : "dejado ") + name);
    }

    static inline QtAccessibility* s_heard = nullptr;
    QAccessible::UpdateHandler m_previous;
};

struct ChoiceRow {
    const char* label;
    std::vector<Qt::Key> keys;  // pressed on the palette once it has the focus
    int clicked;                // the cell clicked after them; -1: none
    std::vector<std::string> heard;
    const char16_t* typed = nullptr;  // then the colour box's text, set from code
};

// The window holds green (cell 2 of the normal colours), which has the ring as the palette takes
// the focus. Entering says where the ring is; the ring is heard as it moves; a choice is heard once
// (the focus stays on the chosen cell, which is said again): the cell it leaves, the selection, the
// cell chosen. Choosing the chosen cell again says nothing.
const ChoiceRow kChoices[] = {
    {"entering", {}, -1, {"foco Colores normales: verde, 3"}},
    {"spaceOnACell", {Qt::Key_Left, Qt::Key_Space}, -1,
     {"foco Colores normales: verde, 3", "foco amarillo, 2", "foco amarillo, 2", "dejado verde, 3", "selección amarillo, 2", "elegido amarillo, 2"}},
    {"arrowThenEnter", {Qt::Key_Right, Qt::Key_Enter}, -1,
     {"foco Colores normales: verde, 3", "foco ciano, 4", "foco ciano, 4", "dejado verde, 3", "selección ciano, 4", "elegido ciano, 4"}},
    {"click", {}, 0,
     {"foco Colores normales: verde, 3", "foco rojo, 1", "dejado verde, 3", "selección rojo, 1", "elegido rojo, 1"}},
    {"sameCellAgain", {Qt::Key_Space}, -1, {"foco Colores normales: verde, 3"}},
    // A colour of another palette: this one only lets its cell go.
    {"aGreyTyped", {}, -1, {"foco Colores normales: verde, 3", "foco verde, 3", "dejado verde, 3"}, u"250"},
};

TEST_F(QtAccessibility, ChoicesInAPaletteAreHeard)
{
    for (const ChoiceRow& row : kChoices) {
        SCOPED_TRACE(row.label);
        colour::ColourWindow window;
        window.setC_color_elegido_Vb(0x00FF00);
        m_events.clear();
        showThen(window.form(), [&](QWidget* dialog) {
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            m_palette = child(dialog, kNormal);
            window.form().setFocus(kNormal);
            for (const Qt::Key key : row.keys)
                QTest::keyClick(m_palette, key);
            if (row.clicked >= 0) {
                const QRect cell = QAccessible::queryAccessibleInterface(m_palette)->child(row.clicked)->rect();
                QTest::mouseClick(m_palette, Qt::LeftButton, {}, m_palette->mapFromGlobal(cell.center()));
            }
            if (row.typed != nullptr)
                window.form().setText("TX_color", row.typed);
            m_palette = nullptr;
        });
        EXPECT_EQ(m_events, row.heard);
    }
}

// Only the window's default button is one to a reader.
TEST_F(QtAccessibility, TheDefaultButtonIsExposedAsDefault)
{
    kor2test::ProbeWindow window;
    showThen(window.form, [&](QWidget* dialog) {
        for (const auto& [button, isDefault] : {std::pair("BT_aceptar", true), std::pair("BT_cancelar", false)})
            EXPECT_EQ(QAccessible::queryAccessibleInterface(child(dialog, button))->state().defaultButton, isDefault) << button;
    });
}

} // namespace
