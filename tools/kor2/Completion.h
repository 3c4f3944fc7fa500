#pragma once
// kor2's bash completion, written at build time from the command table and the dispatch tables
// (class, member and enumeration names).

#include <string>

namespace kor2cli {

class CommandLine;

/// A bash script that defines the completion function and registers it for `kor2`.
std::string completionScript(const CommandLine& line);

} // namespace kor2cli
