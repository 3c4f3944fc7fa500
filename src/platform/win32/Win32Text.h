#pragma once
// Texts between the library and the platform's wide-character calls: both are UTF-16 units.

#include <Kor2_Sys/Value.h>

#include <windows.h>

#include <string>

namespace Kor2_Sys::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the platform's wide characters are UTF-16 units");

inline std::wstring wide(const Text& text)
{
    return std::wstring(text.begin(), text.end());
}

inline Text fromWide(const std::wstring& text)
{
    return Text(text.begin(), text.end());
}

/// A window's text as it holds it now.
inline std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace Kor2_Sys::platform::win32
