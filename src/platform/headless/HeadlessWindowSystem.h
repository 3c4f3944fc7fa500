#pragma once
// A deterministic window system: every modal show and file dialog plays the next queued window
// script through the forms' own event paths, and everything a person would have seen is recorded.

#include "platform/WindowSystem.h"
#include "platform/headless/HostObjects.h"

#include <deque>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Kor2_Sys::platform {

/// One scripted user action (see the window scripts of `kor2 --actions`).
struct Action {
    enum class Kind : std::uint8_t { Click, DoubleClick, Type, Set, Key, MouseDown, Resize, Close, Answer, File, Cancel };
    Kind kind = Kind::Click;
    std::string control{};
    Text text{};             ///< Type, Set, File
    int key = 0;             ///< Key: character code (9 Tab, 13 Enter, 27 Escape, 8 Backspace)
    int shift = 0;           ///< Key: shift state, `keys::ShiftDown` for Shift+Tab
    double x = 0, y = 0;     ///< MouseDown: fractions of the scale width and height
    Long width = 0, height = 0;  ///< Resize
    bool fromUser = true;    ///< Close
    MessageAnswer answer = MessageAnswer::Ok;  ///< Answer

    /// Short description for error texts, e.g. `click BT_aceptar`.
    KOR2_SYS_EXPORT std::string describe() const;
};

/// How a window script spells each action: one row per `Action::Kind`, in its order, read both by
/// `Action::describe()` and by the script parser, so that a verb is written once.
struct ActionVerb {
    std::string_view verb;
    Action::Kind kind;
};
inline constexpr ActionVerb kActionVerbs[] = {
    {"click", Action::Kind::Click}, {"dblclick", Action::Kind::DoubleClick}, {"type", Action::Kind::Type},
    {"set", Action::Kind::Set},     {"key", Action::Kind::Key},              {"mousedown", Action::Kind::MouseDown},
    {"resize", Action::Kind::Resize}, {"close", Action::Kind::Close},        {"answer", Action::Kind::Answer},
    {"file", Action::Kind::File},   {"cancel", Action::Kind::Cancel},
};
static_assert(std::size(kActionVerbs) == static_cast<std::size_t>(Action::Kind::Cancel) + 1, "one verb per action");
static_assert([] {
    for (std::size_t i = 0; i < std::size(kActionVerbs); ++i)
        if (static_cast<std::size_t>(kActionVerbs[i].kind) != i)
            return false;
    return true;
}(), "verbs in the order of Action::Kind");

constexpr std::string_view verbOf(Action::Kind kind) { return kActionVerbs[static_cast<std::size_t>(kind)].verb; }

/// The action a script verb names; none for a verb that is no action.
constexpr std::optional<Action::Kind> actionOfVerb(std::string_view verb)
{
    for (const ActionVerb& row : kActionVerbs)
        if (row.verb == verb)
            return row.kind;
    return std::nullopt;
}

/// The actions played in one window: `window` is the form's name, "file" for the file dialog or
/// "msgbox" for message boxes raised while no window is playing.
struct WindowScript {
    std::string window;
    std::vector<Action> actions;
};

/// A window as it was when it was shown.
struct KOR2_SYS_EXPORT ShownForm {
    std::string name;
    Text caption;
    double left = 0, top = 0, width = 0, height = 0;
    std::vector<Control> controls;  ///< every control as it stood

    /// The caption or text of a control when the window was shown.
    const Text& text(std::string_view control) const;
};

/// A message box as it was shown.
struct MessageRecord {
    Text text;
    Text title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageAnswer answer = MessageAnswer::Ok;
};

class KOR2_SYS_EXPORT HeadlessWindowSystem final : public WindowSystem {
public:
    explicit HeadlessWindowSystem(std::vector<WindowScript> scripts = {});

    /// Appends scripts to the queue.
    void queue(std::vector<WindowScript> scripts);
    std::size_t pendingScripts() const noexcept { return m_scripts.size(); }

    const std::vector<MessageRecord>& messages() const noexcept { return m_messages; }
    int beeps() const noexcept { return m_beeps; }
    const std::optional<Text>& clipboardText() const noexcept { return m_clipboard; }
    /// File dialogs asked for so far, in order.
    const std::vector<FileDialogRequest>& fileRequests() const noexcept { return m_fileRequests; }
    /// Forms shown so far, in order, as they were when shown.
    const std::vector<ShownForm>& shownForms() const noexcept { return m_shown; }
    /// How often pending events were let run.
    int eventRuns() const noexcept { return m_eventRuns; }
    /// Forgets messages, beeps, event runs and shown forms (the clipboard stays, as on a desktop).
    void clearRecords();

    void showModal(Form& form) override;
    void showModeless(Form& form) override;
    MessageAnswer messageBox(const MessageBoxRequest& request) override;
    void beep() override { ++m_beeps; }
    void doEvents() override { ++m_eventRuns; }
    double twipsPerPixelX() const override { return m_twipsX; }
    double twipsPerPixelY() const override { return m_twipsY; }
    /// The screen's twips per pixel (15 by default, a 96 DPI screen); 0 or less is error 5.
    void setTwipsPerPixel(double x, double y);
    Long screenWidth() const override { return 1920 * 15; }
    Long screenHeight() const override { return 1080 * 15; }
    std::vector<ScreenArea> screens() const override
    {
        return m_screens.empty() ? WindowSystem::screens() : m_screens;
    }
    /// Replaces the desktop's screens (the primary one first), as when a monitor is unplugged.
    void setScreens(std::vector<ScreenArea> screens) { m_screens = std::move(screens); }
    void clipboardClear() override
    {
        m_clipboard.reset();
        m_clipboardBitmap.reset();
    }
    void clipboardSetText(const Text& text) override { m_clipboard = text; }
    /// Width and height of the bitmap on the clipboard, if one is there.
    const std::optional<PixelPoint>& clipboardBitmap() const noexcept { return m_clipboardBitmap; }
    Text fileDialog(const FileDialogRequest& request) override;

    /// The host objects whose handles the native operations below answer.
    HostRegistry& hosts() noexcept { return m_hosts; }
    const HostRegistry& hosts() const noexcept { return m_hosts; }
    void statusBarPartRect(Long statusBar, Long part, PixelRect& rect) override
    {
        m_hosts.statusBarPartRect(statusBar, part, rect);
    }
    void setParent(Long child, Long parent) override { m_hosts.setParent(child, parent); }
    /// Drawing contexts are those of the live forms and pictures (`hdc`, their handle).
    std::unique_ptr<MemoryDrawing> createMemoryDrawing(Long source) override;
    void clipboardSetBitmap(std::unique_ptr<Bitmap> bitmap) override;
    PixelPoint cursorPosition() const override { return m_cursor; }
    void setCursorPosition(PixelPoint at) noexcept { m_cursor = at; }
    Long menuBar(Long window) override { return m_hosts.menuBar(window); }
    Long subMenu(Long menu, Long position) override { return m_hosts.subMenu(menu, position); }
    void setMenuItemBitmaps(Long menu, Long item, Long flags, Long unchecked, Long checked) override
    {
        m_hosts.setMenuItemBitmaps(menu, item, flags, unchecked, checked);
    }
    Long systemMenu(Long window) override { return m_hosts.systemMenu(window); }
    void appendMenuItem(Long menu, Long flags, Long command, const Text& text) override
    {
        m_hosts.appendMenuItem(menu, flags, command, text);
    }

private:
    WindowScript takeScript(const std::string& window);
    void play(Form& form, const Action& action);

    std::deque<WindowScript> m_scripts;
    std::vector<MessageRecord> m_messages;
    std::vector<ShownForm> m_shown;
    std::vector<FileDialogRequest> m_fileRequests;
    void record(const Form& form);
    std::optional<Text> m_clipboard;
    std::optional<PixelPoint> m_clipboardBitmap;
    std::vector<ScreenArea> m_screens;
    HostRegistry m_hosts;
    double m_twipsX = 15, m_twipsY = 15;
    PixelPoint m_cursor{};
    // The same OK/Cancel box answered OK for want of a scripted answer, this many times in a row.
    static constexpr int kMaxUnansweredRepeats = 100;
    int m_unansweredRepeats = 0;
    int m_beeps = 0;
    int m_eventRuns = 0;
    // Answers that the playing window's script gave for its next message boxes.
    std::deque<MessageAnswer> m_pendingAnswers;
    bool m_playing = false;
};

} // namespace Kor2_Sys::platform
