#pragma once
// kor2(1), written at build time from the command table, the window-script vocabulary and the
// library's class list.

#include <string>
#include <string_view>

namespace kor2cli {

class CommandLine;

/// The manual page in man(7) macros, UTF-8, dated `date` (YYYY-MM-DD: the sources' date, so that
/// a rebuild writes the same page).
std::string manualPage(const CommandLine& line, std::string_view date);

} // namespace kor2cli
