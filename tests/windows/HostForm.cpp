// A compiled host on the platform's own window system, reaching the registered module through late
// binding: a real form handed to the library as an automation object with the members a compiled
// form gives (hWnd, Left/Top/Width/Height in twips, Move, WindowState). What only this path shows is
// checked here: handles as 32-bit numbers, a library box answered from another thread, host
// objects' own failures as the library's numbers, and every reference given back. The desktop
// tables of the test kit run the utilities themselves on the platform's windows. Prints FALLO per
// fault and "OK n comprobaciones".
//   host_form

#include "ClientChecks.h"
#include "HostWindow.h"
#include "PostedMessages.h"
#include "platform/win32/Handles.h"

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Kor2_Sys::platform::win32::handleOf;
using Kor2_Sys::platform::win32::longOf;
using kor2host::HostWindow;
using kor2host::number;
using kor2test::pump;

using kor2client::check;
using kor2client::text;

// How a host object answers, for the rows that check what its failures become in the library.
enum class Answers { NoMembers, WrongTypes };

// A host object that refuses: no member names, or every call a type mismatch.
class Refusing final : public kor2host::HostDispatch {
public:
    explicit Refusing(Answers answers) : m_answers(answers) {}
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override
    {
        *ids = m_answers == Answers::NoMembers ? DISPID_UNKNOWN : 1;
        return m_answers == Answers::NoMembers ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_TYPEMISMATCH;
    }

private:
    Answers m_answers;
};

VARIANT object(IDispatch& control)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = &control;
    control.AddRef();
    return v;
}

struct Form {
    HWND form, picture;
    HBITMAP icon;
};

Form makeForm()
{
    WNDCLASSW formClass{};
    formClass.lpfnWndProc = DefWindowProcW;
    formClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    formClass.lpszClassName = L"Kor2HostForm";
    RegisterClassW(&formClass);
    Form f{};
    f.form = CreateWindowExW(0, L"Kor2HostForm", L"Anfitrión de prueba", WS_OVERLAPPEDWINDOW, 100, 80, 700, 420,
                             nullptr, nullptr, nullptr, nullptr);
    f.picture = kor2host::addHostParts(f.form, L"STATIC").picture;
    f.icon = CreateBitmap(13, 13, 1, 32, nullptr);
    ShowWindow(f.form, SW_SHOWNORMAL);
    UpdateWindow(f.form);
    pump();
    return f;
}

// A message box of the library would wait for a person: it is answered, and its text kept for
// the check of the call that showed it, as "a|b".
std::mutex boxesLock;
std::string boxes;

void answerMessageBoxes(const std::atomic<bool>& done)
{
    while (!done) {
        HWND box = FindWindowW(L"#32770", nullptr);
        if (box != nullptr && IsWindowVisible(box)) {
            wchar_t said[256] = {};
            GetDlgItemTextW(box, 0xFFFF, said, 256);  // the box's text
            std::lock_guard lock(boxesLock);
            boxes += (boxes.empty() ? "" : "|") + kor2client::narrow(said);
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        }
        Sleep(100);
    }
}

// The boxes shown since the last look.
std::string boxesShown()
{
    std::lock_guard lock(boxesLock);
    return std::exchange(boxes, {});
}

} // namespace

int main()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    std::atomic<bool> done{false};
    std::thread watcher(answerMessageBoxes, std::cref(done));
    const Form f = makeForm();
    HostWindow form(f.form);

    // Handles travel as 32-bit numbers and come back as the same handles; the predefined ones with
    // the top bit set only when the number is sign-extended.
    HDC dc = GetDC(f.picture);
    HMENU bar = GetMenu(f.form);
    check(handleOf<HWND>(longOf(f.form)) == f.form && handleOf<HMENU>(longOf(bar)) == bar &&
              handleOf<HBITMAP>(longOf(f.icon)) == f.icon && handleOf<HDC>(longOf(dc)) == dc &&
              handleOf<HKEY>(longOf(HKEY_CURRENT_USER)) == HKEY_CURRENT_USER && handleOf<HWND>(longOf(HWND_TOPMOST)) == HWND_TOPMOST,
          "un identificador no vuelve entero de 32 bits");
    ReleaseDC(f.picture, dc);

    {
        // The form's geometry saved, lost and read back, through the library late bound as a compiled
        // host's variables of type Object reach it.
        IDispatch* registry = kor2client::create(L"Kor2_Sys.cRegistro");
        const auto call = [registry](const wchar_t* member, std::vector<VARIANT> args) {
            return kor2client::invoke(registry, member, DISPATCH_METHOD, std::move(args));
        };
        MoveWindow(f.form, 140, 110, 530, 370, TRUE);
        RECT saved{};
        GetWindowRect(f.form, &saved);
        call(L"R_Graba_tamaño_y_pos_Obj_en_Win", {object(form), text(L"Prueba"), text(L"Anfitrión")});
        MoveWindow(f.form, 10, 10, 300, 200, TRUE);
        call(L"R_Lee_tamaño_y_pos_Obj_en_Win",
             {object(form), text(L"Prueba"), text(L"Anfitrión"), number(0), number(0), number(0), number(0)});
        const std::string shown = boxesShown();
        check(shown == "registro sin actualizar", "R_Lee_tamaño_y_pos_Obj_en_Win muestra [" + shown + "]");
        RECT back{};
        GetWindowRect(f.form, &back);
        check(EqualRect(&saved, &back), "R_Lee_tamaño_y_pos_Obj_en_Win no devuelve el formulario a " +
                                            std::to_string(saved.left) + "," + std::to_string(saved.top));

        // A host object's own failures reach the host as the library's numbers.
        struct Refusal { const char* label; Answers answers; long number; };
        for (const Refusal& row : {Refusal{"sin miembros", Answers::NoMembers, 438},
                                   Refusal{"tipos que no coinciden", Answers::WrongTypes, 13}}) {
            Refusing odd(row.answers);
            const kor2client::Answer answer = call(L"R_Lee_Pos_Form", {object(odd), text(L"Prueba"), text(L"Anfitrión")});
            const long number = answer.hr == DISP_E_EXCEPTION ? HRESULT_CODE(answer.scode) : 0;
            check(number == row.number, std::string("objeto ") + row.label + ": error " + std::to_string(number) +
                                            " en vez de " + std::to_string(row.number));
            check(odd.references() == 1, std::string("objeto ") + row.label + ": referencias sin devolver");
        }
        if (registry != nullptr)
            registry->Release();
    }

    const std::string shown = boxesShown();
    check(shown.empty(), "cajas de mensaje inesperadas: " + shown);
    // What the library held of the host's objects it has given back.
    check(form.references() == 1, "referencias sin devolver: " + std::to_string(form.references() - 1));

    done = true;
    watcher.join();
    DestroyWindow(f.form);
    DeleteObject(f.icon);
    CoUninitialize();
    return kor2client::finish();
}
