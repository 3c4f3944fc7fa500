#include "frame/Locale.h"

namespace Kor2_Sys::locale {
namespace {

char16_t& current()
{
    static char16_t separator = regionalSeparator();
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
