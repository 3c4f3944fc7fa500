// The colour chooser from the call to its first paint, against a bare dialog of the same controls
// made from an in-memory template by the platform's dialog manager: the cost of rendering a form
// model with standard controls over the platform's cheapest way to show them. Run under a display
// (xvfb-run + Wine): colour_first_paint [ROUNDS]

#include <Kor2_Sys/CColores.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_painted;
bool g_seen = false;
HWND g_window = nullptr;

// The first paint message of the measured window (or one of its controls) stops the clock; the
// window is then cancelled by a click, as a person would.
BOOL CALLBACK pressCancel(HWND child, LPARAM)
{
    wchar_t text[32] = {};
    GetWindowTextW(child, text, 32);
    if (std::wcscmp(text, L"Cancelar") == 0)
        PostMessageW(child, BM_CLICK, 0, 0);
    return TRUE;
}

LRESULT CALLBACK watch(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_PAINT && !g_seen) {
        HWND top = GetAncestor(message->hwnd, GA_ROOT);
        wchar_t caption[64] = {};
        GetWindowTextW(top, caption, 64);
        if (std::wcscmp(caption, L"Elige Color:") == 0) {
            g_painted = Clock::now();
            g_seen = true;
            g_window = top;
            EnumChildWindows(top, &pressCancel, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// One dialog item of the template, in dialog units: class atom, style, place, text.
struct Item {
    WORD atom;  // 0x80 button, 0x81 edit, 0x82 static
    DWORD style;
    short x, y, cx, cy;
    const wchar_t* text;
};

// The colour chooser's controls, in twips / 15 / 1.5 (about dialog units of an 8-point font).
constexpr Item kItems[] = {
    {0x80, BS_GROUPBOX, 5, 5, 165, 30, L"Colores normales"},
    {0x82, SS_BLACKRECT, 9, 14, 111, 16, L""},
    {0x80, BS_PUSHBUTTON | WS_TABSTOP, 126, 14, 33, 15, L"otros ..."},
    {0x80, BS_GROUPBOX, 5, 33, 165, 30, L""},
    {0x82, SS_LEFT, 11, 47, 43, 9, L"Color elegido:"},
    {0x81, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 55, 43, 51, 15, L"0"},
    {0x82, SS_BLACKRECT, 109, 43, 17, 16, L""},
    {0x82, SS_LEFT, 129, 41, 39, 17, L"color válido: de 1a 255"},
    {0x82, SS_LEFT, 131, 45, 28, 9, L"por capa"},
    {0x80, BS_GROUPBOX, 173, 5, 62, 59, L""},
    {0x80, BS_DEFPUSHBUTTON | WS_TABSTOP, 177, 14, 52, 18, L"Aceptar"},
    {0x80, BS_PUSHBUTTON | WS_TABSTOP, 177, 38, 52, 18, L"Cancelar"},
    {0x80, BS_GROUPBOX, 5, 65, 229, 108, L"Colores especiales"},
    {0x82, SS_BLACKRECT, 9, 79, 75, 16, L""},
    {0x82, SS_LEFT, 103, 79, 65, 9, L"color capa principal :"},
    {0x80, BS_PUSHBUTTON | WS_TABSTOP, 173, 74, 24, 15, L""},
    {0x82, SS_BLACKRECT, 9, 98, 221, 72, L""},
};

std::vector<WORD> dialogTemplate()
{
    std::vector<WORD> t;
    const auto align = [&] {
        if (t.size() % 2)
            t.push_back(0);
    };
    const auto put32 = [&](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    const auto putText = [&](const wchar_t* s) {
        for (; *s; ++s)
            t.push_back(static_cast<WORD>(*s));
        t.push_back(0);
    };
    put32(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE);
    put32(0);
    t.push_back(static_cast<WORD>(std::size(kItems)));
    for (short v : {20, 20, 240, 178})
        t.push_back(static_cast<WORD>(v));
    t.push_back(0);  // no menu
    t.push_back(0);  // standard class
    putText(L"Elige Color:");
    t.push_back(8);
    putText(L"MS Shell Dlg");
    WORD id = 100;
    for (const Item& item : kItems) {
        align();
        put32(item.style | WS_CHILD | WS_VISIBLE);
        put32(0);
        for (short v : {item.x, item.y, item.cx, item.cy})
            t.push_back(static_cast<WORD>(v));
        t.push_back(id++);
        t.push_back(0xFFFF);
        t.push_back(item.atom);
        putText(item.text);
        t.push_back(0);  // no creation data
    }
    return t;
}

INT_PTR CALLBACK bareProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wParam) == 111) {  // Cancelar
        DestroyWindow(dialog);
        return TRUE;
    }
    return FALSE;
}

double bareDialog(const std::vector<WORD>& layout)
{
    g_seen = false;
    const auto start = Clock::now();
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(layout.data()),
                                             nullptr, bareProc, 0);
    MSG message;
    while (IsWindow(dialog) && GetMessageW(&message, nullptr, 0, 0) > 0)
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    return std::chrono::duration<double, std::milli>(g_painted - start).count();
}

double libraryWindow()
{
    g_seen = false;
    const auto start = Clock::now();
    Kor2_Sys::global<Kor2_Sys::CColores>().A_Color_Show(255);
    return std::chrono::duration<double, std::milli>(g_painted - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    SetWindowsHookExW(WH_GETMESSAGE, watch, nullptr, GetCurrentThreadId());
    const std::vector<WORD> layout = dialogTemplate();
    libraryWindow();  // the first show loads the window system and chooses the font: not measured
    bareDialog(layout);
    std::vector<double> library, bare;
    for (int i = 0; i < rounds; ++i) {
        library.push_back(libraryWindow());
        const bool libraryPainted = g_seen;
        bare.push_back(bareDialog(layout));
        // A window that never painted has no time to give: the screen is missing.
        if (!libraryPainted || !g_seen) {
            std::printf("sin pintura: ninguna ventana llegó a la pantalla\n");
            return 1;
        }
    }
    const double l = median(library), b = median(bare);
    std::printf("selector de color hasta la primera pintura: %.2f ms (mediana de %d)\n", l, rounds);
    std::printf("diálogo desnudo con los mismos controles: %.2f ms\n", b);
    std::printf("razón: %.2f\n", l / b);
    return 0;
}
