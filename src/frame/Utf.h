#pragma once
// Conversions between the library's UTF-16 text and UTF-8 at the edges (names, C callers, JSON).

#include <string>
#include <string_view>

namespace Kor2_Sys::utf {

/// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD (use the JSON writer to keep it).
std::string toUtf8(std::u16string_view text);
/// UTF-8 to UTF-16; malformed bytes become U+FFFD.
std::u16string fromUtf8(std::string_view text);
/// Compares two UTF-8 names ignoring the case of ASCII and Latin-1 letters ("Tamaño" = "TAMAÑO").
bool equalNames(std::string_view a, std::string_view b) noexcept;

} // namespace Kor2_Sys::utf
