#pragma once
// The Qt Widgets window system: renders form models as dialogs, and serves message boxes, the
// beep, the clipboard, the pending-events pump, the file dialog and the native operations on the
// host's own widgets, which it knows by the handles their host objects give.

#include "platform/WindowSystem.h"

#include <functional>

class QWidget;

namespace Kor2_Sys::platform::qt {

class QtWindowSystem : public WindowSystem {
public:
    /// Who would see a modal window: a screen, or nobody (a platform that draws nowhere, with an
    /// application the library made itself, so no host drives the windows either).
    enum class Audience { Screen, Nobody };

    /// Needs a running QApplication (see `kor2_create_qt_window_system`). With `Audience::Nobody`
    /// every modal window, message box and file dialog is error 68 instead of a wait that no one
    /// could end.
    explicit QtWindowSystem(Audience audience = Audience::Screen);

    void showModal(Form& form) override;
    void showModeless(Form& form) override;
    MessageAnswer messageBox(const MessageBoxRequest& request) override;
    void beep() override;
    void doEvents() override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    Long screenWidth() const override;
    Long screenHeight() const override;
    std::vector<ScreenArea> screens() const override;
    void clipboardClear() override;
    void clipboardSetText(const Text& text) override;
    Text fileDialog(const FileDialogRequest& request) override;

    /// Part `part` is the `part`-th widget, left to right, that the QStatusBar's layout shows (the
    /// size grip and widgets merely parented to the bar, such as a progress bar placed there, are
    /// none), in the bar's own pixels.
    void statusBarPartRect(Long statusBar, Long part, PixelRect& rect) override;
    /// QWidget::setParent keeping the geometry numbers and the widget's own visibility; parent 0
    /// makes it a window. A dead handle, or a parent inside the child, changes nothing.
    void setParent(Long child, Long parent) override;
    /// Drawing contexts are those of live widgets; the copy is what the widget paints.
    std::unique_ptr<MemoryDrawing> createMemoryDrawing(Long source) override;
    /// Replaces everything on the clipboard with the bitmap.
    void clipboardSetBitmap(std::unique_ptr<Bitmap> bitmap) override;
    /// In device-independent pixels, the unit of the twips-per-pixel factors.
    PixelPoint cursorPosition() const override;

    /// Menus are QMenuBar and QMenu widgets known by their handles (see `registerMenuBar` and
    /// `systemMenu` in QtHostObject.h for which bar is a window's and what stands for its system
    /// menu); positions count a menu's actions in order, separators and hidden ones included.
    Long menuBar(Long window) override;
    Long subMenu(Long menu, Long position) override;
    /// The item's icon becomes the two pictures, for the off and on states. A handle that names no
    /// picture adds none: with neither the item loses its icon, with one Qt shows it in both states.
    void setMenuItemBitmaps(Long menu, Long item, Long flags, Long unchecked, Long checked) override;
    /// A top-level widget's stand-in system menu; 0 for any other widget.
    Long systemMenu(Long window) override;
    /// Choosing an appended text item emits the command through the notifier of the menu's window.
    void appendMenuItem(Long menu, Long flags, Long command, const Text& text) override;

    /// Called with each dialog right after it is shown (tests and measurements drive it from here).
    void setShownHook(std::function<void(QWidget*)> hook) { m_shownHook = std::move(hook); }

private:
    void requireAudience(std::u16string_view window) const;

    std::function<void(QWidget*)> m_shownHook;
    Audience m_audience;
};

} // namespace Kor2_Sys::platform::qt
