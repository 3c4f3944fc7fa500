#pragma once
// Trimming and letter case as the library's text rules mean them: the blank (code 32) only, never
// tabs; upper and lower case for ASCII and Latin-1 letters.

#include <string_view>

namespace Kor2_Sys::text {

inline std::u16string_view trimBlanks(std::u16string_view text)
{
    while (!text.empty() && text.front() == u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    return text;
}

inline bool isLatinUpper(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

inline bool isLatinLower(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
}

inline char16_t toLowerLatin(char16_t c) { return isLatinUpper(c) ? static_cast<char16_t>(c + 32) : c; }
inline char16_t toUpperLatin(char16_t c) { return isLatinLower(c) ? static_cast<char16_t>(c - 32) : c; }

} // namespace Kor2_Sys::text
