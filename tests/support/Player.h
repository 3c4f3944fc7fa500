#pragma once
// The window player: one interface through which a test shows the library's windows, plays the
// same window scripts on every window system the build has (the headless one; real Qt widgets or
// the platform's standard controls on Windows, acted on as a person would), and reads back what a person would have seen. A case table is
// written once and run on each backend with `everyBackend(rows)`.

#include <Kor2_Sys/Value.h>

#include "platform/WindowSystem.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "script/WindowScript.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <ostream>
#include <type_traits>
#include <utility>
#include <vector>

namespace kor2test {

enum class Backend : std::uint8_t { Headless, Qt, Win32 };

/// "Headless", "Qt", "Win32": the first word of every test name a table gives.
const char* backendName(Backend backend);
/// The backends this build can play on, the headless one first.
const std::vector<Backend>& backends();

using Kor2_Sys::platform::MessageRecord;
using Kor2_Sys::platform::ShownForm;

/// A window system that plays queued window scripts and records what a person saw.
class Player {
public:
    virtual ~Player() = default;
    virtual Backend backend() const = 0;
    /// The window system to install (the player itself, or the one it drives).
    virtual std::shared_ptr<Kor2_Sys::platform::WindowSystem> windowSystem() = 0;

    /// Appends scripts: each modal show and file dialog takes the next one, as the headless
    /// window system does; a script that does not fit its window fails the test.
    virtual void queue(std::vector<Kor2_Sys::script::WindowScript> scripts) = 0;
    virtual std::size_t pendingScripts() const = 0;

    virtual const std::vector<MessageRecord>& messages() const = 0;
    virtual int beeps() const = 0;
    /// How many times the library let pending events run (as a host's mouse handler waits on it).
    virtual int eventRuns() const = 0;
    virtual std::optional<Kor2_Sys::Text> clipboardText() const = 0;
    virtual const std::vector<Kor2_Sys::platform::FileDialogRequest>& fileRequests() const = 0;
    /// Forms shown so far, as they were when shown.
    virtual const std::vector<ShownForm>& shownForms() const = 0;
    /// The focus in the last modal window played: the control that had it when the window was
    /// shown, then each control it moved to as the actions played.
    virtual const std::vector<std::string>& focusTrail() const = 0;
    /// What a screen reader met in the last modal window played, as it was shown: each control that
    /// can take the focus by its name, and each swatch of a palette as "picture[cell]", with the name
    /// read for it (on Qt, from the accessible interfaces of the widgets).
    virtual const std::vector<std::pair<std::string, Kor2_Sys::Text>>& readerNames() const = 0;
    /// What a person hovering each control of the last modal window played saw pop up, as the last
    /// action that left the window shown left it: every shown control that has a tip, in the
    /// form's order (on Win32 from the window's tooltip control, on Qt from the tip a hover shows).
    virtual const std::vector<std::pair<std::string, Kor2_Sys::Text>>& toolTips() const = 0;
    /// Whether a palette's cells reach a screen reader each as a child of its own; where they do
    /// not (Win32), only the ringed cell is read, through the palette's own name.
    virtual bool cellsOfTheirOwn() const { return true; }
    /// Forgets messages, beeps and shown forms.
    virtual void clearRecords() = 0;
    /// The headless window system, for the rows that set up its screen; null on other backends.
    virtual Kor2_Sys::platform::HeadlessWindowSystem* headless() { return nullptr; }
};

std::unique_ptr<Player> makePlayer(Backend backend);

/// Starts a focus trail when the window was just shown; adds its focus when it moved since.
void follow(std::vector<std::string>& trail, const Kor2_Sys::platform::Form& form, bool shown);

/// The model's side of `Player::readerNames`, read from the form.
std::vector<std::pair<std::string, Kor2_Sys::Text>> readerNamesOf(const Kor2_Sys::platform::Form& form);

/// The model's side of `Player::toolTips`, read from the form.
std::vector<std::pair<std::string, Kor2_Sys::Text>> toolTipsOf(const Kor2_Sys::platform::Form& form);

/// What a screen reader met in the last window `player` played: a non-empty name for everything it
/// can focus, every control of `form` that takes the focus among them (cells of palettes too),
/// and the names in `expected` as given.
void expectReaderNames(const Player& player, const Kor2_Sys::platform::Form& form,
                       const std::vector<std::pair<std::string, Kor2_Sys::Text>>& expected);

/// A player installed as the window system for the guard's lifetime.
class ScopedPlayer {
public:
    explicit ScopedPlayer(Backend backend = Backend::Headless);
    ~ScopedPlayer();
    ScopedPlayer(const ScopedPlayer&) = delete;
    ScopedPlayer& operator=(const ScopedPlayer&) = delete;
    Player* operator->() const { return m_player.get(); }
    Player& operator*() const { return *m_player; }

private:
    std::unique_ptr<Player> m_player;
    std::shared_ptr<Kor2_Sys::platform::WindowSystem> m_previous;
};

/// Which backends a row runs on: a set of them, `Any` for all. A row that holds `Only only` runs only
/// there; every other row runs everywhere. Rows mark known differences this way, never by skipping.
enum class Only : std::uint8_t { Any = 0, Headless = 1, Qt = 2, Win32 = 4, Screens = Qt | Win32 };
constexpr Only operator|(Only a, Only b) { return static_cast<Only>(static_cast<int>(a) | static_cast<int>(b)); }

template <class Row> bool runsOn(const Row& row, Backend backend)
{
    if constexpr (requires { row.only; })
        return row.only == Only::Any || (static_cast<int>(row.only) & (1 << static_cast<int>(backend))) != 0;
    return true;
}

/// One row to run on one backend; a failure prints the backend and the row's label.
template <class Row> struct OnBackend {
    Backend backend;
    Row row;
    friend void PrintTo(const OnBackend& c, std::ostream* out) { *out << backendName(c.backend) << " " << c.row.label; }
};

/// Every row on every backend it runs on: the parameters of `OnEveryBackend<Row>`.
template <class Row, std::size_t N> auto everyBackend(const Row (&rows)[N])
{
    std::vector<OnBackend<Row>> all;
    for (Backend backend : backends())
        for (const Row& row : rows)
            if (runsOn(row, backend))
                all.push_back({backend, row});
    return ::testing::ValuesIn(all);
}

/// "Qt_enterOnFocusedButton": backend and the row's label, letters and digits only.
std::string testName(Backend backend, std::string_view label);

template <class Row> std::string rowName(const ::testing::TestParamInfo<OnBackend<Row>>& info)
{
    return testName(info.param.backend, info.param.row.label);
}

/// A fixture whose every test runs once per backend and row, with a player installed.
template <class Row> class OnEveryBackend : public ::testing::TestWithParam<OnBackend<Row>> {
protected:
    Backend backend() const { return this->GetParam().backend; }
    const Row& row() const { return this->GetParam().row; }
    ScopedPlayer ui{this->GetParam().backend};
};

/// A fixture for tests without rows that run once per backend.
class EveryBackend : public ::testing::TestWithParam<Backend> {
protected:
    Backend backend() const { return GetParam(); }
    ScopedPlayer ui{GetParam()};
};

inline std::string backendTestName(const ::testing::TestParamInfo<Backend>& info) { return backendName(info.param); }

} // namespace kor2test

/// Runs the tests of an `EveryBackend` fixture once per backend.
#define KOR2_ON_EVERY_BACKEND(fixture) \
    INSTANTIATE_TEST_SUITE_P(Backends, fixture, ::testing::ValuesIn(::kor2test::backends()), ::kor2test::backendTestName)

/// Runs the tests of an `OnEveryBackend<Row>` fixture over a table of rows (each with a `label`).
#define KOR2_TABLE(name, fixture, rows) \
    INSTANTIATE_TEST_SUITE_P(name, fixture, ::kor2test::everyBackend(rows), ::kor2test::rowName<std::remove_cvref_t<decltype(*(rows))>>)
