#pragma once
// Fuzz inputs are read as UTF-16 units (two bytes each, little end first), so that lone
// surrogates and NUL units reach the parsers as a host could pass them.

#include <Kor2_Sys/Value.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace kor2fuzz {

inline Kor2_Sys::Text units(const std::uint8_t* data, std::size_t size)
{
    Kor2_Sys::Text text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return text;
}

/// Stops the run when a property that must always hold does not.
inline void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace kor2fuzz
