#include "platform/win32/FormWindow.h"

#include <Kor2_Sys/Error.h>

#include "frame/Trap.h"
#include "platform/win32/PaletteAccessible.h"
#include "platform/win32/Win32Fonts.h"
#include "platform/win32/Win32Text.h"

#include <commctrl.h>

#include <iterator>
#include <mutex>

namespace Kor2_Sys::platform::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"Kor2_SysForm";
constexpr wchar_t kPictureClass[] = L"Kor2_SysPicture";

HINSTANCE moduleInstance()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&moduleInstance), &module);
    return module;
}

void registerClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.style = CS_DBLCLKS;
        form.lpfnWndProc = DefWindowProcW;  // replaced by the form's own at creation
        form.hInstance = moduleInstance();
        form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        form.lpszClassName = kFormClass;
        RegisterClassExW(&form);
        WNDCLASSEXW picture = form;
        picture.hbrBackground = nullptr;  // painted whole from the display list
        picture.lpszClassName = kPictureClass;
        RegisterClassExW(&picture);
        INITCOMMONCONTROLSEX common{sizeof common, ICC_BAR_CLASSES};  // the tooltip control's class
        InitCommonControlsEx(&common);
    });
}

// A window icon by its freedesktop name, from the platform's own stock.
HICON iconNamed(const std::string& name)
{
    struct Stock {
        std::string_view name;
        WORD icon;  // the platform's stock icon number
    };
    constexpr WORD kApplication = 32512;
    static constexpr Stock kStock[] = {
        {"dialog-information", 32516}, {"dialog-warning", 32515}, {"dialog-error", 32513}, {"dialog-question", 32514},
    };
    if (name.empty())
        return nullptr;
    WORD icon = kApplication;
    for (const Stock& s : kStock)
        if (s.name == name)
            icon = s.icon;
    return LoadIconW(nullptr, MAKEINTRESOURCEW(icon));
}

// An edit control reuses its buffer for a text that fits: as many other characters overwrite the
// password where it was, before the box is emptied and its undo copy dropped.
void forget(HWND edit)
{
    const int length = GetWindowTextLengthW(edit);
    if (length > 0) {
        const std::wstring filler(static_cast<std::size_t>(length), L'\x2022');
        SetWindowTextW(edit, filler.c_str());
    }
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SetWindowTextW(edit, L"");
}

} // namespace

// Each control kind is one entry: its window class and style, and how it follows its control.
// Geometry, visibility, enabling and the font are the same for every kind and stay with FormWindow.
struct FormWindow::Kinds {
    struct Binding {
        const wchar_t* windowClass;
        DWORD style;
        DWORD exStyle;
        void (*sync)(FormWindow& window, HWND control, const Control& c);
    };

    static void syncCaption(FormWindow&, HWND control, const Control& c)
    {
        const std::wstring caption = wide(c.caption);
        if (windowText(control) != caption)
            SetWindowTextW(control, caption.c_str());
    }
    static void syncTextBox(FormWindow&, HWND control, const Control& c)
    {
        if (c.passwordChar != 0)
            SendMessageW(control, EM_SETPASSWORDCHAR, c.passwordChar, 0);
        const WipedWide shown(windowText(control)), model(shownText(c));
        if (shown.get() != model.get()) {
            if (c.passwordChar != 0)
                forget(control);
            SetWindowTextW(control, model.c_str());
        }
        SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(c.selStart), static_cast<LPARAM>(c.selStart + c.selLength));
    }
    static void syncButton(FormWindow& window, HWND control, const Control& c)
    {
        // A button with a colour or a picture of its own is drawn by the window; the default
        // button shows it is one. A drawn button paints the model's caption, so its window text
        // is free to carry the name screen readers read when it has no caption.
        const bool drawn = c.backColour.has_value() || !c.picture.empty();
        if (const std::wstring text = wide(drawn && c.caption.empty() ? accessibleName(window.m_form, c) : c.caption);
            windowText(control) != text)
            SetWindowTextW(control, text.c_str());
        const DWORD style = drawn ? BS_OWNERDRAW : window.m_form.defaultButton() == c.name ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) != style)
            SendMessageW(control, BM_SETSTYLE, style, TRUE);
        InvalidateRect(control, nullptr, TRUE);
    }
    // A picture paints itself; its window text is only what screen readers read for it. A palette's
    // text names the ringed cell too ("Colores normales: verde, 3"), for a reader entering it; its
    // cells are items of its own (PaletteAccessible.h), and the ring and each choice are events.
    static void syncPicture(FormWindow& window, HWND control, const Control& c)
    {
        if (const std::wstring text = wide(view::paletteReading(window.m_form, c)); windowText(control) != text) {
            SetWindowTextW(control, text.c_str());
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
        }
        if (c.swatches)
            announcePalette(control, *c.swatches);
        InvalidateRect(control, nullptr, FALSE);
    }
    // A label of one line never wraps; when the window's captions do not all fit its font, a label
    // grows to the right just enough to show its caption whole.
    static void syncLabel(FormWindow& window, HWND control, const Control& c)
    {
        const bool wraps = view::labelWraps(window.py(c.height), window.m_lineSpacing);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const LONG wanted = (style & ~SS_TYPEMASK) | (wraps ? SS_LEFT : SS_LEFTNOWORDWRAP);
        if (style != wanted)
            SetWindowLongW(control, GWL_STYLE, wanted);
        syncCaption(window, control, c);
        if (window.m_captionsFit)
            return;
        const GdiMeasure measure(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), window.m_boldFont);
        RECT r{};
        GetClientRect(control, &r);
        if (const int width = view::fittedLabelWidth(c, measure, r.right, r.bottom); width != r.right)
            SetWindowPos(control, nullptr, 0, 0, width, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // In the order of ControlKind.
    static constexpr Binding kTable[] = {
        {L"STATIC", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, syncLabel},                   // label
        {L"BUTTON", BS_GROUPBOX, 0, syncCaption},                           // frame
        {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, syncTextBox},           // text box
        {L"BUTTON", BS_PUSHBUTTON, 0, syncButton},                          // button
        {kPictureClass, 0, 0, syncPicture},                                 // picture
        {kPictureClass, 0, 0, syncPicture},                                 // filled rectangle
    };
    static_assert(std::size(kTable) == static_cast<std::size_t>(ControlKind::Count), "one entry per control kind");

    static const Binding& of(ControlKind kind) { return kTable[static_cast<std::size_t>(kind)]; }

    static DWORD styleOf(const Control& c)
    {
        DWORD style = of(c.kind).style | WS_CHILD | WS_CLIPSIBLINGS;
        if (c.tabIndex >= 0)
            style |= WS_TABSTOP;
        if (c.kind == ControlKind::TextBox && c.multiline)
            style = (style & ~ES_AUTOHSCROLL) | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL;
        if (c.kind == ControlKind::TextBox && c.passwordChar != 0)
            style |= ES_PASSWORD;
        return style;
    }
};

FormWindow::FormWindow(Form& form, HWND owner) : m_form(form), m_owner(owner)
{
    registerClasses();
    // The window follows its monitor's resolution, whatever the host process declared.
    const DPI_AWARENESS_CONTEXT previous = SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // Not clipping its children: a group box paints no inside, the window's background shows there.
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (form.resizable())
        style |= WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (form.toolWindow() ? WS_EX_TOOLWINDOW : 0);
    m_window = CreateWindowExW(exStyle, kFormClass, wide(form.caption()).c_str(), style, 0, 0, 0, 0, owner, nullptr,
                               moduleInstance(), nullptr);
    if (previous)
        SetThreadDpiAwarenessContext(previous);
    if (m_window == nullptr)
        throw errors::deviceUnavailable(u"no se puede crear la ventana " + Text(form.name().begin(), form.name().end()));
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::windowProc));
    const UINT dpi = GetDpiForWindow(m_window);
    m_tppX = m_tppY = twipsPerPixelAt(dpi);

    const FontSet& fonts = formFonts(form, dpi, m_tppX, m_captionsFit);
    m_lineSpacing = fonts.lineSpacing;
    m_font = fonts.regular;
    m_boldFont = fonts.bold;
    m_fixedFont = fonts.fixed;

    for (auto it = form.controls().rbegin(); it != form.controls().rend(); ++it)
        if (it->visible)
            realise(*it);
    m_built = true;
    for (const auto& [name, control] : m_controls)
        nameForReaders(control, form.control(name));
    syncWindow();
    form.setObserver(this);
    // A sizeable window keeps its outer size and takes the inner size the real frame leaves.
    RECT outer{}, inner{};
    GetWindowRect(m_window, &outer);
    GetClientRect(m_window, &inner);
    view::adoptFrame(form, outer.right - outer.left, outer.bottom - outer.top, inner.right, inner.bottom, m_tppX, m_tppY);
    if (!form.focus().empty())
        focusChanged(form.focus());
}

FormWindow::~FormWindow()
{
    if (!m_detached) {
        forgetPasswords();
        m_form.setObserver(nullptr);
    }
    m_detached = true;
    // The tooltip control is owned by the window, which would take it along and leave this handle
    // naming a window that is gone: it goes first.
    m_tips.reset();
    if (m_window && IsWindow(m_window)) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

FormWindow* FormWindow::of(HWND window)
{
    wchar_t name[std::size(kFormClass)] = {};
    if (GetClassNameW(window, name, static_cast<int>(std::size(name))) == 0 || wcscmp(name, kFormClass) != 0)
        return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND FormWindow::controlWindow(const std::string& control) const
{
    const auto it = m_controls.find(control);
    return it == m_controls.end() ? nullptr : it->second;
}

const std::string* FormWindow::nameOf(HWND child) const
{
    const auto it = m_names.find(child);
    return it == m_names.end() ? nullptr : &it->second;
}

RECT FormWindow::placeOf(const Control& c) const
{
    double left = c.left, top = c.top;
    // Frames hold frames; the bound stops a cycle that a careless window could build.
    const Control* at = &c;
    for (std::size_t depth = 0; depth < m_form.controls().size() && !at->container.empty() && m_form.has(at->container);
         ++depth) {
        at = &m_form.control(at->container);
        left += at->left;
        top += at->top;
    }
    const int x = px(left), y = py(top);
    return {x, y, x + px(c.width), y + py(c.height)};
}

HWND FormWindow::realise(const Control& c)
{
    if (HWND existing = controlWindow(c.name))
        return existing;
    // Made as the control stands: each later call to the window is a round trip worth saving.
    const Kinds::Binding& kind = Kinds::of(c.kind);
    const RECT place = placeOf(c);
    const DWORD style = Kinds::styleOf(c) | (c.visible ? WS_VISIBLE : 0) | (c.enabled ? 0 : WS_DISABLED);
    const WipedWide caption(wide(c.caption));
    HWND control = CreateWindowExW(kind.exStyle, kind.windowClass, caption.c_str(), style, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, m_window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(m_controls.size() + 1)),
                                   moduleInstance(), nullptr);
    if (control == nullptr)
        throw errors::deviceUnavailable(u"no se puede crear el control " + Text(c.name.begin(), c.name.end()));
    m_controls[c.name] = control;
    m_names[control] = c.name;
    SetWindowSubclass(control, &FormWindow::controlProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(c.fixedPitch ? m_fixedFont : c.bold ? m_boldFont : m_font), FALSE);
    // A later control is drawn over an earlier one. A new child window goes under its siblings, so
    // the window's first controls are made last to first; one made later goes under the next
    // control that has a window.
    if (m_built) {
        const Control* above = view::stackedAbove(m_form, c, [&](const Control& o) { return controlWindow(o.name) != nullptr; });
        SetWindowPos(control, above ? controlWindow(above->name) : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    const view::Echo::Applying applying(m_echo);
    Kinds::of(c.kind).sync(*this, control, c);
    syncTip(control, c);
    // A control made later may have gone between a label and the box it names.
    if (m_built)
        for (const auto& [name, made] : m_controls)
            nameForReaders(made, m_form.control(name));
    return control;
}

// Screen readers name an edit box by the static text just above it in the z-order, and every
// other standard control by its own text.
void FormWindow::nameForReaders(HWND control, const Control& c)
{
    if (c.kind != ControlKind::TextBox || c.tabIndex < 0)
        return;
    HWND label = nullptr;
    if (!c.labelledBy.empty() && m_form.has(c.labelledBy) && m_form.control(c.labelledBy).kind == ControlKind::Label)
        label = controlWindow(c.labelledBy);
    const std::wstring name = wide(accessibleName(m_form, c));
    if (label == nullptr) {
        if (name.empty())
            return;
        HWND& own = m_readerLabels[c.name];
        if (own == nullptr)
            own = CreateWindowExW(0, L"STATIC", name.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, m_window,
                                  nullptr, moduleInstance(), nullptr);
        else if (windowText(own) != name)
            SetWindowTextW(own, name.c_str());
        label = own;
    }
    HWND above = GetWindow(control, GW_HWNDPREV);
    if (label != nullptr && above != label)
        SetWindowPos(label, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormWindow::sync(const Control& c)
{
    HWND control = controlWindow(c.name);
    if (control == nullptr || m_echo.absorbed(c.name))
        return;
    const view::Echo::Applying applying(m_echo);
    const RECT place = placeOf(c);
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    EnableWindow(control, c.enabled);
    Kinds::of(c.kind).sync(*this, control, c);
    ShowWindow(control, c.visible ? SW_SHOWNA : SW_HIDE);
    nameForReaders(control, c);
    syncTip(control, c);
}

// One tool per control that has a tip, on the control's own window, which the tooltip control
// watches for the mouse; its text is the model's as written (an ampersand is no mark in a tip).
void FormWindow::syncTip(HWND control, const Control& c)
{
    const std::wstring tip = wide(c.toolTip);
    const auto held = m_tipTexts.find(c.name);
    if (held == m_tipTexts.end() ? tip.empty() : held->second == tip)
        return;
    if (!m_tips) {
        // A window without its tips is still a working window: should the control not be made,
        // the tips are left out rather than the window.
        m_tips.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                     moduleInstance(), nullptr));
        if (!m_tips)
            return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // the size every version of the control takes
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(tip.c_str());
    if (tip.empty()) {
        SendMessageW(m_tips.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        m_tipTexts.erase(held);
        return;
    }
    SendMessageW(m_tips.get(), held == m_tipTexts.end() ? TTM_ADDTOOLW : TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    m_tipTexts[c.name] = tip;
}

void FormWindow::syncWindow()
{
    const view::Echo::Applying applying(m_echo);
    SetWindowTextW(m_window, wide(m_form.caption()).c_str());
    if (m_form.icon() != m_icon) {
        m_icon = m_form.icon();
        m_iconHandle = iconNamed(m_icon);
        SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_iconHandle));
        SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_iconHandle));
    }
    RECT outer{0, 0, px(m_form.innerWidth()), py(m_form.innerHeight())};
    AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(m_window, GWL_EXSTYLE)), GetDpiForWindow(m_window));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(m_window, &placement);
    // The model's position is the normal one: a minimised window keeps it for when it comes back.
    placement.rcNormalPosition = {px(m_form.left()), py(m_form.top()), px(m_form.left()) + outer.right - outer.left,
                                  py(m_form.top()) + outer.bottom - outer.top};
    placement.showCmd = IsWindowVisible(m_window) ? showCommand(SW_SHOWNOACTIVATE, SW_SHOWMINNOACTIVE) : SW_HIDE;
    SetWindowPlacement(m_window, &placement);
}

void FormWindow::formChanged()
{
    syncWindow();
}

void FormWindow::controlChanged(const std::string& control)
{
    if (!m_form.has(control))
        return;
    const Control& c = m_form.control(control);
    if (controlWindow(c.name))
        sync(c);
    else if (c.visible)
        realise(c);
}

void FormWindow::focusChanged(const std::string& control)
{
    const view::Echo::Applying applying(m_echo);
    if (HWND window = controlWindow(control))
        SetFocus(window);
    else if (control.empty() && GetFocus() != nullptr && IsChild(m_window, GetFocus()))
        SetFocus(m_window);
}

void FormWindow::visibilityChanged(bool visible)
{
    if (visible)
        return;
    // The model keeps a password for its window's code to read; the screen keeps none.
    forgetPasswords();
    if (m_modal) {
        // The modal loop sees the model hidden and ends, once its wait returns: a message sent from
        // another thread (a screen reader's default action, a test driver's key) is handled inside
        // that wait and returns none, so one is posted.
        PostMessageW(m_window, WM_NULL, 0, 0);
        return;
    }
    detach();
    ShowWindow(m_window, SW_HIDE);
    PostMessageW(m_window, kDestroyLater, 0, 0);
}

void FormWindow::detach()
{
    m_form.setObserver(nullptr);
    m_detached = true;
}

void FormWindow::forgetPasswords()
{
    if (m_detached)
        return;
    const view::Echo::Applying applying(m_echo);
    for (const Control& c : m_form.controls()) {
        HWND edit = controlWindow(c.name);
        if (edit == nullptr || c.passwordChar == 0)
            continue;
        forget(edit);
    }
}

int FormWindow::showCommand(int normal, int minimised) const
{
    switch (m_form.state()) {
    case WindowState::Minimised: return minimised;
    case WindowState::Maximised: return SW_SHOWMAXIMIZED;
    case WindowState::Normal: break;
    }
    return normal;
}

} // namespace Kor2_Sys::platform::win32
