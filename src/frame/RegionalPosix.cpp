#include "frame/Locale.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>

namespace Kor2_Sys::locale {

// Reads LC_NUMERIC from the environment without touching the process's global C locale, which
// belongs to the host.
char16_t regionalSeparator()
{
    locale_t regional = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (regional == static_cast<locale_t>(nullptr))
        return u'.';
    const char* radix = nl_langinfo_l(RADIXCHAR, regional);
    const char16_t separator = (radix != nullptr && radix[0] == ',') ? u',' : u'.';
    freelocale(regional);
    return separator;
}

} // namespace Kor2_Sys::locale
