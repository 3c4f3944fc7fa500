#pragma once
// Regional number text: how the library writes numbers for the user and reads numbers that the
// user or the host wrote with the regional decimal separator.

#include <Kor2_Sys/Value.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Kor2_Sys::numtext {

/// An integer as plain decimal digits, a minus sign before a negative one: no grouping and no
/// regional setting, as counts, indexes and stored numbers are written.
inline Text digits(std::int64_t value)
{
    const std::string text = std::to_string(value);
    return Text(text.begin(), text.end());
}

/// A double in regional form: rounded to 15 significant digits (halves away from zero), trailing
/// zeros dropped, no grouping; exponent form ("1.2E+15", "5.6789E-12") for rounded magnitudes of
/// 1E+15 or more, and below 1E-4 when the fixed form would need more than 15 decimals.
Text regional(Double value);
/// A single in regional form: the same rule with 7 significant digits and the threshold 1E+07.
Text regional(Single value);

/// Reads a whole text as a number the way a value conversion does: blanks around it, an optional
/// sign, digits with the regional decimal separator, an optional exponent (E or D), or an "&H" /
/// "&O" literal. Nothing else may follow. No value when the text is no number; error 6 when it
/// is one but does not fit a double.
std::optional<Double> parseRegional(std::u16string_view text);

/// Reads a number independently of the regional settings: blanks, tabs and line feeds are ignored
/// anywhere; then a sign, digits, a point and digits, an exponent (E or D); or "&H" / "&O"
/// literals typed as 16- or 32-bit integers. Stops at the first character that cannot continue;
/// 0 when there is no number. Error 6 when the number does not fit.
Double parsePointOnly(std::u16string_view text);

/// Position (1-based) of the first `unit` in `text`, as a 16-bit position: 0 when absent,
/// error 6 when it lies beyond 32,767.
Integer firstPosition(std::u16string_view text, char16_t unit);

/// A positive number as decimal digits: `digits` without leading zeros (at least one), the first
/// one standing at 10^`exponent`.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

/// |value| rounded to `significant` digits, halves away from zero, trailing zeros dropped.
Decimal significantDigits(Double value, std::size_t significant);

} // namespace Kor2_Sys::numtext
