#pragma once
// Trimming as the library's text rules mean it: the blank (code 32) only, never tabs.

#include <string_view>

namespace Kor2_Sys::blanks {

/// `text` without the blanks at either end.
inline std::u16string_view trim(std::u16string_view text)
{
    while (!text.empty() && text.front() == u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    return text;
}

} // namespace Kor2_Sys::blanks
