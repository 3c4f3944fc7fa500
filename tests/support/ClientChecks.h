#pragma once
// What the Windows clients of the component binding share: a check that prints FALLO with what
// it saw, the closing line the tests match, the identifier list generated from the tables, the
// VARIANTs their calls are built of, and a late-bound call by name as a script host makes it.

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kor2client {

inline int checks = 0, failures = 0;

inline void check(bool ok, const std::string& what)
{
    ++checks;
    if (!ok) {
        ++failures;
        std::printf("FALLO %s\n", what.c_str());
        std::fflush(stdout);
    }
}

/// Prints "OK n comprobaciones" when nothing failed; the process's exit status.
inline int finish()
{
    if (failures == 0)
        std::printf("OK %d comprobaciones\n", checks);
    return failures == 0 ? 0 : 1;
}

inline std::string hex(long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

inline std::string narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

inline std::wstring wide(const std::string& utf8)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

/// Each class's members with their identifiers, by ProgID, from the list generated from the tables
/// ("ProgID<tab>name<tab>identifier" a line). A list that lost its classes is a failed check.
inline std::map<std::string, std::vector<std::pair<std::string, unsigned long>>> identifierList(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::map<std::string, std::vector<std::pair<std::string, unsigned long>>> classes;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string progId, name, id;
        if (std::getline(fields, progId, '\t') && std::getline(fields, name, '\t') && std::getline(fields, id))
            classes[progId].emplace_back(name, std::stoul(id));
    }
    check(classes.size() >= 10,
          std::string("la lista de identificadores ") + path + " tiene " + std::to_string(classes.size()) + " clases");
    return classes;
}

/// A text argument; the caller clears it.
inline VARIANT text(const wchar_t* value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(value);
    return v;
}

/// A class of the library by its ProgID, through IDispatch alone (null, and a failed check, when it is not created).
inline IDispatch* create(const std::wstring& progId)
{
    CLSID clsid;
    IDispatch* object = nullptr;
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
    check(SUCCEEDED(hr) && object != nullptr, narrow(progId) + ": no se crea (" + hex(hr) + ")");
    return SUCCEEDED(hr) ? object : nullptr;
}

/// How a late-bound call ended: its code and, for a raised error, the error's code, description and
/// source.
struct Answer {
    HRESULT hr = E_POINTER;
    long scode = 0;
    std::wstring description;
    std::wstring source;
};

/// The identifiers of a member and of its parameters `parameters`, as a compiled host asks for them
/// to name its arguments; DISPID_UNKNOWN where a name is not known.
inline std::vector<DISPID> identifiers(IDispatch* object, const wchar_t* member,
                                       const std::vector<const wchar_t*>& parameters = {})
{
    std::vector<LPOLESTR> names{const_cast<LPOLESTR>(member)};
    for (const wchar_t* name : parameters)
        names.push_back(const_cast<LPOLESTR>(name));
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    if (object != nullptr)
        object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()), LOCALE_USER_DEFAULT, ids.data());
    return ids;
}

/// Calls member `id` as `kind`: the positional arguments in their written order, then the named ones,
/// each with its parameter's identifier (all cleared afterwards).
inline Answer invokeNamed(IDispatch* object, DISPID id, WORD kind, std::vector<VARIANT> positional,
                          std::vector<std::pair<DISPID, VARIANT>> named, VARIANT* result = nullptr)
{
    Answer answer;
    // The run-time's layout: the named arguments first, then the positional ones last first.
    std::vector<VARIANT> arguments;
    std::vector<DISPID> names;
    for (const auto& [parameter, value] : named) {
        names.push_back(parameter);
        arguments.push_back(value);
    }
    arguments.insert(arguments.end(), positional.rbegin(), positional.rend());
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = kind == DISPATCH_PROPERTYPUT;
    if (isPut)
        names = {put};
    DISPPARAMS params{arguments.data(), names.empty() ? nullptr : names.data(), static_cast<UINT>(arguments.size()),
                      static_cast<UINT>(names.size())};
    EXCEPINFO error{};
    answer.hr = object != nullptr ? object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &error,
                                                   nullptr)
                                  : E_POINTER;
    answer.scode = error.scode;
    if (error.bstrDescription != nullptr)
        answer.description.assign(error.bstrDescription, SysStringLen(error.bstrDescription));
    if (error.bstrSource != nullptr)
        answer.source.assign(error.bstrSource, SysStringLen(error.bstrSource));
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrHelpFile);
    for (VARIANT& v : arguments)
        VariantClear(&v);
    return answer;
}

/// Calls a member by name, as `kind`, with the arguments in their written order (cleared afterwards).
inline Answer invoke(IDispatch* object, const wchar_t* member, WORD kind, std::vector<VARIANT> args = {},
                     VARIANT* result = nullptr)
{
    const DISPID id = identifiers(object, member)[0];
    if (object == nullptr || id == DISPID_UNKNOWN) {
        for (VARIANT& v : args)
            VariantClear(&v);
        return {object == nullptr ? E_POINTER : DISP_E_UNKNOWNNAME, 0, {}, {}};
    }
    return invokeNamed(object, id, kind, std::move(args), {}, result);
}

} // namespace kor2client
