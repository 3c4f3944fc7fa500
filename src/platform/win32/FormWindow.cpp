#include "platform/win32/FormWindow.h"

#include <Kor2_Sys/Error.h>

#include "frame/Trap.h"
#include "platform/win32/Failures.h"
#include "platform/win32/PaletteAccessible.h"
#include "platform/win32/Win32Text.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

namespace Kor2_Sys::platform::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"Kor2_SysForm";
constexpr wchar_t kPictureClass[] = L"Kor2_SysPicture";
// Posted to a modeless window the model let go of: it is destroyed once its own handler returned.
constexpr UINT kDestroyLater = WM_APP + 1;

HINSTANCE moduleInstance()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&moduleInstance), &module);
    return module;
}

// Colour numbers keep red in the lowest byte, as the platform's colour references do.
COLORREF colourRef(Long colour)
{
    return static_cast<COLORREF>(colour & 0xFFFFFF);
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

void paintDisplayList(HDC dc, const std::vector<DisplayItem>& items, double sx, double sy, int dx = 0, int dy = 0)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    const auto x = [&](double v) { return dx + static_cast<int>(std::lround(v * sx)); };
    const auto y = [&](double v) { return dy + static_cast<int>(std::lround(v * sy)); };
    for (const DisplayItem& item : items) {
        switch (item.kind) {
        case DisplayItem::Kind::FilledRect: {
            const RECT r{x(item.x1), y(item.y1), x(item.x2), y(item.y2)};
            HBRUSH brush = CreateSolidBrush(colourRef(item.colour));
            FillRect(dc, &r, brush);
            DeleteObject(brush);
            break;
        }
        case DisplayItem::Kind::Line: {
            HPEN pen = CreatePen(PS_SOLID, 1, colourRef(item.colour));
            HGDIOBJ old = SelectObject(dc, pen);
            MoveToEx(dc, x(item.x1), y(item.y1), nullptr);
            LineTo(dc, x(item.x2), y(item.y2));
            SelectObject(dc, old);
            DeleteObject(pen);
            break;
        }
        case DisplayItem::Kind::Text: {
            SetTextColor(dc, colourRef(item.colour));
            const std::wstring text = wide(item.text);
            TextOutW(dc, x(item.x1), y(item.y1), text.c_str(), static_cast<int>(text.size()));
            break;
        }
        }
    }
}

// The model's access key for a system character (a character typed with Alt held).
std::optional<view::ModelKey> accessKeyTyped(WPARAM character, LPARAM flags)
{
    return view::accessKey(static_cast<char32_t>(character), (HIWORD(flags) & KF_ALTDOWN) != 0, GetKeyState(VK_CONTROL) < 0);
}

// A multi-line box breaks its lines at CR LF; the model keeps the LF that Enter types everywhere.
// Other boxes (passwords among them) show the model's text as it is.
std::wstring shownText(const Control& c)
{
    std::wstring text = wide(c.caption);
    if (!c.multiline)
        return text;
    std::wstring shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r'))
            shown += L'\r';
        shown += text[i];
    }
    return shown;
}

Text modelText(const Control& c, const std::wstring& shown)
{
    if (!c.multiline)
        return fromWide(shown);
    Text text;
    text.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] != L'\r' || i + 1 == shown.size() || shown[i + 1] != L'\n')
            text += static_cast<char16_t>(shown[i]);
    return text;
}

// A candidate dialog font measured on a screen drawing context.
class GdiMeasure final : public view::TextMeasure {
public:
    /// `named`: the family was asked for by name, and a machine without it has no such candidate.
    GdiMeasure(const LOGFONTW& font, bool named) : m_dc(CreateCompatibleDC(nullptr))
    {
        LOGFONTW bold = font;
        bold.lfWeight = FW_BOLD;
        m_font = CreateFontIndirectW(&font);
        m_bold = CreateFontIndirectW(&bold);
        SelectObject(m_dc, m_font);
        // A family the machine lacks comes back as another one: it is no candidate.
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(m_dc, LF_FACESIZE, face);
        m_absent = named && _wcsicmp(face, font.lfFaceName) != 0;
        TEXTMETRICW metrics{};
        GetTextMetricsW(m_dc, &metrics);
        m_lineSpacing = metrics.tmHeight + metrics.tmExternalLeading;
    }
    ~GdiMeasure() override
    {
        DeleteDC(m_dc);
        DeleteObject(m_bold);
        if (m_font)
            DeleteObject(m_font);
    }
    GdiMeasure(const GdiMeasure&) = delete;
    GdiMeasure& operator=(const GdiMeasure&) = delete;

    int advance(std::u16string_view text, bool bold) const override
    {
        if (m_absent)
            return 1 << 20;
        SelectObject(m_dc, bold ? m_bold : m_font);
        const std::wstring w = wide(Text(text));
        SIZE size{};
        GetTextExtentPoint32W(m_dc, w.c_str(), static_cast<int>(w.size()), &size);
        return size.cx;
    }
    int wrappedHeight(std::u16string_view text, int width, bool bold) const override
    {
        if (m_absent)
            return 1 << 20;
        SelectObject(m_dc, bold ? m_bold : m_font);
        const std::wstring w = wide(Text(text));
        RECT r{0, 0, width, 0};
        DrawTextW(m_dc, w.c_str(), static_cast<int>(w.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return r.bottom - r.top;
    }
    int lineSpacing() const override { return m_lineSpacing; }

private:
    HDC m_dc;
    HFONT m_font, m_bold;
    int m_lineSpacing = 13;
    bool m_absent = false;
};

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

// The layout's captions were measured in a narrow 8-point font: the message font at its own size
// and smaller ones first, then narrow families that the machine may have.
struct FontCandidate {
    const wchar_t* family;  // null: the message font's own
    double points;          // 0: the message font's own size
};
constexpr FontCandidate kFontCandidates[] = {
    {nullptr, 0},          {nullptr, 8},           {nullptr, 7.5},         {nullptr, 7},
    {L"Arial Narrow", 8},  {L"DejaVu Sans Condensed", 8},  {L"Liberation Sans Narrow", 8},
    {L"Arial Narrow", 7.5}, {L"DejaVu Sans Condensed", 7.5}, {L"Liberation Sans Narrow", 7.5},
    {L"Arial Narrow", 7},  {L"DejaVu Sans Condensed", 7},  {L"Liberation Sans Narrow", 7},
};

// A candidate font for a screen of `dpi`.
LOGFONTW candidateFont(const FontCandidate& candidate, UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    if (candidate.points > 0)
        font.lfHeight = -static_cast<LONG>(std::lround(candidate.points * dpi / 72.0));
    else
        font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), 96);
    if (candidate.family != nullptr) {
        wcsncpy(font.lfFaceName, candidate.family, LF_FACESIZE - 1);
        font.lfFaceName[LF_FACESIZE - 1] = 0;
    }
    return font;
}

// The fonts of the windows shown with one candidate at one resolution.
struct FontSet {
    HFONT regular, bold, fixed;
    int lineSpacing;
};

// Made once per candidate and resolution and kept for the process: making fonts is a good part of
// the time a window takes to show, and windows come back with the same ones.
const FontSet& fontSet(std::size_t candidate, UINT dpi)
{
    static std::mutex lock;
    static std::map<std::pair<std::size_t, UINT>, FontSet> made;
    const std::lock_guard guard(lock);
    const auto key = std::pair(candidate, dpi);
    if (const auto it = made.find(key); it != made.end())
        return it->second;
    LOGFONTW font = candidateFont(kFontCandidates[candidate], dpi), bold = font, fixed{};
    bold.lfWeight = FW_BOLD;
    fixed.lfHeight = -static_cast<LONG>(std::lround(8.25 * dpi / 72.0));
    fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    FontSet set{CreateFontIndirectW(&font), CreateFontIndirectW(&bold), CreateFontIndirectW(&fixed), 13};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, set.regular);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    set.lineSpacing = metrics.tmHeight + metrics.tmExternalLeading;
    SelectObject(dc, old);
    DeleteDC(dc);
    return made.emplace(key, set).first->second;
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
        Text name = accessibleName(window.m_form, c);
        if (c.swatches && !c.swatches->names.empty()) {
            const int cells = static_cast<int>(c.swatches->names.size());
            const int ringed = std::clamp(c.swatches->current, 0, cells - 1);
            name += u": " + c.swatches->names[static_cast<std::size_t>(ringed)];
            if (ringed == c.swatches->selected)
                name += u" (elegido)";
        }
        if (const std::wstring text = wide(name); windowText(control) != text) {
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
        const bool oneLine = window.py(c.height) < 2 * window.m_lineSpacing;
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const LONG wanted = (style & ~SS_TYPEMASK) | (oneLine ? SS_LEFTNOWORDWRAP : SS_LEFT);
        if (style != wanted)
            SetWindowLongW(control, GWL_STYLE, wanted);
        syncCaption(window, control, c);
        if (window.m_captionsFit || !oneLine)
            return;
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        const std::wstring caption = wide(c.caption);
        SIZE size{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        RECT r{};
        GetClientRect(control, &r);
        if (size.cx + 2 > r.right)
            SetWindowPos(control, nullptr, 0, 0, size.cx + 2, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

    // The first candidate font in which every caption fits its control.
    std::vector<std::unique_ptr<GdiMeasure>> candidates(std::size(kFontCandidates));
    const auto measure = [&](std::size_t i) -> const view::TextMeasure& {
        if (!candidates[i])
            candidates[i] = std::make_unique<GdiMeasure>(candidateFont(kFontCandidates[i], dpi),
                                                         kFontCandidates[i].family != nullptr);
        return *candidates[i];
    };
    const auto chosen = view::chooseFont(form, m_tppX, m_tppY, "win32", std::size(kFontCandidates), measure);
    m_captionsFit = chosen.has_value();
    const FontSet& fonts = fontSet(chosen.value_or(1), dpi);
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
    if (form.resizable()) {
        RECT outer{}, inner{};
        GetWindowRect(m_window, &outer);
        GetClientRect(m_window, &inner);
        const double frameWidth = (outer.right - outer.left - inner.right) * m_tppX;
        const double frameHeight = (outer.bottom - outer.top - inner.bottom) * m_tppY;
        if (frameWidth != form.frameWidth() || frameHeight != form.frameHeight()) {
            form.setFrameSize(frameWidth, frameHeight);
            form.resize(form.width(), form.height());
        }
    }
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
    if (IsWindowVisible(m_window))
        placement.showCmd = m_form.state() == WindowState::Minimised   ? SW_SHOWMINNOACTIVE
                            : m_form.state() == WindowState::Maximised ? SW_SHOWMAXIMIZED
                                                                       : SW_SHOWNOACTIVATE;
    else
        placement.showCmd = SW_HIDE;
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

void FormWindow::runModal()
{
    m_modal = true;
    HWND owner = m_owner && IsWindowEnabled(m_owner) ? m_owner : nullptr;
    {
        const view::Echo::Applying applying(m_echo);
        ShowWindow(m_window, m_form.state() == WindowState::Minimised   ? SW_SHOWMINIMIZED
                             : m_form.state() == WindowState::Maximised ? SW_SHOWMAXIMIZED
                                                                        : SW_SHOW);
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
        ShowWindow(m_window, m_form.state() == WindowState::Minimised   ? SW_SHOWMINNOACTIVE
                             : m_form.state() == WindowState::Maximised ? SW_SHOWMAXIMIZED
                                                                        : SW_SHOW);
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
        same = view::mirrored(
            box, std::u16string_view(reinterpret_cast<const char16_t*>(shown.get().data()), shown.get().size()), caret);
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
        const Control& c = m_form.control(*name);
        HDC dc = item->hDC;
        RECT r = item->rcItem;
        SetDCBrushColor(dc, c.backColour ? colourRef(*c.backColour) : GetSysColor(COLOR_BTNFACE));
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        DrawEdge(dc, &r, item->itemState & ODS_SELECTED ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        const view::PictureScale scale = view::pictureScale(c, r.right - r.left, r.bottom - r.top);
        paintDisplayList(dc, c.picture, 1 / scale.unitsX, 1 / scale.unitsY);
        const std::wstring caption = wide(c.caption);
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (item->itemState & ODS_FOCUS) {
            InflateRect(&r, -3, -3);
            DrawFocusRect(dc, &r);
        }
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
        if (wParam == L'\t' || wParam == 27 || (wParam == L'\r' && !(c.kind == ControlKind::TextBox && c.multiline)) ||
            (wParam == L' ' && (c.kind == ControlKind::Button || c.swatches)))
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
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT r{};
            GetClientRect(window, &r);
            const Long back = c.kind == ControlKind::FilledRect ? c.fillColour.value_or(0xC0C0C0)
                                                                : c.backColour.value_or(static_cast<Long>(GetSysColor(COLOR_BTNFACE)));
            SetDCBrushColor(dc, colourRef(back));
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            if (c.kind == ControlKind::FilledRect) {
                FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            } else {
                const view::PictureScale scale = view::pictureScale(c, r.right, r.bottom);
                paintDisplayList(dc, c.picture, 1 / scale.unitsX, 1 / scale.unitsY);
                // Black inside white: the ring must show on every colour of a palette.
                if (const auto cell = view::ringCell(c, r.right, r.bottom); cell && GetFocus() == window) {
                    RECT ring{cell->left + 1, cell->top + 1, cell->left + cell->width - 1, cell->top + cell->height - 1};
                    FrameRect(dc, &ring, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                    InflateRect(&ring, -1, -1);
                    FrameRect(dc, &ring, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                }
            }
            EndPaint(window, &paint);
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
            const int button = message == WM_RBUTTONDOWN ? 2 : message == WM_MBUTTONDOWN ? 4 : 1;
            const int shift = (wParam & MK_SHIFT ? 1 : 0) | (wParam & MK_CONTROL ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
            m_form.userMouseDown(name, button, shift, x, y);
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
