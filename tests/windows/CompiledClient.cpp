// A C++ client of the component binding, as a compiled host is. Late bound through IDispatch
// alone: every class created by its ProgID, every member's identifier looked up by name and
// compared with the list generated from the dispatch tables, bad calls answered with the run-time's
// codes. Early bound through the type library's interfaces: the declarations come from the header
// the IDL compiler writes, every call goes through the vtable of a class's dual interface.
// Prints FALLO per fault and "OK n comprobaciones".
//   compiled_client IDENTIFIERS.txt

#include "ClientChecks.h"

#include <windows.h>
#include <oleauto.h>

// The identifiers the header declares are defined here, in the client's one translation unit.
#include <initguid.h>
#include "Kor2_Sys_h.h"

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

// --- late bound ---------------------------------------------------------------------------------

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

// --- early bound --------------------------------------------------------------------------------

// Texts compared by their character codes, so nothing depends on the console.
std::wstring textOf(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

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
    struct Row {
        long vb;
        long cad;
    };
    for (const Row& row : {Row{200, 12}, Row{13132800, 7}}) {
        long vb = row.vb, cad = -1;
        const HRESULT hr = colours->Col_NuCad_de_NuVB(&vb, &cad);
        check(hr == S_OK && cad == row.cad, "Col_NuCad_de_NuVB(" + std::to_string(row.vb) + ") = " +
                                                std::to_string(cad) + " (" + hex(hr) + ")");
        check(vb == row.vb, "Col_NuCad_de_NuVB cambia su argumento");
    }
    // A text by reference that the member leaves alone comes back as it went.
    BSTR name = SysAllocString(L"  AzUl ");
    long blue = 0;
    HRESULT hr = colours->Col_NuVB_de_Nombre_o_inicial(&name, &blue);
    check(hr == S_OK && blue == 0xFF0000, "Col_NuVB_de_Nombre_o_inicial = " + hex(blue) + " (" + hex(hr) + ")");
    check(textOf(name) == L"  AzUl ", "el texto por referencia cambia");
    SysFreeString(name);

    // Null where the vtable expects a place: refused, not followed.
    long vb = 200;
    check(colours->Col_NuCad_de_NuVB(nullptr, &vb) == E_POINTER, "argumento nulo");
    check(colours->Col_NuCad_de_NuVB(&vb, nullptr) == E_POINTER, "resultado nulo");

    // The vtable half and the dispatch half are one object.
    IDispatch* dispatch = nullptr;
    IUnknown* fromVtable = nullptr;
    IUnknown* fromDispatch = nullptr;
    hr = colours->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (SUCCEEDED(hr)) {
        colours->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromVtable));
        dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromDispatch));
    }
    check(fromVtable != nullptr && fromVtable == fromDispatch, "dos identidades para un objeto");
    for (IUnknown* p : {static_cast<IUnknown*>(dispatch), fromVtable, fromDispatch})
        if (p)
            p->Release();
    colours->Release();
}

// Members write their results into by-reference arguments; the caller's variables receive them.
void byReferenceWriteBack()
{
    _CinfoDiscoVol* disk = create<_CinfoDiscoVol, CinfoDiscoVol>("CinfoDiscoVol");
    if (disk == nullptr)
        return;
    BSTR letter = SysAllocString(L"C");
    BSTR volume = SysAllocString(L"?"), serial = SysAllocString(L"?"), system = SysAllocString(L"?");
    const HRESULT hr = disk->D_NumeroDeSerieVolyMas(&letter, &volume, &serial, &system);
    check(hr == S_OK && textOf(letter) == L"C", "D_NumeroDeSerieVolyMas: " + hex(hr) + " o la letra de unidad cambia");
    for (BSTR back : {serial, system})
        check(textOf(back) != L"?" && !textOf(back).empty(), "el número de serie o el sistema de archivos no vuelve");
    for (BSTR text : {letter, volume, serial, system})
        SysFreeString(text);
    disk->Release();
}

// The data members of a creatable class read back what was written, each in its own type.
void propertiesOfAForm()
{
    _cfrm_Color* form = create<_cfrm_Color, cfrm_Color>("cfrm_Color");
    if (form == nullptr)
        return;
    BSTR title = SysAllocString(L"Elige un color \u00f1"), back = nullptr;
    long chosen = 0;
    VARIANT_BOOL byLayer = VARIANT_FALSE;
    const bool written = form->put_titulo(title) == S_OK && form->put_NumColorElegiVB(0x00FF00) == S_OK &&
                         form->put_PorCapa(VARIANT_TRUE) == S_OK;
    const bool read = form->get_titulo(&back) == S_OK && form->get_NumColorElegiVB(&chosen) == S_OK &&
                      form->get_PorCapa(&byLayer) == S_OK;
    check(written && read && textOf(back) == textOf(title) && chosen == 0x00FF00 && byLayer == VARIANT_TRUE,
          "titulo, NumColorElegiVB o PorCapa no leen lo escrito: " + hex(chosen) + " " + std::to_string(byLayer));
    SysFreeString(title);
    SysFreeString(back);
    form->Release();
}

struct Failure {
    HRESULT hr = S_OK;
    std::wstring description, source;
};

Failure lastError(IUnknown* object, REFIID iid, HRESULT hr)
{
    Failure f{hr, {}, {}};
    ISupportErrorInfo* support = nullptr;
    if (FAILED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))))
        return f;
    const bool supported = support->InterfaceSupportsErrorInfo(iid) == S_OK;
    support->Release();
    IErrorInfo* info = nullptr;
    if (supported && GetErrorInfo(0, &info) == S_OK && info != nullptr) {
        BSTR text = nullptr;
        if (SUCCEEDED(info->GetDescription(&text)))
            f.description = textOf(text);
        SysFreeString(text);
        text = nullptr;
        if (SUCCEEDED(info->GetSource(&text)))
            f.source = textOf(text);
        SysFreeString(text);
        info->Release();
    }
    return f;
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
    const Failure early = lastError(drive, __uuidof(_c_VL), hr);
    const long number = HRESULT_CODE(hr);
    check(FAILED(hr) && HRESULT_FACILITY(hr) == FACILITY_CONTROL && number >= 10000 && number <= 10003,
          "CurrentDrive = 200: " + hex(hr));
    check(!early.description.empty() && !early.source.empty(), "error sin descripción u origen");

    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(drive->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        VARIANT drive200;
        VariantInit(&drive200);
        drive200.vt = VT_UI1;
        drive200.bVal = 200;
        const kor2client::Answer late = kor2client::invoke(dispatch, L"CurrentDrive", DISPATCH_PROPERTYPUT, {drive200});
        check(late.hr == DISP_E_EXCEPTION && late.scode == early.hr && late.description == early.description,
              "el error por IDispatch es otro: " + hex(late.scode));
        dispatch->Release();
    }
    drive->Release();
}

// The registered type library describes the interface an early-binding host compiles against:
// each member under the identifier the tables compute, with its parameters and result.
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
        bool found = false;
        for (; SUCCEEDED(info->GetFuncDesc(index, &function)); ++index) {
            // A dual interface's description may list IUnknown's and IDispatch's members first,
            // under their own identifiers; the library's lie in its three ranges.
            const MEMBERID range = function->memid & 0xFFFF0000;
            if (range == 0x60030000 || range == 0x68030000 || range == 0x40030000)
                ++own;
            if (function->memid == 0x60030008) {
                found = true;
                const ELEMDESC& param = function->lprgelemdescParam[0];
                check(function->cParams == 1 && param.tdesc.vt == VT_PTR &&
                          param.tdesc.lptdesc->vt == VT_I4 && function->elemdescFunc.tdesc.vt == VT_I4,
                      "Col_NuCad_de_NuVB: parámetros o resultado distintos");
            }
            info->ReleaseFuncDesc(function);
        }
        check(found && own == 9, "miembros de _CColores: " + std::to_string(own) + " de " + std::to_string(index));
        info->Release();
    }
    library->Release();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("uso: compiled_client IDENTIFICADORES.txt\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::printf("FALLO CoInitializeEx\n");
        return 1;
    }
    identifiersMatch(argv[1]);
    badCallsAnswer();
    arraysKeepTheirElementType();
    coloursThroughTheVtable();
    byReferenceWriteBack();
    propertiesOfAForm();
    errorsCarryTheLibrarysNumber();
    typeLibraryDescribesTheVtable();
    CoUninitialize();
    return kor2client::finish();
}
