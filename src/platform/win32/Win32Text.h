#pragma once
// Texts between the library and the platform's wide-character calls: both are UTF-16 units.
// A box of several lines breaks its lines at CR LF where the model keeps the LF Enter types.

#include <Kor2_Sys/Value.h>

#include "frame/Wipe.h"
#include "platform/Form.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace Kor2_Sys::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the platform's wide characters are UTF-16 units");

inline std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

inline Text fromWide(const std::wstring& text)
{
    return Text(text.begin(), text.end());
}

/// The platform's text as the library's, in place.
inline std::u16string_view utf16(const std::wstring& text)
{
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

/// What a text box shows of its control's text: a box of several lines has CR before each LF;
/// other boxes (passwords among them) show the model's text as it is.
inline std::wstring shownText(const Control& box)
{
    std::wstring text = wide(box.caption);
    if (!box.multiline)
        return text;
    std::wstring shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r'))
            shown += L'\r';
        shown += text[i];
    }
    return shown;
}

/// The model's text of what a text box shows (see `shownText`).
inline Text modelText(const Control& box, const std::wstring& shown)
{
    if (!box.multiline)
        return fromWide(shown);
    Text text;
    text.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] != L'\r' || i + 1 == shown.size() || shown[i + 1] != L'\n')
            text += static_cast<char16_t>(shown[i]);
    return text;
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
