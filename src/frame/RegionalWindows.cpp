#include "frame/Locale.h"

#include <windows.h>

namespace Kor2_Sys::locale {

// The user's regional settings, as the platform's own number conversions read them.
char16_t regionalSeparator()
{
    wchar_t decimal[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8) > 0 && decimal[0] == L',')
        return u',';
    return u'.';
}

} // namespace Kor2_Sys::locale
