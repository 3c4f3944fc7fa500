#include "frame/Locale.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>

namespace Kor2_Sys::locale {
namespace {

// Reads LC_NUMERIC from the environment without touching the process's global C locale, which
// belongs to the host.
char16_t environmentSeparator()
{
    locale_t regional = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (regional == static_cast<locale_t>(nullptr))
        return u'.';
    const char* radix = nl_langinfo_l(RADIXCHAR, regional);
    const char16_t separator = (radix != nullptr && radix[0] == ',') ? u',' : u'.';
    freelocale(regional);
    return separator;
}

char16_t& current()
{
    static char16_t separator = environmentSeparator();
    return separator;
}

} // namespace

char16_t decimalSeparator() { return current(); }

char16_t setDecimalSeparator(char16_t separator)
{
    const char16_t previous = current();
    current() = separator;
    return previous;
}

} // namespace Kor2_Sys::locale
