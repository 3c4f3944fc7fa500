// A host that uses the library without registration. Beside its application manifest, which names
// the library's side-by-side assembly, every class is created by its ProgID, has the CLSID the
// module serves and answers as that class; the type library is found by its identifier. The same
// program without the manifest, in a prefix where nothing was ever registered, reaches none of
// them: the manifest is what makes the classes available. The classes are those of the
// identifier list generated from the tables, so a class the assembly leaves out shows here.
// Prints FALLO per fault and "OK n comprobaciones".
//   manifest_host IDENTIFIERS.txt            every class is available
//   manifest_host IDENTIFIERS.txt --ausente  no class is

#include "ClientChecks.h"

#include "com/NameUuid.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using kor2client::check;
using kor2client::hex;
using kor2client::narrow;
using kor2client::wide;

using Classes = decltype(kor2client::identifierList(""));

GUID guidOf(const std::string& uuid)
{
    GUID guid{};
    CLSIDFromString(wide("{" + uuid + "}").c_str(), &guid);
    return guid;
}

std::string className(const std::string& progId)
{
    return progId.substr(progId.find('.') + 1);
}

// The ProgID leads to an alias of the class's identifier that the activation context makes up
// (another at every run), so the identifier itself is checked by creating the class with it.
void everyClassAvailable(const Classes& classes)
{
    for (const auto& [progId, members] : classes) {
        IDispatch* object = kor2client::create(wide(progId));
        if (object != nullptr) {
            // Answers as the class the ProgID names, not merely as some object of the module.
            const auto& [name, expected] = members.front();
            const DISPID id = kor2client::identifiers(object, wide(name).c_str())[0];
            check(static_cast<unsigned long>(id) == expected, progId + "." + name + ": " + hex(id));
            object->Release();
        }
        object = nullptr;
        const HRESULT hr = CoCreateInstance(guidOf(Kor2_Sys::com::classUuid(className(progId))), nullptr,
                                            CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
        check(hr == S_OK && object != nullptr, progId + ": no se crea por su CLSID (" + hex(hr) + ")");
        if (object != nullptr)
            object->Release();
    }

    IDispatch* colours = kor2client::create(L"Kor2_Sys.CColores");
    if (colours != nullptr) {
        VARIANT vb;
        VariantInit(&vb);
        vb.vt = VT_I4;
        vb.lVal = 200;
        VARIANT result;
        VariantInit(&result);
        const kor2client::Answer answer = kor2client::invoke(colours, L"Col_NuCad_de_NuVB", DISPATCH_METHOD, {vb}, &result);
        check(answer.hr == S_OK && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I4)) && result.lVal == 12,
              "Col_NuCad_de_NuVB(200) = " + std::to_string(result.lVal) + " (" + hex(answer.hr) + ")");
        VariantClear(&result);
        colours->Release();
    }

    ITypeLib* library = nullptr;
    const HRESULT hr = LoadRegTypeLib(guidOf(Kor2_Sys::com::libraryUuid()), 1, 0, LOCALE_NEUTRAL, &library);
    check(hr == S_OK && library != nullptr, "LoadRegTypeLib: " + hex(hr));
    if (library != nullptr) {
        BSTR name = nullptr;
        library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
        check(name != nullptr && narrow(name) == "Kor2_Sys", "la biblioteca de tipos no es la del módulo");
        SysFreeString(name);
        library->Release();
    }
}

void noClassAvailable(const Classes& classes)
{
    for (const auto& [progId, members] : classes) {
        CLSID clsid{};
        HRESULT hr = CLSIDFromProgID(wide(progId).c_str(), &clsid);
        check(FAILED(hr), progId + ": CLSIDFromProgID sin manifiesto " + hex(hr));
        // Nor by the identifier a host may know from the type library.
        IDispatch* object = nullptr;
        hr = CoCreateInstance(guidOf(Kor2_Sys::com::classUuid(className(progId))), nullptr, CLSCTX_INPROC_SERVER,
                              IID_IDispatch, reinterpret_cast<void**>(&object));
        check(hr == REGDB_E_CLASSNOTREG, progId + ": CoCreateInstance sin manifiesto " + hex(hr));
        if (object != nullptr)
            object->Release();
    }
    ITypeLib* library = nullptr;
    const HRESULT hr = LoadRegTypeLib(guidOf(Kor2_Sys::com::libraryUuid()), 1, 0, LOCALE_NEUTRAL, &library);
    check(FAILED(hr), "LoadRegTypeLib sin manifiesto: " + hex(hr));
    if (library != nullptr)
        library->Release();
}

} // namespace

int main(int argc, char** argv)
{
    const bool absent = argc == 3 && std::string_view(argv[2]) == "--ausente";
    if ((argc != 2 && !absent) || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::printf("FALLO uso: manifest_host IDENTIFICADORES.txt [--ausente]\n");
        return 2;
    }
    const Classes classes = kor2client::identifierList(argv[1]);
    if (absent)
        noClassAvailable(classes);
    else
        everyClassAvailable(classes);
    CoUninitialize();
    return kor2client::finish();
}
