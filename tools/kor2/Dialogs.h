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

struct InputCommand {
    std::string title, text, info;
};
/// Prints the accepted text; exit 1 when cancelled or closed without a button.
int runInput(const InputCommand& command, std::ostream& out, std::ostream& err);

struct NumberCommand {
    std::string title;
    double value = 0;
    Kor2_Sys::Integer decimals = 0;
};
/// Prints the number read back (with a point); exit 1 when cancelled, so that a typed -0.0007 is
/// not taken for a cancel.
int runNumber(const NumberCommand& command, std::ostream& out, std::ostream& err);

struct MessageCommand {
    std::string title, text, file;
};
struct FileCommand {
    bool save = false;
    std::string title, filter, dir;
};
/// Prints the chosen path; exit 1 when cancelled.
int runFile(const FileCommand& command, std::ostream& out, std::ostream& err);

/// Asks for a user name and a password; prints them on two lines in UTF-8 (with `json`, as
/// `{"user": ..., "password": ...}`, which keeps every UTF-16 unit); exit 1 printing nothing on
/// cancel or the close box. kor2 wipes every copy of the password it makes.
int runLogin(bool json, std::ostream& out, std::ostream& err);

/// Shows the text of --text or of the file argument --file (read through readFileArgument, which
/// throws for a file it cannot use).
int runMessage(const MessageCommand& command, std::ostream& out, std::ostream& err);

} // namespace kor2cli
