// The host kit on the platform's own windows: a host's forms with menu bars, its status bar,
// progress bar, label and picture controls, handed to the library as host objects with the members
// a compiled form gives them (in twips where it gives twips), and read back with the platform's calls.
#include "Hosts.h"
#include "PostedMessages.h"

#include "frame/Errors.h"
#include "platform/win32/Handles.h"

#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <map>

namespace kor2test {
namespace {

namespace Ks = Kor2_Sys;
using Ks::platform::win32::longOf;

double twipsPerPixel(bool horizontal)
{
    const auto& ws = Ks::platform::windowSystem();
    return horizontal ? ws.twipsPerPixelX() : ws.twipsPerPixelY();
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

// The members each kind of host object has, as a compiled form gives them to its windows.
enum Kind : unsigned { kPlaced = 1, kDrawn = 2, kProgress = 4 };
constexpr std::pair<std::string_view, unsigned> kMembers[] = {
    {"hWnd", 0}, {"Left", kPlaced}, {"Top", kPlaced}, {"Width", kPlaced}, {"Height", kPlaced}, {"Visible", kPlaced},
    {"Move", kPlaced}, {"ZOrder", kPlaced}, {"hdc", kDrawn}, {"ScaleWidth", kDrawn}, {"ScaleHeight", kDrawn},
    {"Value", kProgress}};

// A host window; once the host destroys it, every member is error 91.
class WindowObject final : public Ks::Object {
public:
    WindowObject(HWND window, unsigned kind) : m_window(window), m_kind(kind) {}
    HWND window() const { return m_window; }
    void destroy()
    {
        DestroyWindow(m_window);
        m_window = nullptr;
    }

    Variant invoke(std::string_view name, Ks::InvokeKind how, std::span<Variant> args) override
    {
        if (m_window == nullptr)
            throw Ks::errors::objectNotSet();
        const std::string_view member = find(name);
        const bool put = how == Ks::InvokeKind::Put;
        if (member == "Move" || member == "ZOrder")
            return call(member, args);
        if (args.size() != (put ? 1u : 0u) || (put && member != "Visible" && member != "Value"))
            throw Ks::errors::wrongArgumentCount();
        if (put && member == "Visible")
            ShowWindow(m_window, args[0].toBoolean() ? SW_SHOWNA : SW_HIDE);
        else if (put)
            SendMessageW(m_window, PBM_SETPOS, static_cast<WPARAM>(args[0].toLong()), 0);
        return put ? Variant() : get(member);
    }

private:
    std::string_view find(std::string_view name) const
    {
        for (const auto& [member, kind] : kMembers)
            if ((kind & m_kind) == kind && name.size() == member.size() &&
                _strnicmp(name.data(), member.data(), name.size()) == 0)
                return member;
        throw Ks::errors::memberNotSupported();
    }
    static Ks::Single twips(LONG pixels, bool horizontal)
    {
        return static_cast<Ks::Single>(std::nearbyint(pixels * twipsPerPixel(horizontal)));
    }
    Variant get(std::string_view member) const
    {
        const RECT r = placeOf(m_window);
        RECT client{};
        GetClientRect(m_window, &client);
        if (member == "hWnd") return longOf(m_window);
        if (member == "hdc") return longOf(GetDC(m_window));  // the window's own context (CS_OWNDC)
        if (member == "Left") return twips(r.left, true);
        if (member == "Top") return twips(r.top, false);
        if (member == "Width") return twips(r.right - r.left, true);
        if (member == "Height") return twips(r.bottom - r.top, false);
        if (member == "ScaleWidth") return twips(client.right, true);
        if (member == "ScaleHeight") return twips(client.bottom, false);
        if (member == "Visible") return (GetWindowLongW(m_window, GWL_STYLE) & WS_VISIBLE) != 0;  // its own flag
        return static_cast<Ks::Single>(SendMessageW(m_window, PBM_GETPOS, 0, 0));
    }
    // Move: left [, top [, width [, height]]] in twips; ZOrder [position].
    Variant call(std::string_view member, std::span<Variant> args)
    {
        if (member == "ZOrder") {
            const bool back = !args.empty() && args[0].toInteger() == 1;
            SetWindowPos(m_window, back ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return {};
        }
        if (args.empty() || args.size() > 4)
            throw Ks::errors::wrongArgumentCount();
        const RECT r = placeOf(m_window);
        int side[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
        for (std::size_t i = 0; i < args.size(); ++i)
            side[i] = static_cast<int>(std::lround(args[i].toDouble() / twipsPerPixel(i % 2 == 0)));
        MoveWindow(m_window, side[0], side[1], side[2], side[3], TRUE);
        return {};
    }

    HWND m_window;
    unsigned m_kind;
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
        return keep(form, "Form", kPlaced | kDrawn);
    }
    Variant statusBar(const Variant& form, std::vector<int> widths) override
    {
        HWND bar = CreateWindowW(STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, windowOf(form), nullptr,
                                 nullptr, nullptr);
        m_widths[bar] = std::move(widths);
        layOut(bar);
        return keep(bar, "StatusBar", 0);
    }
    Variant progressBar(const Variant& form) override
    {
        HWND bar = CreateWindowW(PROGRESS_CLASSW, nullptr, WS_CHILD, 0, 0, 100, 16, windowOf(form), nullptr, nullptr, nullptr);
        SendMessageW(bar, PBM_SETPOS, 40, 0);
        return keep(bar, "ProgressBar", kPlaced | kProgress);
    }
    Variant picture(const Variant& form, float width, float height) override
    {
        const int w = static_cast<int>(width / twipsPerPixel(true)), h = static_cast<int>(height / twipsPerPixel(false));
        HWND picture = CreateWindowW(L"Kor2TestPicture", nullptr, WS_CHILD | WS_VISIBLE, 10, 10, w, h, windowOf(form), nullptr,
                                     nullptr, nullptr);
        UpdateWindow(picture);
        return keep(picture, "Picture", kPlaced | kDrawn);
    }
    Variant control(const Variant& form, PixelPoint at) override
    {
        HWND label = CreateWindowW(L"STATIC", L"P1", WS_CHILD | WS_VISIBLE, at.x, at.y, 60, 24, windowOf(form), nullptr,
                                   nullptr, nullptr);
        return keep(label, "Label", kPlaced);
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
            HDC memory = CreateCompatibleDC(nullptr);
            const HGDIOBJ previous = SelectObject(memory, held);
            EXPECT_EQ(GetPixel(memory, size->x / 2, size->y / 2), RGB(255, 0, 0)) << "the copy is what the picture shows";
            SelectObject(memory, previous);
            DeleteDC(memory);
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

    // The parts' right edges, widths added up (the bar leaves a gap of its own before a part).
    void layOut(HWND bar)
    {
        std::vector<int> edges;
        for (int edge = 0; const int width : m_widths.at(bar))
            edges.push_back(edge += width);
        SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
        pump();
    }

    // Objects are named after their kind and a count, as the headless kit names them.
    Variant keep(HWND window, const std::string& kind, unsigned members)
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
