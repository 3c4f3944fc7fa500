// The library's windows on the platform's own window system, used as a person uses them: a client
// calls the window members through IDispatch on its main thread, as a script host does, while a
// second thread waits for each window by its caption and works it through its standard controls
// (WM_SETTEXT into a box, BM_CLICK on a button found by its caption, keys posted to a box). Each
// row checks what the call hands back. Prints FALLO per fault and "OK n comprobaciones".
//   window_client [DPI]   (DPI: the screen's dots per inch the prefix was set to; 96 by default)

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

int checks = 0, failures = 0;

void fail(const std::string& what)
{
    ++failures;
    std::printf("FALLO %s\n", what.c_str());
    std::fflush(stdout);
}

std::string narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// --- the person at the screen ---------------------------------------------------------------

std::wstring textOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A shown top-level window of this process with this caption.
HWND findWindow(const std::wstring& caption)
{
    struct Search {
        const std::wstring& caption;
        HWND found = nullptr;
    } search{caption, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) && textOf(window) == s.caption) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible child windows of a class, from the top of the window down, then left to right.
std::vector<HWND> childrenOf(HWND window, const std::wstring& windowClass)
{
    struct Search {
        const std::wstring& windowClass;
        std::vector<HWND> found;
    } search{windowClass, {}};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (IsWindowVisible(child) && _wcsicmp(classOf(child).c_str(), s.windowClass.c_str()) == 0)
                s.found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    std::sort(search.found.begin(), search.found.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return std::pair(ra.top, ra.left) < std::pair(rb.top, rb.left);
    });
    return search.found;
}

/// One thing a person does in a window: type into the n-th box, click the button with a caption, or
/// press a key in the n-th box. The platform's own dialogs name their controls by number instead,
/// whatever language they speak.
struct Step {
    enum class Kind { Type, Click, Key, Measure, Chars, Shows, Move, Names, FocusKey, FocusReads } kind;
    int box = 0;                 ///< Type, Key: the box, from the top
    std::wstring text{};         ///< Type: the text; Click: the button's caption
    WPARAM key = 0;              ///< Key: virtual key
    int id = 0;                  ///< not 0: the control with this number instead
};
Step type(int box, std::wstring text) { return {Step::Kind::Type, box, std::move(text)}; }
Step click(std::wstring caption) { return {Step::Kind::Click, 0, std::move(caption)}; }
Step key(int box, WPARAM key) { return {Step::Kind::Key, box, {}, key}; }
Step typeInto(int id, std::wstring text) { return {Step::Kind::Type, 0, std::move(text), 0, id}; }
Step press(int id) { return {Step::Kind::Click, 0, {}, 0, id}; }
// Selects all of the n-th box and types the text into it, one character message at a time.
Step chars(int box, std::wstring text) { return {Step::Kind::Chars, box, std::move(text)}; }
// The n-th box shows this text now (what was typed reached the screen, not only the window's data).
Step shows(int box, std::wstring text) { return {Step::Kind::Shows, box, std::move(text)}; }
// Drags the window to a place on the screen, in pixels.
Step move(int x, int y) { return {Step::Kind::Move, x, {}, static_cast<WPARAM>(y)}; }
// Every control the keyboard reaches has the name a screen reader reads: a box the text of the
// static label just above it in the z-order, any other control its own text.
Step names() { return {Step::Kind::Names}; }
// A key pressed where the window's focus is, as a keyboard user does, handled before the next step.
Step focusKey(WPARAM key) { return {Step::Kind::FocusKey, 0, {}, key}; }
// The control that has the focus reads this name (a palette names its ringed cell).
Step focusReads(std::wstring name) { return {Step::Kind::FocusReads, 0, std::move(name)}; }
// Where the n-th box lies in its window's client pixels, kept in `measured`.
Step measure(int box) { return {Step::Kind::Measure, box}; }
RECT measured{};
// The common file dialog's name box.
constexpr int kFileNameBox = 0x480, kFileNameCombo = 0x47C;

void expect(const std::string& label, const std::wstring& got, const std::wstring& wanted);

void checkNames(HWND window)
{
    EnumChildWindows(
        window,
        [](HWND child, LPARAM) -> BOOL {
            if (!IsWindowVisible(child) || !(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP))
                return TRUE;
            ++checks;
            std::wstring name = textOf(child);
            if (_wcsicmp(classOf(child).c_str(), L"Edit") == 0) {
                HWND label = GetWindow(child, GW_HWNDPREV);
                name = label && _wcsicmp(classOf(label).c_str(), L"Static") == 0 ? textOf(label) : L"";
            }
            if (name.empty())
                fail("un control " + narrow(classOf(child)) + " sin nombre para un lector de pantalla");
            return TRUE;
        },
        0);
}

bool act(HWND window, const Step& step)
{
    if (step.kind == Step::Kind::Names) {
        checkNames(window);
        return true;
    }
    if (step.kind == Step::Kind::FocusKey || step.kind == Step::Kind::FocusReads) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || info.hwndFocus == nullptr)
            return false;
        if (step.kind == Step::Kind::FocusReads) {
            expect("el foco se lee", textOf(info.hwndFocus), step.text);
            return true;
        }
        // Sent, not posted: the focus the next key goes to is the one this key left.
        SendMessageW(info.hwndFocus, WM_KEYDOWN, step.key, 1);
        SendMessageW(info.hwndFocus, WM_KEYUP, step.key, 0xC0000001);
        return true;
    }
    if (step.id != 0) {
        HWND control = GetDlgItem(window, step.id);
        // The name box is an edit box in one version of the dialog, a combo box in another.
        if (control == nullptr && step.id == kFileNameBox)
            control = GetDlgItem(window, kFileNameCombo);
        if (control == nullptr)
            return false;
        if (step.kind == Step::Kind::Type)
            SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.text.c_str()));
        else
            PostMessageW(control, BM_CLICK, 0, 0);
        return true;
    }
    if (step.kind == Step::Kind::Move)
        return SetWindowPos(window, nullptr, step.box, static_cast<int>(step.key), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
    if (step.kind == Step::Kind::Click) {
        for (HWND button : childrenOf(window, L"Button"))
            if (textOf(button) == step.text) {
                PostMessageW(button, BM_CLICK, 0, 0);
                return true;
            }
        return false;
    }
    const std::vector<HWND> boxes = childrenOf(window, L"Edit");
    if (step.box >= static_cast<int>(boxes.size()))
        return false;
    HWND box = boxes[static_cast<std::size_t>(step.box)];
    if (step.kind == Step::Kind::Measure) {
        GetWindowRect(box, &measured);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&measured), 2);
    } else if (step.kind == Step::Kind::Shows) {
        // The characters were posted: they are typed once the window's thread has taken them.
        std::wstring text;
        for (int waited = 0; waited < 5000 && (text = textOf(box)) != step.text; waited += 20)
            Sleep(20);
        ++checks;
        if (text != step.text)
            fail("la caja muestra \"" + narrow(text) + "\" en vez de \"" + narrow(step.text) + "\"");
    } else if (step.kind == Step::Kind::Chars) {
        PostMessageW(box, EM_SETSEL, 0, -1);
        for (wchar_t character : step.text)
            PostMessageW(box, WM_CHAR, character, 1);
    } else if (step.kind == Step::Kind::Type) {
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.text.c_str()));
    } else {
        PostMessageW(box, WM_KEYDOWN, step.key, 1);
        PostMessageW(box, WM_KEYUP, step.key, 0xC0000001);
    }
    return true;
}

// The class and text of the control that has the focus in the window's thread.
std::string focusedControl(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || info.hwndFocus == nullptr)
        return "ninguno";
    return narrow(classOf(info.hwndFocus) + L" \"" + textOf(info.hwndFocus) + L"\"");
}

// The captions of this process's top-level windows, shown or not, to tell what did appear.
std::string shownWindows()
{
    std::wstring list;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId())
                *reinterpret_cast<std::wstring*>(data) +=
                    L"\"" + textOf(window) + L"\"" + (IsWindowVisible(window) ? L" " : L" (oculta) ");
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&list));
    return narrow(list);
}

[[noreturn]] void giveUp(const std::string& why)
{
    fail(why);
    std::printf("%d comprobaciones, %d fallos\n", checks, failures);
    std::fflush(stdout);
    ExitProcess(1);
}

// Waits for the window, then works it; a window that never shows, lacks a control or stays after
// the last step ends the whole run, so that the modal call on the main thread cannot hang it.
void person(std::wstring caption, std::vector<Step> steps)
{
    HWND window = nullptr;
    for (int waited = 0; window == nullptr && waited < 15000; waited += 20) {
        window = findWindow(caption);
        if (window == nullptr)
            Sleep(20);
    }
    for (const Step& step : steps)
        if (window == nullptr || !act(window, step))
            giveUp("la ventana \"" + narrow(caption) + "\" no aparece o le falta un control; se ven: " + shownWindows());
    for (int waited = 0; IsWindow(window) && IsWindowVisible(window); waited += 20) {
        if (waited > 15000)
            giveUp("la ventana \"" + narrow(caption) + "\" sigue abierta tras el último paso, con el foco en " +
                   focusedControl(window));
        Sleep(20);
    }
}

// --- the client -------------------------------------------------------------------------------

struct Object {
    IDispatch* dispatch = nullptr;
    explicit Object(const wchar_t* progId)
    {
        CLSID clsid;
        if (SUCCEEDED(CLSIDFromProgID(progId, &clsid)))
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        if (dispatch == nullptr)
            fail("no se crea " + narrow(progId));
    }
    ~Object()
    {
        if (dispatch)
            dispatch->Release();
    }
    /// Calls a member by name (`kind` DISPATCH_METHOD, DISPATCH_PROPERTYGET or PUT) with arguments
    /// in their written order; the result, or an empty variant on failure (which is reported).
    VARIANT call(const wchar_t* name, WORD kind, std::vector<VARIANT> args = {})
    {
        VARIANT result;
        VariantInit(&result);
        if (dispatch == nullptr)
            return result;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        std::reverse(args.begin(), args.end());
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS params{args.data(), kind == DISPATCH_PROPERTYPUT ? &put : nullptr, static_cast<UINT>(args.size()),
                          kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
        EXCEPINFO error{};
        HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (SUCCEEDED(hr))
            hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, &result, &error, nullptr);
        if (FAILED(hr))
            fail(narrow(name) + ": error " + std::to_string(error.scode ? error.scode : hr) + " " +
                 narrow(error.bstrDescription ? error.bstrDescription : L""));
        for (VARIANT& a : args)
            VariantClear(&a);
        return result;
    }
};

VARIANT text(const wchar_t* value)
{
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(value);
    return v;
}

VARIANT number(double value)
{
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

// A value as the result text a script would print.
std::wstring shown(VARIANT value)
{
    VARIANT asText;
    VariantInit(&asText);
    std::wstring out = L"<" + std::to_wstring(value.vt) + L">";
    if (value.vt == VT_BOOL)
        out = value.boolVal ? L"Verdadero" : L"Falso";
    else if (SUCCEEDED(VariantChangeTypeEx(&asText, &value, 0x0409, 0, VT_BSTR)))
        out = asText.bstrVal;
    VariantClear(&asText);
    VariantClear(&value);
    return out;
}

void expect(const std::string& label, const std::wstring& got, const std::wstring& wanted)
{
    ++checks;
    if (got != wanted)
        fail(label + ": " + narrow(got) + " en vez de " + narrow(wanted));
}

/// One row: what the client calls, the window a person then sees and works, and what the client
/// reads back afterwards (each with the value it must have).
struct Row {
    const char* label;
    const wchar_t* progId;
    std::function<VARIANT(Object&)> call;
    std::wstring caption;
    std::vector<Step> steps;
    std::wstring result;  ///< what the call returns
    std::vector<std::pair<const wchar_t*, std::wstring>> after{};  ///< properties read afterwards
};

VARIANT method(Object& o, const wchar_t* name, std::vector<VARIANT> args)
{
    return o.call(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
}

void play(const Row& row)
{
    Object object(row.progId);
    std::thread worker(person, row.caption, row.steps);
    const std::wstring got = shown(row.call(object));
    worker.join();
    expect(row.label, got, row.result);
    for (const auto& [property, wanted] : row.after)
        expect(std::string(row.label) + " " + narrow(property), shown(object.call(property, DISPATCH_PROPERTYGET)), wanted);
}

std::wstring folderOfThisProgram(std::wstring& self)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    self = path;
    return self.substr(0, self.rfind(L'\\'));
}

} // namespace

// Pixels of a length in twips at `dpi`: whole pixels, never rounded up.
long pixels(long twips, long dpi)
{
    return twips * dpi / 1440;
}

int main(int argc, char** argv)
{
    const long dpi = argc > 1 ? std::atol(argv[1]) : 96;
    CoInitialize(nullptr);
    std::wstring self;
    const std::wstring folder = folderOfThisProgram(self);
    const std::wstring newFile = folder + L"\\nuevo-archivo.txt";
    // The colour a person types is the one the catalogue gives for its number.
    Object colours(L"Kor2_Sys.CColores");
    const std::wstring twelve = shown(method(colours, L"Col_NumVB_de_NumCad", {number(12)}));
    const auto chooser = [](const wchar_t* member, const wchar_t* title, const wchar_t* proposed) {
        return [=](Object& o) {
            o.call(L"titulo", DISPATCH_PROPERTYPUT, {text(title)});
            o.call(L"Nonbredefecto", DISPATCH_PROPERTYPUT, {text(proposed)});
            o.call(L"FiltroNombre", DISPATCH_PROPERTYPUT, {text(L"Texto|*.txt|Todos|*.*")});
            return method(o, member, {});
        };
    };
    const Row rows[] = {
        {"color tecleado y aceptado", L"Kor2_Sys.CColores", [](Object& o) { return method(o, L"A_Color_Show", {number(0)}); },
         L"Elige Color:", {type(0, L"12"), click(L"Aceptar")}, twelve},
        {"color tecleado carácter a carácter", L"Kor2_Sys.CColores",
         [](Object& o) { return method(o, L"A_Color_Show", {number(0)}); }, L"Elige Color:",
         {chars(0, L"12"), shows(0, L"12"), click(L"Aceptar")}, twelve},
        {"color cancelado", L"Kor2_Sys.CColores", [](Object& o) { return method(o, L"A_Color_Show", {number(200)}); },
         L"Elige Color:", {type(0, L"12"), click(L"Cancelar")}, L"200"},
        {"color con Escape", L"Kor2_Sys.CColores", [](Object& o) { return method(o, L"A_Color_Show", {number(200)}); },
         L"Elige Color:", {names(), key(0, VK_ESCAPE)}, L"200"},
        // The palette after the buttons; its ring starts on the chosen white, Home goes to red.
        {"verde por teclado", L"Kor2_Sys.CColores", [](Object& o) { return method(o, L"A_Color_Show", {number(0)}); },
         L"Elige Color:",
         {focusKey(VK_TAB), focusKey(VK_TAB), focusKey(VK_TAB), focusKey(VK_TAB), focusKey(VK_HOME), focusKey(VK_RIGHT),
          focusKey(VK_RIGHT), focusReads(L"Colores normales: verde, 3"), focusKey(VK_RETURN),
          focusReads(L"Colores normales: verde, 3 (elegido)"), focusKey(VK_TAB), focusKey(VK_TAB), focusKey(VK_TAB), focusKey(VK_TAB),
          focusKey(VK_RETURN)},
         L"65280"},
        {"texto aceptado", L"Kor2_Sys.c_imput1",
         [](Object& o) { return method(o, L"A_Imput", {text(L"inicial"), text(L"Cota")}); }, L"Cota",
         {type(0, L"nuevo"), click(L"Aceptar")}, L"nuevo"},
        {"texto con Intro", L"Kor2_Sys.c_imput1",
         [](Object& o) { return method(o, L"A_Imput", {text(L"inicial"), text(L"Cota")}); }, L"Cota",
         {names(), type(0, L"otro"), key(0, VK_RETURN)}, L"otro"},
        {"texto tecleado con retroceso", L"Kor2_Sys.c_imput1",
         [](Object& o) { return method(o, L"A_Imput", {text(L"inicial"), text(L"Cota")}); }, L"Cota",
         {chars(0, L"abX\bc"), shows(0, L"abc"), key(0, VK_RETURN)}, L"abc"},
        {"texto cancelado", L"Kor2_Sys.c_imput1",
         [](Object& o) { return method(o, L"A_Imput", {text(L"inicial"), text(L"Cota")}); }, L"Cota",
         {type(0, L"nuevo"), click(L"Cancelar")}, L""},
        {"número cancelado", L"Kor2_Sys.c_imput1",
         [](Object& o) { return method(o, L"A_Imput_Numero_R", {number(2.5), text(L"N")}); }, L"N",
         {click(L"Cancelar")}, L"-0.0007"},
        {"mensaje", L"Kor2_Sys.c_imput1",
         [](Object& o) { return method(o, L"A_Mensaje", {text(L"uno"), text(L"Informe")}); }, L"Informe",
         {names(), click(L"Aceptar")}, L""},
        {"archivo a leer", L"Kor2_Sys.CCmDialog", chooser(L"Fich_NonbreRuta_a_Leer", L"Abrir prueba", L""),
         L"Abrir prueba", {typeInto(kFileNameBox, self), press(IDOK)}, self},
        {"archivo a leer cancelado", L"Kor2_Sys.CCmDialog", chooser(L"Fich_NonbreRuta_a_Leer", L"Abrir prueba", L"dado.txt"),
         L"Abrir prueba", {press(IDCANCEL)}, L"dado.txt"},
        {"archivo a grabar", L"Kor2_Sys.CCmDialog", chooser(L"Fich_NonbreRuta_a_Grabar", L"Grabar prueba", L""),
         L"Grabar prueba", {typeInto(kFileNameBox, newFile), press(IDOK)}, newFile},
        {"archivo a grabar cancelado", L"Kor2_Sys.CCmDialog", chooser(L"Fich_NonbreRuta_a_Grabar", L"Grabar prueba", L"x.txt"),
         L"Grabar prueba", {press(IDCANCEL)}, L""},
        {"contraseña aceptada", L"Kor2_Sys.cls_Loging", [](Object& o) { return method(o, L"ShowDialog", {}); },
         L"Contraseña:", {type(0, L"ana"), type(1, L"s3"), click(L"Aceptar")}, L"",
         {{L"User", L"ana"}, {L"Password", L"s3"}, {L"Acept", L"Verdadero"}}},
        {"contraseña tecleada", L"Kor2_Sys.cls_Loging", [](Object& o) { return method(o, L"ShowDialog", {}); },
         L"Contraseña:", {chars(0, L"luz"), chars(1, L"x\x00F1y"), shows(1, L"x\x00F1y"), click(L"Aceptar")}, L"",
         {{L"User", L"luz"}, {L"Password", L"x\x00F1y"}, {L"Acept", L"Verdadero"}}},
        {"contraseña cancelada", L"Kor2_Sys.cls_Loging", [](Object& o) { return method(o, L"ShowDialog", {}); },
         L"Contraseña:", {names(), type(0, L"otro"), click(L"&Cancelar")}, L"", {{L"Acept", L"Falso"}}},
    };
    for (const Row& row : rows)
        play(row);
    // A prompt the user moved keeps, in the settings, the place where the user left it, in twips.
    play({"texto movido", L"Kor2_Sys.c_imput1", [](Object& o) { return method(o, L"A_Imput", {text(L"x"), text(L"Movida")}); },
          L"Movida", {move(200, 120), click(L"Aceptar")}, L"x"});
    for (const auto& [key, px] : {std::pair(L"Left", 200L), std::pair(L"Top", 120L)}) {
        wchar_t stored[64] = {};
        DWORD size = sizeof stored;
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Vesolar\\Input Movida", key,
                     RRF_RT_REG_SZ, nullptr, stored, &size);
        expect("texto movido " + narrow(key), stored, std::to_wstring(px * 1440 / dpi));
    }
    // The colour box of the colour chooser sits at 1230, 960 twips in its window, 1140 × 330 twips
    // large: at 192 dots per inch 7.5 twips make a pixel, and no pixel may be lost or gained.
    play({"caja de color medida", L"Kor2_Sys.CColores", [](Object& o) { return method(o, L"A_Color_Show", {number(7)}); },
          L"Elige Color:", {measure(0), click(L"Cancelar")}, L"7"});
    const RECT wanted{pixels(1230, dpi), pixels(960, dpi), pixels(1230 + 1140, dpi), pixels(960 + 330, dpi)};
    const auto side = [](long value) { return std::to_wstring(value); };
    expect("caja de color a " + std::to_string(dpi) + " ppp",
           side(measured.left) + L"," + side(measured.top) + L"," + side(measured.right) + L"," + side(measured.bottom),
           side(wanted.left) + L"," + side(wanted.top) + L"," + side(wanted.right) + L"," + side(wanted.bottom));
    CoUninitialize();
    if (failures == 0)
        std::printf("OK %d comprobaciones\n", checks);
    return failures == 0 ? 0 : 1;
}
