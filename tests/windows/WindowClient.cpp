// The path from a late-bound client to the library's windows on the platform's own window system:
// a client calls each window class's members through IDispatch on its main thread, as a script host
// does, while a second thread waits for the window by its caption and ends its modal loop through
// its standard controls (WM_SETTEXT into a box, BM_CLICK on a button). What the windows do with
// each control the window tables play; here each row checks only what the call hands back.
// Prints FALLO per fault and "OK n comprobaciones".

#include "ClientChecks.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using kor2client::check;
using kor2client::narrow;
using kor2client::text;

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

// The visible child windows of a class, from the top of the window down, then left to right.
std::vector<HWND> childrenOf(HWND window, const std::wstring& windowClass)
{
    std::pair<const std::wstring*, std::vector<HWND>> search{&windowClass, {}};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<std::pair<const std::wstring*, std::vector<HWND>>*>(data);
            if (IsWindowVisible(child) && _wcsicmp(classOf(child).c_str(), s.first->c_str()) == 0)
                s.second.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    std::sort(search.second.begin(), search.second.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return std::pair(ra.top, ra.left) < std::pair(rb.top, rb.left);
    });
    return search.second;
}

/// What a person does: text into the n-th box from the top (or the control numbered `id`, as the
/// platform's own dialogs name theirs whatever language they speak), or a click on the button with
/// the caption (or numbered `id`).
struct Step {
    bool click;
    int box;
    std::wstring text;
    int id = 0;
};
Step type(int box, std::wstring text) { return {false, box, std::move(text)}; }
Step click(std::wstring caption) { return {true, 0, std::move(caption)}; }
Step typeInto(int id, std::wstring text) { return {false, 0, std::move(text), id}; }
Step press(int id) { return {true, 0, {}, id}; }
// The common file dialog's name box: an edit box in one version of the dialog, a combo box in another.
constexpr int kFileNameBox = 0x480, kFileNameCombo = 0x47C;

HWND controlFor(HWND window, const Step& step)
{
    if (step.id != 0) {
        HWND control = GetDlgItem(window, step.id);
        return control == nullptr && step.id == kFileNameBox ? GetDlgItem(window, kFileNameCombo) : control;
    }
    if (step.click) {
        for (HWND button : childrenOf(window, L"Button"))
            if (textOf(button) == step.text)
                return button;
        return nullptr;
    }
    const std::vector<HWND> boxes = childrenOf(window, L"Edit");
    return step.box < static_cast<int>(boxes.size()) ? boxes[static_cast<std::size_t>(step.box)] : nullptr;
}

[[noreturn]] void giveUp(const std::string& why)
{
    kor2client::fail(why);
    ExitProcess(1);
}

// Waits for the window, then works it; a window that never shows, lacks a control or stays after
// the last step ends the whole run, so that the modal call on the main thread cannot hang it.
void person(std::wstring caption, std::vector<Step> steps)
{
    HWND window = nullptr;
    for (int waited = 0; waited < 15000 && !IsWindowVisible(window = FindWindowW(nullptr, caption.c_str())); waited += 20)
        Sleep(20);
    for (const Step& step : steps) {
        HWND control = IsWindowVisible(window) ? controlFor(window, step) : nullptr;
        if (control == nullptr)
            giveUp("la ventana \"" + narrow(caption) + "\" no aparece o le falta un control");
        if (step.click)
            PostMessageW(control, BM_CLICK, 0, 0);
        else
            SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.text.c_str()));
    }
    for (int waited = 0; IsWindow(window) && IsWindowVisible(window); waited += 20) {
        if (waited > 15000)
            giveUp("la ventana \"" + narrow(caption) + "\" sigue abierta tras el último paso");
        Sleep(20);
    }
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

VARIANT call(IDispatch* object, const wchar_t* member, WORD kind, std::vector<VARIANT> args = {})
{
    VARIANT result;
    VariantInit(&result);
    const kor2client::Answer answer = kor2client::invoke(object, member, kind, std::move(args), &result);
    check(SUCCEEDED(answer.hr), narrow(member) + ": error " + kor2client::hex(answer.scode ? answer.scode : answer.hr) +
                                    " " + narrow(answer.description));
    return result;
}

VARIANT method(IDispatch* o, const wchar_t* name, std::vector<VARIANT> args)
{
    return call(o, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
}

/// One row: what the client calls, the window a person then works, and what the call returns and
/// the properties read afterwards must be.
struct Row {
    const char* label;
    const wchar_t* progId;
    std::function<VARIANT(IDispatch*)> call;
    std::wstring caption;
    std::vector<Step> steps;
    std::wstring result;
    std::vector<std::pair<const wchar_t*, std::wstring>> after{};
};

void play(const Row& row)
{
    IDispatch* object = kor2client::create(row.progId);
    if (object == nullptr)
        return;
    std::thread worker(person, row.caption, row.steps);
    const std::wstring got = shown(row.call(object));
    worker.join();
    check(got == row.result, std::string(row.label) + ": " + narrow(got) + " en vez de " + narrow(row.result));
    for (const auto& [property, wanted] : row.after) {
        const std::wstring value = shown(call(object, property, DISPATCH_PROPERTYGET));
        check(value == wanted, std::string(row.label) + " " + narrow(property) + ": " + narrow(value));
    }
    object->Release();
}

} // namespace

int main()
{
    CoInitialize(nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring self = path, newFile = self.substr(0, self.rfind(L'\\')) + L"\\nuevo-archivo.txt";
    // The colour a person types is the one the catalogue gives for its number.
    IDispatch* colours = kor2client::create(L"Kor2_Sys.CColores");
    const std::wstring twelve = shown(method(colours, L"Col_NumVB_de_NumCad", {number(12)}));
    if (colours != nullptr)
        colours->Release();
    const auto chooser = [](const wchar_t* member, const wchar_t* title) {
        return [=](IDispatch* o) {
            call(o, L"titulo", DISPATCH_PROPERTYPUT, {text(title)});
            call(o, L"FiltroNombre", DISPATCH_PROPERTYPUT, {text(L"Texto|*.txt|Todos|*.*")});
            return method(o, member, {});
        };
    };
    const Row rows[] = {
        {"color", L"Kor2_Sys.CColores", [](IDispatch* o) { return method(o, L"A_Color_Show", {number(0)}); },
         L"Elige Color:", {type(0, L"12"), click(L"Aceptar")}, twelve},
        {"texto", L"Kor2_Sys.c_imput1", [](IDispatch* o) { return method(o, L"A_Imput", {text(L"inicial"), text(L"Cota")}); },
         L"Cota", {type(0, L"nuevo"), click(L"Aceptar")}, L"nuevo"},
        {"número cancelado", L"Kor2_Sys.c_imput1",
         [](IDispatch* o) { return method(o, L"A_Imput_Numero_R", {number(2.5), text(L"N")}); }, L"N", {click(L"Cancelar")},
         L"-0.0007"},
        {"mensaje", L"Kor2_Sys.c_imput1", [](IDispatch* o) { return method(o, L"A_Mensaje", {text(L"uno"), text(L"Informe")}); },
         L"Informe", {click(L"Aceptar")}, L""},
        {"archivo a leer", L"Kor2_Sys.CCmDialog", chooser(L"Fich_NonbreRuta_a_Leer", L"Abrir prueba"), L"Abrir prueba",
         {typeInto(kFileNameBox, self), press(IDOK)}, self},
        {"archivo a grabar", L"Kor2_Sys.CCmDialog", chooser(L"Fich_NonbreRuta_a_Grabar", L"Grabar prueba"), L"Grabar prueba",
         {typeInto(kFileNameBox, newFile), press(IDOK)}, newFile},
        {"contraseña", L"Kor2_Sys.cls_Loging", [](IDispatch* o) { return method(o, L"ShowDialog", {}); }, L"Contraseña:",
         {type(0, L"ana"), type(1, L"s3"), click(L"Aceptar")}, L"",
         {{L"User", L"ana"}, {L"Password", L"s3"}, {L"Acept", L"Verdadero"}}},
    };
    for (const Row& row : rows)
        play(row);
    CoUninitialize();
    return kor2client::finish();
}
