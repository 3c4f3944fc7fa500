// A C++ client of the component binding through IDispatch alone, as a late-binding host is:
// every class created by its ProgID, every member's identifier looked up by name and compared
// with the list generated from the dispatch tables, and bad calls answered with the run-time's
// codes or the library's numbered errors. Prints FALLO per fault and "OK n comprobaciones".
//   dispatch_client IDENTIFIERS.txt

#include "ClientChecks.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using kor2client::check;
using kor2client::create;
using kor2client::hex;
using kor2client::text;

std::wstring wide(const std::string& utf8)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

DISPID idOf(IDispatch* object, const std::wstring& name, HRESULT& hr)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// Every member of every class: the identifier seen through GetIDsOfNames is the table's.
void identifiersMatch(const char* listFile)
{
    std::ifstream in(listFile, std::ios::binary);
    std::map<std::string, std::vector<std::pair<std::string, unsigned long>>> classes;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string progId, name, id;
        if (std::getline(fields, progId, '\t') && std::getline(fields, name, '\t') && std::getline(fields, id))
            classes[progId].emplace_back(name, std::stoul(id));
    }
    check(classes.size() >= 10, std::string("la lista de identificadores ") + listFile + " tiene " +
                                    std::to_string(classes.size()) + " clases");
    for (const auto& [progId, members] : classes) {
        IDispatch* object = create(wide(progId));
        if (object == nullptr)
            continue;
        for (const auto& [name, expected] : members) {
            HRESULT hr;
            const DISPID id = idOf(object, wide(name), hr);
            check(SUCCEEDED(hr) && static_cast<unsigned long>(id) == expected,
                  progId + "." + name + ": " + hex(id) + " (" + hex(hr) + ") en vez de " + hex(static_cast<long>(expected)));
        }
        object->Release();
    }
}

VARIANT number(long value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT nothing()
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = nullptr;
    return v;
}

// Calls a host gets wrong reach it as the run-time's codes or as a numbered error with its
// description (the script tests map the others to the script host's numbers).
void badCallsAnswer()
{
    if (IDispatch* settings = create(L"Kor2_Sys.cRegistro")) {
        const kor2client::Answer answer = kor2client::invoke(
            settings, L"R_Lee_tamaño_y_pos_Obj_en_Win", DISPATCH_METHOD | DISPATCH_PROPERTYGET,
            {nothing(), text(L"a"), text(L"b"), number(0), number(0), number(0), number(0)});
        check(answer.hr == DISP_E_TYPEMISMATCH || (answer.hr == DISP_E_EXCEPTION && answer.scode != S_OK &&
                                                   !answer.description.empty()),
              "objeto nulo donde va un formulario: " + hex(answer.hr) + " " + hex(answer.scode));
        settings->Release();
    }
    // An identifier no member has.
    if (IDispatch* object = create(L"Kor2_Sys.CColores")) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        const HRESULT hr =
            object->Invoke(0x7FFF1234, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, nullptr, nullptr);
        check(hr == DISP_E_MEMBERNOTFOUND, "identificador desconocido: " + hex(hr));
        object->Release();
    }
}

// The caller's array before the call: one empty item, so a refused write shows as an unchanged array.
SAFEARRAY* oneItemArray(VARTYPE element, USHORT features)
{
    SAFEARRAY* array = SafeArrayCreateVector(element, 0, 1);
    array->fFeatures |= features;
    return array;
}

// The items of a one-dimensional array as "a|b|c" (empty when one does not read as text).
std::wstring joined(SAFEARRAY* array)
{
    std::wstring out;
    LONG high = -1;
    SafeArrayGetUBound(array, 1, &high);
    VARTYPE element = VT_EMPTY;
    SafeArrayGetVartype(array, &element);
    for (LONG i = 0; i <= high; ++i) {
        VARIANT item;
        VariantInit(&item);
        if (element == VT_VARIANT) {
            SafeArrayGetElement(array, &i, &item);
        } else {
            item.vt = element;
            SafeArrayGetElement(array, &i, element == VT_BSTR ? static_cast<void*>(&item.bstrVal) : &item.lVal);
        }
        if (FAILED(VariantChangeType(&item, &item, 0, VT_BSTR)))
            return L"?";
        out += (i > 0 ? L"|" : L"") + std::wstring(item.bstrVal, SysStringLen(item.bstrVal));
        VariantClear(&item);
    }
    return out;
}

struct ArrayCase {
    const char* label;
    VARTYPE caller;    // the element type of the caller's array
    bool inVariant;    // a Variant holding it, as script hosts pass; else the typed array itself
    USHORT features;   // of the caller's array
    HRESULT expected;
    VARTYPE holds;     // the variable's type after the call
    const wchar_t* items;
};

// S_LeeTira writes its items into the caller's array, which keeps its element type: a script host
// indexes only Variant arrays, a compiled host declared its own.
void arraysKeepTheirElementType()
{
    const std::vector<ArrayCase> cases = {
        {"String() en un Variant", VT_BSTR, true, 0, S_OK, VT_ARRAY | VT_BSTR, L"|a||b"},
        {"String()", VT_BSTR, false, 0, S_OK, VT_ARRAY | VT_BSTR, L"|a||b"},
        {"Variant()", VT_VARIANT, false, 0, S_OK, VT_ARRAY | VT_VARIANT, L"|a||b"},
        {"Long(): el índice 0 vacío no es un número", VT_I4, false, 0, DISP_E_TYPEMISMATCH, VT_ARRAY | VT_I4, L"0"},
        {"String() de tamaño fijo", VT_BSTR, false, FADF_FIXEDSIZE, DISP_E_ARRAYISLOCKED, VT_ARRAY | VT_BSTR, L""},
        {"matriz fija en un Variant", VT_VARIANT, true, FADF_STATIC, DISP_E_ARRAYISLOCKED, VT_ARRAY | VT_VARIANT, L""},
    };
    IDispatch* strings = create(L"Kor2_Sys.CString");
    if (strings == nullptr)
        return;
    HRESULT hr;
    const DISPID id = idOf(strings, L"S_LeeTira", hr);
    for (const ArrayCase& row : cases) {
        VARIANT variable;  // the caller's own variable
        VariantInit(&variable);
        variable.vt = VT_ARRAY | row.caller;
        variable.parray = oneItemArray(row.caller, row.features);
        BSTR tira = SysAllocString(L"a,,b");
        VARIANT args[2];  // last first
        args[1].vt = VT_BYREF | VT_BSTR;
        args[1].pbstrVal = &tira;
        if (row.inVariant) {
            args[0].vt = VT_BYREF | VT_VARIANT;
            args[0].pvarVal = &variable;
        } else {
            args[0].vt = VT_BYREF | VT_ARRAY | row.caller;
            args[0].pparray = &variable.parray;
        }
        DISPPARAMS params{args, nullptr, 2, 0};
        const HRESULT got = strings->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                            nullptr, nullptr);
        check(got == row.expected && variable.vt == row.holds && joined(variable.parray) == row.items,
              std::string("S_LeeTira en ") + row.label + ": " + hex(got) + ", tipo " + std::to_string(variable.vt));
        if (variable.parray != nullptr)
            variable.parray->fFeatures &= static_cast<USHORT>(~row.features);
        VariantClear(&variable);
        SysFreeString(tira);
    }
    strings->Release();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("uso: dispatch_client IDENTIFICADORES.txt\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::printf("FALLO CoInitializeEx\n");
        return 1;
    }
    identifiersMatch(argv[1]);
    badCallsAnswer();
    arraysKeepTheirElementType();
    CoUninitialize();
    return kor2client::finish();
}
