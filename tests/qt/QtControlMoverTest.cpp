// The control mover on real widgets, driven as a host drives it: the control's own mouse-press and
// mouse-move handlers pass the event's buttons and keys on, and the cursor is where the events say.
// Run also at 192 dots per inch (7.5 twips per pixel), where pixels are no whole number of twips.
#include <Kor2_Sys/cMoverControl.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include "QtWindowTest.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>

using namespace Kor2_Sys;

namespace {

// A label that asks the library to move it, as a host's event handlers would: buttons left 1,
// right 2; keys Shift 1, Ctrl 2.
class Draggable final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        global<cMoverControl>().Mueve_CtrlSeleccionar(buttons(*event), qt::hostControl(this));
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const auto keys = static_cast<Integer>((event->modifiers() & Qt::ShiftModifier ? 1 : 0) |
                                               (event->modifiers() & Qt::ControlModifier ? 2 : 0));
        global<cMoverControl>().Mueve_CtrlMover(buttons(*event), keys, qt::hostControl(this));
    }

private:
    static Integer buttons(const QMouseEvent& event)
    {
        return static_cast<Integer>((event.buttons() & Qt::LeftButton ? 1 : 0) | (event.buttons() & Qt::RightButton ? 2 : 0));
    }
};

// Two overlapping labels on a board, `front` in front; odd pixel positions, whose twips are
// rounded at 7.5 twips per pixel.
class ControlMover : public kor2test::QtWindows {
protected:
    ControlMover()
    {
        dragged->setGeometry(43, 35, 60, 24);
        front->setGeometry(61, 37, 60, 24);
        board.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&board));
    }

    /// Puts the cursor over `at` (the dragged label's pixels) and sends it the event there. Made
    /// here rather than by QTest, whose button state outlives a test.
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers keys = {})
    {
        QCursor::setPos(dragged->mapToGlobal(at));
        QMouseEvent event(type, at, dragged->mapToGlobal(at), button, held, keys);
        QApplication::sendEvent(dragged, &event);
    }
    void press(QPoint at, Qt::MouseButton button) { send(QEvent::MouseButtonPress, at, button, button); }
    /// The cursor at `travel` from `grab`, with the label's own move since `start` taken out.
    void drag(QPoint grab, QPoint travel, Qt::MouseButton held, Qt::KeyboardModifiers keys)
    {
        send(QEvent::MouseMove, grab + travel - (dragged->pos() - start), Qt::NoButton, held, keys);
    }
    bool inFront(const QWidget* label) const { return board.children().last() == label; }

    QWidget board;
    Draggable* dragged = new Draggable(QStringLiteral("P1"), &board);
    Draggable* front = new Draggable(QStringLiteral("P2"), &board);
    const QPoint start{43, 35};
};

struct DragCase {
    const char* label;
    Qt::MouseButton button;
    Qt::KeyboardModifiers keys;
    bool moves;
};
void PrintTo(const DragCase& c, std::ostream* out) { *out << c.label; }

class ControlDrag : public ControlMover, public ::testing::WithParamInterface<DragCase> {};

TEST_P(ControlDrag, GrabPointFollowsTheCursorOnlyWithLeftButtonAndCtrl)
{
    const DragCase& c = GetParam();
    const QPoint grab(5, 7);
    press(grab, c.button);
    EXPECT_EQ(inFront(dragged), c.button == Qt::LeftButton) << "a left grab brings it in front";
    for (const QPoint travel : {QPoint(13, 3), QPoint(-27, 41), QPoint(1, -1), QPoint(0, 0)}) {
        drag(grab, travel, c.button, c.keys);
        EXPECT_EQ(dragged->pos(), c.moves ? start + travel : start) << travel.x() << "," << travel.y();
    }
    EXPECT_EQ(dragged->size(), QSize(60, 24));
}

INSTANTIATE_TEST_SUITE_P(Buttons, ControlDrag, ::testing::Values(
    DragCase{"ctrlLeft", Qt::LeftButton, Qt::ControlModifier, true},
    DragCase{"leftWithoutCtrl", Qt::LeftButton, Qt::ShiftModifier, false},
    DragCase{"ctrlRight", Qt::RightButton, Qt::ControlModifier, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ControlMover, RightButtonGrabKeepsTheOffsetsAndTheStackingOrder)
{
    press(QPoint(5, 7), Qt::LeftButton);
    front->raise();
    press(QPoint(50, 20), Qt::RightButton);
    EXPECT_TRUE(inFront(front));
    drag(QPoint(5, 7), QPoint(8, 6), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(dragged->pos(), start + QPoint(8, 6)) << "moved from the left grab's point";
}

TEST_F(ControlMover, DestroyedControlIsReportedNotFollowed)
{
    const auto host = qt::hostControl(dragged);
    delete dragged;
    const QString text = kor2test::answerNextBox([&] { global<cMoverControl>().Mueve_CtrlMover(1, 2, host); });
    EXPECT_TRUE(text.startsWith(QStringLiteral("ERROR en Kor_Sys.DLL Nº91"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("M_mueve2"))) << text.toStdString();
}

} // namespace
