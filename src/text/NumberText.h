#pragma once
// Regional number text: how the library writes numbers for the user and reads numbers that the
// user or the host wrote with the regional decimal separator.

#include <Kor2_Sys/Value.h>

#include <optional>

namespace Kor2_Sys::numtext {

/// A double in regional form: rounded to 15 significant digits (halves away from zero), trailing
/// zeros dropped, no grouping; exponent form ("1.2E+15", "5.6789E-12") for rounded magnitudes of
/// 1E+15 or more, and below 1E-4 when the fixed form would need more than 15 decimals.
KOR2_SYS_EXPORT Text regional(Double value);
/// A single in regional form: the same rule with 7 significant digits and the threshold 1E+07.
KOR2_SYS_EXPORT Text regional(Single value);

/// Reads a whole text as a number the way a value conversion does: blanks around it, an optional
/// sign, digits with the regional decimal separator, an optional exponent (E or D), or an "&H" /
/// "&O" literal. Nothing else may follow. No value when the text is no number; error 6 when it
/// is one but does not fit a double.
KOR2_SYS_EXPORT std::optional<Double> parseRegional(std::u16string_view text);

} // namespace Kor2_Sys::numtext
