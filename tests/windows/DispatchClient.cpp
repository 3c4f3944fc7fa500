// A C++ client of the component binding through IDispatch alone, as a late-binding host is:
// every class created by its ProgID, every member's identifier looked up by name and compared
// with the list generated from the dispatch tables, and bad calls answered with the run-time's
// codes or the library's numbered errors. Prints FALLO per fault and "OK n comprobaciones".
//   dispatch_client IDENTIFIERS.txt

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

int checks = 0, failures = 0;

void fail(const std::string& what)
{
    ++failures;
    std::printf("FALLO %s\n", what.c_str());
}

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

VARIANT text(const wchar_t* value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(value);
    return v;
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
    CoUninitialize();
    if (failures == 0)
        std::printf("OK %d comprobaciones\n", checks);
    return failures == 0 ? 0 : 1;
}
