#pragma once
// The shared number functions: reading a number typed with either separator (ValorTexto) and
// fixed-decimal formatting with a point (FormatoFijo). The colour window and the numeric prompts
// use them as CString does.

#include <Kor2_Sys/Value.h>

#include "frame/NumberText.h"

#include <string_view>

namespace Kor2_Sys::mfunc {

/// Number of a text with a comma or a point as decimal separator: the first comma becomes a point
/// and the text is read with the point-only parse. Silent: 0 on any failure, absorbed under
/// `operation`, the public member the caller serves.
Double ValorTexto(std::u16string_view text, std::string_view operation = "mfunc.ValorTexto");

/// Fixed-decimal text with a point: `Decimales` (capped at 15) decimals rounded half away from zero
/// after the value is written with 15 significant digits; with `Decimales` <= 0 the value's text
/// form unchanged; `Enteros` > 0 right-aligns the integer part. Silent: empty text on failure,
/// absorbed under `operation`.
Text FormatoFijo(const Variant& value, Integer Decimales, Integer Enteros,
                                 std::string_view operation = "mfunc.FormatoFijo");

} // namespace Kor2_Sys::mfunc
