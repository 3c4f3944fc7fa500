#pragma once
// What one run of kor2 sets up (window system, decimal separator, settings file) and how a
// late-bound call and its answer line are made.

#include "JsonReader.h"

#include <Kor2_Sys/Diagnostics.h>
#include <Kor2_Sys/Object.h>

#include "platform/headless/HeadlessWindowSystem.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kor2cli {

struct GlobalOptions {
    bool headless = false;
    std::string actionsFile;
    std::string settings;
    std::string decimal;
    bool json = false;
};

/// Forwards to the real window system (created on first need) and remembers what a person would
/// have seen, for the answer's "messages", "beeps" and "clipboard".
class RecordingWindowSystem final : public Kor2_Sys::platform::WindowSystem {
public:
    using Factory = std::function<std::shared_ptr<Kor2_Sys::platform::WindowSystem>()>;
    /// Records over the platform's own window system, loaded on first need.
    explicit RecordingWindowSystem(Factory factory) : m_factory(std::move(factory)) {}
    /// Records over a scripted window system.
    explicit RecordingWindowSystem(std::shared_ptr<Kor2_Sys::platform::HeadlessWindowSystem> headless)
        : m_inner(headless), m_headless(std::move(headless)) {}

    void clearRecords();
    const std::vector<Kor2_Sys::platform::MessageRecord>& messages() const noexcept { return m_messages; }
    int beeps() const noexcept { return m_beeps; }
    const std::optional<Kor2_Sys::Text>& clipboardText() const noexcept { return m_clipboard; }

    void showModal(Kor2_Sys::platform::Form& form) override { inner().showModal(form); }
    void showModeless(Kor2_Sys::platform::Form& form) override { inner().showModeless(form); }
    Kor2_Sys::platform::MessageAnswer messageBox(const Kor2_Sys::platform::MessageBoxRequest& request) override;
    void beep() override;
    void doEvents() override { inner().doEvents(); }
    double twipsPerPixelX() const override { return inner().twipsPerPixelX(); }
    double twipsPerPixelY() const override { return inner().twipsPerPixelY(); }
    Kor2_Sys::Long screenWidth() const override { return inner().screenWidth(); }
    Kor2_Sys::Long screenHeight() const override { return inner().screenHeight(); }
    void clipboardClear() override;
    void clipboardSetText(const Kor2_Sys::Text& text) override;
    Kor2_Sys::Text fileDialog(const Kor2_Sys::platform::FileDialogRequest& request) override
    {
        return inner().fileDialog(request);
    }

    /// The scripted window system underneath, when the run is headless.
    Kor2_Sys::platform::HeadlessWindowSystem* headless() const noexcept { return m_headless.get(); }

private:
    Kor2_Sys::platform::WindowSystem& inner() const;

    Factory m_factory;
    mutable std::shared_ptr<Kor2_Sys::platform::WindowSystem> m_inner;
    std::shared_ptr<Kor2_Sys::platform::HeadlessWindowSystem> m_headless;
    std::vector<Kor2_Sys::platform::MessageRecord> m_messages;
    int m_beeps = 0;
    std::optional<Kor2_Sys::Text> m_clipboard;
};

/// The outcome of one late-bound call.
struct CallOutcome {
    Kor2_Sys::Variant result;
    std::vector<Kor2_Sys::Variant> args;
    std::optional<Kor2_Sys::Error> error;
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

private:
    std::shared_ptr<RecordingWindowSystem> m_windows;
    std::vector<Kor2_Sys::SwallowedError> m_warnings;
    Kor2_Sys::SwallowedErrorHandler m_previousHandler;
    std::shared_ptr<Kor2_Sys::platform::WindowSystem> m_previous;
    std::optional<char16_t> m_previousDecimal;
};

/// The object a `kor2 call` addresses: the shared instance of a global class, else a new one.
std::shared_ptr<Kor2_Sys::Object> callTarget(const Kor2_Sys::ClassInfo& info);

/// One `kor2 call` argument: int:N, long:N, single:X, double:X, bool:true|false, text:S, empty,
/// null. Throws std::invalid_argument.
Kor2_Sys::Variant parseArgument(const std::string& text);

/// Longest request line `kor2 session` reads.
inline constexpr std::size_t kMaxRequestLine = std::size_t{64} << 20;

/// `kor2 session`: one JSON request per line on `in`, one answer line per request on `out`. Stops
/// early when `out` fails.
int runSession(Runtime& runtime, std::istream& in, std::ostream& out);

/// `kor2 describe`: the interface listing of a class.
std::string describe(const Kor2_Sys::ClassInfo& info, bool json);

} // namespace kor2cli
