#pragma once
// `kor2 session`: JSON requests in, one answer line per request out.

#include "Runtime.h"

#include <cstddef>
#include <iosfwd>

namespace kor2cli {

/// Longest request line `kor2 session` reads.
inline constexpr std::size_t kMaxRequestLine = std::size_t{64} << 20;

/// One JSON request per line on `in`, one answer line per request on `out`. Stops early when
/// `out` fails.
int runSession(Runtime& runtime, std::istream& in, std::ostream& out);

} // namespace kor2cli
