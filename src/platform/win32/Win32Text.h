#pragma once
// Texts between the library and the platform's wide-character calls: both are UTF-16 units.

#include <Kor2_Sys/Value.h>

#include "frame/Wipe.h"

#include <windows.h>

#include <string>
#include <utility>

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

/// A copy of a box's text that is overwritten when it goes: the box may be a password box.
class WipedWide {
public:
    explicit WipedWide(std::wstring text) : m_text(std::move(text)) {}
    ~WipedWide() { wipe::text(m_text); }
    WipedWide(const WipedWide&) = delete;
    WipedWide& operator=(const WipedWide&) = delete;
    const std::wstring& get() const noexcept { return m_text; }
    const wchar_t* c_str() const noexcept { return m_text.c_str(); }

private:
    std::wstring m_text;
};

} // namespace Kor2_Sys::platform::win32
