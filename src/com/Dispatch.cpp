#include "com/Dispatch.h"

#include "com/Dual.h"
#include "com/NameUuid.h"
#include "com/Values.h"
#include "frame/ArgumentValues.h"
#include "frame/Errors.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

namespace Kor2_Sys::com {

// {5E2A86C1-6F0B-5D8E-9C1A-4B6F0D2E7A31}: private, never handed out to a client.
const IID IID_LibraryObject = {0x5e2a86c1, 0x6f0b, 0x5d8e, {0x9c, 0x1a, 0x4b, 0x6f, 0x0d, 0x2e, 0x7a, 0x31}};

void setThreadError(const wchar_t* source, const wchar_t* description)
{
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create)))
        return;
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
}

namespace {

// Automation errors carry the library's number in the facility of automation controls, as the
// platform's own components do, so a script's Err.Number reads the number itself.
HRESULT fail(const Error& error, EXCEPINFO* exception)
{
    if (exception != nullptr) {
        *exception = {};
        exception->bstrSource = bstrOf(error.source());
        exception->bstrDescription = bstrOf(error.description());
        exception->scode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, error.number() & 0xFFFF);
    }
    BSTR source = bstrOf(error.source());
    BSTR description = bstrOf(error.description());
    setThreadError(source, description);
    SysFreeString(source);
    SysFreeString(description);
    return DISP_E_EXCEPTION;
}

std::string utf8Of(const wchar_t* name)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, name, -1, out.data(), length, nullptr, nullptr);
    return out;
}

bool isMissing(const VARIANT& v)
{
    return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

// An argument left out before others, or not named: its default when it has one.
Variant omittedValue(const MemberInfo& row, std::size_t i)
{
    if (i >= row.params.size())
        return {};
    const ParamInfo& p = row.params[i];
    if (!p.optional && !row.acceptsAnyArguments)
        throw errors::argumentNotOptional();
    if (p.type == ValueType::Any || p.type == ValueType::Object)
        return {};
    return Variant(p.defaultValue).convertedTo(p.type);
}

// Where each argument is, in declared order. The run-time passes the named arguments first, each
// with the identifier GetIDsOfNames gave its name (its position), then the positional ones last
// first. A position nothing fills is an omitted argument. A property write's value is its own
// named argument and stays last, as it is declared.
class ArgumentSlots {
public:
    ArgumentSlots(const DISPPARAMS& params, bool put, const MemberInfo& row)
        : m_params(params), m_named(put ? 0 : params.cNamedArgs), m_positional(params.cArgs - m_named)
    {
        m_size = m_positional;
        for (UINT k = 0; k < m_named && m_refusal == S_OK; ++k) {
            const DISPID id = params.rgdispidNamedArgs[k];
            const bool repeated = std::count(params.rgdispidNamedArgs, params.rgdispidNamedArgs + k, id) > 0;
            if (id < 0 || static_cast<std::size_t>(id) < m_positional ||
                static_cast<std::size_t>(id) >= row.params.size() || repeated) {
                m_refusal = row.acceptsAnyArguments ? DISP_E_NONAMEDARGS : DISP_E_PARAMNOTFOUND;
                m_refused = k;
            }
            m_size = std::max(m_size, static_cast<std::size_t>(std::max<DISPID>(id, 0)) + 1);
        }
        if (m_refusal != S_OK)
            m_size = 0;
        while (!put && m_size > 0 && (at(m_size - 1) == nullptr || isMissing(*at(m_size - 1))))
            --m_size;
    }

    /// A named argument that names no parameter of the member, or one given already, is refused
    /// as the run-time refuses it; `argError` says which.
    HRESULT refusal(UINT* argError) const
    {
        if (m_refusal != S_OK && argError != nullptr)
            *argError = m_refused;
        return m_refusal;
    }

    /// How many declared positions the call spans, omitted ones at the end left out.
    std::size_t size() const { return m_size; }

    /// The argument at declared position `i`, or null when it was not given.
    VARIANT* at(std::size_t i) const
    {
        if (i < m_positional)
            return &m_params.rgvarg[m_params.cArgs - 1 - i];
        for (UINT k = 0; k < m_named; ++k)
            if (static_cast<std::size_t>(m_params.rgdispidNamedArgs[k]) == i)
                return &m_params.rgvarg[k];
        return nullptr;
    }

    /// The run-time's index of the argument at declared position `i`, for `argError`.
    UINT runtimeIndex(std::size_t i) const
    {
        const VARIANT* argument = at(i);
        return argument != nullptr ? static_cast<UINT>(argument - m_params.rgvarg) : 0;
    }

private:
    const DISPPARAMS& m_params;
    UINT m_named;
    std::size_t m_positional;
    std::size_t m_size = 0;
    HRESULT m_refusal = S_OK;
    UINT m_refused = 0;
};

const MemberInfo* memberFor(const ClassInfo& info, DISPID id, WORD flags, InvokeKind& kind)
{
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        kind = InvokeKind::Put;
        return info.find(id, kind);
    }
    if (flags & DISPATCH_METHOD) {
        kind = InvokeKind::Method;
        if (const MemberInfo* row = info.find(id, kind))
            return row;
    }
    if (flags & DISPATCH_PROPERTYGET) {
        kind = InvokeKind::Get;
        return info.find(id, kind);
    }
    return nullptr;
}

} // namespace

std::atomic<long>& liveObjects()
{
    static std::atomic<long> count{0};
    return count;
}

Dispatch::Dispatch(std::shared_ptr<Object> object) : m_object(std::move(object)), m_info(classOf(*m_object))
{
    if (m_info != nullptr) {
        if (SUCCEEDED(CLSIDFromString(bracedUuid(interfaceUuid(m_info->name)).c_str(), &m_interface)))
            m_dual.reset(makeDual(*this, m_info->name));
    }
    ++liveObjects();
}

Dispatch::~Dispatch()
{
    --liveObjects();
}

HRESULT Dispatch::QueryInterface(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (m_dual && iid == m_interface)
        *out = m_dual->dispatch();
    else if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_LibraryObject)
        *out = static_cast<IDispatch*>(this);
    else if (iid == IID_ISupportErrorInfo)
        *out = static_cast<ISupportErrorInfo*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG Dispatch::AddRef()
{
    return ++m_references;
}

ULONG Dispatch::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT Dispatch::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr)
        return E_POINTER;
    *count = typeLibrary() != nullptr && m_info != nullptr ? 1 : 0;
    return S_OK;
}

HRESULT Dispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    ITypeLib* library = typeLibrary();
    if (index != 0 || library == nullptr || m_info == nullptr)
        return DISP_E_BADINDEX;
    return library->GetTypeInfoOfGuid(m_interface, out);
}

HRESULT Dispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (names == nullptr || ids == nullptr || count == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    if (m_info == nullptr || names[0] == nullptr)
        return DISP_E_UNKNOWNNAME;
    const std::string name = utf8Of(names[0]);
    const MemberInfo* row = nullptr;
    for (InvokeKind kind : {InvokeKind::Method, InvokeKind::Get, InvokeKind::Put})
        if (row == nullptr)
            row = m_info->find(name, kind);
    if (row == nullptr)
        return DISP_E_UNKNOWNNAME;
    ids[0] = row->id;
    // Parameter names: their positions; named arguments are otherwise not taken.
    HRESULT result = S_OK;
    for (UINT i = 1; i < count; ++i) {
        const std::string param = names[i] ? utf8Of(names[i]) : std::string();
        for (std::size_t p = 0; p < row->params.size(); ++p)
            if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, row->params[p].name.data(),
                               static_cast<int>(row->params[p].name.size()), param.data(),
                               static_cast<int>(param.size())) == CSTR_EQUAL)
                ids[i] = static_cast<DISPID>(p);
        if (ids[i] == DISPID_UNKNOWN)
            result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

HRESULT Dispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* exception, UINT* argError)
{
    if (params == nullptr || (params->cArgs > 0 && params->rgvarg == nullptr))
        return E_INVALIDARG;
    if (m_info == nullptr)
        return DISP_E_MEMBERNOTFOUND;
    if (m_last.row == nullptr || m_last.id != id || m_last.flags != flags) {
        InvokeKind found = InvokeKind::Method;
        const MemberInfo* row = memberFor(*m_info, id, flags, found);
        if (row == nullptr)
            return DISP_E_MEMBERNOTFOUND;
        m_last = {id, flags, row, found};
    }
    const MemberInfo* row = m_last.row;
    const InvokeKind kind = m_last.kind;
    const bool put = kind == InvokeKind::Put;
    if (params->cNamedArgs > 0 && params->rgdispidNamedArgs == nullptr)
        return E_INVALIDARG;
    if (put && (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
        return DISP_E_NONAMEDARGS;
    const ArgumentSlots slots(*params, put, *row);
    if (const HRESULT refused = slots.refusal(argError); FAILED(refused))
        return refused;

    // Most calls take a few arguments: those stay on the stack, built only as far as they are given.
    const std::size_t given = slots.size();
    ArgumentValues converted(given);
    // An argument the library cannot take fails as the library's own errors do, with its number and
    // Spanish description, not the script host's text.
    for (std::size_t i = 0; i < given; ++i) {
        const VARIANT* in = slots.at(i);
        try {
            Variant value = in == nullptr || isMissing(*in) ? omittedValue(*row, i) : fromVariant(*in);
            const bool declared = !row->acceptsAnyArguments && i < row->params.size() && !put;
            // A value of the declared type converts to itself: only another is tried here.
            const ValueType type = declared ? row->params[i].type : ValueType::Any;
            if (type != ValueType::Any && !value.isEmpty() && value.type() != type)
                (void)value.convertedTo(type);
            converted.push(std::move(value));
        } catch (const Error& error) {
            if (argError != nullptr)
                *argError = slots.runtimeIndex(i);
            return fail(error, exception);
        }
    }
    const std::span<Variant> args = converted.values();
    if (!row->acceptsAnyArguments && !put && args.size() > row->params.size())
        return fail(errors::wrongArgumentCount(), exception);

    Variant value;
    try {
        value = m_object->invoke(row->id, kind, args);
    } catch (const Error& error) {
        return fail(error, exception);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return fail(Error(51, u"Error interno"), exception);
    }
    for (std::size_t i = 0; i < args.size() && !put; ++i) {
        // Only a variable passed by reference has a place to take the callee's change.
        VARIANT* out = slots.at(i);
        const HRESULT written = out != nullptr && (out->vt & VT_BYREF) ? writeThrough(args[i], *out) : S_OK;
        if (FAILED(written)) {
            if (argError != nullptr)
                *argError = slots.runtimeIndex(i);
            return written;
        }
    }
    if (result != nullptr && !put) {
        try {
            toVariant(value, *result);
        } catch (const Error& error) {
            return fail(error, exception);
        }
    }
    return S_OK;
}

HRESULT Dispatch::InterfaceSupportsErrorInfo(REFIID)
{
    return S_OK;
}

HRESULT Dispatch::callFromVtable(DISPID id, WORD flags, std::vector<VARIANT>& args, VARIANT* result)
{
    // The run-time's order, last first, in place: the caller's list is put back after the call.
    std::reverse(args.begin(), args.end());
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{args.data(), isPut ? &put : nullptr, static_cast<UINT>(args.size()), isPut ? 1u : 0u};
    EXCEPINFO exception{};
    const HRESULT hr = Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception, nullptr);
    std::reverse(args.begin(), args.end());
    if (hr != DISP_E_EXCEPTION)
        return hr;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return exception.scode;
}

} // namespace Kor2_Sys::com
