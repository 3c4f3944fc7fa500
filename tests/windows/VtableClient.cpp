// A C++ client of the component binding through the type library's interfaces, as an
// early-binding host is: the declarations come from the header the IDL compiler writes, every
// call goes through the vtable of a class's dual interface. Prints FALLO per fault and
// "OK n comprobaciones".

#include "ClientChecks.h"

#include <windows.h>
#include <oleauto.h>

// The identifiers the header declares are defined here, in the client's one translation unit.
#include <initguid.h>
#include "Kor2_Sys_h.h"

#include <cstdio>
#include <string>

namespace {

using kor2client::check;
using kor2client::hex;

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

int main()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::printf("FALLO CoInitializeEx\n");
        return 1;
    }
    coloursThroughTheVtable();
    byReferenceWriteBack();
    propertiesOfAForm();
    errorsCarryTheLibrarysNumber();
    typeLibraryDescribesTheVtable();
    CoUninitialize();
    return kor2client::finish();
}
