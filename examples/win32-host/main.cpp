// A small Windows host of the library, as a compiled program or a script binds it: by its
// programmatic identifiers, through IDispatch only. One button per window of the library; what
// each call hands back shows below the buttons. Its own form (menus, a status bar of three parts,
// a progress bar, a label and a picture) goes to the desktop utilities as automation objects: a
// long process shows its progress in the status bar, the menus get pictures and the system menu
// an entry, the picture goes to the clipboard, and the label follows the mouse dragged with Ctrl.
//   win32-host [color|texto|mensaje|abrir|guardar|contraseña|utilidades|iconos|sistema]
//   (opens that window at once; the last three leave the utilities' effects in view, with the
//   Archivo menu or the system menu dropped down)

#include "HostWindow.h"

#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <memory>
#include <utility>
#include <string>
#include <vector>

namespace {

HWND g_result = nullptr;

IDispatch* create(const wchar_t* progId)
{
    CLSID clsid;
    IDispatch* object = nullptr;
    if (FAILED(CLSIDFromProgID(progId, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

// Calls a member of `object` by name; arguments in written order. Returns the result as text, or
// the error the library raised.
std::wstring callOn(IDispatch* object, const wchar_t* member, std::vector<VARIANT> args = {},
                    const std::vector<const wchar_t*>& readBack = {})
{
    const auto invoke = [&](const wchar_t* name, WORD kind, std::vector<VARIANT>& values, VARIANT& result) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
        EXCEPINFO error{};
        HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (SUCCEEDED(hr))
            hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, &result, &error, nullptr);
        return error.bstrDescription ? std::wstring(error.bstrDescription) : FAILED(hr) ? L"error" : L"";
    };
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    VARIANT result;
    VariantInit(&result);
    std::wstring text = invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, reversed, result);
    if (text.empty()) {
        VARIANT shown;
        VariantInit(&shown);
        if (SUCCEEDED(VariantChangeType(&shown, &result, 0, VT_BSTR)))
            text = std::wstring(member) + L" = \"" + shown.bstrVal + L"\"";
        VariantClear(&shown);
    }
    for (const wchar_t* property : readBack) {
        std::vector<VARIANT> none;
        VARIANT value, shown;
        VariantInit(&value);
        VariantInit(&shown);
        invoke(property, DISPATCH_PROPERTYGET, none, value);
        if (SUCCEEDED(VariantChangeType(&shown, &value, 0, VT_BSTR)))
            text += L"  " + std::wstring(property) + L" = \"" + shown.bstrVal + L"\"";
        VariantClear(&value);
        VariantClear(&shown);
    }
    VariantClear(&result);
    for (VARIANT& a : args)
        VariantClear(&a);
    return text;
}

// The same on a new object of class `progId`.
std::wstring call(const wchar_t* progId, const wchar_t* member, std::vector<VARIANT> args = {},
                  const std::vector<const wchar_t*>& readBack = {})
{
    IDispatch* object = create(progId);
    if (object == nullptr) {
        for (VARIANT& a : args)
            VariantClear(&a);
        return L"no se puede crear " + std::wstring(progId) + L" (¿regsvr32 Kor2_Sys.dll?)";
    }
    std::wstring text = callOn(object, member, std::move(args), readBack);
    object->Release();
    return text;
}

VARIANT text(const wchar_t* value)
{
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(value);
    return v;
}

VARIANT number(long value)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT integer(int value)
{
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = static_cast<SHORT>(value);
    return v;
}

VARIANT boolean(bool value)
{
    VARIANT v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT object(IDispatch& host)
{
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = &host;
    host.AddRef();
    return v;
}

// The host's own form and what it hands to the library.
struct HostForm {
    HWND form = nullptr, status = nullptr, progress = nullptr, label = nullptr, picture = nullptr;
    std::unique_ptr<kor2host::HostWindow> formObject, statusObject, progressObject, labelObject, pictureObject;
    std::vector<HBITMAP> icons;
    std::vector<std::unique_ptr<kor2host::HostWindow>> iconObjects;  // pictures standing for a bitmap
    IDispatch* mover = nullptr;  // one object: it keeps where the label was grabbed
} g_host;

// A long process: its progress shows in the status bar's second part, then the bar goes back.
std::wstring longProcess(int stopAt)
{
    IDispatch* bar = create(L"Kor2_Sys.c_StatusBar");
    if (bar == nullptr)
        return L"no se puede crear Kor2_Sys.c_StatusBar";
    HostForm& h = g_host;
    callOn(bar, L"Progreso", {object(*h.formObject), object(*h.progressObject), object(*h.statusObject), integer(1),
                              boolean(true)});
    for (int step = 0; step <= stopAt; step += 2) {
        SendMessageW(h.progress, PBM_SETPOS, step, 0);
        const std::wstring said = L"Calculando la red: " + std::to_wstring(step) + L" %";
        SendMessageW(h.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(said.c_str()));
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(20);
    }
    if (stopAt >= 100) {
        callOn(bar, L"Progreso", {object(*h.formObject), object(*h.progressObject), object(*h.statusObject),
                                  integer(1), boolean(false)});
        SendMessageW(h.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Listo"));
    }
    bar->Release();
    return L"Progreso: la barra de progreso ocupó la segunda parte de la barra de estado";
}

std::wstring menuPictures()
{
    HostForm& h = g_host;
    IDispatch* icons = create(L"Kor2_Sys.CIconosMenu");
    if (icons == nullptr)
        return L"no se puede crear Kor2_Sys.CIconosMenu";
    for (int item = 0; item < static_cast<int>(h.iconObjects.size()); ++item)
        callOn(icons, L"I_insertar_iconos_en_menu", {integer(0), integer(item), object(*h.iconObjects[item]),
                                                     object(*h.formObject)});
    VARIANT window;
    window.vt = VT_I4;
    window.lVal = kor2host::handleNumber(h.form);
    const std::wstring said = callOn(icons, L"I_inserta_espacio_despues_icono", {window});
    icons->Release();
    // A sub hands back nothing: anything but its empty result is the error it raised.
    return said.rfind(L"I_inserta_espacio_despues_icono", 0) == 0
               ? L"Menú Archivo con imágenes; el menú de sistema termina en «Informationen»"
               : said;
}

std::wstring pictureToClipboard()
{
    std::wstring said = call(L"Kor2_Sys.cImagen", L"I__CopyPictureToClipboard", {object(*g_host.pictureObject)});
    if (OpenClipboard(nullptr)) {
        BITMAP size{};
        if (auto* bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)); bitmap && GetObjectW(bitmap, sizeof size, &size))
            said += L"; en el portapapeles: mapa de bits de " + std::to_wstring(size.bmWidth) + L" × " +
                    std::to_wstring(size.bmHeight);
        CloseClipboard();
    }
    return said;
}

struct Demo {
    const wchar_t* label;
    const wchar_t* argument;
    std::wstring (*run)();
};

const Demo kDemos[] = {
    {L"Color...", L"color", [] { return call(L"Kor2_Sys.CColores", L"A_Color_Show", {number(255)}); }},
    {L"Texto...", L"texto", [] { return call(L"Kor2_Sys.c_imput1", L"A_Imput", {text(L"Pozo 7"), text(L"Nombre de la cota")}); }},
    {L"Mensaje...", L"mensaje",
     [] { return call(L"Kor2_Sys.c_imput1", L"A_Mensaje", {text(L"La copia de seguridad ha terminado.\r\n3 archivos, 12 kB."), text(L"Informe")}); }},
    {L"Abrir...", L"abrir", [] { return call(L"Kor2_Sys.CCmDialog", L"Fich_NonbreRuta_a_Leer"); }},
    {L"Guardar...", L"guardar", [] { return call(L"Kor2_Sys.CCmDialog", L"Fich_NonbreRuta_a_Grabar"); }},
    {L"Contraseña...", L"contraseña",
     [] { return call(L"Kor2_Sys.cls_Loging", L"ShowDialog", {}, {L"User", L"Acept"}); }},
    {L"Proceso largo", nullptr, [] { return longProcess(100); }},
    {L"Iconos de menú", nullptr, [] { return menuPictures(); }},
    {L"Imagen al portapapeles", nullptr, [] { return pictureToClipboard(); }},
};
constexpr std::size_t kWindowDemos = 6;  // the first row: the library's own windows
constexpr UINT kShowUtilities = WM_APP + 1, kShowMenuPictures = WM_APP + 2, kShowSystemMenu = WM_APP + 3;

// The utilities' effects left in view at once: the process stopped at 60 %, the pictures in the
// menus, the picture on the clipboard and the label dragged with Ctrl.
std::wstring showUtilities()
{
    HostForm& h = g_host;
    std::wstring said = longProcess(60);
    menuPictures();
    said += L"\r\n" + pictureToClipboard();
    RECT at;
    GetWindowRect(h.label, &at);
    SetCursorPos(at.left + 10, at.top + 10);
    callOn(h.mover, L"Mueve_CtrlSeleccionar", {integer(1), object(*h.labelObject)});
    SetCursorPos(at.left + 70, at.top + 60);
    callOn(h.mover, L"Mueve_CtrlMover", {integer(1), integer(2), object(*h.labelObject)});
    return said;
}

// The label follows the mouse while the left button is held with Ctrl, as a host's MouseDown and
// MouseMove events hand it to the control mover.
LRESULT CALLBACK labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HostForm& h = g_host;
    switch (message) {
    case WM_LBUTTONDOWN:
        SetCapture(window);
        if (h.mover)
            callOn(h.mover, L"Mueve_CtrlSeleccionar", {integer(1), object(*h.labelObject)});
        return 0;
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && h.mover)
            callOn(h.mover, L"Mueve_CtrlMover", {integer(1), integer(wParam & MK_CONTROL ? 2 : 0), object(*h.labelObject)});
        return 0;
    case WM_LBUTTONUP: ReleaseCapture(); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT r;
        GetClientRect(window, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L"Arrástreme con Ctrl", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A small menu picture: a coloured square in a frame.
HBITMAP menuPicture(COLORREF colour)
{
    const int side = GetSystemMetrics(SM_CXMENUCHECK);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, side, side);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RECT all{0, 0, side, side}, inner{2, 2, side - 2, side - 2};
    FillRect(memory, &all, GetSysColorBrush(COLOR_MENU));
    HBRUSH fill = CreateSolidBrush(colour);
    FillRect(memory, &inner, fill);
    FrameRect(memory, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(fill);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void buildHostForm(HWND window)
{
    HostForm& h = g_host;
    h.form = window;
    const kor2host::HostParts parts = kor2host::addHostParts(window, L"Kor2DemoLabel");
    h.status = parts.status;
    h.progress = parts.progress;
    h.label = parts.label;
    h.picture = parts.picture;
    SendMessageW(h.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Listo"));
    SendMessageW(h.status, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"Cota 7"));
    h.formObject = std::make_unique<kor2host::HostWindow>(h.form);
    h.statusObject = std::make_unique<kor2host::HostWindow>(h.status);
    h.progressObject = std::make_unique<kor2host::HostWindow>(h.progress);
    h.labelObject = std::make_unique<kor2host::HostWindow>(h.label);
    h.pictureObject = std::make_unique<kor2host::HostWindow>(h.picture);
    for (COLORREF colour : {RGB(240, 190, 40), RGB(40, 120, 220), RGB(200, 40, 40)}) {
        h.icons.push_back(menuPicture(colour));
        h.iconObjects.push_back(std::make_unique<kor2host::HostWindow>(nullptr, h.icons.back()));
    }
    h.mover = create(L"Kor2_Sys.cMoverControl");
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= 1 && LOWORD(wParam) <= std::size(kDemos))
            SetWindowTextW(g_result, kDemos[LOWORD(wParam) - 1].run().c_str());
        return 0;
    case kShowUtilities: SetWindowTextW(g_result, showUtilities().c_str()); return 0;
    case kShowMenuPictures:
        SetWindowTextW(g_result, menuPictures().c_str());
        PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, 'a');  // the Archivo menu dropped down
        return 0;
    case kShowSystemMenu:
        SetWindowTextW(g_result, menuPictures().c_str());
        PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');  // the system menu dropped down
        return 0;
    case WM_SIZE:
        if (g_host.status)
            SendMessageW(g_host.status, WM_SIZE, 0, 0);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show)
{
    CoInitialize(nullptr);
    WNDCLASSW host{};
    host.lpfnWndProc = hostProc;
    host.hInstance = instance;
    host.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    host.lpszClassName = L"Kor2HostDemo";
    RegisterClassW(&host);
    WNDCLASSW label{};
    label.lpfnWndProc = labelProc;
    label.hInstance = instance;
    label.hCursor = host.hCursor;
    label.lpszClassName = L"Kor2DemoLabel";
    RegisterClassW(&label);
    HWND window = CreateWindowW(L"Kor2HostDemo", L"Anfitrión de Kor2_Sys", WS_OVERLAPPEDWINDOW, 40, 40, 700, 420, nullptr,
                                nullptr, instance, nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (std::size_t i = 0; i < std::size(kDemos); ++i) {
        const bool windowRow = i < kWindowDemos;
        const int x = windowRow ? 12 + static_cast<int>(i) * 102 : 12 + static_cast<int>(i - kWindowDemos) * 156;
        HWND button = CreateWindowW(L"BUTTON", kDemos[i].label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x,
                                    windowRow ? 16 : 52, windowRow ? 96 : 150, 28, window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), instance, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    g_result = CreateWindowW(L"STATIC", L"Elija una ventana de la biblioteca.", WS_CHILD | WS_VISIBLE, 12, 92, 660, 48,
                             window, nullptr, instance, nullptr);
    SendMessageW(g_result, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    buildHostForm(window);
    ShowWindow(window, show);
    UpdateWindow(window);
    // A window named on the command line opens as if its button were pressed.
    const std::wstring asked = commandLine ? commandLine : L"";
    for (std::size_t i = 0; i < std::size(kDemos); ++i)
        if (kDemos[i].argument && asked == kDemos[i].argument)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(i + 1, BN_CLICKED), 0);
    if (asked == L"utilidades")
        PostMessageW(window, kShowUtilities, 0, 0);
    if (asked == L"iconos")
        PostMessageW(window, kShowMenuPictures, 0, 0);
    if (asked == L"sistema")
        PostMessageW(window, kShowSystemMenu, 0, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (g_host.mover)
        g_host.mover->Release();
    CoUninitialize();
    return 0;
}
