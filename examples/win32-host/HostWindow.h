#pragma once
// The host's side of the demonstration: its own windows as the automation objects a compiled host
// hands to the library (hWnd, hdc, Left/Top/Width/Height in twips, Move, ZOrder, Visible, Value,
// ScaleWidth/ScaleHeight, WindowState, and a picture's bitmap as its default value), and the form's
// parts they stand for. Also used by the test host of tests/windows, which reads the effects back.

#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <cmath>
#include <utility>
#include <vector>

namespace kor2host {

inline double twipsPerPixel()
{
    HDC screen = GetDC(nullptr);
    const double twips = 1440.0 / GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return twips;
}

// A window's rectangle where its host sees it: on the screen for a form, in its parent's client
// area for a control.
inline RECT placeOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    if (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline VARIANT number(double value, VARTYPE type = VT_R4)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    VariantChangeType(&v, &v, 0, type);
    return v;
}

enum Member : DISPID { kHwnd = 1, kHdc, kLeft, kTop, kWidth, kHeight, kMove, kZOrder, kVisible, kValue,
                       kScaleWidth, kScaleHeight, kWindowState };
inline const std::pair<const wchar_t*, DISPID> kMembers[] = {
    {L"hWnd", kHwnd}, {L"hdc", kHdc}, {L"Left", kLeft}, {L"Top", kTop}, {L"Width", kWidth}, {L"Height", kHeight},
    {L"Move", kMove}, {L"ZOrder", kZOrder}, {L"Visible", kVisible}, {L"Value", kValue},
    {L"ScaleWidth", kScaleWidth}, {L"ScaleHeight", kScaleHeight}, {L"WindowState", kWindowState}};

// Handles go to the library as the 32-bit numbers a compiled host's Long holds.
template <class Handle> long handleNumber(Handle handle)
{
    return static_cast<long>(reinterpret_cast<INT_PTR>(handle));
}

// What every host object of this program shares: interface queries and a reference count. The
// host owns its objects, so a count that falls to zero deletes nothing; it only shows whether
// the library gave back every reference it took.
class HostDispatch : public IDispatch {
public:
    virtual ~HostDispatch() = default;
    ULONG references() const { return m_references; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        if (*out == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

private:
    ULONG m_references = 1;
};

// A form, control or picture of the host as late binding reaches it: the members a compiled form
// gives its windows, in twips where it gives twips.
class HostWindow final : public HostDispatch {
public:
    /// A window of the host; `picture` is the value it stands for (a picture's bitmap), if any.
    explicit HostWindow(HWND window, HBITMAP picture = nullptr) : m_window(window), m_picture(picture) {}
    ~HostWindow() override
    {
        if (m_dc != nullptr)
            ReleaseDC(m_window, m_dc);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override
    {
        *ids = DISPID_UNKNOWN;
        for (const auto& [name, id] : kMembers)
            if (_wcsicmp(name, names[0]) == 0)
                *ids = id;
        return *ids == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override
    {
        const bool put = flags & DISPATCH_PROPERTYPUT;
        // Arguments come last first.
        std::vector<double> args;
        for (UINT i = params->cArgs; i-- > 0;) {
            VARIANT v;
            VariantInit(&v);
            if (FAILED(VariantChangeType(&v, &params->rgvarg[i], 0, VT_R8)))
                return DISP_E_TYPEMISMATCH;
            args.push_back(v.dblVal);
        }
        if (put && args.size() != 1)
            return DISP_E_BADPARAMCOUNT;
        const double tpp = twipsPerPixel();
        RECT r = placeOf(m_window);
        auto pixels = [&](double twips) { return static_cast<int>(std::lround(twips / tpp)); };
        auto answer = [&](double value, VARTYPE type = VT_R4) {
            if (result != nullptr)
                *result = number(value, type);
            return S_OK;
        };
        auto place = [&] {
            MoveWindow(m_window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
            return S_OK;
        };
        switch (id) {
        case DISPID_VALUE:
            return m_picture != nullptr && !put ? answer(handleNumber(m_picture), VT_I4) : DISP_E_MEMBERNOTFOUND;
        case kHwnd: return answer(handleNumber(m_window), VT_I4);
        case kHdc:
            if (m_dc == nullptr)
                m_dc = GetDC(m_window);
            return answer(handleNumber(m_dc), VT_I4);
        case kLeft:
        case kTop:
        case kWidth:
        case kHeight: {
            LONG& lo = id == kLeft || id == kWidth ? r.left : r.top;
            LONG& hi = id == kLeft || id == kWidth ? r.right : r.bottom;
            const bool side = id == kWidth || id == kHeight;
            if (!put)
                return answer((side ? hi - lo : lo) * tpp);
            if (side) {
                hi = lo + pixels(args[0]);
            } else {
                hi += pixels(args[0]) - lo;
                lo = pixels(args[0]);
            }
            return place();
        }
        case kMove:
            if (args.empty() || args.size() > 4)
                return DISP_E_BADPARAMCOUNT;
            r = {pixels(args[0]), args.size() > 1 ? pixels(args[1]) : r.top,
                 pixels(args[0]) + (args.size() > 2 ? pixels(args[2]) : r.right - r.left),
                 (args.size() > 1 ? pixels(args[1]) : r.top) + (args.size() > 3 ? pixels(args[3]) : r.bottom - r.top)};
            return place();
        case kZOrder:
            SetWindowPos(m_window, !args.empty() && args[0] == 1 ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE);
            return S_OK;
        case kVisible:
            if (!put)
                return answer(IsWindowVisible(m_window) ? -1 : 0, VT_BOOL);
            ShowWindow(m_window, args[0] != 0 ? SW_SHOWNA : SW_HIDE);
            return S_OK;
        case kValue:
            if (!put)
                return answer(static_cast<double>(SendMessageW(m_window, PBM_GETPOS, 0, 0)), VT_I2);
            SendMessageW(m_window, PBM_SETPOS, static_cast<WPARAM>(args[0]), 0);
            return S_OK;
        case kScaleWidth:
        case kScaleHeight: {
            RECT client{};
            GetClientRect(m_window, &client);
            return answer((id == kScaleWidth ? client.right : client.bottom) * tpp);
        }
        case kWindowState:
            if (!put)
                return answer(IsIconic(m_window) ? 1 : IsZoomed(m_window) ? 2 : 0, VT_I2);
            ShowWindow(m_window, args[0] == 2 ? SW_MAXIMIZE : args[0] == 1 ? SW_MINIMIZE : SW_RESTORE);
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    HWND m_window;
    HBITMAP m_picture;
    HDC m_dc = nullptr;
};

// The picture: a drawing of the host's own, which the clipboard copy takes as it shows.
inline LRESULT CALLBACK pictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT r;
    GetClientRect(window, &r);
    for (int band = 0; band < 8; ++band) {
        RECT strip{r.left, r.top + (r.bottom * band) / 8, r.right, r.top + (r.bottom * (band + 1)) / 8};
        HBRUSH sky = CreateSolidBrush(RGB(90 + band * 18, 150 + band * 10, 230));
        FillRect(dc, &strip, sky);
        DeleteObject(sky);
    }
    HBRUSH sun = CreateSolidBrush(RGB(255, 210, 40));
    HGDIOBJ previous = SelectObject(dc, sun);
    Ellipse(dc, r.right - 60, 12, r.right - 16, 56);
    SelectObject(dc, previous);
    DeleteObject(sun);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 10, r.bottom - 22, L"Plano de la cota 7", 18);
    EndPaint(window, &paint);
    return 0;
}

// The windows of the host's form that the desktop utilities work on.
struct HostParts {
    HWND status = nullptr, progress = nullptr, label = nullptr, picture = nullptr;
};

// Gives `form` a menu bar (Archivo with three items, Edición with two), a status bar of three
// parts, a hidden progress bar, a label of window class `labelClass` and a picture.
inline HostParts addHostParts(HWND form, const wchar_t* labelClass)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSW pictureClass{};
    pictureClass.lpfnWndProc = pictureProc;
    pictureClass.lpszClassName = L"Kor2HostPicture";
    RegisterClassW(&pictureClass);  // once per process: a second registration changes nothing

    HMENU bar = CreateMenu(), file = CreatePopupMenu(), edit = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 1001, L"&Abrir plano");
    AppendMenuW(file, MF_STRING, 1002, L"&Guardar plano");
    AppendMenuW(file, MF_STRING, 1003, L"&Salir");
    AppendMenuW(edit, MF_STRING, 1101, L"&Copiar");
    AppendMenuW(edit, MF_STRING, 1102, L"&Pegar");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Archivo");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edición");
    SetMenu(form, bar);
    HostParts parts;
    parts.status = CreateWindowW(STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, form, nullptr, nullptr, nullptr);
    int edges[] = {220, 470, -1};
    SendMessageW(parts.status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    parts.progress = CreateWindowW(PROGRESS_CLASSW, nullptr, WS_CHILD, 0, 0, 100, 16, form, nullptr, nullptr, nullptr);
    parts.label = CreateWindowW(labelClass, L"Arrástreme con Ctrl", WS_CHILD | WS_VISIBLE, 24, 170, 150, 28, form, nullptr,
                                nullptr, nullptr);
    parts.picture = CreateWindowW(L"Kor2HostPicture", nullptr, WS_CHILD | WS_VISIBLE, 360, 150, 220, 140, form, nullptr,
                                  nullptr, nullptr);
    return parts;
}

} // namespace kor2host
