#pragma once
// The dialog commands for scripts: the real windows, the answer on standard output, and the exit
// status saying accepted (0), cancelled (1) or failed (3).

#include <Kor2_Sys/Value.h>

#include <iosfwd>
#include <optional>
#include <string>

namespace kor2cli {

struct ColourCommand {
    Kor2_Sys::Long initial = 0;
    std::string title = "Elige Color:";
    std::optional<Kor2_Sys::Long> layer;
};

int runColour(const ColourCommand& command, std::ostream& out, std::ostream& err);

} // namespace kor2cli
