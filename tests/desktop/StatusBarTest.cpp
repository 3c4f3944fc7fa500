#include <Kor2_Sys/c_StatusBar.h>

#include "Guards.h"
#include "SwallowedLog.h"
#include "frame/Utf.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Kor2_Sys;
using platform::HostKind;
using platform::PixelRect;
using platform::RecordedHost;

namespace {

// A form holding a status bar and a progress bar, as a host lays them out.
class Desktop : public ::testing::Test {
public:
    kor2test::ScopedHeadless ui;
    std::shared_ptr<RecordedHost> form = ui->hosts().add(HostKind::Form, "Form1");
    std::shared_ptr<RecordedHost> statusBar = ui->hosts().add(HostKind::StatusBar, "StatusBar1");
    std::shared_ptr<RecordedHost> bar = ui->hosts().add(HostKind::ProgressBar, "ProgressBar1");
    kor2test::SwallowedLog swallowed;
    Variant args[5] = {ref(form), ref(bar), ref(statusBar), Integer{0}, true};

    static Variant ref(const std::shared_ptr<RecordedHost>& host) { return std::shared_ptr<Object>(host); }
    void progreso(std::size_t count = 5)
    {
        createObject("Kor2_Sys.c_StatusBar")->invoke("Progreso", InvokeKind::Method, std::span(args, count));
    }

    // The progress bar's member calls from `from` on: "hWnd", "Move(30,30,1500,270)", "Visible=Verdadero".
    std::vector<std::string> barCalls(std::size_t from = 0) const
    {
        std::vector<std::string> out;
        for (std::size_t i = from; i < bar->log().size(); ++i) {
            const auto& call = bar->log()[i];
            std::string line = call.member + (call.kind == InvokeKind::Put ? "=" : call.args.empty() ? "" : "(");
            for (std::size_t a = 0; a < call.args.size(); ++a) {
                EXPECT_TRUE(call.kind == InvokeKind::Put || call.args[a].type() == ValueType::Single);
                line += (a ? "," : "") + utf::toUtf8(call.args[a].toText());
            }
            out.push_back(line + (call.kind == InvokeKind::Method && !call.args.empty() ? ")" : ""));
        }
        return out;
    }
};

struct PlacementCase {
    const char* label;
    std::vector<PixelRect> parts;
    Integer panel;
    double twipsX, twipsY;
    const char* move;
};

class Placement : public Desktop, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(Placement, BarCoversThePartAndIsShownAtZero)
{
    ui->setTwipsPerPixel(GetParam().twipsX, GetParam().twipsY);
    statusBar->setParts(GetParam().parts);
    args[3] = GetParam().panel;
    progreso();
    EXPECT_EQ(barCalls(), (std::vector<std::string>{"hWnd", GetParam().move, "Visible=Verdadero", "Value=0"}));
    EXPECT_EQ(getProperty(*bar, "Parent"), Variant(u"StatusBar1"));
    EXPECT_TRUE(swallowed.seen().empty());
}

INSTANTIATE_TEST_SUITE_P(Parts, Placement, ::testing::Values(
    PlacementCase{"PixelsTimesFifteen", {{0, 2, 1, 20}, {2, 2, 102, 20}}, 1, 15, 15, "Move(30,30,1500,270)"},
    // top 22.5 goes to 22 (even), and the height is 45 - 22, not 22.5 rounded or 45 - 23.
    PlacementCase{"TiesToEvenFarSidesLessConvertedNearSides", {{1, 3, 5, 6}}, 0, 12, 7.5, "Move(12,22,48,23)"},
    PlacementCase{"MissingPartLeavesAllZero", {{2, 2, 102, 20}}, 3, 15, 15, "Move(0,0,0,0)"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Desktop, EveryShowRereadsThePartAndHidingGivesTheBarBackWhereItLies)
{
    statusBar->setParts({{2, 2, 102, 20}});
    progreso();
    putProperty(*bar, "Value", Integer{70});
    statusBar->setParts({{4, 2, 204, 22}});
    const std::size_t before = bar->log().size();
    progreso();
    EXPECT_EQ(barCalls(before), (std::vector<std::string>{"hWnd", "Move(60,30,3000,300)", "Visible=Verdadero", "Value=0"}));

    progreso(4);  // bShowProgressBar omitted: false
    EXPECT_EQ(barCalls(before + 4), (std::vector<std::string>{"hWnd", "Visible=Falso"})) << "no Move";
    EXPECT_EQ(getProperty(*bar, "Parent"), Variant(u"Form1"));
    EXPECT_EQ(bar->property("Width"), Variant(Single{3000}));
    EXPECT_TRUE(swallowed.seen().empty());
}

// A bitmap has no window handle: it is no form, and hiding gives the bar back to the form kept before.
TEST_F(Desktop, ObjectWithoutAWindowIsNotKeptAsTheForm)
{
    statusBar->setParts({{2, 2, 102, 20}});
    const auto progress = createObject("Kor2_Sys.c_StatusBar");
    progress->invoke("Progreso", InvokeKind::Method, args);
    args[0] = ref(ui->hosts().add(HostKind::Bitmap, "Bitmap1"));
    args[4] = false;
    progress->invoke("Progreso", InvokeKind::Method, args);
    EXPECT_EQ(getProperty(*bar, "Parent"), Variant(u"Form1"));
    EXPECT_EQ(swallowed.summary(), std::vector<std::string>{"438 c_StatusBar.Progreso"});
}

TEST_F(Desktop, ShowProgressInStatusBarTouchesNothing)
{
    createObject("Kor2_Sys.c_StatusBar")->invoke("ShowProgressInStatusBar", InvokeKind::Method, std::span(args, 4));
    EXPECT_TRUE(form->log().empty() && bar->log().empty() && statusBar->log().empty());
}

// Whatever a step cannot do is skipped without a word, and the steps after it still run.
struct BadCase {
    const char* label;
    std::function<void(Desktop&)> spoil;
    std::vector<std::string> barCalls;
    std::vector<std::string> swallowed;
};

class BadObjects : public Desktop, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadObjects, LaterStepsStillRunAndNothingReachesTheHost)
{
    statusBar->setParts({{2, 2, 102, 20}});
    GetParam().spoil(*this);
    EXPECT_NO_THROW(progreso());
    EXPECT_EQ(barCalls(), GetParam().barCalls);
    EXPECT_EQ(swallowed.summary(), GetParam().swallowed);
    EXPECT_TRUE(ui->messages().empty());
}

const std::string kStep = "c_StatusBar.Progreso";
INSTANTIATE_TEST_SUITE_P(Steps, BadObjects, ::testing::Values(
    BadCase{"StatusBarAsProgressBar", [](Desktop& d) { d.args[1] = d.args[2]; }, {},
            std::vector<std::string>(3, "438 " + kStep)},
    // Hiding: the Integer is not kept and no form was kept before, so only the reparenting fails.
    BadCase{"IntegerAsForm", [](Desktop& d) {
                d.args[0] = Integer{5};
                d.args[4] = false;
            }, {"hWnd", "Visible=Falso"},
            {"424 " + kStep, "91 " + kStep}},
    BadCase{"DestroyedStatusBar", [](Desktop& d) { d.ui->hosts().destroy(d.statusBar->handle()); },
            {"hWnd", "Move(0,0,0,0)", "Visible=Verdadero", "Value=0"}, std::vector<std::string>(2, "91 " + kStep)},
    BadCase{"NothingPassed", [](Desktop& d) { d.args[0] = d.args[1] = d.args[2] = Variant{}; }, {},
            std::vector<std::string>(5, "91 " + kStep)}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
