#pragma once
// What text the library did not write itself (names from stores, devices, files, users) may not
// carry raw to a terminal or a reader: one rule for every printer.

namespace Kor2_Sys::controls {

/// C0 and C1 controls, DEL, the bidirectional embedding, override and isolate controls (which
/// reorder what a reader sees), and lone surrogates. Printers show these escaped.
constexpr bool mustEscape(char32_t c) noexcept
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           (c >= 0xD800 && c <= 0xDFFF);
}

} // namespace Kor2_Sys::controls
