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

/// How a late-bound call ended: its code and, for a raised error, the error's code and description.
struct Answer {
    HRESULT hr = E_POINTER;
    long scode = 0;
    std::wstring description;
};

/// Calls a member by name, as `kind`, with the arguments in their written order (cleared afterwards).
inline Answer invoke(IDispatch* object, const wchar_t* member, WORD kind, std::vector<VARIANT> args = {},
                     VARIANT* result = nullptr)
{
    Answer answer;
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    DISPID id = 0;
    if (object != nullptr)
        answer.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = kind == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), isPut ? &put : nullptr, static_cast<UINT>(reversed.size()), isPut ? 1u : 0u};
    EXCEPINFO error{};
    if (SUCCEEDED(answer.hr))
        answer.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &error, nullptr);
    answer.scode = error.scode;
    if (error.bstrDescription != nullptr)
        answer.description.assign(error.bstrDescription, SysStringLen(error.bstrDescription));
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrHelpFile);
    for (VARIANT& v : args)
        VariantClear(&v);
    return answer;
}

} // namespace kor2client
