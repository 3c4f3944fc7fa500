#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/Object.h>

#include "CountingAllocator.h"
#include "Guards.h"
#include "classes/Classes.h"
#include "frame/Dispatch.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Kor2_Sys;

namespace {

// A class built the way the library builds its own, to see the late-bound conventions at work
// on members that assign to their arguments.
struct Tally {
    Long total = 0;
    void Bump(Long& by) { total += by; by = total; }
    // Sums its arguments and leaves each one doubled: more arguments than a call keeps at hand.
    Long Spread(std::span<Variant> values)
    {
        Long sum = 0;
        for (Variant& v : values) {
            sum += v.toLong();
            v = Long{2 * v.toLong()};
        }
        return sum;
    }
    Text Shout(Text& word) { word += u"!"; return word; }
};

} // namespace

template <> Tally& Kor2_Sys::global<Tally>()
{
    static Tally instance;
    return instance;
}

namespace {

using dispatch::CallArgs;
using dispatch::on;
constexpr ParamInfo kBy[] = {{"by", ValueType::Long}};
constexpr ParamInfo kWordByValue[] = {{"word", ValueType::Text, false}};
constexpr ParamInfo kScale[] = {{"factor", ValueType::Integer}, {"offset", ValueType::Double, true, true, 2.5}};
constexpr ParamInfo kSix[] = {{"a", ValueType::Long}, {"b", ValueType::Long}, {"c", ValueType::Long},
                              {"d", ValueType::Long}, {"e", ValueType::Long}, {"f", ValueType::Long, true, true, 6}};
constexpr ParamInfo kFour[] = {{"a", ValueType::Long}, {"b", ValueType::Long}, {"c", ValueType::Long}, {"d", ValueType::Long}};

constexpr auto kTallyMembers = dispatch::makeTable(std::array{
    dispatch::field("total", ValueType::Long, on<Tally>([](Tally& t, CallArgs& a) { return a.field(t.total); })),
    dispatch::sub("Bump", kBy, on<Tally>([](Tally& t, CallArgs& a) { t.Bump(a.longValue(0)); })),
    dispatch::sub("Private1", {}),
    dispatch::function("Shout", ValueType::Text, kWordByValue,
                       on<Tally>([](Tally& t, CallArgs& a) { return t.Shout(a.text(0)); })),
    dispatch::function("Scale", ValueType::Double, kScale,
                       on<Tally>([](Tally&, CallArgs& a) { return a.integer(0) * a.doubleValue(1); })),
    dispatch::function("Spread", ValueType::Long, kSix,
                       on<Tally>([](Tally& t, CallArgs& a) { return t.Spread(a.all()); })),
    dispatch::function("Four", ValueType::Long, kFour, on<Tally>([](Tally& t, CallArgs& a) { return t.Spread(a.all()); })),
});
extern const ClassInfo kTally;
constexpr ClassInfo kTally{"Tally", Creation::Global, kTallyMembers, &dispatch::create<Tally, kTally>,
                           &dispatch::shared<Tally, kTally>};

using kor2test::errorOf;

// A call on a tally whose total starts at 3: what it answers, what the caller's arguments hold
// afterwards, and the total then.
struct CallCase {
    const char* label;
    const char* member;
    std::vector<Variant> args, after;
    Variant result;
    Long total;
};
TEST(LateCall, WritesBackOnlyByReferenceArgumentsOfTheirOwnType)
{
    const CallCase cases[] = {
        {"byReferenceSeesTheChange", "bump", {Long{5}}, {Long{8}}, {}, 8},
        {"anotherTypeGoesInAsATemporary", "Bump", {Text(u"4")}, {Text(u"4")}, {}, 7},
        {"emptyOutputVariableReceivesTheValue", "Bump", {Variant{}}, {Long{3}}, {}, 3},
        {"byValueIsNeverWritten", "Shout", {Text(u"hola")}, {Text(u"hola")}, Text(u"hola!"), 3},
        {"omittedOptionalTakesItsDefault", "Scale", {Integer{2}}, {Integer{2}}, 5.0, 3},
        {"longListsAreConvertedAndWrittenBack", "SPREAD", {Long{1}, Text(u"2"), Long{3}, Long{4}, Long{5}},
         {Long{2}, Text(u"2"), Long{6}, Long{8}, Long{10}}, Long{21}, 3}};  // the omitted sixth is 6
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto tally = kTally.create();
        Variant start = Long{3};
        tally->invoke("total", InvokeKind::Put, std::span<Variant>(&start, 1));
        std::vector<Variant> args = c.args;
        EXPECT_EQ(tally->invoke(c.member, InvokeKind::Method, args), c.result);
        EXPECT_EQ(args, c.after);
        EXPECT_EQ(getProperty(*tally, "TOTAL"), Variant(c.total));
    }
}

// A call of as many arguments as the stack keeps at hand takes nothing from the heap.
TEST(LateBinding, AUsualCallTakesNothingFromTheHeap)
{
    auto tally = kTally.create();
    std::vector<Variant> four{Long{1}, Long{2}, Long{3}, Long{4}};
    tally->invoke("Four", InvokeKind::Method, four);
    const long before = kor2test::allocationsSoFar();
    EXPECT_EQ(tally->invoke("Four", InvokeKind::Method, four), Variant(Long{20}));
    EXPECT_EQ(kor2test::allocationsSoFar() - before, 0);
}

TEST(LateBinding, SharedInstanceKeepsItsFieldsBetweenFreeCalls)
{
    std::vector<Variant> args{Long{2}};
    kTally.shared()->invoke("Bump", InvokeKind::Method, args);
    kTally.shared()->invoke("Bump", InvokeKind::Method, args);
    EXPECT_EQ(global<Tally>().total, 4);
    EXPECT_EQ(kTally.create()->invoke("total", InvokeKind::Get, {}), Variant(Long{0}));
}

// Identifiers follow declaration order, and name and identifier find the same member.
TEST(Identifiers, FollowDeclarationOrder)
{
    struct IdCase { const char* cls; const char* member; InvokeKind kind; DispId id; };
    for (const auto& c : {IdCase{"Kor2_Sys.CColores", "Col_NuCad_de_NuVB", InvokeKind::Method, 0x60030008},
                          IdCase{"cfrm_Color", "titulo", InvokeKind::Put, 0x40030000},
                          IdCase{"c_VL", "CurrentDrive", InvokeKind::Put, 0x68030004},
                          IdCase{"cRegistro", "R_LEE_TAMAÑO_Y_POS_OBJ_EN_WIN", InvokeKind::Method, 0x60030002}}) {
        const ClassInfo* info = findClass(c.cls);
        ASSERT_NE(info, nullptr) << c.cls;
        const MemberInfo* byName = info->find(c.member, c.kind);
        ASSERT_NE(byName, nullptr) << c.member;
        EXPECT_EQ(byName->id, c.id) << c.member;
        EXPECT_EQ(info->find(c.id, c.kind), byName) << c.member;
    }
}

TEST(ClassRegistry, EveryClassIsCreatableAndOnlyGlobalsShareAnInstance)
{
    ASSERT_EQ(libraryClasses().size(), 16u);
    for (const ClassInfo* info : libraryClasses()) {
        SCOPED_TRACE(info->progId());
        EXPECT_NE(createObject(info->progId()), nullptr);
        EXPECT_EQ(classOf(*createObject(info->progId())), info);
        if (info->creation == Creation::Global)
            EXPECT_EQ(sharedObject(info->progId()), sharedObject(info->name));
        else
            EXPECT_EQ(errorOf([&] { sharedObject(info->progId()); }), 429);
    }
    EXPECT_EQ(errorOf([] { createObject("Kor2_Sys.NoExiste"); }), 429);
    // A hidden member and an unknown identifier are no member at all.
    std::vector<Variant> none;
    EXPECT_EQ(errorOf([&] { kTally.create()->invoke("Private1", InvokeKind::Method, none); }), 438);
    EXPECT_EQ(errorOf([&] { kTally.create()->invoke(0x60030099, InvokeKind::Method, none); }), 438);
    std::vector<Variant> args{Text(u"abc"), Text(u"x"), Text(u"contrae")};  // the text transform declines
    EXPECT_EQ(errorOf([&] { sharedObject("cCambiaTxt")->invoke("cCambiaTexto", InvokeKind::Method, args); }), 445);
}

} // namespace
