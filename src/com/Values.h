#pragma once
// Values between the component run-time's VARIANTs and the library's `Variant`.

#include <Kor2_Sys/Object.h>

#include <windows.h>
#include <oleauto.h>

namespace Kor2_Sys::com {

/// The library value a VARIANT holds (by-reference VARIANTs are read through). Objects of this
/// library come back as themselves, other objects as host objects reached by name. Error 13 for
/// what has no library value (dates, currency, records).
Variant fromVariant(const VARIANT& value);
/// Fills `out` (not yet initialised) with `value`; error 13 for an array whose items do not
/// convert to its element type.
void toVariant(const Variant& value, VARIANT& out);
/// Stores `value` through a by-reference VARIANT, converted to the type it points at. An array
/// takes the element type of the caller's array, a Variant array when the variable held none;
/// DISP_E_ARRAYISLOCKED for a fixed or locked array, DISP_E_TYPEMISMATCH for items that do not
/// convert (the caller's variable is then left as it was).
HRESULT writeThrough(const Variant& value, VARIANT& byRef);

/// A BSTR of the text; the caller frees it.
BSTR bstrOf(const Text& text);
Text textOf(const wchar_t* text, std::size_t length);

} // namespace Kor2_Sys::com
