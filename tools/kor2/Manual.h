#pragma once
// kor2(1), written at build time from the command table and the library's class list.

#include <string>

namespace kor2cli {

class CommandLine;

/// The manual page in man(7) macros, UTF-8.
std::string manualPage(const CommandLine& line);

} // namespace kor2cli
