#pragma once
// The platform's own window system on Windows: forms rendered with the standard controls, the
// platform's message box, common file dialog and clipboard, and native operations on the host's
// windows by their handles.

#include "platform/WindowSystem.h"

#include <windows.h>

namespace Kor2_Sys::platform::win32 {

/// The filter of the common file dialog from a "description|pattern|..." text: pairs separated by
/// NUL characters, the list ended by two. A description without a pattern is dropped.
std::wstring commonDialogFilter(const Text& filter);

class Win32WindowSystem : public WindowSystem {
public:
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

    void statusBarPartRect(Long statusBar, Long part, PixelRect& rect) override;
    void setParent(Long child, Long parent) override;
    std::unique_ptr<MemoryDrawing> createMemoryDrawing(Long source) override;
    void clipboardSetBitmap(std::unique_ptr<Bitmap> bitmap) override;
    PixelPoint cursorPosition() const override;
    Long menuBar(Long window) override;
    Long subMenu(Long menu, Long position) override;
    void setMenuItemBitmaps(Long menu, Long item, Long flags, Long unchecked, Long checked) override;
    Long systemMenu(Long window) override;
    void appendMenuItem(Long menu, Long flags, Long command, const Text& text) override;

private:
    /// The window that owns what the library shows now: the thread's active window (the host's, or
    /// a window of the library shown before).
    static HWND owner();
};

} // namespace Kor2_Sys::platform::win32
