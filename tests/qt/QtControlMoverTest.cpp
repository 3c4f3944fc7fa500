// The control mover on real widgets, driven as a host drives it: the control's own mouse-press and
// mouse-move handlers pass the event's buttons and keys on, and the cursor is where the events say.
// Run also at a screen of 192 dots per inch (7.5 twips per pixel), where a twip is no whole pixel.
#include <Kor2_Sys/cMoverControl.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include "QtWindowTest.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>

using namespace Kor2_Sys;

namespace {

// A label that asks the library to move it, as a host's control event handlers would.
class Draggable final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        global<cMoverControl>().Mueve_CtrlSeleccionar(buttons(event->buttons()), qt::hostControl(this));
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        global<cMoverControl>().Mueve_CtrlMover(buttons(event->buttons()), keys(event->modifiers()),
                                                qt::hostControl(this));
    }

private:
    // The host's bit sets: left 1, right 2, middle 4; Shift 1, Ctrl 2, Alt 4.
    static Integer buttons(Qt::MouseButtons held)
    {
        return static_cast<Integer>((held & Qt::LeftButton ? 1 : 0) | (held & Qt::RightButton ? 2 : 0) |
                                    (held & Qt::MiddleButton ? 4 : 0));
    }
    static Integer keys(Qt::KeyboardModifiers held)
    {
        return static_cast<Integer>((held & Qt::ShiftModifier ? 1 : 0) | (held & Qt::ControlModifier ? 2 : 0) |
                                    (held & Qt::AltModifier ? 4 : 0));
    }
};

// A board with two overlapping labels; `front` starts in front of `dragged`. Odd pixel positions,
// so that at 7.5 twips per pixel their twips are rounded.
class ControlMover : public kor2test::QtWindows {
protected:
    ControlMover()
    {
        board.resize(400, 300);
        dragged = new Draggable(QStringLiteral("P1"), &board);
        dragged->setGeometry(43, 35, 60, 24);
        front = new Draggable(QStringLiteral("P2"), &board);
        front->setGeometry(61, 37, 60, 24);
        board.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&board));
    }

    /// Puts the cursor over `at` (the label's own pixels) and sends the event there. The events are
    /// made here rather than by QTest, whose button state outlives a test.
    static void press(QWidget* label, QPoint at, Qt::MouseButton button)
    {
        send(label, QEvent::MouseButtonPress, at, button, button, {});
    }
    static void drag(QWidget* label, QPoint at, Qt::MouseButton held, Qt::KeyboardModifiers keys)
    {
        send(label, QEvent::MouseMove, at, Qt::NoButton, held, keys);
    }
    static void send(QWidget* label, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
                     Qt::KeyboardModifiers keys)
    {
        QCursor::setPos(label->mapToGlobal(at));
        QMouseEvent event(type, at, label->mapToGlobal(at), button, held, keys);
        QApplication::sendEvent(label, &event);
    }

    bool inFront(const QWidget* label) const { return board.children().last() == label; }

    QWidget board;
    Draggable* dragged = nullptr;
    Draggable* front = nullptr;
};

struct DragCase {
    const char* label;
    Qt::MouseButton grabButton;
    Qt::MouseButton heldButton;
    Qt::KeyboardModifiers keys;
    bool moves;
};
void PrintTo(const DragCase& c, std::ostream* out) { *out << c.label; }

class ControlDrag : public ControlMover, public ::testing::WithParamInterface<DragCase> {};

TEST_P(ControlDrag, GrabPointFollowsTheCursorOnlyWithLeftButtonAndCtrl)
{
    const DragCase& c = GetParam();
    const QPoint start = dragged->pos();
    press(dragged, QPoint(5, 7), c.grabButton);
    EXPECT_EQ(inFront(dragged), c.grabButton == Qt::LeftButton) << "a left grab brings it in front";

    // Three steps, each measured from the grab: the grab point stays under the cursor.
    for (const QPoint travel : {QPoint(13, 3), QPoint(-27, 41), QPoint(1, -1), QPoint(0, 0)}) {
        drag(dragged, QPoint(5, 7) + travel - (dragged->pos() - start), c.heldButton, c.keys);
        EXPECT_EQ(dragged->pos(), c.moves ? start + travel : start) << travel.x() << "," << travel.y();
    }
    EXPECT_EQ(dragged->size(), QSize(60, 24)) << "the size stays";
}

INSTANTIATE_TEST_SUITE_P(Buttons, ControlDrag, ::testing::Values(
    DragCase{"ctrlLeft", Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier, true},
    DragCase{"ctrlShiftLeft", Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, true},
    DragCase{"leftWithoutCtrl", Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier, false},
    DragCase{"ctrlRight", Qt::RightButton, Qt::RightButton, Qt::ControlModifier, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ControlMover, RightButtonGrabKeepsTheOffsetsAndTheStackingOrder)
{
    const QPoint start = dragged->pos();
    press(dragged, QPoint(5, 7), Qt::LeftButton);
    front->raise();
    press(dragged, QPoint(50, 20), Qt::RightButton);
    EXPECT_TRUE(inFront(front));

    drag(dragged, QPoint(5 + 8, 7 + 6), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(dragged->pos(), start + QPoint(8, 6)) << "moved from the left grab's point";
}

TEST_F(ControlMover, DestroyedControlIsReportedNotFollowed)
{
    const auto host = qt::hostControl(dragged);
    delete dragged;
    const QString text = kor2test::answerNextBox([&] {
        global<cMoverControl>().Mueve_CtrlMover(1, 2, host);
    });
    EXPECT_TRUE(text.contains(QStringLiteral("91"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("M_mueve2"))) << text.toStdString();
}

} // namespace
