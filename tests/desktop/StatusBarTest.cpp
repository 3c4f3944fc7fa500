// Progress in a status-bar panel, on every backend: where the bar goes, what hiding gives back,
// and the steps that still run when a host object cannot do its part.
#include <Kor2_Sys/c_StatusBar.h>

#include "Hosts.h"
#include "SwallowedLog.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Kor2_Sys;
using namespace kor2test;

namespace {

constexpr int kWidths[] = {20, 100, 40};

// A form with a status bar of three parts (20, 100 and 40 pixels) and a hidden progress bar at 40.
template <class Base> class DesktopOf : public Base {
public:
    std::unique_ptr<Hosts> hosts = makeHosts(*this->ui);
    Variant form = hosts->form();
    Variant statusBar = hosts->statusBar(form, {kWidths[0], kWidths[1], kWidths[2]});
    Variant bar = hosts->progressBar(form);
    SwallowedLog swallowed;
    Variant args[5] = {form, bar, statusBar, Integer{1}, true};

    void progreso(std::size_t count = 5)
    {
        createObject("Kor2_Sys.c_StatusBar")->invoke("Progreso", InvokeKind::Method, std::span(args, count));
    }
    bool visible() const { return getProperty(*bar.toObject(), "Visible").toBoolean(); }
    float value() const { return getProperty(*bar.toObject(), "Value").toSingle(); }
    // Where the bar covers the part exactly, in twips of a 15 twips-per-pixel screen.
    std::vector<float> over(int part) const
    {
        const PixelRect r = hosts->part(statusBar, part);
        return {r.left * 15.f, r.top * 15.f, (r.right - r.left) * 15.f, (r.bottom - r.top) * 15.f};
    }
};

struct PartRow {
    const char* label;
    Integer panel;
    std::vector<float> twips;           ///< where the bar goes; empty: over the part exactly
    std::pair<double, double> screen{};  ///< twips per pixel of a headless screen of other density
    Only only = Only::Any;
};
using Placement = DesktopOf<OnEveryBackend<PartRow>>;

TEST_P(Placement, BarGoesIntoTheStatusBarOverThePartAndShowsZero)
{
    if (row().screen.first != 0)
        ui->headless()->setTwipsPerPixel(row().screen.first, row().screen.second);
    args[3] = row().panel;
    progreso();
    EXPECT_EQ(twipsOf(bar), row().twips.empty() ? over(row().panel) : row().twips);
    EXPECT_EQ(std::tuple(hosts->parentOf(bar), visible(), value()), std::tuple("StatusBar1", true, 0.f));
    EXPECT_TRUE(swallowed.seen().empty());
}

const PartRow kParts[] = {
    {"firstPart", 0, {}}, {"middlePart", 1, {}}, {"lastPart", 2, {}},
    {"partPastTheLastLeavesAllZero", 3, {0, 0, 0, 0}}, {"negativePartLeavesAllZero", -1, {0, 0, 0, 0}},
    // Part 0 is 1,3 to 21,21 pixels: top 22.5 goes to 22 (even), and the height is 21 × 7.5 - 22
    // = 135.5 to 136, not 18 × 7.5 rounded; the width 21 × 12 - 12, to the twip.
    {.label = "tiesToEvenFarSidesLessConvertedNearSides", .panel = 0, .twips = {12, 22, 240, 136}, .screen = {12, 7.5},
     .only = Only::Headless},
};
KOR2_TABLE(Parts, Placement, kParts);

using StatusBarProgress = DesktopOf<EveryBackend>;
KOR2_ON_EVERY_BACKEND(StatusBarProgress);

TEST_P(StatusBarProgress, EveryShowRereadsThePartAndHidingGivesTheBarBackWhereItLies)
{
    progreso();
    const float before = over(1)[2];
    putProperty(*bar.toObject(), "Value", Integer{70});
    hosts->widen(statusBar, 1, 30);
    progreso();
    const std::vector<float> shown = over(1);
    EXPECT_EQ(shown[2], before + 30 * 15);
    EXPECT_EQ(twipsOf(bar), shown);
    EXPECT_EQ(value(), 0);

    progreso(4);  // bShowProgressBar omitted: false
    EXPECT_EQ(std::tuple(hosts->parentOf(bar), visible(), twipsOf(bar)[2]), std::tuple("Form1", false, shown[2])) << "hiding moves nothing";
    EXPECT_TRUE(swallowed.seen().empty());
}

// Whatever a step cannot do is skipped without a word, and the steps after it still run.
struct BadRow {
    const char* label;
    void (*spoil)(DesktopOf<OnEveryBackend<BadRow>>&);
    bool shown;          ///< the bar is shown at zero
    std::vector<std::string> swallowed;
};
using BadObjects = DesktopOf<OnEveryBackend<BadRow>>;

TEST_P(BadObjects, LaterStepsStillRunAndNothingReachesTheUser)
{
    row().spoil(*this);
    EXPECT_NO_THROW(progreso());
    EXPECT_EQ(hosts->parentOf(bar), "Form1") << "a bar that cannot go into the status bar stays";
    EXPECT_EQ(std::pair(visible(), value()), std::pair(row().shown, row().shown ? 0.f : 40.f));
    if (row().shown) {
        EXPECT_EQ(twipsOf(bar), std::vector<float>(4, 0)) << "no part read: the bar waits at the origin";
    }
    EXPECT_EQ(swallowed.summary(), row().swallowed);
    EXPECT_TRUE(ui->messages().empty());
}

const std::string kStep = "c_StatusBar.Progreso";
const BadRow kBad[] = {
    {"statusBarAsProgressBar", [](BadObjects& d) { d.args[1] = d.args[2]; }, false, std::vector<std::string>(3, "438 " + kStep)},
    // Hiding: the Integer is not kept and no form was kept before, so only the reparenting fails.
    {"integerAsForm", [](BadObjects& d) { d.args[0] = Integer{5}, d.args[4] = false; }, false, {"424 " + kStep, "91 " + kStep}},
    {"destroyedStatusBar", [](BadObjects& d) { d.hosts->destroy(d.statusBar); }, true, std::vector<std::string>(2, "91 " + kStep)},
    {"formAsStatusBar", [](BadObjects& d) { d.args[2] = d.args[0]; }, true, {}},
    {"nothingPassed", [](BadObjects& d) { d.args[0] = d.args[1] = d.args[2] = Variant{}; }, false,
     std::vector<std::string>(5, "91 " + kStep)},
};
KOR2_TABLE(Steps, BadObjects, kBad);

} // namespace
