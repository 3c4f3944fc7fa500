#pragma once
// Files and standard output as kor2 uses them: every file argument is read through one bounded
// reader, every file kor2 writes replaces its target whole or not at all, and every write is
// checked.

#include <cstddef>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kor2cli {

/// A failure of the system while reading or writing (disk full, permission, device error): the
/// run ends with exit status 3. Its text names the path and the reason.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Largest file argument kor2 reads.
inline constexpr std::size_t kMaxFileArgument = std::size_t{64} << 20;

/// The reason for an errno value, in Spanish.
std::string reason(int errnum);
/// A path as messages quote it: the user's own words, escaped and cut to a readable length.
std::string shownPath(const std::string& path);

/// The whole content of the file argument `path` (`what` names it in messages, e.g. "el archivo
/// de acciones"). A missing file, a folder or more than `limit` bytes (an endless device or pipe)
/// throw std::invalid_argument; a failing read throws IoError. Pipes and devices are read like
/// files.
std::string readFileArgument(const std::string& path, std::string_view what, std::size_t limit = kMaxFileArgument);

/// Writes `content` to `path`. A regular file (or a missing one) is replaced atomically: a private
/// (0600) temporary file in the same folder, synced, renamed over the target; a failure leaves
/// the target as it was. Anything else that exists (a device, a pipe) is written directly. The
/// path itself is never renamed, re-permissioned or converted when it is not a regular file; a
/// symbolic link to a file keeps pointing where it did. Throws IoError, or std::invalid_argument
/// for a folder.
void writeFileReplacing(const std::string& path, std::string_view content);

/// Standard input read straight from file descriptor 0 through a buffer of kor2's own, wiped
/// before each refill: a session's requests may carry passwords, and a stdio buffer would keep
/// the tail of earlier lines for as long as the process runs.
std::istream& standardInput();

/// Sends std::cout through a buffer of its own that writes to file descriptor 1 and keeps the
/// first write error: once one write fails, std::cout fails too, so that long output stops early.
void checkStandardOutput();
/// Flushes standard output (std::cout and stdio) and checks that everything written reached
/// it. On failure prints "kor2: no se puede escribir la salida: <reason>" to standard error and
/// returns 3; otherwise returns `status`.
int finishStandardOutput(int status);

} // namespace kor2cli
