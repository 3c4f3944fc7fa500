#pragma once
// The window system of a kor2 run: the real or the scripted one underneath, and a record of what
// a person would have seen, for the answer's "messages", "beeps" and "clipboard".

#include "platform/WindowSystem.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/headless/MessageRecorder.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kor2cli {

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
    const std::vector<Kor2_Sys::platform::MessageRecord>& messages() const noexcept { return m_seen.messages(); }
    int beeps() const noexcept { return m_seen.beeps(); }
    const std::optional<Kor2_Sys::Text>& clipboardText() const noexcept { return m_clipboard; }
    /// Width and height of the bitmap put on the clipboard, if one was.
    const std::optional<Kor2_Sys::platform::PixelPoint>& clipboardBitmap() const noexcept { return m_bitmap; }

    void showModal(Kor2_Sys::platform::Form& form) override { inner().showModal(form); }
    void showModeless(Kor2_Sys::platform::Form& form) override { inner().showModeless(form); }
    Kor2_Sys::platform::MessageAnswer messageBox(const Kor2_Sys::platform::MessageBoxRequest& request) override;
    void beep() override;
    void doEvents() override { inner().doEvents(); }
    double twipsPerPixelX() const override { return inner().twipsPerPixelX(); }
    double twipsPerPixelY() const override { return inner().twipsPerPixelY(); }
    Kor2_Sys::Long screenWidth() const override { return inner().screenWidth(); }
    Kor2_Sys::Long screenHeight() const override { return inner().screenHeight(); }
    /// Every screen of the desktop: a window remembered on a second monitor must stay there.
    std::vector<Kor2_Sys::platform::ScreenArea> screens() const override { return inner().screens(); }
    void clipboardClear() override;
    void clipboardSetText(const Kor2_Sys::Text& text) override;
    Kor2_Sys::Text fileDialog(const Kor2_Sys::platform::FileDialogRequest& request) override
    {
        return inner().fileDialog(request);
    }

    // The native operations reach the window system underneath, which alone knows the windows.
    void statusBarPartRect(Kor2_Sys::Long statusBar, Kor2_Sys::Long part, Kor2_Sys::platform::PixelRect& rect) override
    {
        inner().statusBarPartRect(statusBar, part, rect);
    }
    void setParent(Kor2_Sys::Long child, Kor2_Sys::Long parent) override { inner().setParent(child, parent); }
    std::unique_ptr<Kor2_Sys::platform::MemoryDrawing> createMemoryDrawing(Kor2_Sys::Long source) override
    {
        return inner().createMemoryDrawing(source);
    }
    void clipboardSetBitmap(std::unique_ptr<Kor2_Sys::platform::Bitmap> bitmap) override;
    Kor2_Sys::platform::PixelPoint cursorPosition() const override { return inner().cursorPosition(); }
    Kor2_Sys::Long menuBar(Kor2_Sys::Long window) override { return inner().menuBar(window); }
    Kor2_Sys::Long subMenu(Kor2_Sys::Long menu, Kor2_Sys::Long position) override
    {
        return inner().subMenu(menu, position);
    }
    void setMenuItemBitmaps(Kor2_Sys::Long menu, Kor2_Sys::Long item, Kor2_Sys::Long flags, Kor2_Sys::Long unchecked,
                            Kor2_Sys::Long checked) override
    {
        inner().setMenuItemBitmaps(menu, item, flags, unchecked, checked);
    }
    Kor2_Sys::Long systemMenu(Kor2_Sys::Long window) override { return inner().systemMenu(window); }
    void appendMenuItem(Kor2_Sys::Long menu, Kor2_Sys::Long flags, Kor2_Sys::Long command,
                        const Kor2_Sys::Text& text) override
    {
        inner().appendMenuItem(menu, flags, command, text);
    }

    /// The scripted window system underneath, when the run is headless.
    Kor2_Sys::platform::HeadlessWindowSystem* headless() const noexcept { return m_headless.get(); }

private:
    Kor2_Sys::platform::WindowSystem& inner() const;

    Factory m_factory;
    mutable std::shared_ptr<Kor2_Sys::platform::WindowSystem> m_inner;
    std::shared_ptr<Kor2_Sys::platform::HeadlessWindowSystem> m_headless;
    Kor2_Sys::platform::MessageRecorder m_seen;
    std::optional<Kor2_Sys::Text> m_clipboard;
    std::optional<Kor2_Sys::platform::PixelPoint> m_bitmap;
};

} // namespace kor2cli
