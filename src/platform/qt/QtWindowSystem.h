#pragma once
// The Qt Widgets window system: renders form models as dialogs, and serves message boxes, the
// beep, the clipboard, the pending-events pump and the file dialog.

#include "platform/WindowSystem.h"

#include <Kor2_Sys/qt/Kor2_SysQtExport.h>

#include <functional>

class QWidget;

namespace Kor2_Sys::platform::qt {

class KOR2_SYS_QT_EXPORT QtWindowSystem final : public WindowSystem {
public:
    /// Needs a running QApplication (see `kor2_create_qt_window_system`).
    QtWindowSystem();

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

    /// Called with each dialog right after it is shown (tests and measurements drive it from here).
    void setShownHook(std::function<void(QWidget*)> hook) { m_shownHook = std::move(hook); }

private:
    std::function<void(QWidget*)> m_shownHook;
};

} // namespace Kor2_Sys::platform::qt
