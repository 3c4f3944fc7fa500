#pragma once
// What one run of kor2 sets up (window system, decimal separator, settings file) and how a
// late-bound call and its answer line are made.

#include "JsonReader.h"

#include "frame/ClassInfo.h"
#include "platform/headless/HostObjects.h"

#include <Kor2_Sys/Diagnostics.h>
#include <Kor2_Sys/Object.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Kor2_Sys::platform {
class WindowSystem;
class HeadlessWindowSystem;
class Clock;
class VirtualClock;
}

namespace kor2cli {

class RecordingWindowSystem;

/// The decimal separators `--decimal` takes.
inline constexpr std::string_view kDecimalSeparators[] = {",", "."};

struct GlobalOptions {
    bool headless = false;
    std::string actionsFile;
    /// The --settings path; set, even when empty, once the option is given.
    std::optional<std::string> settings;
    std::string decimal;
    bool json = false;
};

/// The outcome of one late-bound call.
struct CallOutcome {
    Kor2_Sys::Variant result;
    std::vector<Kor2_Sys::Variant> args;
    std::optional<Kor2_Sys::Error> error;
    /// The member calls a host object received, for the answer's "log" (the `log` request only).
    std::optional<std::vector<Kor2_Sys::platform::HostCall>> log;
    /// A host window's menu bar or system menu, for the answer's "menu" (`get` of `Menu` or
    /// `SystemMenu` only).
    std::optional<std::vector<Kor2_Sys::platform::MenuEntry>> menu;
};

/// The run's environment; installs itself on construction and restores the process on destruction.
/// While it lives, failures that the library's silent traps absorb are collected for the next
/// answer's "warnings".
class Runtime {
public:
    /// Throws std::invalid_argument for unusable options (bad separator, unreadable actions file).
    explicit Runtime(const GlobalOptions& options);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    /// Calls `member` on `object`; a trailing "=" in the name makes it a property assignment.
    CallOutcome call(Kor2_Sys::Object& object, std::string member, std::vector<Kor2_Sys::Variant> args);
    /// The answer line: result, args, error, messages, beeps, clipboard, warnings. Clears the
    /// records.
    std::string answer(const CallOutcome& outcome);
    /// Queues window scripts (only in a headless run).
    void queueScripts(const JsonNode& scripts);
    /// The scripted window system, when the run is headless; null otherwise.
    Kor2_Sys::platform::HeadlessWindowSystem* headless() const noexcept;
    /// From now on the library reads a virtual tick, set to `tick`, that only pauses and further
    /// settings move; the real clock is back when the run ends.
    void setVirtualTick(std::uint32_t tick);

private:
    std::shared_ptr<RecordingWindowSystem> m_windows;
    std::vector<Kor2_Sys::SwallowedError> m_warnings;
    Kor2_Sys::SwallowedErrorHandler m_previousHandler;
    std::shared_ptr<Kor2_Sys::platform::WindowSystem> m_previous;
    std::optional<char16_t> m_previousDecimal;
    std::shared_ptr<Kor2_Sys::platform::VirtualClock> m_clock;
    std::shared_ptr<Kor2_Sys::platform::Clock> m_previousClock;
};

/// The object a `kor2 call` addresses: the shared instance of a global class, else a new one.
std::shared_ptr<Kor2_Sys::Object> callTarget(const Kor2_Sys::ClassInfo& info);

/// How a `kor2 call` argument names its type: a prefix before its value ("long:"), or a whole
/// word ("empty"). The parser, the help and the shell completion read this one list.
struct ArgumentKind {
    std::string_view word;  ///< "long:" or "empty"
    std::string_view value; ///< what follows the prefix in the help, e.g. "N"; empty for a whole word
};
inline constexpr ArgumentKind kArgumentKinds[] = {
    {"byte:", "N"},   {"int:", "N"},    {"long:", "N"},      {"single:", "X"}, {"double:", "X"},
    {"bool:", "true|false"}, {"text:", "TEXTO"}, {"empty", ""}, {"null", ""},
};

/// The argument kinds as the help lists them: "byte:N int:N ... empty null".
std::string argumentKindsHelp();

/// One `kor2 call` argument, of one of `kArgumentKinds`. Throws std::invalid_argument.
Kor2_Sys::Variant parseArgument(const std::string& text);

} // namespace kor2cli
