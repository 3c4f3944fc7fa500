#pragma once
// Texts for the platform's wide-character calls, whose characters are UTF-16 units there.

#include <Kor2_Sys/Value.h>

#include "frame/Utf.h"

#include <string>
#include <string_view>

namespace Kor2_Sys {

/// The units of `text` as they are, lone surrogates and NULs included.
inline std::wstring wide(const Text& text)
{
    return std::wstring(text.begin(), text.end());
}

/// UTF-8 text (the platform's narrow names, the tables' ASCII names) as UTF-16 units.
inline std::wstring wide(std::string_view utf8)
{
    return wide(utf::fromUtf8(utf8));
}

} // namespace Kor2_Sys
