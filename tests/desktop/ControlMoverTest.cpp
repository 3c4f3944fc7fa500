#include <Kor2_Sys/cMoverControl.h>

#include "Guards.h"
#include "frame/Utf.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace Kor2_Sys;
using platform::HostKind;
using platform::PixelPoint;
using platform::RecordedHost;

namespace {

constexpr Integer kLeft = 1, kRight = 2, kCtrl = 2;

// A label at 600, 300 twips on a 15 twips-per-pixel screen, moved by a fresh mover instance.
class Mover : public ::testing::Test {
public:
    kor2test::ScopedHeadless ui;
    std::shared_ptr<RecordedHost> label = ui->hosts().add(HostKind::Control, "Label1");
    std::shared_ptr<Object> mover = createObject("Kor2_Sys.cMoverControl");
    Variant control = std::shared_ptr<Object>(label);

    Mover()
    {
        label->setProperty("Left", Single{600});
        label->setProperty("Top", Single{300});
    }
    void grab(PixelPoint at, Integer button = kLeft)
    {
        ui->setCursorPosition(at);
        Variant args[] = {button, control};
        mover->invoke("Mueve_CtrlSeleccionar", InvokeKind::Method, args);
    }
    void drag(PixelPoint at, Integer button = kLeft, Integer shift = kCtrl)
    {
        ui->setCursorPosition(at);
        Variant args[] = {button, shift, control};
        mover->invoke("Mueve_CtrlMover", InvokeKind::Method, args);
    }
    // The label's member calls: "Left", "ZOrder(0)", "Move(750,330)".
    std::vector<std::string> calls() const
    {
        std::vector<std::string> out;
        for (const auto& call : label->log()) {
            std::string line = call.member;
            for (std::size_t i = 0; i < call.args.size(); ++i)
                line += (i ? "," : "(") + utf::toUtf8(call.args[i].toText());
            out.push_back(line + (call.args.empty() ? "" : ")"));
        }
        return out;
    }
};

struct DragCase {
    const char* label;
    std::optional<Integer> grabButton;  ///< none: no grab before the drag
    Integer dragButton, shift;
    std::vector<std::string> calls;
    int eventRuns;
};

class Drags : public Mover, public ::testing::WithParamInterface<DragCase> {};

TEST_P(Drags, MoveOnlyWithLeftButtonAndCtrlAndLetEventsRunWithTheLeftButton)
{
    const DragCase& c = GetParam();
    if (c.grabButton)
        grab({100, 50}, *c.grabButton);
    drag({110, 52}, c.dragButton, c.shift);
    EXPECT_EQ(calls(), c.calls);
    EXPECT_EQ(ui->eventRuns(), c.eventRuns);
    EXPECT_TRUE(ui->messages().empty());
}

// What a grab asks of the label, then `after`.
std::vector<std::string> grabbed(std::vector<std::string> after = {})
{
    after.insert(after.begin(), {"Left", "Top", "ZOrder(0)"});
    return after;
}
INSTANTIATE_TEST_SUITE_P(Buttons, Drags, ::testing::Values(
    // Offsets 1500 - 600 = 900 and 750 - 300 = 450; the label follows the cursor's travel.
    DragCase{"GrabThenCtrlDrag", kLeft, kLeft, kCtrl, grabbed({"Move(750,330)"}), 1},
    DragCase{"BitsNotValues", kLeft, kLeft | kRight, kCtrl | 1, grabbed({"Move(750,330)"}), 1},
    DragCase{"WithoutCtrlNoMoveButEventsRun", kLeft, kLeft, 0, grabbed(), 1},
    DragCase{"RightButtonDragDoesNothing", kLeft, kRight, kCtrl, grabbed(), 0},
    // No grab, or one with the right button: offsets 0, the label jumps to the cursor in twips.
    DragCase{"RightButtonGrabChangesNothing", kRight, kLeft, kCtrl, {"Move(1650,780)"}, 1},
    DragCase{"DragBeforeAnyGrab", std::nullopt, kLeft, kCtrl, {"Move(1650,780)"}, 1}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Mover, HalvesOfTwipsGoToTheEvenNumber)
{
    ui->setTwipsPerPixel(7.5, 7.5);
    label->setProperty("Left", Single{0});
    label->setProperty("Top", Single{0});
    grab({3, 5});  // 22.5 -> 22, 37.5 -> 38
    drag({5, 7});  // 37.5 -> 38, 52.5 -> 52
    EXPECT_EQ(calls(), grabbed({"Move(16,14)"}));
}

TEST_F(Mover, FreeCallsShareTheGrab)
{
    Variant args[] = {kLeft, control};
    ui->setCursorPosition({100, 50});
    sharedObject("Kor2_Sys.cMoverControl")->invoke("Mueve_CtrlSeleccionar", InvokeKind::Method, args);
    ui->setCursorPosition({110, 52});
    global<cMoverControl>().Mueve_CtrlMover(kLeft, kCtrl, control);
    EXPECT_EQ(calls().back(), "Move(750,330)");
}

// Run-time errors: the common report with the operation's tag, the offsets as far as they got.
struct FailureCase {
    const char* label;
    std::function<void(Mover&)> run;
    std::vector<std::u16string> reports;
    int eventRuns;
};

class MoverFailures : public Mover, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MoverFailures, ReportWithTheTagAndReturn)
{
    GetParam().run(*this);
    std::vector<std::u16string> reports;
    for (const auto& m : ui->messages())
        reports.push_back(m.text);
    EXPECT_EQ(reports, GetParam().reports);
    EXPECT_EQ(ui->eventRuns(), GetParam().eventRuns);
}

const std::u16string kNoMember = u"ERROR en Kor_Sys.DLL Nº438\r\n El objeto no admite esta propiedad o método";
INSTANTIATE_TEST_SUITE_P(Controls, MoverFailures, ::testing::Values(
    // 150,000,000 + 2,000,000,000 twips does not fit 32 bits, though each part does.
    FailureCase{"OverflowInTheMove", [](Mover& t) {
        t.label->setProperty("Left", Single{2e9f});
        t.grab({0, 0});
        t.drag({10'000'000, 0});
        EXPECT_EQ(t.calls(), grabbed());
    }, {u"ERROR en Kor_Sys.DLL Nº6\r\n DesbordamientoM_mueve2"}, 0},
    FailureCase{"SecondOffsetFailsFirstIsKept", [](Mover& t) {
        t.label->setProperty("Top", Single{1e20f});
        t.grab({100, 50});
        t.drag({110, 52});
        EXPECT_EQ(t.calls().back(), "Move(750,780)");  // x offset 900 kept, y still 0
    }, {u"ERROR en Kor_Sys.DLL Nº6\r\n DesbordamientoM_mueve1"}, 1},
    FailureCase{"ControlWithoutMove", [](Mover& t) {
        t.control = std::shared_ptr<Object>(t.ui->hosts().add(HostKind::StatusBar, "StatusBar1"));
        t.grab({100, 50});
        t.drag({110, 52});
    }, {kNoMember + u"M_mueve1", kNoMember + u"M_mueve2"}, 0},
    // Without Ctrl the control is never touched, so nothing passed is no error.
    FailureCase{"NothingPassedWithoutCtrl", [](Mover& t) {
        t.control = Variant{};
        t.drag({110, 52}, kLeft, 0);
    }, {}, 1}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
