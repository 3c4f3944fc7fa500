#include "platform/win32/PaletteAccessible.h"

#include "platform/FormView.h"
#include "platform/win32/FormWindow.h"

#include <oleacc.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string>

namespace Kor2_Sys::platform::win32 {
namespace {

// Readers may keep the object after the window and its form are gone: every answer looks the
// palette up again through its window and says the object is disconnected once it is not there.
class PaletteObject final : public IAccessible {
public:
    PaletteObject(HWND picture, std::string control, IAccessible* standard)
        : m_picture(picture), m_control(std::move(control)), m_standard(standard)
    {
    }
    PaletteObject(const PaletteObject&) = delete;
    PaletteObject& operator=(const PaletteObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: readers call the interface directly; there is no type information to give.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        const Swatches* grid = swatches();
        if (grid == nullptr)
            return CO_E_OBJNOTCONNECTED;
        *count = static_cast<long>(grid->names.size());
        return S_OK;
    }
    // The cells are simple elements of the list, with no object of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        const auto cell = cellOf(child);
        return !cell ? E_INVALIDARG : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (name == nullptr)
            return E_POINTER;
        *name = nullptr;
        const auto cell = cellOf(child);
        if (!cell)
            return E_INVALIDARG;
        if (*cell < 0)
            return selfName(name);
        const Text& text = swatches()->names[static_cast<std::size_t>(*cell)];
        *name = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return forSelf(child, &IAccessible::get_accValue, value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return forSelf(child, &IAccessible::get_accDescription, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (role == nullptr)
            return E_POINTER;
        const auto cell = cellOf(child);
        if (!cell)
            return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = *cell < 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (state == nullptr)
            return E_POINTER;
        const auto cell = cellOf(child);
        if (!cell)
            return E_INVALIDARG;
        if (*cell < 0)
            return m_standard->get_accState(child, state);
        const Swatches& grid = *swatches();
        long flags = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (*cell == grid.selected)
            flags |= STATE_SYSTEM_SELECTED;
        if (*cell == grid.ringed() && GetFocus() == m_picture)
            flags |= STATE_SYSTEM_FOCUSED;
        if (!IsWindowVisible(m_picture))
            flags |= STATE_SYSTEM_INVISIBLE;
        state->vt = VT_I4;
        state->lVal = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return forSelf(child, &IAccessible::get_accHelp, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        const auto cell = cellOf(child);
        return !cell ? E_INVALIDARG : *cell < 0 ? m_standard->get_accHelpTopic(file, child, topic) : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override
    {
        return forSelf(child, &IAccessible::get_accKeyboardShortcut, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focused) override
    {
        if (focused == nullptr)
            return E_POINTER;
        const Swatches* grid = swatches();
        if (grid == nullptr)
            return CO_E_OBJNOTCONNECTED;
        VariantInit(focused);
        if (GetFocus() != m_picture)
            return S_FALSE;
        focused->vt = VT_I4;
        focused->lVal = childIdOf(*grid, grid->ringed());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selected) override
    {
        if (selected == nullptr)
            return E_POINTER;
        const Swatches* grid = swatches();
        if (grid == nullptr)
            return CO_E_OBJNOTCONNECTED;
        VariantInit(selected);
        if (grid->selected < 0 || grid->selected >= static_cast<int>(grid->names.size()))
            return S_FALSE;
        selected->vt = VT_I4;
        selected->lVal = grid->selected + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return forSelf(child, &IAccessible::get_accDefaultAction, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        const auto cell = cellOf(child);
        return !cell ? E_INVALIDARG : *cell < 0 ? m_standard->accSelect(flags, child) : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
            return E_POINTER;
        const auto cell = cellOf(child);
        if (!cell)
            return E_INVALIDARG;
        if (*cell < 0)
            return m_standard->accLocation(left, top, width, height, child);
        RECT client{};
        GetClientRect(m_picture, &client);
        const view::PixelRect place = view::swatchCell(*swatches(), *cell, client.right, client.bottom);
        POINT origin{place.left, place.top};
        ClientToScreen(m_picture, &origin);
        *left = origin.x;
        *top = origin.y;
        *width = place.width;
        *height = place.height;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        if (end == nullptr)
            return E_POINTER;
        const auto cell = cellOf(start);
        if (!cell)
            return E_INVALIDARG;
        VariantInit(end);
        const Swatches& grid = *swatches();
        const int cells = static_cast<int>(grid.names.size()), columns = std::max(grid.columns, 1);
        if (*cell < 0 && direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD)
            return m_standard->accNavigate(direction, start, end);
        int to = -1;
        switch (direction) {
        case NAVDIR_FIRSTCHILD: to = *cell < 0 ? 0 : -1; break;
        case NAVDIR_LASTCHILD: to = *cell < 0 ? cells - 1 : -1; break;
        case NAVDIR_NEXT: to = *cell + 1; break;
        case NAVDIR_PREVIOUS: to = *cell - 1; break;
        case NAVDIR_RIGHT: to = *cell % columns + 1 < columns ? *cell + 1 : -1; break;
        case NAVDIR_LEFT: to = *cell % columns > 0 ? *cell - 1 : -1; break;
        case NAVDIR_DOWN: to = *cell + columns; break;
        case NAVDIR_UP: to = *cell - columns; break;
        default: return E_INVALIDARG;
        }
        if (to < 0 || to >= cells)
            return S_FALSE;
        end->vt = VT_I4;
        end->lVal = to + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override
    {
        if (found == nullptr)
            return E_POINTER;
        const Swatches* grid = swatches();
        if (grid == nullptr)
            return CO_E_OBJNOTCONNECTED;
        VariantInit(found);
        POINT at{x, y};
        ScreenToClient(m_picture, &at);
        RECT client{};
        GetClientRect(m_picture, &client);
        if (!PtInRect(&client, at))
            return S_FALSE;
        found->vt = VT_I4;
        found->lVal = CHILDID_SELF;
        for (int cell = 0; cell < static_cast<int>(grid->names.size()); ++cell) {
            const view::PixelRect place = view::swatchCell(*grid, cell, client.right, client.bottom);
            if (at.x >= place.left && at.x < place.left + place.width && at.y >= place.top && at.y < place.top + place.height) {
                found->lVal = cell + 1;
                break;
            }
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        const auto cell = cellOf(child);
        return !cell ? E_INVALIDARG : *cell < 0 ? m_standard->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~PaletteObject() { m_standard->Release(); }

    // The palette as its form has it now; null once the window or its form is gone.
    const Swatches* swatches() const
    {
        if (!IsWindow(m_picture))
            return nullptr;
        const FormWindow* window = FormWindow::of(GetParent(m_picture));
        if (window == nullptr || window->controlWindow(m_control) != m_picture || !window->form().has(m_control))
            return nullptr;
        const Control& c = window->form().control(m_control);
        return c.swatches ? &*c.swatches : nullptr;
    }
    static long childIdOf(const Swatches& grid, int cell)
    {
        return grid.names.empty() ? CHILDID_SELF : std::clamp(cell, 0, static_cast<int>(grid.names.size()) - 1) + 1;
    }
    // The cell a child id names, -1 for the list itself; nothing for an id out of range or a
    // palette that is gone.
    std::optional<int> cellOf(const VARIANT& child) const
    {
        const Swatches* grid = swatches();
        if (grid == nullptr || child.vt != VT_I4 || child.lVal < 0 || child.lVal > static_cast<long>(grid->names.size()))
            return std::nullopt;
        return static_cast<int>(child.lVal) - 1;
    }
    // The window's own text: the palette's name and the ringed cell, kept by the form window.
    HRESULT selfName(BSTR* name) const
    {
        const int length = GetWindowTextLengthW(m_picture);
        *name = SysAllocStringLen(nullptr, static_cast<UINT>(length));
        if (*name == nullptr)
            return E_OUTOFMEMORY;
        GetWindowTextW(m_picture, *name, length + 1);
        return S_OK;
    }
    // What only the list itself has; a cell has none of it.
    HRESULT forSelf(const VARIANT& child, HRESULT (STDMETHODCALLTYPE IAccessible::*ask)(VARIANT, BSTR*), BSTR* out) const
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        const auto cell = cellOf(child);
        return !cell ? E_INVALIDARG : *cell < 0 ? (m_standard->*ask)(child, out) : DISP_E_MEMBERNOTFOUND;
    }

    LONG m_references = 1;
    HWND m_picture;
    std::string m_control;
    IAccessible* m_standard;  // the system's object for the window, for what the list shares with any window
};

// What readers last heard of a palette, kept with its window (the picture class leaves its user
// data free): the ringed cell and the choice, both plus one so that nothing heard reads as 0.
LONG_PTR packed(const Swatches& grid)
{
    return (static_cast<LONG_PTR>(std::clamp(grid.selected + 1, 0, 0x7FFF)) << 16 | std::clamp(grid.ringed(), 0, 0xFFFE)) + 1;
}

} // namespace

LRESULT answerPaletteObject(HWND picture, const std::string& control, WPARAM flags, LPARAM objectId)
{
    if (static_cast<LONG>(objectId) != OBJID_CLIENT)
        return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(picture, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard))))
        return 0;
    auto* object = new (std::nothrow) PaletteObject(picture, control, standard);
    if (object == nullptr) {
        standard->Release();
        return 0;
    }
    const LRESULT answer = LresultFromObject(IID_IAccessible, flags, object);
    object->Release();  // the answer holds its own reference
    return answer > 0 ? answer : 0;
}

void announcePalette(HWND picture, const Swatches& swatches)
{
    const LONG_PTR heard = GetWindowLongPtrW(picture, GWLP_USERDATA), now = packed(swatches);
    SetWindowLongPtrW(picture, GWLP_USERDATA, now);
    if (heard == 0 || heard == now || swatches.names.empty())
        return;
    const int cells = static_cast<int>(swatches.names.size());
    const bool chosen = ((heard - 1) >> 16) != ((now - 1) >> 16);
    if (chosen && swatches.selected >= 0 && swatches.selected < cells)
        NotifyWinEvent(EVENT_OBJECT_SELECTION, picture, OBJID_CLIENT, swatches.selected + 1);
    if (GetFocus() == picture)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, picture, OBJID_CLIENT, swatches.ringed() + 1);
}

} // namespace Kor2_Sys::platform::win32
