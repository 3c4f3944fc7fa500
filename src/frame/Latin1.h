#pragma once
// Letter case as the library's text rules mean it: upper and lower case for ASCII and Latin-1
// letters; every other unit has no case.

namespace Kor2_Sys::latin1 {

inline bool isUpper(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

inline bool isLower(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
}

inline char16_t toLower(char16_t c) { return isUpper(c) ? static_cast<char16_t>(c + 32) : c; }
inline char16_t toUpper(char16_t c) { return isLower(c) ? static_cast<char16_t>(c - 32) : c; }

} // namespace Kor2_Sys::latin1
