// A C++ client of the component binding, as a compiled host is. Late bound through IDispatch
// alone: every class created by its ProgID, every member's identifier looked up by name and
// compared with the list generated from the dispatch tables, bad calls answered with the run-time's
// codes. Early bound through the type library's interfaces: the declarations come from the header
// the IDL compiler writes, every call goes through the vtable of a class's dual interface.
// The module's version resource, and the test mode a test program switches on through the
// module's test entry point (the module reads no environment variable). Prints FALLO per fault
// and "OK n comprobaciones".
//   compiled_client IDENTIFIERS.txt WINDOW-SCRIPTS.json

#include "ClientChecks.h"

#include <windows.h>
#include <oleauto.h>
#include <winver.h>

// The identifiers the header declares are defined here, in the client's one translation unit.
#include <initguid.h>
#include "Kor2_Sys_h.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using kor2client::check;
using kor2client::create;
using kor2client::hex;
using kor2client::text;
using kor2client::wide;

// --- late bound ---------------------------------------------------------------------------------

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
    const auto classes = kor2client::identifierList(listFile);
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

// The items of a one-dimensional array as "a|b|c" (empty when one does not read as text).
std::wstring joined(SAFEARRAY* array)
{
    std::wstring out;
    LONG high = -1;
    SafeArrayGetUBound(array, 1, &high);
    VARTYPE element = VT_EMPTY;
    SafeArrayGetVartype(array, &element);
    for (LONG i = 0; i <= high; ++i) {
        VARIANT item;  // a Variant item fills all of it; a text or a number only its value
        VariantInit(&item);
        SafeArrayGetElement(array, &i, element == VT_VARIANT ? static_cast<void*>(&item) : &item.lVal);
        if (element != VT_VARIANT)
            item.vt = element;
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
        // One empty item, so a refused write shows as an unchanged array.
        variable.parray = SafeArrayCreateVector(row.caller, 0, 1);
        variable.parray->fFeatures |= row.features;
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

// --- early bound --------------------------------------------------------------------------------

template <class Interface, class Class> Interface* create(const char* label)
{
    Interface* object = nullptr;
    const HRESULT hr = CoCreateInstance(__uuidof(Class), nullptr, CLSCTX_INPROC_SERVER, __uuidof(Interface),
                                        reinterpret_cast<void**>(&object));
    check(SUCCEEDED(hr) && object != nullptr, std::string(label) + ": no se crea (" + hex(hr) + ")");
    return SUCCEEDED(hr) ? object : nullptr;
}

void coloursThroughTheVtable()
{
    _CColores* colours = create<_CColores, CColores>("CColores");
    if (colours == nullptr)
        return;
    // A number by reference that the member only reads comes back as it went.
    long vb = 200, cad = -1;
    const HRESULT hr = colours->Col_NuCad_de_NuVB(&vb, &cad);
    check(hr == S_OK && cad == 12 && vb == 200, "Col_NuCad_de_NuVB(200) = " + std::to_string(cad) + " (" + hex(hr) + ")");

    // Null where the vtable expects a place: refused, not followed.
    check(colours->Col_NuCad_de_NuVB(nullptr, &vb) == E_POINTER, "argumento nulo");
    check(colours->Col_NuCad_de_NuVB(&vb, nullptr) == E_POINTER, "resultado nulo");
    colours->Release();
}

// The description of the last error, read as a compiled host does: only when the object says
// the interface supports error objects.
std::wstring lastError(IUnknown* object, REFIID iid)
{
    ISupportErrorInfo* support = nullptr;
    if (FAILED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))))
        return {};
    const bool supported = support->InterfaceSupportsErrorInfo(iid) == S_OK;
    support->Release();
    IErrorInfo* info = nullptr;
    BSTR text = nullptr;
    if (supported && GetErrorInfo(0, &info) == S_OK && info != nullptr) {
        info->GetDescription(&text);
        info->Release();
    }
    const std::wstring description = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return description;
}

// A library error reaches the vtable caller as a failed code carrying the library's number, with
// the same description the dispatch caller gets.
void errorsCarryTheLibrarysNumber()
{
    _c_VL* drive = create<_c_VL, c_VL>("c_VL");
    if (drive == nullptr)
        return;
    // Drive 200 does not exist: the write itself fails.
    const HRESULT hr = drive->put_CurrentDrive(200);
    const std::wstring description = lastError(drive, __uuidof(_c_VL));
    const long number = HRESULT_CODE(hr);
    check(FAILED(hr) && HRESULT_FACILITY(hr) == FACILITY_CONTROL && number >= 10000 && number <= 10003,
          "CurrentDrive = 200: " + hex(hr));
    check(!description.empty(), "error sin descripción");

    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(drive->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        VARIANT drive200;
        VariantInit(&drive200);
        drive200.vt = VT_UI1;
        drive200.bVal = 200;
        const kor2client::Answer late = kor2client::invoke(dispatch, L"CurrentDrive", DISPATCH_PROPERTYPUT, {drive200});
        check(late.hr == DISP_E_EXCEPTION && late.scode == hr && late.description == description,
              "el error por IDispatch es otro: " + hex(late.scode));
        dispatch->Release();
    }
    drive->Release();
}

VARIANT number(VARTYPE type, double value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    VariantChangeType(&v, &v, 0, type);
    return v;
}

// The usual automation rules at the boundary: a number of any automation type is converted as
// the run-time converts it, arguments may be named as a compiled host names them, and an argument
// the library cannot take fails as the library's own errors do, in Spanish, from Kor2_Sys.
void automationRulesHold()
{
    IDispatch* colours = create(L"Kor2_Sys.CColores");
    IDispatch* strings = create(L"Kor2_Sys.CString");
    if (colours == nullptr || strings == nullptr)
        return;
    const DISPID cadOfVb = kor2client::identifiers(colours, L"Col_NuCad_de_NuVB")[0];
    const DISPID tbOfCad = kor2client::identifiers(colours, L"Col_NuTB_de_NuCad")[0];
    const auto result = [](IDispatch* object, DISPID id, std::vector<VARIANT> positional,
                           std::vector<std::pair<DISPID, VARIANT>> named = {}) {
        VARIANT out;
        VariantInit(&out);
        const kor2client::Answer answer =
            kor2client::invokeNamed(object, id, DISPATCH_METHOD, std::move(positional), std::move(named), &out);
        VARIANT shown = out;
        const bool converted = answer.hr == S_OK && SUCCEEDED(VariantChangeType(&shown, &out, 0, VT_R8));
        const double value = converted ? shown.dblVal : -1;
        VariantClear(&out);
        return std::make_pair(answer, value);
    };

    // Every numeric type gives what the same number as a Long gives.
    const double expected = result(colours, cadOfVb, {number(VT_I4, 200)}).second;
    check(expected == 12, "Col_NuCad_de_NuVB(200) = " + std::to_string(expected));
    CY currency{};
    currency.int64 = 2000000;  // 200.0000
    VARIANT byReference;
    VariantInit(&byReference);
    byReference.vt = VT_BYREF | VT_CY;
    byReference.pcyVal = &currency;
    const VARTYPE types[] = {VT_UI2, VT_UI4, VT_UINT, VT_I8, VT_UI8, VT_CY, VT_DATE, VT_DECIMAL, VT_BYREF | VT_CY};
    for (const VARTYPE type : types) {
        const auto [answer, value] = result(colours, cadOfVb, {type & VT_BYREF ? byReference : number(type, 200)});
        check(answer.hr == S_OK && value == expected, "Col_NuCad_de_NuVB(200 como tipo " + std::to_string(type) +
                                                          "): " + hex(answer.hr) + " " + std::to_string(value));
    }
    check(currency.int64 == 2000000, "el argumento VT_CY por referencia cambió");
    const double small = result(colours, cadOfVb, {number(VT_I4, 100)}).second;
    check(result(colours, cadOfVb, {number(VT_I1, 100)}).second == small, "Col_NuCad_de_NuVB(100 como VT_I1)");

    // Named arguments, in any order, and beside positional ones.
    const std::vector<DISPID> round = kor2client::identifiers(strings, L"S_redondea", {L"Numero", L"Decimales"});
    check(round[1] == 0 && round[2] == 1, "S_redondea: los parámetros con nombre no tienen identificador");
    // A name that is no parameter, or one that names an argument already given, as the run-time says.
    struct Named { const char* label; std::vector<VARIANT> positional; std::vector<std::pair<DISPID, VARIANT>> named; HRESULT hr; };
    for (Named& row : std::vector<Named>{
             {"(Decimales:=2, Numero:=3.14159)", {}, {{1, number(VT_I2, 2)}, {0, number(VT_R8, 3.14159)}}, S_OK},
             {"(Numero:=3.14159, Decimales:=2)", {}, {{0, number(VT_R8, 3.14159)}, {1, number(VT_I2, 2)}}, S_OK},
             {"(3.14159, Decimales:=2)", {number(VT_R8, 3.14159)}, {{1, number(VT_I2, 2)}}, S_OK},
             {" con parámetro 7", {}, {{7, number(VT_I2, 2)}}, DISP_E_PARAMNOTFOUND},
             {" con Numero dos veces", {number(VT_R8, 1)}, {{0, number(VT_R8, 2)}}, DISP_E_PARAMNOTFOUND},
             {" con Decimales dos veces", {}, {{1, number(VT_I2, 2)}, {1, number(VT_I2, 3)}}, DISP_E_PARAMNOTFOUND}}) {
        const auto [answer, value] = result(strings, round[0], std::move(row.positional), std::move(row.named));
        check(answer.hr == row.hr && (row.hr != S_OK || value == 3.14), std::string("S_redondea") + row.label + ": " + hex(answer.hr));
    }

    // Argument failures carry the library's number, its Spanish description and its source (the
    // script host's rows, errors.vbs); a type only a compiled host passes overflows alike.
    const auto [overflow, none] = result(colours, tbOfCad, {number(VT_UI4, 100000)});
    check(overflow.hr == DISP_E_EXCEPTION && overflow.scode == MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 6) &&
              overflow.description == L"Desbordamiento" && overflow.source == L"Kor2_Sys",
          "Col_NuTB_de_NuCad(100000 como VT_UI4): " + hex(overflow.hr) + " " + hex(overflow.scode));
    // A required argument left out while a later one is named is not optional either.
    const auto [missing, ignored] = result(strings, round[0], {}, {{1, number(VT_I2, 2)}});
    check(missing.hr == DISP_E_EXCEPTION && missing.scode == MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 449),
          "S_redondea(Decimales:=2) sin Numero: " + hex(missing.hr) + " " + hex(missing.scode));
    colours->Release();
    strings->Release();
}

// The registered type library describes the interface an early-binding host compiles against:
// each member under the identifier the tables compute.
void typeLibraryDescribesTheVtable()
{
    ITypeLib* library = nullptr;
    HRESULT hr = LoadRegTypeLib(LIBID_Kor2_Sys, 1, 0, LOCALE_NEUTRAL, &library);
    check(SUCCEEDED(hr), "biblioteca de tipos no registrada: " + hex(hr));
    if (FAILED(hr))
        return;
    ITypeInfo* info = nullptr;
    hr = library->GetTypeInfoOfGuid(__uuidof(_CColores), &info);
    check(SUCCEEDED(hr), "_CColores no está en la biblioteca de tipos: " + hex(hr));
    if (SUCCEEDED(hr)) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"Col_NuCad_de_NuVB")};
        MEMBERID id = MEMBERID_NIL;
        hr = info->GetIDsOfNames(names, 1, &id);
        check(hr == S_OK && id == 0x60030008, "Col_NuCad_de_NuVB en la biblioteca: " + hex(id));
        UINT index = 0, own = 0;
        FUNCDESC* function = nullptr;
        for (; SUCCEEDED(info->GetFuncDesc(index, &function)); ++index) {
            // A dual interface's description may list IUnknown's and IDispatch's members first,
            // under their own identifiers; the library's lie in its three ranges.
            const MEMBERID range = function->memid & 0xFFFF0000;
            if (range == 0x60030000 || range == 0x68030000 || range == 0x40030000)
                ++own;
            info->ReleaseFuncDesc(function);
        }
        check(own == 9, "miembros de _CColores: " + std::to_string(own) + " de " + std::to_string(index));
        info->Release();
    }
    library->Release();
}

// What installers and the file's properties read: the project's version and the product's name.
void versionIsReadable()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"Kor2_Sys.dll"), path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path, &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    const bool read = !block.empty() && GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()) &&
                      VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) && fixed != nullptr;
    check(read, "la DLL no tiene recurso de versión");
    if (!read)
        return;
    check(fixed->dwFileVersionMS == MAKELONG(KOR2_VERSION_MINOR, KOR2_VERSION_MAJOR) &&
              fixed->dwFileVersionLS == MAKELONG(0, KOR2_VERSION_PATCH),
          "versión del archivo " + hex(static_cast<long>(fixed->dwFileVersionMS)) + "." +
              hex(static_cast<long>(fixed->dwFileVersionLS)));
    wchar_t* product = nullptr;
    const bool named = VerQueryValueW(block.data(), L"\\StringFileInfo\\0C0A04B0\\ProductName",
                                      reinterpret_cast<void**>(&product), &size);
    check(named && std::wstring(product) == L"Kor2_Sys", "nombre del producto en la versión");
}

// Scripted windows and a store in memory only when a test program asks, through the test entry
// point; anything it does not know is refused and changes nothing. Last: it changes the process.
void testModeIsExplicit(const char* windowScripts)
{
    using TestMode = HRESULT(STDAPICALLTYPE*)(LPCWSTR, LPCWSTR);
    // Through void*: the platform hands every export back as one function type.
    const auto testMode = reinterpret_cast<TestMode>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"Kor2_Sys.dll"), "Kor2_Sys_TestMode")));
    check(testMode != nullptr, "la DLL no exporta Kor2_Sys_TestMode");
    if (testMode == nullptr)
        return;
    // Scripts and store that are refused: another store, a scripts file that is not there.
    const std::pair<const wchar_t*, const wchar_t*> refused[] = {
        {nullptr, L"Z:\\otro.db"}, {L"Z:\\no\\existe.json", nullptr}, {L"Z:\\no\\existe.json", L":memory:"}};
    for (const auto& [scripts, store] : refused)
        check(testMode(scripts, store) == E_INVALIDARG, "modo de prueba aceptado sin razón");

    IDispatch* registry = create(L"Kor2_Sys.cRegistro");
    IDispatch* colours = create(L"Kor2_Sys.CColores");
    if (registry == nullptr || colours == nullptr)
        return;
    const auto write = [&](const wchar_t* value) {
        kor2client::invoke(registry, L"R_Grabar_un_dato_en_Win", DISPATCH_METHOD,
                           {text(L"Prueba"), text(L"Modo"), text(L"Clave"), text(value)});
    };
    const auto inRegistry = [] {
        wchar_t value[64] = {};
        DWORD size = sizeof value;
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Vesolar\\Prueba Modo", L"Clave",
                     RRF_RT_REG_SZ, nullptr, value, &size);
        return std::wstring(value);
    };
    write(L"en el registro");
    check(inRegistry() == L"en el registro", "el almacén del registro no se usa antes del modo de prueba");

    check(testMode(wide(windowScripts).c_str(), L":memory:") == S_OK, std::string("modo de prueba con ") + windowScripts);
    write(L"en memoria");
    check(inRegistry() == L"en el registro", "el modo de prueba escribió en el registro");
    VARIANT chosen;
    VariantInit(&chosen);
    VARIANT proposed;
    VariantInit(&proposed);
    proposed.vt = VT_I4;
    proposed.lVal = 255;
    const kor2client::Answer shown = kor2client::invoke(colours, L"A_Color_Show", DISPATCH_METHOD, {proposed}, &chosen);
    check(shown.hr == S_OK && chosen.vt == VT_I4 && chosen.lVal == 4194559,
          "A_Color_Show guionizado: " + hex(shown.hr) + " " + hex(chosen.lVal));
    registry->Release();
    colours->Release();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::printf("FALLO uso: compiled_client IDENTIFICADORES.txt GUIONES.json\n");
        return 2;
    }
    identifiersMatch(argv[1]);
    arraysKeepTheirElementType();
    coloursThroughTheVtable();
    errorsCarryTheLibrarysNumber();
    automationRulesHold();
    typeLibraryDescribesTheVtable();
    versionIsReadable();
    testModeIsExplicit(argv[2]);
    CoUninitialize();
    return kor2client::finish();
}
