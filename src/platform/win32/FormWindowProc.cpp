#include "platform/win32/FormWindow.h"

#include "platform/win32/Failures.h"
#include "platform/win32/PaletteAccessible.h"
#include "platform/win32/Win32Paint.h"
#include "platform/win32/Win32Text.h"

#include <commctrl.h>

#include <exception>
#include <optional>

// The form window's modal loop and window procedures: what the platform tells the window and its
// controls, sent to the model through its user actions.
namespace Kor2_Sys::platform::win32 {
namespace {

// The model's access key for a system character (a character typed with Alt held).
std::optional<view::ModelKey> accessKeyTyped(WPARAM character, LPARAM flags)
{
    return view::accessKey(static_cast<char32_t>(character), (HIWORD(flags) & KF_ALTDOWN) != 0, GetKeyState(VK_CONTROL) < 0);
}

} // namespace

void FormWindow::runModal()
{
    m_modal = true;
    HWND owner = m_owner && IsWindowEnabled(m_owner) ? m_owner : nullptr;
    {
        const view::Echo::Applying applying(m_echo);
        ShowWindow(m_window, showCommand(SW_SHOW, SW_SHOWMINIMIZED));
        SetForegroundWindow(m_window);
    }
    if (owner)
        EnableWindow(owner, FALSE);
    std::exception_ptr failure;
    try {
        m_form.markShown();
        if (!m_form.focus().empty())
            focusChanged(m_form.focus());
        MSG message;
        while (m_form.visible() && !m_detached) {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0)
                    PostQuitMessage(static_cast<int>(message.wParam));  // the host's loop ends too
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (Win32Failures::pending())
                break;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // The owner comes back before this window goes, so that the activation returns to it.
    if (owner)
        EnableWindow(owner, TRUE);
    {
        const view::Echo::Applying applying(m_echo);
        ShowWindow(m_window, SW_HIDE);
    }
    if (!m_detached)
        m_form.hide();
    if (failure)
        std::rethrow_exception(failure);
    Win32Failures::rethrow();
}

void FormWindow::showModeless()
{
    {
        const view::Echo::Applying applying(m_echo);
        ShowWindow(m_window, showCommand(SW_SHOW, SW_SHOWMINNOACTIVE));
    }
    m_form.markShown();
}

// Moves and resizes that the model did not ask for are the user's: they reach the model as the
// outer position and size, once per change.
void FormWindow::reportPlacement()
{
    if (m_detached || m_echo.applying() || !m_form.visible() || IsIconic(m_window) || IsZoomed(m_window))
        return;
    RECT outer{}, inner{};
    GetWindowRect(m_window, &outer);
    GetClientRect(m_window, &inner);
    if (outer.left != px(m_form.left()) || outer.top != py(m_form.top()))
        m_form.userMoved(outer.left * m_tppX, outer.top * m_tppY);
    if (m_form.resizable() && (inner.right != px(m_form.innerWidth()) || inner.bottom != py(m_form.innerHeight())))
        m_form.userResized((outer.right - outer.left) * m_tppX, (outer.bottom - outer.top) * m_tppY);
}

bool FormWindow::keyToModel(const std::string& name, WPARAM key)
{
    view::NativeKey native = view::NativeKey::Other;
    switch (key) {
    case VK_TAB: native = view::NativeKey::Tab; break;
    case VK_RETURN: native = view::NativeKey::Enter; break;
    case VK_ESCAPE: native = view::NativeKey::Escape; break;
    case VK_SPACE: native = view::NativeKey::Space; break;
    case VK_LEFT: native = view::NativeKey::Left; break;
    case VK_RIGHT: native = view::NativeKey::Right; break;
    case VK_UP: native = view::NativeKey::Up; break;
    case VK_DOWN: native = view::NativeKey::Down; break;
    case VK_HOME: native = view::NativeKey::Home; break;
    case VK_END: native = view::NativeKey::End; break;
    default: return false;
    }
    const bool controlOrAlt = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    const auto model = view::modelKey(m_form, m_form.control(name), native, GetKeyState(VK_SHIFT) < 0, controlOrAlt);
    if (!model)
        return false;
    m_form.userKey(name, model->key, model->shift);
    return true;
}

// A character typed into a single-line box goes through the model (key press, which may change
// or swallow it, then the edit and its change event) and the box makes the same edit.
void FormWindow::typed(HWND edit, const std::string& name, wchar_t character)
{
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto before = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    m_form.userSelected(name, static_cast<Long>(start), static_cast<Long>(end - start));
    const int notices = m_echo.userEdit(name, [&] { m_form.userKey(name, character); });
    if (notices == 0 || m_detached)
        return;  // the key was swallowed, or the window went
    const Control& box = m_form.control(name);
    bool same = false;
    if (notices == 1) {
        const view::Echo::Applying applying(m_echo);
        const view::TypedMirror mirror = view::mirrorTyped(box, before, end - start);
        if (mirror.kind == view::TypedMirror::Kind::Insert) {
            const wchar_t text[2] = {static_cast<wchar_t>(mirror.character), 0};
            SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
        } else {
            if (start == end && start > 0)
                SendMessageW(edit, EM_SETSEL, start - 1, start);
            SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
        DWORD caret = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
        const WipedWide shown(windowText(edit));
        same = view::mirrored(box, utf16(shown.get()), caret);
    }
    if (!same)
        sync(box);
}

void FormWindow::command(HWND child, WORD code)
{
    const std::string* found = nameOf(child);
    if (found == nullptr || m_detached)
        return;
    const std::string name = *found;
    switch (code) {
    case BN_CLICKED:  // also STN_CLICKED
        if (m_form.control(name).kind != ControlKind::Frame)
            m_form.userClick(name);
        break;
    case STN_DBLCLK: m_form.userDoubleClick(name); break;
    case EN_CHANGE:
        if (m_echo.applying())
            break;
        if (m_echo.userEdit(name, [&] {
                const Control& box = m_form.control(name);
                m_form.userEdited(name, modelText(box, WipedWide(windowText(child)).get()));
            }) > 1 &&
            !m_detached)
            sync(m_form.control(name));
        break;
    default: break;
    }
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kDestroyLater) {
        delete self;  // a modeless window the model let go of
        return 0;
    }
    if (self == nullptr || self->m_detached)
        return message == WM_CLOSE ? 0 : DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the platform's dispatch: a failure waits for the caller's side.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        Win32Failures::keep(std::current_exception(), self->m_modal, self->m_form.name());
        return 0;
    }
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // The close box asks the window; it may refuse.
        if (m_form.visible())
            m_form.requestClose(true);
        return 0;
    case WM_COMMAND:
        if (lParam != 0)
            command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_SETFOCUS:
        // The window itself takes no keys. Activated (late, by the window manager, or again after
        // another window), it gets the focus from the system: the control the model has it on
        // takes it over, as a dialog's does, so the keyboard goes on where it was.
        if (HWND control = controlWindow(m_form.focus()); control && !m_detached && IsWindowVisible(control) && IsWindowEnabled(control)) {
            SetFocus(control);
            return 0;
        }
        break;
    case WM_SYSCHAR:
        // With no control focused, the window itself has the keys.
        if (const auto key = accessKeyTyped(wParam, lParam)) {
            m_form.userAccessKey(key->key);
            return 0;
        }
        break;
    case WM_ENTERSIZEMOVE: m_sizing = true; break;
    case WM_EXITSIZEMOVE:
        m_sizing = false;
        reportPlacement();
        break;
    case WM_WINDOWPOSCHANGED:
        if (!m_sizing)
            reportPlacement();
        break;
    case WM_DPICHANGED: {
        m_tppX = m_tppY = twipsPerPixelAt(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        {
            const view::Echo::Applying applying(m_echo);
            SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        for (const Control& c : m_form.controls())
            sync(c);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const std::string* name = nameOf(item->hwndItem);
        if (name == nullptr)
            break;
        drawButton(*item, m_form.control(*name));
        return TRUE;
    }
    default: break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data)
{
    auto* self = reinterpret_cast<FormWindow*>(data);
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, &FormWindow::controlProc, 1);
    const std::string* name = self->m_detached ? nullptr : self->nameOf(window);
    if (name == nullptr)
        return DefSubclassProc(window, message, wParam, lParam);
    try {
        return self->handleControl(window, *name, message, wParam, lParam);
    } catch (...) {
        Win32Failures::keep(std::current_exception(), self->m_modal, self->m_form.name());
        return 0;
    }
}

LRESULT FormWindow::handleControl(HWND window, const std::string& nameRef, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::string name = nameRef;  // handlers may add controls
    const Control& c = m_form.control(name);
    const bool picture = c.kind == ControlKind::Picture || c.kind == ControlKind::FilledRect;
    switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DefSubclassProc(window, message, wParam, lParam);
    case WM_KEYDOWN:
        if (keyToModel(name, wParam))
            return 0;
        break;
    case WM_CHAR:
        // The keys the model answered on their way down leave no character behind.
        if (view::answeredOnItsWayDown(m_form, c, static_cast<char32_t>(wParam)))
            return 0;
        if (c.kind == ControlKind::TextBox && !c.multiline && view::typedByModel(static_cast<char32_t>(wParam), false)) {
            typed(window, name, static_cast<wchar_t>(wParam));
            return 0;
        }
        break;
    case WM_SYSCHAR:
        // The system's own answer would look for a menu the window does not have.
        if (const auto key = accessKeyTyped(wParam, lParam)) {
            m_form.userKey(name, key->key, key->shift);
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_SPACE && c.kind == ControlKind::Button)
            return 0;  // pressed on the way down, by the model
        break;
    case WM_SETFOCUS:
        if (picture)
            InvalidateRect(window, nullptr, FALSE);  // the focus ring
        if (!m_echo.applying() && m_form.visible() && m_form.focus() != name && m_form.takesFocus(name))
            m_form.setFocus(name);
        break;
    case WM_KILLFOCUS:
        if (picture)
            InvalidateRect(window, nullptr, FALSE);
        if (c.kind == ControlKind::TextBox) {
            DWORD start = 0, end = 0;
            SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            m_form.userSelected(name, static_cast<Long>(start), static_cast<Long>(end - start));
        }
        break;
    case WM_ERASEBKGND:
        if (picture)
            return 1;
        break;
    case WM_PAINT:
        if (picture) {
            paintPicture(window, c);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (picture) {
            RECT r{};
            GetClientRect(window, &r);
            const auto [x, y] = view::pictureUnits(c, r.right, r.bottom, static_cast<short>(LOWORD(lParam)),
                                                   static_cast<short>(HIWORD(lParam)));
            const view::MouseButton button = message == WM_RBUTTONDOWN   ? view::MouseButton::Right
                                             : message == WM_MBUTTONDOWN ? view::MouseButton::Middle
                                                                         : view::MouseButton::Left;
            m_form.userMouseDown(name, view::buttonCode(button),
                                 view::shiftCode(wParam & MK_SHIFT, wParam & MK_CONTROL, GetKeyState(VK_MENU) < 0), x, y);
            return 0;
        }
        break;
    case WM_GETOBJECT:
        if (c.swatches)
            if (const LRESULT answer = answerPaletteObject(window, name, wParam, lParam))
                return answer;
        break;
    case WM_LBUTTONDBLCLK:
        if (picture) {
            m_form.userDoubleClick(name);
            return 0;
        }
        break;
    default: break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace Kor2_Sys::platform::win32
