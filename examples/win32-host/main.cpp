// A small Windows host of the library, as a compiled program or a script binds it: by its
// programmatic identifiers, through IDispatch only. One button per window of the library; what
// each call hands back shows below the buttons.
//   win32-host [color|texto|mensaje|abrir|guardar|contraseña]   (opens that window at once)

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace {

HWND g_result = nullptr;

// Calls a member of a new object of class `progId` by name; arguments in written order. Returns
// the result as text, or the error the library raised.
std::wstring call(const wchar_t* progId, const wchar_t* member, std::vector<VARIANT> args = {},
                  const std::vector<const wchar_t*>& readBack = {})
{
    CLSID clsid;
    IDispatch* object = nullptr;
    if (FAILED(CLSIDFromProgID(progId, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object))))
        return L"no se puede crear " + std::wstring(progId) + L" (¿regsvr32 Kor2_Sys.dll?)";
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
};

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= 1 && LOWORD(wParam) <= std::size(kDemos))
            SetWindowTextW(g_result, kDemos[LOWORD(wParam) - 1].run().c_str());
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
    HWND window = CreateWindowW(L"Kor2HostDemo", L"Anfitrión de Kor2_Sys", WS_OVERLAPPEDWINDOW, 40, 40, 640, 200, nullptr,
                                nullptr, instance, nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (std::size_t i = 0; i < std::size(kDemos); ++i) {
        HWND button = CreateWindowW(L"BUTTON", kDemos[i].label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                    12 + static_cast<int>(i) * 102, 16, 96, 28, window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), instance, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    g_result = CreateWindowW(L"STATIC", L"Elija una ventana de la biblioteca.", WS_CHILD | WS_VISIBLE, 12, 64, 600, 80,
                             window, nullptr, instance, nullptr);
    SendMessageW(g_result, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(window, show);
    UpdateWindow(window);
    // A window named on the command line opens as if its button were pressed.
    for (std::size_t i = 0; i < std::size(kDemos); ++i)
        if (commandLine && std::wstring(commandLine) == kDemos[i].argument)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(i + 1, BN_CLICKED), 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return 0;
}
