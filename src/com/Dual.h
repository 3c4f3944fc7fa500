#pragma once
// The vtable half of a class's dual interface. The generated vtables (one member per row of the
// dispatch table) pack their arguments into VARIANTs and make the same late-bound call IDispatch
// makes, so both halves convert, write back and fail alike. A tear-off of the library object: it
// shares the object's reference count and identity.

#include "com/Dispatch.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace Kor2_Sys::com {

/// What the object keeps of its vtable half: the interface to hand out, and its destruction.
class DualInterface {
public:
    virtual ~DualInterface() = default;
    virtual IDispatch* dispatch() noexcept = 0;
};

/// The vtable half of the class `className` over `owner`; null for a class without one.
DualInterface* makeDual(Dispatch& owner, std::string_view className);

/// Arguments in declared order, as VARIANTs that borrow the caller's values: nothing is freed.
class DualArgs {
public:
    /// A value passed by value; the VARIANT's payload is the value's bytes.
    template <class T> bool value(VARTYPE type, T v)
    {
        VARIANT& item = add();
        item.vt = type;
        static_assert(sizeof(T) <= sizeof(item.llVal));
        std::memcpy(&item.llVal, &v, sizeof v);
        return true;
    }
    bool value(VARTYPE, const VARIANT& v)
    {
        add() = v;
        return true;
    }
    /// A by-reference argument: the late-bound call writes its result through it. False for null.
    bool ref(VARTYPE type, void* pointer)
    {
        if (pointer == nullptr)
            return false;
        VARIANT& item = add();
        item.vt = static_cast<VARTYPE>(type | VT_BYREF);
        item.byref = pointer;
        return true;
    }
    /// The elements of a variable argument list, each by reference. False for a list that is not one.
    bool spread(SAFEARRAY** list);

    std::vector<VARIANT>& items() noexcept { return m_items; }

private:
    VARIANT& add()
    {
        VARIANT& item = m_items.emplace_back();
        VariantInit(&item);
        return item;
    }
    std::vector<VARIANT> m_items;
};

/// Stores a call's result in the typed place the vtable caller gave, converting it to `type`.
HRESULT storeResult(VARIANT& value, VARTYPE type, void* out);

template <class Interface>
class DualTearOff : public Interface, public DualInterface {
public:
    explicit DualTearOff(Dispatch& owner) : m_owner(owner) {}
    DualTearOff(const DualTearOff&) = delete;
    DualTearOff& operator=(const DualTearOff&) = delete;

    IDispatch* dispatch() noexcept override { return this; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return m_owner.QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_owner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_owner.Release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_owner.GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** out) override
    {
        return m_owner.GetTypeInfo(index, locale, out);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override
    {
        return m_owner.GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override
    {
        return m_owner.Invoke(id, iid, locale, flags, params, result, exception, argError);
    }

protected:
    HRESULT call(DISPID id, WORD flags, DualArgs& args) { return m_owner.callFromVtable(id, flags, args.items(), nullptr); }
    HRESULT call(DISPID id, WORD flags, DualArgs& args, VARTYPE type, void* result)
    {
        if (result == nullptr)
            return E_POINTER;
        VARIANT value;
        VariantInit(&value);
        const HRESULT hr = m_owner.callFromVtable(id, flags, args.items(), &value);
        if (FAILED(hr))
            return hr;
        return storeResult(value, type, result);
    }

private:
    Dispatch& m_owner;
};

} // namespace Kor2_Sys::com
