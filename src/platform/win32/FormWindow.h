#pragma once
// A form model rendered with the platform's standard controls: one top-level window, one child
// window per control (STATIC, BUTTON, EDIT, or the library's picture class), kept in step with the
// model, and every user action sent back through the model's own paths.

#include "platform/Form.h"
#include "platform/FormView.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace Kor2_Sys::platform::win32 {

/// Twips per pixel at a number of dots per inch.
constexpr double twipsPerPixelAt(UINT dpi)
{
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

/// A window made for a form window's own use, destroyed with the owning object.
struct WindowDestroyer {
    void operator()(HWND window) const noexcept { DestroyWindow(window); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

class FormWindow final : public FormObserver {
public:
    /// Makes the window and its controls (hidden) for `form`, owned by `owner` (may be null).
    FormWindow(Form& form, HWND owner);
    /// Overwrites the password boxes' text and destroys the window.
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    /// Shows the window with its owner disabled and runs the thread's messages until the model
    /// hides or unloads it.
    void runModal();
    /// Shows the window; it destroys itself once the model hides or unloads it.
    void showModeless();
    HWND handle() const noexcept { return m_window; }
    /// The form window of a top-level window of the library's class, or null.
    static FormWindow* of(HWND window);
    const Form& form() const noexcept { return m_form; }
    /// The child window of a control, or null.
    HWND controlWindow(const std::string& control) const;

    void formChanged() override;
    void controlChanged(const std::string& control) override;
    void visibilityChanged(bool visible) override;
    void focusChanged(const std::string& control) override;

private:
    /// How each control kind is made and kept in step: one entry per kind (FormWindow.cpp).
    struct Kinds;
    /// Posted to a modeless window the model let go of: it is destroyed once its own handler returned.
    static constexpr UINT kDestroyLater = WM_APP + 1;

    // The modal loop and the window procedures (FormWindowProc.cpp).

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleControl(HWND window, const std::string& name, UINT message, WPARAM wParam, LPARAM lParam);
    bool keyToModel(const std::string& name, WPARAM key);
    void typed(HWND edit, const std::string& name, wchar_t character);
    void command(HWND child, WORD code);
    /// The show command for the model's window state: `normal` or `minimised`, or maximised.
    int showCommand(int normal, int minimised) const;

    int px(double twips) const { return view::toPixels(twips, m_tppX); }
    int py(double twips) const { return view::toPixels(twips, m_tppY); }
    /// The control's place in the window's client pixels (frames hold their controls only on the
    /// model's side: every control is a child of the window itself).
    RECT placeOf(const Control& control) const;
    HWND realise(const Control& control);
    void sync(const Control& control);
    void syncWindow();
    void reportPlacement();
    /// Makes what screen readers read for a control: the label that names it right above it in
    /// the z-order, or a label of no size with its name when no label of the window shows it.
    void nameForReaders(HWND control, const Control& c);
    /// Gives the control the tip its model holds now: the window's tooltip control shows it while
    /// the mouse rests on the control.
    void syncTip(HWND control, const Control& c);
    void forgetPasswords();
    const std::string* nameOf(HWND child) const;
    void detach();

    Form& m_form;
    HWND m_owner;
    HWND m_window = nullptr;
    double m_tppX = 15, m_tppY = 15;
    HFONT m_font = nullptr, m_boldFont = nullptr, m_fixedFont = nullptr;
    bool m_captionsFit = true;
    int m_lineSpacing = 13;
    std::map<std::string, HWND> m_controls;
    std::map<HWND, std::string> m_names;
    std::map<std::string, HWND> m_readerLabels;  // by the control they name
    OwnedWindow m_tips;                          // the tooltip control, made with the first tip
    std::map<std::string, std::wstring> m_tipTexts;  // the tip each control has in it
    view::Echo m_echo;
    std::string m_icon;
    HICON m_iconHandle = nullptr;
    bool m_built = false;  // the controls first shown have their windows
    bool m_modal = false;
    bool m_detached = false;
    bool m_sizing = false;  // inside the user's move or size loop: the model hears once, at its end
};

} // namespace Kor2_Sys::platform::win32
