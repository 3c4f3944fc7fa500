#pragma once
// A deterministic window system: every modal show and file dialog plays the next queued window
// script through the forms' own event paths, and everything a person would have seen is recorded.

#include "platform/WindowSystem.h"
#include "platform/headless/HostObjects.h"
#include "platform/headless/MessageRecorder.h"
#include "script/ScriptQueue.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Kor2_Sys::platform {

/// A window as it was when it was shown.
struct ShownForm {
    std::string name;
    Text caption;
    double left = 0, top = 0, width = 0, height = 0;
    std::vector<Control> controls;  ///< every control as it stood

    /// The caption or text of a control when the window was shown.
    const Text& text(std::string_view control) const;
    /// The window as a person sees it now: a password box shows one password character per
    /// character, and each control's accessible name is the one a screen reader reads.
    static ShownForm of(const Form& form);
};

class HeadlessWindowSystem final : public WindowSystem {
public:
    explicit HeadlessWindowSystem(std::vector<script::WindowScript> scripts = {});

    /// Appends scripts to the queue.
    void queue(std::vector<script::WindowScript> scripts);
    std::size_t pendingScripts() const noexcept { return m_scripts.pending(); }

    const std::vector<MessageRecord>& messages() const noexcept { return m_seen.messages(); }
    int beeps() const noexcept { return m_seen.beeps(); }
    const std::optional<Text>& clipboardText() const noexcept { return m_clipboard; }
    /// File dialogs asked for so far, in order.
    const std::vector<FileDialogRequest>& fileRequests() const noexcept { return m_fileRequests; }
    /// Forms shown so far, in order, as they were when shown.
    const std::vector<ShownForm>& shownForms() const noexcept { return m_shown; }
    /// Called once a modal window is shown (`shown` true) and after each action played in it
    /// (tests follow the window's focus from here).
    void setPlayedHook(std::function<void(const Form& form, bool shown)> hook) { m_playedHook = std::move(hook); }
    /// How often pending events were let run.
    int eventRuns() const noexcept { return m_eventRuns; }
    /// Forgets messages, beeps, event runs and shown forms (the clipboard stays, as on a desktop).
    void clearRecords();

    void showModal(Form& form) override;
    void showModeless(Form& form) override;
    MessageAnswer messageBox(const MessageBoxRequest& request) override;
    void beep() override { m_seen.beeped(); }
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
    void play(Form& form, const script::Action& action);

    script::ScriptQueue m_scripts;
    MessageRecorder m_seen;
    std::vector<ShownForm> m_shown;
    std::vector<FileDialogRequest> m_fileRequests;
    void record(const Form& form);
    std::optional<Text> m_clipboard;
    std::optional<PixelPoint> m_clipboardBitmap;
    std::vector<ScreenArea> m_screens;
    std::function<void(const Form&, bool)> m_playedHook;
    HostRegistry m_hosts;
    double m_twipsX = 15, m_twipsY = 15;
    PixelPoint m_cursor{};
    int m_eventRuns = 0;
};

} // namespace Kor2_Sys::platform
