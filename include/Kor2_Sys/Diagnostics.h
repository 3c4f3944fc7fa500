#pragma once
/// \file Diagnostics.h
/// What a host can learn of failures that the library's silent error traps absorb. The traps are
/// part of each operation's contract (a failed settings write returns normally); the handler lets
/// a host or a script tell a lost write from a stored one without changing that contract.

#include <Kor2_Sys/Value.h>

#include <functional>
#include <string>

namespace Kor2_Sys {

/// One failure that a silent trap absorbed.
struct SwallowedError {
    Long number = 0;        ///< the error number, e.g. 70
    Text description;       ///< its Spanish description
    std::string operation;  ///< "Class.Member" of the operation whose trap absorbed it
};

/// Called, on the thread of the failing call, for every failure a silent trap absorbs.
using SwallowedErrorHandler = std::function<void(const SwallowedError&)>;

/// Installs `handler` (an empty one: none) and returns the one it replaces; safe from any thread.
/// There is one handler for the process: `kor2_on_swallowed_error` (Kor2_Sys.h) replaces it too.
/// A handler that throws is ignored: it never changes the outcome of the operation.
KOR2_SYS_EXPORT SwallowedErrorHandler onSwallowedError(SwallowedErrorHandler handler);

} // namespace Kor2_Sys
