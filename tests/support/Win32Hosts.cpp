// The host kit on the platform's own windows: a host's forms with menu bars, its status bar,
// progress bar, label and picture controls, handed to the library as host objects with the members
// a compiled form gives them (in twips where it gives twips), and read back with the platform's calls.
#include "Hosts.h"

#include "platform/win32/Handles.h"

#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <map>

namespace kor2test {
namespace {

namespace Ks = Kor2_Sys;
using Ks::platform::win32::handleOf;
using Ks::platform::win32::longOf;

double twipsPerPixel(bool horizontal)
{
    const auto& ws = Ks::platform::windowSystem();
    return horizontal ? ws.twipsPerPixelX() : ws.twipsPerPixelY();
}
Ks::Single toTwips(LONG pixels, bool horizontal)
{
    return static_cast<Ks::Single>(std::nearbyint(pixels * twipsPerPixel(horizontal)));
}
int toPixels(const Variant& twips, bool horizontal)
{
    return static_cast<int>(std::lround(twips.toDouble() / twipsPerPixel(horizontal)));
}

// A window's rectangle where its host sees it: on the screen for a form, in its parent's client
// area for a control.
RECT placeOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    if (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// One member of a kind of host object: a null `put` makes a property read only, `call` a method.
struct Member {
    std::string_view name;
    Variant (*get)(HWND) = nullptr;
    void (*put)(HWND, const Variant&) = nullptr;
    Variant (*call)(HWND, std::span<Variant>) = nullptr;
};
using Rows = std::span<const Member>;

void place(HWND window, int left, int top, int width, int height)
{
    MoveWindow(window, left, top, width, height, TRUE);
}

// Move: left [, top [, width [, height]]].
Variant move(HWND window, std::span<Variant> args)
{
    if (args.empty() || args.size() > 4)
        throw Ks::errors::wrongArgumentCount();
    const RECT r = placeOf(window);
    int side[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    for (std::size_t i = 0; i < args.size(); ++i)
        side[i] = toPixels(args[i], i % 2 == 0);
    place(window, side[0], side[1], side[2], side[3]);
    return {};
}

Variant zOrder(HWND window, std::span<Variant> args)
{
    const bool back = !args.empty() && args.front().toInteger() == 1;
    SetWindowPos(window, back ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return {};
}

Variant handle(HWND window) { return longOf(window); }

constexpr Member kHandle[] = {{"hWnd", handle}};

constexpr Member kPlacement[] = {
    {"Left", [](HWND w) { return Variant(toTwips(placeOf(w).left, true)); },
     [](HWND w, const Variant& v) {
         const RECT r = placeOf(w);
         place(w, toPixels(v, true), r.top, r.right - r.left, r.bottom - r.top);
     }},
    {"Top", [](HWND w) { return Variant(toTwips(placeOf(w).top, false)); },
     [](HWND w, const Variant& v) {
         const RECT r = placeOf(w);
         place(w, r.left, toPixels(v, false), r.right - r.left, r.bottom - r.top);
     }},
    {"Width", [](HWND w) { const RECT r = placeOf(w); return Variant(toTwips(r.right - r.left, true)); }},
    {"Height", [](HWND w) { const RECT r = placeOf(w); return Variant(toTwips(r.bottom - r.top, false)); }},
    // The window's own flag: a control of a hidden form is still one the host made visible.
    {"Visible", [](HWND w) { return Variant((GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0); },
     [](HWND w, const Variant& v) { ShowWindow(w, v.toBoolean() ? SW_SHOWNA : SW_HIDE); }},
    {"Move", nullptr, nullptr, move},
    {"ZOrder", nullptr, nullptr, zOrder},
};

RECT clientOf(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

constexpr Member kDrawing[] = {
    {"hdc", [](HWND w) { return Variant(longOf(GetDC(w))); }},
    {"ScaleWidth", [](HWND w) { return Variant(toTwips(clientOf(w).right, true)); }},
    {"ScaleHeight", [](HWND w) { return Variant(toTwips(clientOf(w).bottom, false)); }},
};

constexpr Member kProgress[] = {
    {"Value", [](HWND w) { return Variant(static_cast<Ks::Single>(SendMessageW(w, PBM_GETPOS, 0, 0))); },
     [](HWND w, const Variant& v) { SendMessageW(w, PBM_SETPOS, static_cast<WPARAM>(v.toLong()), 0); }},
};

constexpr Rows kFormKind[] = {kHandle, kPlacement, kDrawing};
constexpr Rows kControlKind[] = {kHandle, kPlacement};
constexpr Rows kPictureKind[] = {kHandle, kPlacement, kDrawing};
constexpr Rows kProgressKind[] = {kHandle, kPlacement, kProgress};
constexpr Rows kStatusBarKind[] = {kHandle};

class WindowObject final : public Ks::Object {
public:
    WindowObject(HWND window, std::span<const Rows> kind) : m_window(window), m_kind(kind) {}
    HWND window() const { return m_window; }
    /// The host destroys the window: from now on every member is error 91.
    void destroy()
    {
        DestroyWindow(m_window);
        m_window = nullptr;
    }

    Variant invoke(std::string_view name, Ks::InvokeKind kind, std::span<Variant> args) override
    {
        if (m_window == nullptr || !IsWindow(m_window))
            throw Ks::errors::objectNotSet();
        const Member& member = find(name);
        if (member.call != nullptr && kind == Ks::InvokeKind::Method)
            return member.call(m_window, args);
        if (member.get == nullptr)
            throw Ks::errors::memberNotSupported();
        if (kind != Ks::InvokeKind::Put)
            return args.empty() ? member.get(m_window) : throw Ks::errors::wrongArgumentCount();
        if (member.put == nullptr || args.size() != 1)
            throw Ks::errors::wrongArgumentCount();
        member.put(m_window, args.front());
        return {};
    }

private:
    const Member& find(std::string_view name) const
    {
        for (const Rows rows : m_kind)
            for (const Member& member : rows)
                if (name.size() == member.name.size() && _strnicmp(name.data(), member.name.data(), name.size()) == 0)
                    return member;
        throw Ks::errors::memberNotSupported();
    }

    HWND m_window;
    std::span<const Rows> m_kind;
};

// A picture for menus: its handle is its only member and its default value.
class BitmapObject final : public Ks::Object {
public:
    BitmapObject() : m_bitmap(CreateBitmap(13, 13, 1, 32, nullptr)) {}
    ~BitmapObject() override { DeleteObject(m_bitmap); }
    BitmapObject(const BitmapObject&) = delete;
    BitmapObject& operator=(const BitmapObject&) = delete;
    Ks::Long handle() const { return longOf(m_bitmap); }

    Variant invoke(std::string_view name, Ks::InvokeKind kind, std::span<Variant> args) override
    {
        if (!name.empty() && !(name.size() == 6 && _strnicmp(name.data(), "Handle", 6) == 0))
            throw Ks::errors::memberNotSupported();
        if (kind == Ks::InvokeKind::Put || !args.empty())
            throw Ks::errors::wrongArgumentCount();
        return handle();
    }

private:
    HBITMAP m_bitmap;
};

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The classes of the host's own windows: a form of the button face, a picture painting red.
void registerClasses()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        WNDCLASSW form{};
        form.style = CS_OWNDC;  // `hdc` is the window's own context, as a compiled form's is
        form.lpfnWndProc = DefWindowProcW;
        form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        form.lpszClassName = L"Kor2TestForm";
        WNDCLASSW picture = form;
        picture.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
        picture.lpszClassName = L"Kor2TestPicture";
        return RegisterClassW(&form) != 0 && RegisterClassW(&picture) != 0;
    }();
    (void)registered;
}

class Win32Hosts final : public Hosts {
public:
    Win32Hosts() { registerClasses(); }
    ~Win32Hosts() override
    {
        for (HWND form : m_forms)
            DestroyWindow(form);
        pump();
    }

    Variant form(std::vector<DropDown> menus) override
    {
        RECT frame{0, 0, 400, 300};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, !menus.empty());
        HWND form = CreateWindowExW(0, L"Kor2TestForm", L"Anfitrión", WS_OVERLAPPEDWINDOW, 60, 40, frame.right - frame.left,
                                    frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
        if (!menus.empty()) {
            HMENU bar = CreateMenu();
            for (const DropDown& dropDown : menus) {
                HMENU menu = CreatePopupMenu();
                for (const Ks::Text& item : dropDown.items)
                    AppendMenuW(menu, item == u"-" ? MF_SEPARATOR : MF_STRING, 0, wide(item).c_str());
                AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), wide(dropDown.caption).c_str());
            }
            SetMenu(form, bar);
        }
        m_forms.push_back(form);
        ShowWindow(form, SW_SHOWNORMAL);
        pump();
        return keep(form, "Form", kFormKind);
    }
    Variant statusBar(const Variant& form, std::vector<int> widths) override
    {
        HWND bar = CreateWindowW(STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, windowOf(form), nullptr,
                                 nullptr, nullptr);
        m_widths[bar] = std::move(widths);
        layOut(bar);
        return keep(bar, "StatusBar", kStatusBarKind);
    }
    Variant progressBar(const Variant& form) override
    {
        HWND bar = CreateWindowW(PROGRESS_CLASSW, nullptr, WS_CHILD, 0, 0, 100, 16, windowOf(form), nullptr, nullptr, nullptr);
        SendMessageW(bar, PBM_SETPOS, 40, 0);
        return keep(bar, "ProgressBar", kProgressKind);
    }
    Variant picture(const Variant& form, float width, float height) override
    {
        HWND picture = CreateWindowW(L"Kor2TestPicture", nullptr, WS_CHILD | WS_VISIBLE, 10, 10,
                                     static_cast<int>(width / twipsPerPixel(true)), static_cast<int>(height / twipsPerPixel(false)),
                                     windowOf(form), nullptr, nullptr, nullptr);
        UpdateWindow(picture);
        return keep(picture, "Picture", kPictureKind);
    }
    Variant control(const Variant& form, PixelPoint at) override
    {
        HWND label = CreateWindowW(L"STATIC", L"P1", WS_CHILD | WS_VISIBLE, at.x, at.y, 60, 24, windowOf(form), nullptr,
                                   nullptr, nullptr);
        return keep(label, "Label", kControlKind);
    }
    Variant bitmap() override
    {
        if (!m_bitmap)
            m_bitmap = std::make_shared<BitmapObject>();
        return std::shared_ptr<Ks::Object>(m_bitmap);
    }

    PixelRect part(const Variant& statusBar, int index) override
    {
        RECT r{};
        SendMessageW(windowOf(statusBar), SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return {r.left, r.top, r.right, r.bottom};
    }
    void widen(const Variant& statusBar, int index, int pixels) override
    {
        HWND bar = windowOf(statusBar);
        m_widths.at(bar).at(index) += pixels;
        layOut(bar);
    }
    std::string parentOf(const Variant& host) override
    {
        const auto named = m_names.find(GetParent(windowOf(host)));
        return named == m_names.end() ? std::string() : named->second;
    }
    void destroy(const Variant& host) override { dynamic_cast<WindowObject&>(*host.toObject()).destroy(); }
    void setCursor(PixelPoint at) override { SetCursorPos(at.x, at.y); }
    std::optional<PixelPoint> clipboardBitmap() override
    {
        std::optional<PixelPoint> size;
        if (!OpenClipboard(nullptr))
            return size;
        if (auto* held = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
            BITMAP bitmap{};
            GetObjectW(held, sizeof bitmap, &bitmap);
            size = PixelPoint{bitmap.bmWidth, bitmap.bmHeight};
        }
        CloseClipboard();
        return size;
    }
    std::vector<std::pair<bool, bool>> pictures(const Variant& form, int menu) override
    {
        const Ks::Long shown = m_bitmap ? m_bitmap->handle() : 0;
        HMENU dropDown = GetSubMenu(GetMenu(windowOf(form)), menu);
        std::vector<std::pair<bool, bool>> out;
        for (int i = 0; i < GetMenuItemCount(dropDown); ++i) {
            MENUITEMINFOW item{};
            item.cbSize = sizeof item;
            item.fMask = MIIM_CHECKMARKS;
            GetMenuItemInfoW(dropDown, static_cast<UINT>(i), TRUE, &item);
            out.emplace_back(longOf(item.hbmpUnchecked) == shown, longOf(item.hbmpChecked) == shown);
        }
        return out;
    }
    std::vector<std::pair<Ks::Text, Ks::Long>> systemMenu(const Variant& form) override
    {
        HMENU menu = GetSystemMenu(windowOf(form), FALSE);
        std::vector<std::pair<Ks::Text, Ks::Long>> out;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t caption[128] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
            const bool separator = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR;
            out.emplace_back(separator ? Ks::Text(u"-") : Ks::Text(caption, caption + wcslen(caption)),
                             static_cast<Ks::Long>(GetMenuItemID(menu, i)));
        }
        return out;
    }

private:
    static std::wstring wide(const Ks::Text& text) { return {text.begin(), text.end()}; }
    static HWND windowOf(const Variant& host) { return dynamic_cast<WindowObject&>(*host.toObject()).window(); }

    // Each part as wide as asked: the bar puts its parts' right edges where it is told and leaves a
    // gap of its own before every part but the first, so the edges are laid out, read back and moved.
    void layOut(HWND bar)
    {
        const std::vector<int>& widths = m_widths.at(bar);
        std::vector<int> edges(widths.size());
        for (std::size_t i = 0; i < widths.size(); ++i) {
            edges[i] = (i == 0 ? 0 : edges[i - 1]) + widths[i];
            SendMessageW(bar, SB_SETPARTS, i + 1, reinterpret_cast<LPARAM>(edges.data()));
            RECT r{};
            SendMessageW(bar, SB_GETRECT, i, reinterpret_cast<LPARAM>(&r));
            edges[i] += widths[i] - (r.right - r.left);
        }
        SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
        pump();
    }

    // Objects are named after their kind and a count, as the headless kit names them.
    Variant keep(HWND window, const std::string& kind, std::span<const Rows> members)
    {
        m_names[window] = kind + std::to_string(++m_count[kind]);
        return std::shared_ptr<Ks::Object>(std::make_shared<WindowObject>(window, members));
    }

    std::vector<HWND> m_forms;
    std::map<HWND, std::string> m_names;
    std::map<HWND, std::vector<int>> m_widths;
    std::map<std::string, int> m_count;
    std::shared_ptr<BitmapObject> m_bitmap;
};

} // namespace

std::unique_ptr<Hosts> makeWin32Hosts() { return std::make_unique<Win32Hosts>(); }

} // namespace kor2test
