#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/Value.h>

#include "Guards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace Kor2_Sys;
using kor2test::ScopedDecimal;

namespace {

// A conversion on a machine with the given decimal separator: the value it gives, or (no value)
// the error number it fails with.
struct ConversionCase {
    const char* label;
    char16_t decimal;
    Variant input;
    ValueType to;
    std::optional<Variant> value;
    Long error = 0;
};
constexpr auto L = ValueType::Long, I = ValueType::Integer, D = ValueType::Double, T = ValueType::Text;
const std::nullopt_t fails = std::nullopt;

const ConversionCase kConversions[] = {
    // Whole numbers round halves to even.
    {"2.5", '.', 2.5, L, Long{2}}, {"3.5", '.', 3.5, L, Long{4}}, {"-2.5", '.', -2.5, L, Long{-2}},
    {"-2.6", '.', -2.6, I, Integer{-3}}, {"single 0.5", '.', Single{0.5f}, I, Integer{0}},
    // Range limits.
    {"max long", '.', 2147483647.4, L, Long{2147483647}}, {"above long", '.', 2147483647.5, L, fails, 6},
    {"min long tie", '.', -2147483648.5, L, Long{-2147483647 - 1}}, {"below long", '.', -2147483648.6, L, fails, 6},
    {"above integer", '.', 32767.5, I, fails, 6}, {"long to integer", '.', Long{40000}, I, fails, 6},
    {"nan", '.', std::nan(""), L, fails, 6}, {"double to single", '.', 1e300, ValueType::Single, fails, 6},
    {"max byte", '.', Long{255}, ValueType::Byte, Byte{255}}, {"above byte", '.', Long{256}, ValueType::Byte, fails, 6},
    {"byte is unsigned", '.', Integer{-1}, ValueType::Byte, fails, 6},
    {"byte widens", '.', Byte{200}, I, Integer{200}}, {"byte as text", '.', Byte{200}, T, Text(u"200")},
    // Text reads with the regional separator.
    {"comma machine", ',', Text(u"3,5"), D, 3.5}, {"point on comma machine", ',', Text(u"3.5"), D, fails, 13},
    {"point machine", '.', Text(u"3.5"), D, 3.5}, {"comma on point machine", '.', Text(u"3,5"), D, fails, 13},
    {"blanks around", '.', Text(u"  12\t"), L, Long{12}}, {"exponent D", '.', Text(u"1D3"), L, Long{1000}},
    {"hex 16-bit is negative", '.', Text(u"&HFFFF"), L, Long{-1}}, {"hex 17-bit", '.', Text(u"&H10000"), L, Long{65536}},
    {"octal", '.', Text(u"&O17"), I, Integer{15}}, {"hex without digits", '.', Text(u"&H"), L, fails, 13},
    {"hex too long", '.', Text(u"&H100000000"), L, fails, 6}, {"huge exponent", '.', Text(u"1e999"), D, fails, 6},
    {"tiny exponent", '.', Text(u"1e-999"), D, 0.0}, {"lone sign", '.', Text(u"-"), D, fails, 13},
    {"huge exponent with its plus", '.', Text(u"1E+999"), D, fails, 6},
    {"huge exponent of many digits", '.', Text(u"1e0000000000999"), D, fails, 6},
    {"tiny exponent of many digits", '.', Text(u"1e-0000000000999"), D, 0.0},
    {"negative exponent after the comma", ',', Text(u"1,5E-3"), D, 0.0015},
    {"trailing word", '.', Text(u"7 kg"), D, fails, 13}, {"empty text", '.', Text(u""), D, fails, 13},
    {"trailing word after the decimals", ',', Text(u"1,5 kg"), D, fails, 13},
    {"spanish true", '.', Text(u"verdadero"), ValueType::Boolean, true},
    {"a word between blanks and tabs", '.', Text(u" \tFalse\t "), ValueType::Boolean, false},
    {"digits 0 and 9 on both sides and in the exponent", ',', Text(u"90,09E+09"), D, 90090000000.0},
    // Out of range by its digits and exponent together: the magnitude counts both.
    {"700 zeros then e-300 is 1e400", '.', Text(u"1" + Text(700, u'0') + u"e-300"), D, fails, 6},
    {"700 zeros after the point then e300 is 1e-401", '.', Text(u"0." + Text(700, u'0') + u"1e300"), D, 0.0},
    // Special values.
    {"empty is zero", '.', Variant{}, L, Long{0}}, {"empty is empty text", '.', Variant{}, T, Text{}},
    {"null has no number", '.', Variant::null(), L, fails, 94}, {"null has no text", '.', Variant::null(), T, fails, 94},
    {"true is -1", '.', true, L, Long{-1}}, {"true as text", '.', true, T, Text(u"Verdadero")},
    {"array is no number", '.', Variant(Array{}), L, fails, 13},
};

TEST(Conversion, FollowsTheLibrarysRules)
{
    for (const auto& c : kConversions) {
        SCOPED_TRACE(c.label);
        ScopedDecimal dec{c.decimal};
        if (c.value)
            EXPECT_EQ(c.input.convertedTo(c.to), *c.value);
        else
            EXPECT_EQ(kor2test::errorOf([&] { c.input.convertedTo(c.to); }), c.error);
    }
}

// Numbers as text, written with the point; the comma machine must differ only there.
TEST(RegionalText, FifteenSignificantDigitsUnderBothSeparators)
{
    const std::pair<Variant, std::u16string_view> cases[] = {
        {999999999999999.0, u"999999999999999"}, {1.2e15, u"1.2E+15"}, {999999999999999.9, u"1E+15"},
        {5.6789e-11, u"0.000000000056789"}, {5.6789e-12, u"5.6789E-12"}, {12.345678901234567, u"12.3456789012346"},
        {125.0 / 7.0, u"17.8571428571429"}, {std::ldexp(1.0, -22), u"2.38418579101563E-07"}, {-0.0, u"0"},
        {-1.5, u"-1.5"}, {0.0001, u"0.0001"}, {100.0, u"100"}, {HUGE_VAL, u"Inf"}, {-HUGE_VAL, u"-Inf"},
        // Rounding carries into the first digit, and past it, one more digit before the point.
        {std::nextafter(2.0, 0.0), u"2"}, {std::nextafter(1.0, 0.0), u"1"}, {std::nextafter(1e-4, 0.0), u"0.0001"},
        {Single{1e8f}, u"1E+08"}, {Single{0.1f}, u"0.1"}, {Single{1234567.0f}, u"1234567"}, {Integer{-7}, u"-7"}};
    for (char16_t separator : {u'.', u','}) {
        ScopedDecimal dec{separator};
        for (const auto& [number, point] : cases) {
            Text expected(point);
            std::replace(expected.begin(), expected.end(), u'.', separator);
            EXPECT_EQ(number.toText(), expected) << "separator " << char(separator);
        }
    }
}

} // namespace
