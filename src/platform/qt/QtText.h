#pragma once
// Texts between the library and Qt: both are UTF-16 units, so a conversion copies and never
// changes a character.

#include <Kor2_Sys/Value.h>

#include <QString>

#include <string_view>

namespace Kor2_Sys::platform::qt {

inline QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline Text toText(const QString& text)
{
    return Text(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

} // namespace Kor2_Sys::platform::qt
