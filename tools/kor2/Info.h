#pragma once
// `kor2 info host|volume|disk|identify`: the machine, a drive letter's volume, a disk's identity and
// a saved identity block, as text lines or (--json) one JSON object.

#include <iosfwd>
#include <string>
#include <vector>

namespace kor2cli {

struct InfoCommand {
    std::string what;                ///< host, volume, disk or identify
    std::vector<std::string> words;  ///< LETTER, N or FILE
    bool json = false;
};

/// Exit 0 answered, 1 when the drive has no volume. Usage errors throw std::invalid_argument;
/// library errors (10000, 10003, ...) throw Kor2_Sys::Error.
int runInfo(const InfoCommand& command, std::ostream& out, std::ostream& err);

} // namespace kor2cli
