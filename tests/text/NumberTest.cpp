#include <Kor2_Sys/CString.h>

#include "Guards.h"
#include "SwallowedLog.h"
#ifndef _WIN32
#include "SettingsGuards.h"  // the environment a POSIX machine reads its separator from
#endif
#include "frame/NumberFunctions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <tuple>

using namespace Kor2_Sys;

namespace {

// Every number case runs on a comma machine and on a point machine: the results must not differ.
class BothSeparators : public ::testing::TestWithParam<char16_t> {};

// `overflow`: the number read does not fit a double, which the reading absorbs as error 6.
struct ValCase { std::u16string_view text; double value; bool overflow = false; };

// The first comma is looked for up to position 32,767 (16-bit); past it, the reading overflows and
// the text reads as no number.
const Text kCommaAt32767 = u"1" + Text(32765, u' ') + u",5", kCommaAt32768 = u" " + kCommaAt32767;

const ValCase kValCases[] = {
    {kCommaAt32767, 1.5}, {kCommaAt32768, 0, true},
    {u"", 0}, {u"abc", 0}, {u" -2,5e2", -250}, {u"&H1F", 31}, {u"7 kg", 7}, {u"3,5", 3.5}, {u"3.5", 3.5},
    {u"1,234.5", 1.234}, {u"12 345,6", 12345.6}, {u"1\t2\n3", 123}, {u"&HFFFF", -1}, {u"&HFFFFFFFF", -1},
    {u"&H10000", 65536}, {u"&H", 0}, {u"&O", 0}, {u"&O17", 15}, {u"&O8", 0}, {u"&HG", 0}, {u"&h1f", 31},
    {u"&H100000000", 0, true}, {u"1D2", 100}, {u"1d-2", 0.01}, {u"1E", 1}, {u"1E+", 1}, {u"1e400", 0, true}, {u"1E400", 0, true}, {u"-1D999", 0, true}, {u"1e-400", 0}, {u"1E-400", 0},
    {u"-", 0}, {u"+", 0}, {u"+5", 5}, {u"--5", 0}, {u"-.5", -0.5}, {u".", 0}, {u"5.", 5}, {u"1.2.3", 1.2},
    {u"- 5", -5}, {u"90,09", 90.09}, {u"90.09e+09", 90090000000.0}, {std::u16string_view(u"4\0" u"2", 3), 4}, {u"\xD800" u"1", 0}, {u"1\xDC00", 1},
    {u"0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000001", 1},
};

TEST_P(BothSeparators, ValAndVlReadCommaOrPoint)
{
    kor2test::ScopedDecimal dec{GetParam()};
    CString s;
    for (const auto& c : kValCases) {
        const kor2test::SwallowedLog log;
        EXPECT_EQ(s.S_Val(Text(c.text)), c.value)
            << std::string(c.text.begin(), c.text.begin() + std::min<std::size_t>(c.text.size(), 40)) << " ("
            << c.text.size() << " units)";
        EXPECT_EQ(s.S_Vl(Text(c.text)), c.value);
        const auto overflows = c.overflow ? std::vector<std::string>{"6 CString.S_Val", "6 CString.S_Vl"} : std::vector<std::string>{};
        EXPECT_EQ(log.summary(), overflows) << c.text.size() << " units";
    }
}

TEST_P(BothSeparators, SeparatorSwapsChangeTheCallersText)
{
    kor2test::ScopedDecimal dec{GetParam()};
    CString s;
    using Swap = std::tuple<Text (CString::*)(Text&), std::u16string_view, std::u16string_view>;
    for (auto [swap, in, out] : {Swap{&CString::S_CxP, u"1,5,7", u"1.5,7"}, Swap{&CString::S_CxP, u"15", u"15"},
                                 Swap{&CString::S_CxP, u"", u""}, Swap{&CString::S_PxC, u"1.5", u"1,5"},
                                 Swap{&CString::S_PxC, u"a.b.c", u"a,b.c"}}) {
        Text value(in);
        EXPECT_EQ((s.*swap)(value), out);
        EXPECT_EQ(value, out);
    }
    EXPECT_EQ(s.S_CofReg_coma(), GetParam() == u',') << "the probe tells the regional separator";
    // Past position 32,767 (16-bit) the swap gives nothing and leaves the text as it was.
    const Text inReach = Text(32766, u'1') + u",5", pastReach = u"1" + inReach;
    Text value = inReach;
    EXPECT_EQ(s.S_CxP(value), Text(32766, u'1') + u".5");
    value = pastReach;
    EXPECT_EQ(std::pair(s.S_CxP(value), value), std::pair(Text(), pastReach));
}

struct RoundCase { double number; Integer decimals; double out; };

TEST_P(BothSeparators, RoundingSendsHalvesUp)
{
    kor2test::ScopedDecimal dec{GetParam()};
    CString s;
    for (const auto& c : {RoundCase{2.5, 0, 3}, RoundCase{-2.5, 0, -2}, RoundCase{-2.6, 0, -3}, RoundCase{3.14159, 2, 3.14},
                          RoundCase{1.25, 1, 1.3}, RoundCase{1234, -2, 1200}, RoundCase{1.005, 2, 1},
                          RoundCase{1, 400, 0}, RoundCase{1e300, 20, 0}, RoundCase{5, -400, 0},
                          // Rounded to tens or more, the result is the round number itself, not its neighbour.
                          RoundCase{803097950.43284416, -9, 1e9}, RoundCase{17060266138472.5, -11, 1.71e13},
                          RoundCase{8025079713514614, -1, 8025079713514610}})
        EXPECT_EQ(s.S_redondea(c.number, c.decimals), c.out) << std::setprecision(17) << c.number << " " << c.decimals;
}

TEST_P(BothSeparators, FixedDecimalsAlwaysUseThePoint)
{
    kor2test::ScopedDecimal dec{GetParam()};
    CString s;
    // With no decimals asked for, the number is written as the machine writes it.
    Text regional = u"1.5";
    std::replace(regional.begin(), regional.end(), u'.', GetParam());
    const std::tuple<Variant, Integer, Integer, Text> cases[] = {
        {Text(u"2,345"), 2, 0, u"2.35"}, {Long{7}, 3, 0, u"7.000"}, {1.5, 0, 0, regional}, {3.14159, 2, 5, u"    3.14"},
        {-12.5, 1, 4, u" -12.5"}, {1.0 / 3.0, 20, 0, u"0.333333333333333"}, {9.995, 2, 0, u"10.00"},
        // 20 decimals give 15, but the width step subtracts 21: 18 - 21 = -3, so 27 blanks lead.
        {Long{12}, 20, 24, Text(27, u' ') + u"12.000000000000000"}, {-0.001, 2, 0, u"-0.00"},
        {1e20, 2, 0, u"100000000000000000000.00"}, {Text(u" 12 "), 0, 6, u"    12"}, {Text(u"12345"), 0, 3, u"12345"},
        {Variant::null(), 2, 0, u""}, {Text(u"abc"), 2, 0, u"0.00"}, {true, 1, 0, u"0.0"}};
    for (const auto& [value, decimals, integers, out] : cases)
        EXPECT_EQ(s.S_FM(value, decimals, integers), out) << decimals << " " << integers;
}

#ifndef _WIN32
// The machine's separator is read from LC_NUMERIC: the C locale writes the point.
TEST(RegionalSeparator, OfTheCLocaleIsThePoint)
{
    kor2test::ScopedEnv all("LC_ALL", "C");
    EXPECT_EQ(locale::regionalSeparator(), u'.');
}
#endif

INSTANTIATE_TEST_SUITE_P(Machines, BothSeparators, ::testing::Values(u'.', u','));

} // namespace
