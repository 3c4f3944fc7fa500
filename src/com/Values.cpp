#include "com/Values.h"

#include "com/Dispatch.h"
#include "frame/Errors.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace Kor2_Sys::com {
namespace {

// What a host object's failure means to the library: the run-time's codes as the library's errors.
Error errorOf(HRESULT hr)
{
    switch (hr) {
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME: return errors::memberNotSupported();
    case DISP_E_TYPEMISMATCH: return errors::typeMismatch();
    case DISP_E_OVERFLOW: return errors::overflow();
    case DISP_E_BADPARAMCOUNT: return errors::wrongArgumentCount();
    case DISP_E_PARAMNOTOPTIONAL: return errors::argumentNotOptional();
    case E_OUTOFMEMORY: return errors::outOfMemory();
    default: return errors::invalidCall();
    }
}

// A host object handed in by the run-time (a window, a control, a picture): its members are
// reached by name, the empty name being its default value.
class HostObject final : public Object {
public:
    explicit HostObject(IDispatch* dispatch) : m_dispatch(dispatch) { m_dispatch->AddRef(); }
    ~HostObject() override { m_dispatch->Release(); }
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    IDispatch* dispatch() const noexcept { return m_dispatch; }

    Variant invoke(std::string_view member, InvokeKind kind, std::span<Variant> args) override
    {
        const DISPID id = idOf(member);
        std::array<VARIANT, 4> few;
        std::vector<VARIANT> many(args.size() > few.size() ? args.size() : 0);
        VARIANT* values = args.size() > few.size() ? many.data() : few.data();
        std::size_t filled = 0;
        auto clear = [&] {
            for (std::size_t i = 0; i < filled; ++i)
                VariantClear(&values[i]);
        };
        try {
            // The run-time takes the arguments last first.
            for (; filled < args.size(); ++filled)
                toVariant(args[args.size() - 1 - filled], values[filled]);
        } catch (...) {
            clear();
            throw;
        }
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS params{values, nullptr, static_cast<UINT>(args.size()), 0};
        WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
        if (kind == InvokeKind::Put) {
            params.rgdispidNamedArgs = &put;
            params.cNamedArgs = 1;
            flags = DISPATCH_PROPERTYPUT;
        }
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception{};
        const HRESULT hr = m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                              kind == InvokeKind::Put ? nullptr : &result, &exception, nullptr);
        clear();
        if (hr == DISP_E_EXCEPTION) {
            if (exception.pfnDeferredFillIn != nullptr)
                exception.pfnDeferredFillIn(&exception);
            const Long number = HRESULT_FACILITY(exception.scode) == FACILITY_CONTROL ? (exception.scode & 0xFFFF)
                                                                                        : exception.wCode;
            const Text description = exception.bstrDescription
                                         ? textOf(exception.bstrDescription, SysStringLen(exception.bstrDescription))
                                         : Text();
            SysFreeString(exception.bstrDescription);
            SysFreeString(exception.bstrSource);
            SysFreeString(exception.bstrHelpFile);
            if (number == 0)
                throw errorOf(exception.scode);
            throw Error(number, description);
        }
        if (FAILED(hr))
            throw errorOf(hr);
        try {
            Variant value = fromVariant(result);
            VariantClear(&result);
            return value;
        } catch (...) {
            VariantClear(&result);
            throw;
        }
    }

private:
    // The identifier of a member, asked of the object once per name: the same members are read
    // on every step of a loop.
    DISPID idOf(std::string_view member)
    {
        if (member.empty())
            return DISPID_VALUE;
        for (const auto& [name, id] : m_ids)
            if (name == member)
                return id;
        std::wstring wide(static_cast<std::size_t>(
                              MultiByteToWideChar(CP_UTF8, 0, member.data(), static_cast<int>(member.size()), nullptr, 0)),
                          L'\0');
        MultiByteToWideChar(CP_UTF8, 0, member.data(), static_cast<int>(member.size()), wide.data(),
                            static_cast<int>(wide.size()));
        LPOLESTR names[] = {wide.data()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr))
            throw errorOf(hr == E_OUTOFMEMORY ? hr : DISP_E_UNKNOWNNAME);
        m_ids.emplace_back(std::string(member), id);
        return id;
    }

    IDispatch* m_dispatch;
    std::vector<std::pair<std::string, DISPID>> m_ids;
};

// The element types an array of the run-time and an array of the library can share; a Variant
// array holds values of any type.
struct ElementType {
    VARTYPE runtime;
    ValueType library;
};
constexpr std::array kElementTypes{
    ElementType{VT_VARIANT, ValueType::Any},   ElementType{VT_BSTR, ValueType::Text},
    ElementType{VT_I2, ValueType::Integer},    ElementType{VT_I4, ValueType::Long},
    ElementType{VT_R4, ValueType::Single},     ElementType{VT_R8, ValueType::Double},
    ElementType{VT_BOOL, ValueType::Boolean},  ElementType{VT_UI1, ValueType::Byte},
    ElementType{VT_DISPATCH, ValueType::Object}, ElementType{VT_UNKNOWN, ValueType::Object},
};

const ElementType* elementOf(VARTYPE runtime)
{
    for (const ElementType& row : kElementTypes)
        if (row.runtime == runtime)
            return &row;
    return nullptr;
}

VARTYPE runtimeElementOf(ValueType library)
{
    for (const ElementType& row : kElementTypes)
        if (row.library == library)
            return row.runtime;
    return VT_VARIANT;
}

Variant arrayOf(SAFEARRAY* array, VARTYPE element)
{
    const ElementType* type = elementOf(element);
    if (array == nullptr || type == nullptr || SafeArrayGetDim(array) != 1)
        throw errors::typeMismatch();
    Array out;
    LONG low = 0, high = -1;
    SafeArrayGetLBound(array, 1, &low);
    SafeArrayGetUBound(array, 1, &high);
    out.elementType = type->library;
    for (LONG i = low; i <= high; ++i) {
        VARIANT item;
        VariantInit(&item);
        if (element == VT_VARIANT) {
            SafeArrayGetElement(array, &i, &item);
        } else {
            item.vt = element;
            SafeArrayGetElement(array, &i, &item.bVal);
        }
        try {
            out.items.push_back(fromVariant(item));
        } catch (...) {
            VariantClear(&item);
            throw;
        }
        VariantClear(&item);
    }
    return Variant(std::move(out));
}

// A fresh array of the run-time with `element` items, each converted as an assignment would.
SAFEARRAY* safeArrayOf(const Array& items, VARTYPE element)
{
    if (elementOf(element) == nullptr)
        throw errors::typeMismatch();
    SAFEARRAY* array = SafeArrayCreateVector(element, 0, static_cast<ULONG>(items.items.size()));
    if (array == nullptr)
        throw errors::outOfMemory();
    for (LONG i = 0; i < static_cast<LONG>(items.items.size()); ++i) {
        VARIANT item;
        toVariant(items.items[static_cast<std::size_t>(i)], item);
        HRESULT hr = S_OK;
        if (element != VT_VARIANT && item.vt != element)
            hr = VariantChangeType(&item, &item, 0, element);
        if (SUCCEEDED(hr)) {
            void* payload = &item.bVal;  // the run-time copies an element of the array's own size
            if (element == VT_VARIANT)
                payload = &item;
            else if (element == VT_BSTR)
                payload = item.bstrVal;
            else if (element == VT_DISPATCH || element == VT_UNKNOWN)
                payload = item.punkVal;
            hr = SafeArrayPutElement(array, &i, payload);
        }
        VariantClear(&item);
        if (FAILED(hr)) {
            SafeArrayDestroy(array);
            throw errors::typeMismatch();
        }
    }
    return array;
}

// A fixed or locked array of the caller is not replaced: the run-time's own answer for it.
bool replaceable(const SAFEARRAY* array)
{
    return array == nullptr ||
           (array->cLocks == 0 && (array->fFeatures & (FADF_FIXEDSIZE | FADF_STATIC | FADF_EMBEDDED | FADF_AUTO)) == 0);
}

// Script hosts index only Variant arrays and a compiled host's typed array must stay typed, so the
// caller's variable chooses the element type: an empty or Variant variable gets a Variant array.
HRESULT writeArrayThrough(const Array& items, VARIANT& byRef)
{
    VARIANT* holder = byRef.vt == (VT_BYREF | VT_VARIANT) ? byRef.pvarVal : &byRef;
    if (holder == nullptr)
        return S_OK;
    SAFEARRAY** slot = nullptr;
    VARTYPE element = VT_VARIANT;
    if (holder->vt & VT_ARRAY) {
        element = holder->vt & VT_TYPEMASK;
        slot = (holder->vt & VT_BYREF) ? holder->pparray : &holder->parray;
        if (slot == nullptr)
            return S_OK;
        if (!replaceable(*slot))
            return DISP_E_ARRAYISLOCKED;
    } else if (holder == &byRef) {
        return DISP_E_TYPEMISMATCH;  // a typed scalar variable cannot hold an array
    }
    SAFEARRAY* fresh = nullptr;
    try {
        fresh = safeArrayOf(items, element);
    } catch (const Error&) {
        return DISP_E_TYPEMISMATCH;
    }
    if (slot != nullptr) {
        SafeArrayDestroy(*slot);
        *slot = fresh;
    } else {
        VariantClear(holder);
        holder->vt = VT_ARRAY | VT_VARIANT;
        holder->parray = fresh;
    }
    return S_OK;
}

} // namespace

BSTR bstrOf(const Text& text)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

Text textOf(const wchar_t* text, std::size_t length)
{
    return Text(reinterpret_cast<const char16_t*>(text), length);
}

// Numbers of the automation types the library has no type of its own for (signed bytes,
// unsigned, 64-bit, currency, dates, decimals), converted by the platform's own rules as the
// run-time converts them for its typed parameters: whole numbers as a Long when they fit, the rest
// as a Double. The parameter's own conversion then says whether the value fits it (error 6).
Variant otherNumber(const VARIANT& value)
{
    const VARTYPE type = value.vt & VT_TYPEMASK;
    const bool whole = type != VT_CY && type != VT_DATE && type != VT_DECIMAL;
    VARIANT number;
    VariantInit(&number);
    // The platform declares the source without const; it only reads it.
    HRESULT hr = VariantCopyInd(&number, const_cast<VARIANT*>(&value));
    if (SUCCEEDED(hr) && whole && SUCCEEDED(VariantChangeType(&number, &number, 0, VT_I4)))
        return Variant(static_cast<Long>(number.lVal));
    if (SUCCEEDED(hr))
        hr = VariantChangeType(&number, &number, 0, VT_R8);
    const double converted = number.dblVal;
    VariantClear(&number);
    if (FAILED(hr))
        throw hr == DISP_E_OVERFLOW ? errors::overflow() : errors::typeMismatch();
    return Variant(static_cast<Double>(converted));
}

Variant fromVariant(const VARIANT& value)
{
    const VARTYPE type = value.vt;
    if (type == (VT_BYREF | VT_VARIANT))
        return value.pvarVal ? fromVariant(*value.pvarVal) : Variant();
    if (type & VT_ARRAY) {
        SAFEARRAY* array = (type & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray;
        return arrayOf(array, type & VT_TYPEMASK);
    }
    const bool ref = (type & VT_BYREF) != 0;
    switch (type & VT_TYPEMASK) {
    case VT_EMPTY: return {};
    case VT_NULL: return Variant::null();
    case VT_UI1: return Variant(static_cast<Byte>(ref ? *value.pbVal : value.bVal));
    case VT_I1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL: return otherNumber(value);
    case VT_I2: return Variant(static_cast<Integer>(ref ? *value.piVal : value.iVal));
    case VT_I4: return Variant(static_cast<Long>(ref ? *value.plVal : value.lVal));
    case VT_INT: return Variant(static_cast<Long>(ref ? *value.pintVal : value.intVal));
    case VT_R4: return Variant(static_cast<Single>(ref ? *value.pfltVal : value.fltVal));
    case VT_R8: return Variant(static_cast<Double>(ref ? *value.pdblVal : value.dblVal));
    case VT_BOOL: return Variant(static_cast<Boolean>((ref ? *value.pboolVal : value.boolVal) != VARIANT_FALSE));
    case VT_BSTR: {
        BSTR text = ref ? *value.pbstrVal : value.bstrVal;
        return Variant(text ? textOf(text, SysStringLen(text)) : Text());
    }
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        IUnknown* unknown = ref ? *value.ppunkVal : value.punkVal;
        if (unknown == nullptr)
            return Variant(std::shared_ptr<Object>());
        Dispatch* own = nullptr;
        if (SUCCEEDED(unknown->QueryInterface(IID_LibraryObject, reinterpret_cast<void**>(&own)))) {
            std::shared_ptr<Object> object = own->object();
            own->Release();
            return Variant(std::move(object));
        }
        IDispatch* dispatch = nullptr;
        if (FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
            throw errors::typeMismatch();
        auto host = std::make_shared<HostObject>(dispatch);
        dispatch->Release();
        return Variant(std::shared_ptr<Object>(std::move(host)));
    }
    default:
        throw errors::typeMismatch();
    }
}

void toVariant(const Variant& value, VARIANT& out)
{
    VariantInit(&out);
    struct Visitor {
        VARIANT& out;
        void operator()(const EmptyValue&) const { out.vt = VT_EMPTY; }
        void operator()(const NullValue&) const { out.vt = VT_NULL; }
        void operator()(Byte v) const { out.vt = VT_UI1; out.bVal = v; }
        void operator()(Integer v) const { out.vt = VT_I2; out.iVal = v; }
        void operator()(Long v) const { out.vt = VT_I4; out.lVal = v; }
        void operator()(Single v) const { out.vt = VT_R4; out.fltVal = v; }
        void operator()(Double v) const { out.vt = VT_R8; out.dblVal = v; }
        void operator()(Boolean v) const { out.vt = VT_BOOL; out.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; }
        void operator()(const Text& v) const { out.vt = VT_BSTR; out.bstrVal = bstrOf(v); }
        void operator()(const std::shared_ptr<Array>& v) const
        {
            const VARTYPE element = runtimeElementOf(v->elementType);
            out.parray = safeArrayOf(*v, element);
            out.vt = VT_ARRAY | element;
        }
        void operator()(const std::shared_ptr<Object>& v) const
        {
            out.vt = VT_DISPATCH;
            out.pdispVal = nullptr;
            if (!v)
                return;
            if (auto* host = dynamic_cast<HostObject*>(v.get())) {
                out.pdispVal = host->dispatch();
                out.pdispVal->AddRef();
                return;
            }
            out.pdispVal = new Dispatch(v);
        }
    };
    std::visit(Visitor{out}, value.storage());
}

HRESULT writeThrough(const Variant& value, VARIANT& byRef)
{
    if (!(byRef.vt & VT_BYREF))
        return S_OK;
    if (value.type() == ValueType::Array)
        return writeArrayThrough(value.toArray(), byRef);
    VARIANT fresh;
    toVariant(value, fresh);
    const VARTYPE target = byRef.vt & ~VT_BYREF;
    if (target == VT_VARIANT) {
        if (byRef.pvarVal != nullptr) {
            VariantClear(byRef.pvarVal);
            *byRef.pvarVal = fresh;
        } else {
            VariantClear(&fresh);
        }
        return S_OK;
    }
    // A typed variable of the caller keeps its type: the value is converted to it.
    if (target != fresh.vt && FAILED(VariantChangeType(&fresh, &fresh, 0, target))) {
        VariantClear(&fresh);
        return S_OK;
    }
    switch (target) {
    case VT_UI1: *byRef.pbVal = fresh.bVal; break;
    case VT_I2: *byRef.piVal = fresh.iVal; break;
    case VT_I4: *byRef.plVal = fresh.lVal; break;
    case VT_R4: *byRef.pfltVal = fresh.fltVal; break;
    case VT_R8: *byRef.pdblVal = fresh.dblVal; break;
    case VT_BOOL: *byRef.pboolVal = fresh.boolVal; break;
    case VT_I1: *byRef.pcVal = fresh.cVal; break;
    case VT_UI2: *byRef.puiVal = fresh.uiVal; break;
    case VT_UI4: *byRef.pulVal = fresh.ulVal; break;
    case VT_INT: *byRef.pintVal = fresh.intVal; break;
    case VT_UINT: *byRef.puintVal = fresh.uintVal; break;
    case VT_I8: *byRef.pllVal = fresh.llVal; break;
    case VT_UI8: *byRef.pullVal = fresh.ullVal; break;
    case VT_CY: *byRef.pcyVal = fresh.cyVal; break;
    case VT_DATE: *byRef.pdate = fresh.date; break;
    case VT_DECIMAL: *byRef.pdecVal = fresh.decVal; break;
    case VT_BSTR:
        SysFreeString(*byRef.pbstrVal);
        *byRef.pbstrVal = fresh.bstrVal;
        return S_OK;
    case VT_DISPATCH:
        if (*byRef.ppdispVal)
            (*byRef.ppdispVal)->Release();
        *byRef.ppdispVal = fresh.pdispVal;
        return S_OK;
    default: break;
    }
    VariantClear(&fresh);
    return S_OK;
}

} // namespace Kor2_Sys::com
