// What a screen reader meets in the platform's own windows, through the platform's accessibility
// calls as a reader makes them: a palette's cells as items of a list, the events a choice raises,
// and the default button.
#include "Guards.h"
#include "PostedMessages.h"
#include "ProbeWindow.h"
#include "colour/ColourWindow.h"
#include "frame/Utf.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32WindowSystem.h"
#include "settings/Store.h"

#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace Kor2_Sys;
using platform::win32::FormWindow;
using kor2test::pump;

namespace {

const char* const kNormal = "Pc_color_normal";

// A window's own object, as a reader asks for it, released when it goes.
struct Held {
    IAccessible* p = nullptr;
    explicit Held(HWND window)
    {
        EXPECT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&p)));
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (p)
            p->Release();
    }
    IAccessible* operator->() const { return p; }
};

VARIANT childId(long id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::u16string nameOf(IAccessible* object, long child)
{
    BSTR name = nullptr;
    if (FAILED(object->get_accName(childId(child), &name)) || name == nullptr)
        return u"(sin nombre)";
    std::u16string text(reinterpret_cast<const char16_t*>(name), SysStringLen(name));
    SysFreeString(name);
    return text;
}

long stateOf(IAccessible* object, long child)
{
    VARIANT state;
    VariantInit(&state);
    return SUCCEEDED(object->get_accState(childId(child), &state)) && state.vt == VT_I4 ? state.lVal : -1;
}

// A form shown modeless on the platform's window system, and its window.
class Shown {
public:
    explicit Shown(platform::Form& form) : m_form(form)
    {
        platform::windowSystem().showModeless(form);
        pump();
        struct Visit {
            static BOOL CALLBACK window(HWND window, LPARAM found)
            {
                FormWindow* shown = IsWindowVisible(window) ? FormWindow::of(window) : nullptr;
                *reinterpret_cast<FormWindow**>(found) = shown;
                return shown == nullptr;
            }
        };
        EnumThreadWindows(GetCurrentThreadId(), &Visit::window, reinterpret_cast<LPARAM>(&m_window));
    }
    ~Shown()
    {
        m_form.hide();
        pump();
    }
    HWND control(const char* name) const { return m_window ? m_window->controlWindow(name) : nullptr; }

private:
    platform::Form& m_form;
    FormWindow* m_window = nullptr;
};

// The events a reader gets about one window, as words: "foco" or "selección" and the name the
// object the event names gives for its child.
class PaletteReaders : public ::testing::Test {
protected:
    PaletteReaders() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~PaletteReaders() override
    {
        if (m_hook)
            UnhookWinEvent(m_hook);
        s_listening = nullptr;
        CoUninitialize();
    }

    void listen(HWND window)
    {
        s_listening = this;
        m_watched = window;
        m_hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, nullptr, &PaletteReaders::heard, GetCurrentProcessId(),
                                 GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    }

    static void CALLBACK heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
    {
        PaletteReaders* self = s_listening;
        if (self == nullptr || window != self->m_watched || object != OBJID_CLIENT)
            return;
        const Held list(window);
        if (list.p == nullptr)
            return;
        self->m_events.push_back((event == EVENT_OBJECT_FOCUS ? "foco " : "selección ") + utf::toUtf8(nameOf(list.p, child)));
    }

    settings::ScopedStore m_store{":memory:"};
    platform::ScopedWindowSystem m_system{std::make_shared<platform::win32::Win32WindowSystem>()};
    HWINEVENTHOOK m_hook = nullptr;
    HWND m_watched = nullptr;
    std::vector<std::string> m_events;
    static inline PaletteReaders* s_listening = nullptr;
};

struct ChoiceRow {
    const char* label;
    std::vector<WPARAM> keys;  // pressed on the palette once it has the focus
    int clicked;               // the cell clicked after them; -1: none
    std::vector<std::string> heard;
};

// The window holds green (cell 2 of the normal colours), where the ring starts. The palette's own
// name says where the ring is; a choice is heard as the selection and the focus on the cell.
const ChoiceRow kChoices[] = {
    {"entering", {}, -1, {"foco Colores normales: verde, 3 (elegido)"}},
    {"spaceOnACell", {VK_LEFT, VK_SPACE}, -1,
     {"foco Colores normales: verde, 3 (elegido)", "foco amarillo, 2", "selección amarillo, 2", "foco amarillo, 2"}},
    {"arrowThenEnter", {VK_RIGHT, VK_RETURN}, -1,
     {"foco Colores normales: verde, 3 (elegido)", "foco ciano, 4", "selección ciano, 4", "foco ciano, 4"}},
    {"click", {}, 0, {"foco Colores normales: verde, 3 (elegido)", "selección rojo, 1", "foco rojo, 1"}},
    {"sameCellAgain", {VK_SPACE}, -1, {"foco Colores normales: verde, 3 (elegido)"}},
};

TEST_F(PaletteReaders, ChoicesInAPaletteAreHeard)
{
    for (const ChoiceRow& row : kChoices) {
        SCOPED_TRACE(row.label);
        m_events.clear();
        colour::ColourWindow window;
        window.setC_color_elegido_Vb(0x00FF00);
        Shown shown(window.form());
        HWND palette = shown.control(kNormal);
        listen(palette);
        window.form().setFocus(kNormal);
        pump();
        for (const WPARAM key : row.keys) {
            SendMessageW(palette, WM_KEYDOWN, key, 1);
            SendMessageW(palette, WM_KEYUP, key, 0xC0000001);
            pump();
        }
        if (row.clicked >= 0) {
            const Held list(palette);
            ASSERT_NE(list.p, nullptr);
            long left = 0, top = 0, width = 0, height = 0;
            ASSERT_HRESULT_SUCCEEDED(list->accLocation(&left, &top, &width, &height, childId(row.clicked + 1)));
            POINT at{left + width / 2, top + height / 2};
            ScreenToClient(palette, &at);
            SendMessageW(palette, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
            SendMessageW(palette, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
            pump();
        }
        UnhookWinEvent(m_hook);
        m_hook = nullptr;
        EXPECT_EQ(m_events, row.heard);
    }
}

// A reader walks the cells: a list of as many items as the palette has cells, by their names, in
// their places; the chosen cell is the selected one and the ringed one has the focus.
TEST_F(PaletteReaders, TheCellsAreItemsOfAList)
{
    colour::ColourWindow window;
    window.setC_color_elegido_Vb(0x00FF00);
    Shown shown(window.form());
    window.form().setFocus(kNormal);
    pump();
    const Held list(shown.control(kNormal));
    ASSERT_NE(list.p, nullptr);
    const platform::Swatches& grid = *window.form().control(kNormal).swatches;
    long count = 0;
    ASSERT_HRESULT_SUCCEEDED(list->get_accChildCount(&count));
    ASSERT_EQ(count, static_cast<long>(grid.names.size()));
    VARIANT role;
    ASSERT_HRESULT_SUCCEEDED(list->get_accRole(childId(CHILDID_SELF), &role));
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_LIST);
    for (long child = 1; child <= count; ++child) {
        SCOPED_TRACE(child);
        EXPECT_EQ(nameOf(list.p, child), grid.names[static_cast<std::size_t>(child - 1)]);
        ASSERT_HRESULT_SUCCEEDED(list->get_accRole(childId(child), &role));
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_LISTITEM);
        const long state = stateOf(list.p, child);
        EXPECT_EQ((state & STATE_SYSTEM_SELECTED) != 0, child == 3);
        EXPECT_EQ((state & STATE_SYSTEM_FOCUSED) != 0, child == 3);
        long left = 0, top = 0, width = 0, height = 0;
        ASSERT_HRESULT_SUCCEEDED(list->accLocation(&left, &top, &width, &height, childId(child)));
        VARIANT hit;
        ASSERT_HRESULT_SUCCEEDED(list->accHitTest(left + width / 2, top + height / 2, &hit));
        EXPECT_EQ(std::pair(hit.vt, hit.lVal), std::pair(VARTYPE{VT_I4}, child)) << "a cell is found where it shows";
        VARIANT next;
        EXPECT_EQ(list->accNavigate(NAVDIR_NEXT, childId(child), &next), child < count ? S_OK : S_FALSE);
    }
    VARIANT focused, selected;
    ASSERT_HRESULT_SUCCEEDED(list->get_accFocus(&focused));
    ASSERT_HRESULT_SUCCEEDED(list->get_accSelection(&selected));
    EXPECT_EQ(std::tuple(focused.lVal, selected.lVal), std::tuple(3L, 3L));
    BSTR none = nullptr;
    EXPECT_EQ(list->get_accName(childId(count + 1), &none), E_INVALIDARG) << "a child id past the last cell";
}

// The window's default button has the style from which the platform's own object for a button
// reports it as the default. Wine's object reports no default state for any button: there only
// the style is checked.
TEST_F(PaletteReaders, TheDefaultButtonIsExposedAsDefault)
{
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    kor2test::ProbeWindow window;
    Shown shown(window.form);
    for (const auto& [button, isDefault] : {std::pair("BT_aceptar", true), std::pair("BT_cancelar", false)}) {
        HWND control = shown.control(button);
        EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) << button;
        const Held object(control);
        if (!wine) {
            EXPECT_EQ((stateOf(object.p, CHILDID_SELF) & STATE_SYSTEM_DEFAULT) != 0, isDefault) << button;
        }
    }
}

} // namespace
