#include <Kor2_Sys/CTiempo.h>

#include "Guards.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

using namespace Kor2_Sys;
using kor2test::errorOf;

namespace {

class Stopwatch : public ::testing::Test {
protected:
    std::shared_ptr<platform::VirtualClock> clock = std::make_shared<platform::VirtualClock>(1000);
    platform::ScopedClock installed{clock};
    CTiempo watch;
};

struct ReadingCase { std::uint32_t start; Long elapsed; Long tipo; char16_t separator; std::u16string_view text; };

class Readings : public Stopwatch, public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(Readings, WrittenInTheUnitWithTheRegionalSeparator)
{
    kor2test::ScopedDecimal decimal{GetParam().separator};
    clock->set(GetParam().start);
    watch.T_IniciaReloj();
    clock->advance(GetParam().elapsed);
    watch.T_ParaReloj();
    EXPECT_EQ(watch.T_TiempoTranscurrido(static_cast<Tiempo>(GetParam().tipo)), GetParam().text);
}

// 10050 ms is 167.5 thousandths of a minute: the half goes up. The last two run across the pass
// from -1 to 0 and while the tick reads negative.
INSTANTIATE_TEST_SUITE_P(Units, Readings, ::testing::Values(
    ReadingCase{1000, 1234, 0, u',', u"1234"}, ReadingCase{1000, 1234, 1, u',', u"1,234"}, ReadingCase{1000, 1234, 1, u'.', u"1.234"},
    ReadingCase{1000, 90000, 2, u',', u"1,500"}, ReadingCase{1000, 9999, 2, u',', u"0,000"}, ReadingCase{1000, 10000, 2, u',', u"0,167"},
    ReadingCase{1000, 10050, 2, u'.', u"0.168"}, ReadingCase{1000, 2147482647, 2, u'.', u"35791.377"},
    ReadingCase{1000, 1234, 3, u',', u""}, ReadingCase{0xFFFFFF00u, 0x200, 0, u',', u"512"},
    ReadingCase{0x80000010u, 100, 0, u',', u"100"}));

TEST_F(Stopwatch, ReadingWithoutStopStopsOnceAndKeepsTheStop)
{
    clock->set(5000);
    EXPECT_EQ(watch.T_TiempoTranscurrido(), u"5000") << "a new watch starts at tick 0";
    clock->advance(100);
    watch.T_IniciaReloj();
    clock->advance(700);
    EXPECT_EQ(watch.T_TiempoTranscurrido(), u"0") << "the kept stop lies before the new start";
    watch.T_ParaReloj();
    clock->advance(300);
    EXPECT_EQ(watch.T_TiempoTranscurrido(), u"700") << "a stopped watch stays stopped";
}

// Free calls go to one shared instance; the unit travels as the enumeration's number.
TEST_F(Stopwatch, FreeCallsShareOneWatchAndOverflowReachesTheCaller)
{
    kor2test::ScopedDecimal decimal{u','};
    const auto free = sharedObject("Kor2_Sys.CTiempo");
    free->invoke("T_IniciaReloj", InvokeKind::Method, {});
    clock->advance(1500);
    sharedObject("CTiempo")->invoke("T_ParaReloj", InvokeKind::Method, {});
    Variant seconds[] = {Long{1}};
    EXPECT_EQ(free->invoke("T_TiempoTranscurrido", InvokeKind::Method, seconds), Variant(u"1,500"));
    EXPECT_EQ(global<CTiempo>().T_TiempoTranscurrido(), u"1500");

    clock->set(0x7FFFFFF0u);  // a span across 2147483647
    free->invoke("T_IniciaReloj", InvokeKind::Method, {});
    clock->advance(0x20);
    free->invoke("T_ParaReloj", InvokeKind::Method, {});
    EXPECT_EQ(errorOf([&] { free->invoke("T_TiempoTranscurrido", InvokeKind::Method, {}); }), 6);
}

} // namespace
