// The headless host kit: recorded host objects, their registry, and the native window operations
// the headless window system answers with them.
#include <Kor2_Sys/Error.h>

#include "Guards.h"
#include "frame/Utf.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/headless/HostObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Kor2_Sys;
using namespace Kor2_Sys::platform;

namespace {

using kor2test::errorOf;
using kor2test::labelled;

// --- What each kind answers -------------------------------------------------------------------

struct MemberCase { const char* label; HostKind kind; std::string member; InvokeKind how; std::size_t args = 0; int error = 0; };
class HostMembers : public ::testing::TestWithParam<MemberCase> {};
TEST_P(HostMembers, AnswerAsTheirKindDoesAndRecordEveryCall)
{
    const auto& c = GetParam();
    RecordedHost host(c.kind, "h", 0x10);
    std::vector<Variant> args(c.args, Variant(Single{1}));
    EXPECT_EQ(errorOf([&] { host.invoke(c.member, c.how, args); }), c.error);
    ASSERT_EQ(host.log().size(), 1u);  // a refused call was still received
    EXPECT_EQ(host.log()[0].member, c.member);
}
using enum HostKind;
constexpr auto Get = InvokeKind::Get, Put = InvokeKind::Put, Call = InvokeKind::Method;
// A member the kind lacks (438) is also what the desktop tables meet through their hosts.
const MemberCase kMembers[] = {
    {.label = "formDrawingContext", .kind = Form, .member = "hDC", .how = Get},
    {.label = "controlHasNoInnerSize", .kind = Control, .member = "ScaleWidth", .how = Get, .error = 438},
    {.label = "handleIsReadOnly", .kind = Control, .member = "hWnd", .how = Put, .args = 1, .error = 450},
    {.label = "propertyReadAsAMethod", .kind = Control, .member = "Top", .how = Call},
    {.label = "readWithArguments", .kind = Form, .member = "Left", .how = Get, .args = 1, .error = 450},
    {.label = "moveWithFiveArguments", .kind = Form, .member = "Move", .how = Call, .args = 5, .error = 450},
    {.label = "zOrderWithTwo", .kind = Picture, .member = "ZOrder", .how = Call, .args = 2, .error = 450},
    {.label = "bitmapDefaultValue", .kind = Bitmap, .member = "", .how = Get},
    {.label = "bitmapValueIsReadOnly", .kind = Bitmap, .member = "", .how = Put, .args = 1, .error = 450},
};
INSTANTIATE_TEST_SUITE_P(Kinds, HostMembers, ::testing::ValuesIn(kMembers), labelled<MemberCase>);

struct MoveCase {
    const char* label;
    std::vector<Variant> args;
    int error;
    std::vector<Single> sides;  ///< Left, Top, Width, Height afterwards
};
class HostMove : public ::testing::TestWithParam<MoveCase> {};
TEST_P(HostMove, SetsTheSidesGivenOrNoneAtAll)
{
    RecordedHost host(Control, "c", 0x10);
    host.setProperty("Width", Single{70});
    std::vector<Variant> args = GetParam().args;
    EXPECT_EQ(errorOf([&] { host.invoke("Move", Call, args); }), GetParam().error);
    std::vector<Single> sides;
    for (const char* side : {"Left", "Top", "Width", "Height"})
        sides.push_back(host.property(side)->toSingle());
    EXPECT_EQ(sides, GetParam().sides);
}
const MoveCase kMoves[] = {{"leftAndTopOnly", {Double{1.5}, Text(u"2")}, 0, {1.5f, 2, 70, 0}},
    {"badLastArgumentMovesNothing", {Long{5}, Long{6}, Text(u"ancho")}, 13, {0, 0, 70, 0}},
    {"overflowMovesNothing", {Long{5}, Double{1e300}}, 6, {0, 0, 70, 0}}};
INSTANTIATE_TEST_SUITE_P(Arguments, HostMove, ::testing::ValuesIn(kMoves), labelled<MoveCase>);

// --- Properties keep their type --------------------------------------------------------------

struct PutCase {
    const char* label;
    Variant initial{};  ///< empty: a property the kind has by itself ("Value", a single)
    Variant put;
    int error = 0;
    Variant stored;
};
class HostPut : public ::testing::TestWithParam<PutCase> {};
TEST_P(HostPut, ConvertsToTheTypeItHolds)
{
    RecordedHost host(ProgressBar, "pb", 0x10);
    const std::string member = GetParam().initial.isEmpty() ? "Value" : "Caption";
    if (!GetParam().initial.isEmpty())
        host.setProperty(member, GetParam().initial);
    std::vector<Variant> args{GetParam().put};
    EXPECT_EQ(errorOf([&] { host.invoke(member, Put, args); }), GetParam().error);
    const Variant stored = host.invoke(member, Get, {});
    EXPECT_EQ(std::tuple(stored.type(), stored), std::tuple(GetParam().stored.type(), GetParam().stored));
}
const PutCase kPuts[] = {
    {.label = "textToSingle", .put = Text(u"12"), .stored = Single{12}},
    {.label = "longToSingle", .put = Long{7}, .stored = Single{7}},
    {.label = "wordsAreNoNumber", .put = Text(u"doce"), .error = 13, .stored = Single{0}},
    {.label = "tooBigForASingle", .put = Double{1e300}, .error = 6, .stored = Single{0}},
    {.label = "numberToText", .initial = Text(u"x"), .put = Long{5}, .stored = Text(u"5")},
    {.label = "booleanKeepsBoolean", .initial = Boolean{false}, .put = Long{1}, .stored = Boolean{true}},
};
INSTANTIATE_TEST_SUITE_P(Types, HostPut, ::testing::ValuesIn(kPuts), labelled<PutCase>);

// --- The registry and the native operations ---------------------------------------------------

TEST(HostRegistry, HandlesAndNamesAreUnique)
{
    HostRegistry hosts;
    const auto first = hosts.add(Form, "frm", 0x1000);
    EXPECT_EQ(hosts.add(Control, "c")->handle(), 0x1001);  // the next free handle, past one given by hand
    EXPECT_EQ(hosts.add(Control, "neg", -5)->handle(), -5);
    EXPECT_EQ(errorOf([&] { hosts.add(Picture, "otro", 0x1000); }), 5);
    EXPECT_EQ(errorOf([&] { hosts.add(Picture, "frm"); }), 5);
    EXPECT_EQ(std::tuple(hosts.find(0x1000), hosts.byName("frm"), hosts.byName("otro")), std::tuple(first.get(), first, nullptr));
}

TEST(HostRegistry, ADestroyedWindowTakesItsChildrenAndAnswersNothing)
{
    HostRegistry hosts;
    const auto form = hosts.add(Form, "frm"), bar = hosts.add(StatusBar, "sb");
    hosts.setParent(bar->handle(), form->handle());
    hosts.destroy(form->handle());
    for (const auto& gone : {form, bar}) {
        EXPECT_EQ(std::tuple(gone->alive(), hosts.find(gone->handle()), hosts.byName(gone->name())), std::tuple(false, nullptr, gone));
        EXPECT_EQ(errorOf([&] { gone->invoke("hWnd", Get, {}); }), 91);
    }
}

struct ParentCase {
    const char* label;
    std::string child, parent;  ///< names; "" for handle 0, "?" for a handle that names nothing
    std::string parentAfter;
};
class SetParent : public ::testing::TestWithParam<ParentCase> {};
TEST_P(SetParent, ChangesTheParentOnlyBetweenLiveWindows)
{
    HostRegistry hosts;
    hosts.add(Form, "frm");
    hosts.add(Form, "uno", 1);  // the lowest handle a window can have
    const auto bar = hosts.add(ProgressBar, "pb");
    hosts.setParent(bar->handle(), hosts.byName("frm")->handle());
    const auto handle = [&](const std::string& name) {
        return name.empty() ? 0 : name == "?" ? 0x7777 : hosts.byName(name)->handle();
    };
    hosts.setParent(handle(GetParam().child), handle(GetParam().parent));
    EXPECT_EQ(bar->invoke("Parent", Get, {}), Variant(utf::fromUtf8(GetParam().parentAfter)));
    EXPECT_EQ(bar->parent(), handle(GetParam().parentAfter));
}
INSTANTIATE_TEST_SUITE_P(Windows, SetParent, ::testing::Values(
    ParentCase{"toTheDesktop", "pb", "", ""}, ParentCase{"toNoWindow", "pb", "?", "frm"},
    ParentCase{"toItself", "pb", "pb", "frm"}, ParentCase{"toTheWindowWithHandleOne", "pb", "uno", "uno"}),
    labelled<ParentCase>);

// --- The screen -----------------------------------------------------------------------------------

TEST(HeadlessScreen, RefusesADensityThatIsNoPositiveNumberOnEitherAxis)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();
    HeadlessWindowSystem windows;
    windows.setTwipsPerPixel(7.5, 12.5);
    for (const double bad : {0.0, -1.0, kNaN, kInf})
        for (const auto& [x, y] : {std::pair{bad, 15.0}, {15.0, bad}}) {
            EXPECT_EQ(errorOf([&] { windows.setTwipsPerPixel(x, y); }), 5) << x << " by " << y;
            EXPECT_EQ(std::pair(windows.twipsPerPixelX(), windows.twipsPerPixelY()), std::pair(7.5, 12.5));
        }
}

} // namespace
