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

using kor2client::checks;
using kor2client::fail;
using kor2client::text;

std::wstring wide(const std::string& utf8)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

std::string hex(long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

IDispatch* create(const std::string& progId)
{
    CLSID clsid;
    IDispatch* object = nullptr;
    HRESULT hr = CLSIDFromProgID(wide(progId).c_str(), &clsid);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
    ++checks;
    if (FAILED(hr)) {
        fail(progId + ": no se crea (" + hex(hr) + ")");
        return nullptr;
    }
    return object;
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
    ++checks;
    if (classes.size() < 10)
        fail(std::string("la lista de identificadores ") + listFile + " tiene " + std::to_string(classes.size()) +
             " clases");
    for (const auto& [progId, members] : classes) {
        IDispatch* object = create(progId);
        if (object == nullptr)
            continue;
        for (const auto& [name, expected] : members) {
            HRESULT hr;
            const DISPID id = idOf(object, wide(name), hr);
            ++checks;
            if (FAILED(hr) || static_cast<unsigned long>(id) != expected)
                fail(progId + "." + name + ": " + hex(id) + " (" + hex(hr) + ") en vez de " +
                     hex(static_cast<long>(expected)));
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

struct BadCall {
    const char* label;
    const char* progId;
    const wchar_t* member;
    std::vector<VARIANT> args;  // in call order
    std::vector<HRESULT> accepted;
    long libraryNumber;  // with DISP_E_EXCEPTION: the error number it must carry (0: any)
};

// Calls that a host gets wrong reach it as the run-time's codes or as a numbered error.
void badCallsAnswer()
{
    std::vector<BadCall> calls = {
        {"demasiados argumentos", "Kor2_Sys.CColores", L"Col_NuCad_de_NuVB", {number(1), number(2)},
         {DISP_E_BADPARAMCOUNT}, 0},
        {"sin argumentos", "Kor2_Sys.CColores", L"Col_NuCad_de_NuVB", {}, {DISP_E_PARAMNOTOPTIONAL,
         DISP_E_BADPARAMCOUNT}, 0},
        {"texto donde va un número", "Kor2_Sys.CColores", L"Col_NuCad_de_NuVB", {text(L"rojo")},
         {DISP_E_TYPEMISMATCH}, 0},
        {"objeto nulo donde va un número", "Kor2_Sys.CString", L"S_redondea", {nothing(), number(0)},
         {DISP_E_TYPEMISMATCH}, 0},
        {"desbordamiento", "Kor2_Sys.CColores", L"Col_NuTB_de_NuCad", {number(100000)}, {DISP_E_OVERFLOW,
         DISP_E_EXCEPTION}, 6},
        {"objeto nulo donde va un formulario", "Kor2_Sys.cRegistro", L"R_Lee_tamaño_y_pos_Obj_en_Win",
         {nothing(), text(L"a"), text(L"b"), number(0), number(0), number(0), number(0)},
         {DISP_E_TYPEMISMATCH, DISP_E_EXCEPTION}, 0},
    };
    for (auto& call : calls) {
        IDispatch* object = create(call.progId);
        if (object == nullptr)
            continue;
        HRESULT hr;
        const DISPID id = idOf(object, call.member, hr);
        std::vector<VARIANT> reversed(call.args.rbegin(), call.args.rend());
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception{};
        UINT argError = 0;
        if (SUCCEEDED(hr))
            hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                                &result, &exception, &argError);
        ++checks;
        bool known = false;
        for (HRESULT accepted : call.accepted)
            known = known || hr == accepted;
        if (!known)
            fail(std::string(call.label) + ": " + hex(hr));
        else if (hr == DISP_E_EXCEPTION && (exception.scode == S_OK || exception.bstrDescription == nullptr ||
                                            (call.libraryNumber != 0 && HRESULT_CODE(exception.scode) != call.libraryNumber)))
            fail(std::string(call.label) + ": excepción sin el número " + std::to_string(call.libraryNumber) +
                 " o sin descripción (" + hex(exception.scode) + ")");
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        VariantClear(&result);
        for (auto& arg : call.args)
            VariantClear(&arg);
        object->Release();
    }

    // An unknown name, and an identifier no member has.
    if (IDispatch* object = create("Kor2_Sys.CColores")) {
        HRESULT hr;
        idOf(object, L"NoExiste", hr);
        ++checks;
        if (hr != DISP_E_UNKNOWNNAME)
            fail("nombre desconocido: " + hex(hr));
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        hr = object->Invoke(0x7FFF1234, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, nullptr,
                            nullptr);
        ++checks;
        if (hr != DISP_E_MEMBERNOTFOUND)
            fail("identificador desconocido: " + hex(hr));

        // And a right call answers: colour 200 of the host is catalogue number 12.
        const DISPID id = idOf(object, L"Col_NuCad_de_NuVB", hr);
        VARIANT arg = number(200);
        DISPPARAMS one{&arg, nullptr, 1, 0};
        hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, &result, nullptr, nullptr);
        ++checks;
        if (FAILED(hr) || VariantChangeType(&result, &result, 0, VT_I4) != S_OK || result.lVal != 12)
            fail("Col_NuCad_de_NuVB(200): " + hex(hr));
        object->Release();
    }
}

// The caller's array before the call: one item, so a refused write shows as an unchanged array.
SAFEARRAY* oneItemArray(VARTYPE element, USHORT features)
{
    SAFEARRAY* array = SafeArrayCreateVector(element, 0, 1);
    LONG at = 0;
    VARIANT item = element == VT_I4 ? number(7) : text(L"viejo");
    SafeArrayPutElement(array, &at, element == VT_VARIANT ? static_cast<void*>(&item)
                                    : element == VT_BSTR  ? static_cast<void*>(item.bstrVal)
                                                          : static_cast<void*>(&item.lVal));
    VariantClear(&item);
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
    VARTYPE caller;    // the caller's variable: VT_EMPTY or the element type of its array
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
        {"variable vacía", VT_EMPTY, true, 0, S_OK, VT_ARRAY | VT_VARIANT, L"|a||b"},
        {"matriz Variant en un Variant", VT_VARIANT, true, 0, S_OK, VT_ARRAY | VT_VARIANT, L"|a||b"},
        {"String() en un Variant", VT_BSTR, true, 0, S_OK, VT_ARRAY | VT_BSTR, L"|a||b"},
        {"String()", VT_BSTR, false, 0, S_OK, VT_ARRAY | VT_BSTR, L"|a||b"},
        {"Variant()", VT_VARIANT, false, 0, S_OK, VT_ARRAY | VT_VARIANT, L"|a||b"},
        {"Long(): el índice 0 vacío no es un número", VT_I4, false, 0, DISP_E_TYPEMISMATCH, VT_ARRAY | VT_I4, L"7"},
        {"String() de tamaño fijo", VT_BSTR, false, FADF_FIXEDSIZE, DISP_E_ARRAYISLOCKED, VT_ARRAY | VT_BSTR,
         L"viejo"},
        {"matriz fija en un Variant", VT_VARIANT, true, FADF_STATIC, DISP_E_ARRAYISLOCKED, VT_ARRAY | VT_VARIANT,
         L"viejo"},
    };
    IDispatch* strings = create("Kor2_Sys.CString");
    if (strings == nullptr)
        return;
    HRESULT hr;
    const DISPID id = idOf(strings, L"S_LeeTira", hr);
    for (const ArrayCase& row : cases) {
        VARIANT variable;  // the caller's own variable
        VariantInit(&variable);
        SAFEARRAY* array = row.caller == VT_EMPTY ? nullptr : oneItemArray(row.caller, row.features);
        if (array != nullptr) {
            variable.vt = VT_ARRAY | row.caller;
            variable.parray = array;
        }
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
        ++checks;
        if (got != row.expected || variable.vt != row.holds || joined(variable.parray) != row.items)
            fail(std::string("S_LeeTira en ") + row.label + ": " + hex(got) + ", tipo " + std::to_string(variable.vt));
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
