#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/Value.h>

#include "Guards.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace Kor2_Sys;
using kor2test::ScopedDecimal;

namespace {

// A conversion either gives a value or fails with an error number.
struct Expect {
    std::optional<Variant> value;
    Long error = 0;
};
Expect gives(Variant v) { return {std::move(v), 0}; }
Expect fails(Long number) { return {std::nullopt, number}; }

void check(const std::function<Variant()>& convert, const Expect& expect)
{
    if (expect.value) {
        EXPECT_EQ(convert(), *expect.value);
        return;
    }
    try {
        convert();
        ADD_FAILURE() << "expected error " << expect.error;
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), expect.error);
    }
}

struct ConversionCase {
    const char* label;
    char16_t decimal;
    Variant input;
    ValueType to;
    Expect expect;
};

class Conversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, FollowsAutomationRules)
{
    const auto& c = GetParam();
    SCOPED_TRACE(c.label);
    ScopedDecimal dec{c.decimal};
    check([&] { return c.input.convertedTo(c.to); }, c.expect);
}

INSTANTIATE_TEST_SUITE_P(WholeNumbersRoundHalvesToEven, Conversion, ::testing::Values(
    ConversionCase{"2.5", u'.', 2.5, ValueType::Long, gives(Long{2})},
    ConversionCase{"3.5", u'.', 3.5, ValueType::Long, gives(Long{4})},
    ConversionCase{"-2.5", u'.', -2.5, ValueType::Long, gives(Long{-2})},
    ConversionCase{"-2.6", u'.', -2.6, ValueType::Integer, gives(Integer{-3})},
    ConversionCase{"single 0.5", u'.', Single{0.5f}, ValueType::Integer, gives(Integer{0})}));

INSTANTIATE_TEST_SUITE_P(RangeLimits, Conversion, ::testing::Values(
    ConversionCase{"max long", u'.', 2147483647.4, ValueType::Long, gives(Long{2147483647})},
    ConversionCase{"above long", u'.', 2147483647.5, ValueType::Long, fails(6)},
    ConversionCase{"min long tie", u'.', -2147483648.5, ValueType::Long, gives(Long{-2147483647 - 1})},
    ConversionCase{"below long", u'.', -2147483648.6, ValueType::Long, fails(6)},
    ConversionCase{"above integer", u'.', 32767.5, ValueType::Integer, fails(6)},
    ConversionCase{"long to integer", u'.', Long{40000}, ValueType::Integer, fails(6)},
    ConversionCase{"nan", u'.', std::nan(""), ValueType::Long, fails(6)},
    ConversionCase{"double to single", u'.', 1e300, ValueType::Single, fails(6)},
    ConversionCase{"max byte", u'.', Long{255}, ValueType::Byte, gives(Byte{255})},
    ConversionCase{"above byte", u'.', Long{256}, ValueType::Byte, fails(6)},
    ConversionCase{"byte is unsigned", u'.', Integer{-1}, ValueType::Byte, fails(6)},
    ConversionCase{"byte widens", u'.', Byte{200}, ValueType::Integer, gives(Integer{200})},
    ConversionCase{"byte as text", u'.', Byte{200}, ValueType::Text, gives(Text(u"200"))}));

INSTANTIATE_TEST_SUITE_P(TextReadsWithRegionalSeparator, Conversion, ::testing::Values(
    ConversionCase{"comma machine", u',', Text(u"3,5"), ValueType::Double, gives(3.5)},
    ConversionCase{"point on comma machine", u',', Text(u"3.5"), ValueType::Double, fails(13)},
    ConversionCase{"point machine", u'.', Text(u"3.5"), ValueType::Double, gives(3.5)},
    ConversionCase{"comma on point machine", u'.', Text(u"3,5"), ValueType::Double, fails(13)},
    ConversionCase{"blanks around", u'.', Text(u"  12\t"), ValueType::Long, gives(Long{12})},
    ConversionCase{"exponent D", u'.', Text(u"1D3"), ValueType::Long, gives(Long{1000})},
    ConversionCase{"hex 16-bit is negative", u'.', Text(u"&HFFFF"), ValueType::Long, gives(Long{-1})},
    ConversionCase{"hex 17-bit", u'.', Text(u"&H10000"), ValueType::Long, gives(Long{65536})},
    ConversionCase{"octal", u'.', Text(u"&O17"), ValueType::Integer, gives(Integer{15})},
    ConversionCase{"hex without digits", u'.', Text(u"&H"), ValueType::Long, fails(13)},
    ConversionCase{"hex too long", u'.', Text(u"&H100000000"), ValueType::Long, fails(6)},
    ConversionCase{"huge exponent", u'.', Text(u"1e999"), ValueType::Double, fails(6)},
    ConversionCase{"tiny exponent", u'.', Text(u"1e-999"), ValueType::Double, gives(0.0)},
    ConversionCase{"lone sign", u'.', Text(u"-"), ValueType::Double, fails(13)},
    ConversionCase{"trailing word", u'.', Text(u"7 kg"), ValueType::Double, fails(13)},
    ConversionCase{"empty text", u'.', Text(u""), ValueType::Double, fails(13)},
    ConversionCase{"spanish true", u'.', Text(u"verdadero"), ValueType::Boolean, gives(true)},
    ConversionCase{"digits 0 and 9 on both sides and in the exponent", u',', Text(u"90,09E+09"), ValueType::Double,
                   gives(90090000000.0)},
    // Out of range by its digits and exponent together: the magnitude counts both.
    ConversionCase{"700 zeros then e-300 is 1e400", u'.', Text(u"1" + Text(700, u'0') + u"e-300"), ValueType::Double, fails(6)},
    ConversionCase{"700 zeros after the point then e300 is 1e-401", u'.', Text(u"0." + Text(700, u'0') + u"1e300"),
                   ValueType::Double, gives(0.0)}));

INSTANTIATE_TEST_SUITE_P(SpecialValues, Conversion, ::testing::Values(
    ConversionCase{"empty is zero", u'.', Variant{}, ValueType::Long, gives(Long{0})},
    ConversionCase{"empty is empty text", u'.', Variant{}, ValueType::Text, gives(Text{})},
    ConversionCase{"null has no number", u'.', Variant::null(), ValueType::Long, fails(94)},
    ConversionCase{"null has no text", u'.', Variant::null(), ValueType::Text, fails(94)},
    ConversionCase{"true is -1", u'.', true, ValueType::Long, gives(Long{-1})},
    ConversionCase{"true as text", u'.', true, ValueType::Text, gives(Text(u"Verdadero"))},
    ConversionCase{"array is no number", u'.', Variant(Array{}), ValueType::Long, fails(13)}));

struct TextCase {
    Variant number;
    std::u16string_view point;  // written with the point; the comma machine must differ only there
};

class RegionalText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RegionalText, FifteenSignificantDigitsUnderBothSeparators)
{
    for (char16_t separator : {u'.', u','}) {
        ScopedDecimal dec{separator};
        Text expected(GetParam().point);
        for (auto& c : expected)
            if (c == u'.')
                c = separator;
        EXPECT_EQ(GetParam().number.toText(), expected) << "separator " << char(separator);
    }
}

INSTANTIATE_TEST_SUITE_P(Doubles, RegionalText, ::testing::Values(
    TextCase{999999999999999.0, u"999999999999999"},
    TextCase{1.2e15, u"1.2E+15"},
    TextCase{999999999999999.9, u"1E+15"},
    TextCase{5.6789e-11, u"0.000000000056789"},
    TextCase{5.6789e-12, u"5.6789E-12"},
    TextCase{12.345678901234567, u"12.3456789012346"},
    TextCase{125.0 / 7.0, u"17.8571428571429"},
    TextCase{std::ldexp(1.0, -22), u"2.38418579101563E-07"},
    TextCase{-0.0, u"0"},
    TextCase{-1.5, u"-1.5"},
    TextCase{0.0001, u"0.0001"},
    TextCase{100.0, u"100"},
    TextCase{std::nextafter(2.0, 0.0), u"2"},           // rounding carries into the first digit
    TextCase{std::nextafter(1.0, 0.0), u"1"},           // and past it, one more digit before the point
    TextCase{std::nextafter(1e-4, 0.0), u"0.0001"},
    TextCase{HUGE_VAL, u"Inf"}, TextCase{-HUGE_VAL, u"-Inf"}));

INSTANTIATE_TEST_SUITE_P(Singles, RegionalText, ::testing::Values(
    TextCase{Single{1e8f}, u"1E+08"},
    TextCase{Single{0.1f}, u"0.1"},
    TextCase{Single{1234567.0f}, u"1234567"},
    TextCase{Integer{-7}, u"-7"}));

} // namespace
