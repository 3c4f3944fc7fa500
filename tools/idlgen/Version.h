#pragma once
// The versions the platform's loader and installer read: dotted decimal numbers of limited width.

#include <charconv>
#include <initializer_list>
#include <string_view>

namespace Kor2_Sys::idlgen {

/// True when `version` is exactly as many dotted decimal numbers as `limits` names, each at most
/// its limit: a version the platform would misread is never written.
inline bool isDottedVersion(std::string_view version, std::initializer_list<unsigned> limits)
{
    std::size_t start = 0;
    for (const unsigned* limit = limits.begin(); limit != limits.end(); ++limit) {
        const std::size_t dot = limit + 1 == limits.end() ? version.size() : version.find('.', start);
        if (dot == std::string_view::npos)
            return false;
        const std::string_view part = version.substr(start, dot - start);
        unsigned value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc{} || end != part.data() + part.size() || value > *limit)
            return false;
        start = dot + 1;
    }
    return true;
}

} // namespace Kor2_Sys::idlgen
