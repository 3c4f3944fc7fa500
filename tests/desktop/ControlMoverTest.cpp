// The control mover on every backend: a grab with the left button, a drag with it and Ctrl, the
// events it lets run, and the common report when the control cannot be moved. Rows read where the
// label ends in pixels, so that they hold on a screen of any density (Qt reruns them at 192 dpi).
#include <Kor2_Sys/cMoverControl.h>

#include "Hosts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace Kor2_Sys;
using namespace kor2test;

namespace {

constexpr Integer kLeft = 1, kRight = 2, kCtrl = 2;

// A label at pixels 40, 20 of a form, moved by a fresh mover instance.
template <class Base> class MoverOf : public Base {
public:
    std::unique_ptr<Hosts> hosts = makeHosts(*this->ui);
    Variant form = hosts->form();
    Variant label = hosts->control(form, {40, 20});
    std::shared_ptr<Object> mover = createObject("Kor2_Sys.cMoverControl");

    void grab(PixelPoint at, Integer button = kLeft) { call(at, "Mueve_CtrlSeleccionar", {button, label}); }
    void drag(PixelPoint at, Integer button = kLeft, Integer shift = kCtrl) { call(at, "Mueve_CtrlMover", {button, shift, label}); }
    void call(PixelPoint at, const char* member, std::vector<Variant> args)
    {
        hosts->setCursor(at);
        mover->invoke(member, InvokeKind::Method, args);
    }
    /// Where the label is, in pixels of the form.
    PixelPoint where() const
    {
        const auto twips = twipsOf(label);
        const auto& ws = platform::windowSystem();
        return {static_cast<Long>(std::lround(twips[0] / ws.twipsPerPixelX())),
                static_cast<Long>(std::lround(twips[1] / ws.twipsPerPixelY()))};
    }
};

struct DragRow {
    const char* label;
    std::optional<Integer> grabButton;  ///< none: no grab before the drag
    Integer dragButton, shift;
    PixelPoint ends;                    ///< where the label ends, pixels
    int eventRuns;
};
using Drags = MoverOf<OnEveryBackend<DragRow>>;

TEST_P(Drags, MoveOnlyWithLeftButtonAndCtrlAndLetEventsRunWithTheLeftButton)
{
    if (row().grabButton)
        grab({100, 50}, *row().grabButton);
    drag({110, 52}, row().dragButton, row().shift);
    EXPECT_EQ(where(), row().ends);
    EXPECT_EQ(twipsOf(label)[2], 60 * platform::windowSystem().twipsPerPixelX()) << "the size stays";
    EXPECT_EQ(std::pair(ui->eventRuns(), ui->messages().size()), std::pair(row().eventRuns, std::size_t{0}));
}

const DragRow kDrags[] = {
    // The label follows the cursor's travel of 10, 2 from where it was grabbed.
    {.label = "grabThenCtrlDrag", .grabButton = kLeft, .dragButton = kLeft, .shift = kCtrl, .ends = {50, 22}, .eventRuns = 1},
    {.label = "bitsNotValues", .grabButton = kLeft, .dragButton = kLeft | kRight, .shift = kCtrl | 1, .ends = {50, 22},
     .eventRuns = 1},
    {.label = "withoutCtrlNoMoveButEventsRun", .grabButton = kLeft, .dragButton = kLeft, .shift = 0, .ends = {40, 20},
     .eventRuns = 1},
    {.label = "rightButtonDragDoesNothing", .grabButton = kLeft, .dragButton = kRight, .shift = kCtrl, .ends = {40, 20},
     .eventRuns = 0},
    // No grab, or one with the right button: offsets 0, the label jumps to the cursor.
    {.label = "rightButtonGrabChangesNothing", .grabButton = kRight, .dragButton = kLeft, .shift = kCtrl, .ends = {110, 52},
     .eventRuns = 1},
    {.label = "dragBeforeAnyGrab", .grabButton = std::nullopt, .dragButton = kLeft, .shift = kCtrl, .ends = {110, 52},
     .eventRuns = 1},
};
KOR2_TABLE(Buttons, Drags, kDrags);

// Run-time errors: the common report with the operation's tag, the offsets as far as they got.
struct FailureRow {
    const char* label;
    void (*run)(MoverOf<OnEveryBackend<FailureRow>>&);
    std::vector<std::u16string> reports;
    int eventRuns;
    Only only = Only::Any;
};
using MoverFailures = MoverOf<OnEveryBackend<FailureRow>>;

TEST_P(MoverFailures, ReportWithTheTagAndReturn)
{
    row().run(*this);
    std::vector<Text> reports;
    for (const auto& m : ui->messages())
        reports.push_back(m.text);
    EXPECT_EQ(reports, row().reports);
    EXPECT_EQ(ui->eventRuns(), row().eventRuns);
}

// Positions no widget takes: only a recorded label is placed there.
void place(const Variant& label, const char* side, Single twips)
{
    dynamic_cast<platform::RecordedHost&>(*label.toObject()).setProperty(side, twips);
}

const std::u16string kNoMember = u"ERROR en Kor_Sys.DLL Nº438\r\n El objeto no admite esta propiedad o método";
const FailureRow kFailures[] = {
    {"controlWithoutMove", [](MoverFailures& t) { t.label = t.hosts->statusBar(t.form, {20}), t.grab({100, 50}), t.drag({110, 52}); },
     {kNoMember + u"M_mueve1", kNoMember + u"M_mueve2"}, 0},
    {"destroyedControl", [](MoverFailures& t) { t.hosts->destroy(t.label), t.drag({110, 52}); },
     {u"ERROR en Kor_Sys.DLL Nº91\r\n Variable de objeto o bloque With no establecidoM_mueve2"}, 0},
    {.label = "secondOffsetFailsFirstIsKept",
     .run = [](MoverFailures& t) {
         place(t.label, "Top", 1e20f), t.grab({100, 50}), t.drag({110, 52});
         EXPECT_EQ(t.where(), (PixelPoint{50, 52})) << "x offset kept, y still 0";
     },
     .reports = {u"ERROR en Kor_Sys.DLL Nº6\r\n DesbordamientoM_mueve1"}, .eventRuns = 1, .only = Only::Headless},
};
KOR2_TABLE(Controls, MoverFailures, kFailures);

} // namespace
