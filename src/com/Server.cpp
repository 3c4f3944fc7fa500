// The four in-process server entry points: class objects for every library class, and the
// registration of the classes, their interfaces and the type library built into this module.

#include "classes/Classes.h"
#include "com/Dispatch.h"
#include "com/NameUuid.h"
#include "com/Registration.h"
#include "com/ScriptedWindows.h"

#include <Kor2_Sys/Object.h>

#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <optional>
#include <string>
#include <vector>

namespace Kor2_Sys::com {
namespace {

HMODULE g_module = nullptr;

std::wstring modulePath()
{
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH * 4);
    return std::wstring(path, length);
}

const ClassInfo* classOfClsid(REFCLSID clsid)
{
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    for (const ClassInfo* info : libraryClasses())
        if (bracedUuid(classUuid(info->name)) == text)
            return info;
    return nullptr;
}

class ClassObject final : public IClassFactory {
public:
    explicit ClassObject(const ClassInfo& info) : m_info(info) { ++liveObjects(); }
    ~ClassObject() { --liveObjects(); }
    ClassObject(const ClassObject&) = delete;
    ClassObject& operator=(const ClassObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        try {
            auto* object = new Dispatch(m_info.create());
            const HRESULT hr = object->QueryInterface(iid, out);
            object->Release();
            return hr;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? ++liveObjects() : --liveObjects();
        return S_OK;
    }

private:
    std::atomic<ULONG> m_references{1};
    const ClassInfo& m_info;
};

// The keys unregistration could not remove, where a caller can read them: the error object of
// the thread and the debugger's output (the platform's registration tool shows only the code).
HRESULT reportLeft(HRESULT hr, const std::vector<std::wstring>& left)
{
    if (left.empty())
        return hr;
    std::wstring text = L"No se pudieron quitar del registro estas claves de Kor2_Sys:";
    for (const std::wstring& key : left)
        text += L"\n" + key;
    OutputDebugStringW((text + L"\n").c_str());
    setThreadError(L"Kor2_Sys", text.c_str());
    return hr;
}

// Both roots: what a registration at another elevation left is removed too, or named.
HRESULT unregisterEverywhere()
{
    std::vector<std::wstring> left;
    const HRESULT machine = unregisterServer(Scope::Machine, modulePath(), left);
    const HRESULT user = unregisterServer(Scope::User, modulePath(), left);
    return reportLeft(FAILED(machine) ? machine : user, left);
}

std::optional<Scope> scopeNamed(const wchar_t* commandLine)
{
    if (commandLine == nullptr || *commandLine == L'\0' ||
        CompareStringOrdinal(commandLine, -1, L"machine", -1, TRUE) == CSTR_EQUAL)
        return Scope::Machine;
    if (CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) == CSTR_EQUAL)
        return Scope::User;
    return std::nullopt;
}

} // namespace

ITypeLib* typeLibrary()
{
    static ITypeLib* library = [] {
        ITypeLib* loaded = nullptr;
        if (FAILED(LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, &loaded)))
            return static_cast<ITypeLib*>(nullptr);
        return loaded;
    }();
    return library;
}

} // namespace Kor2_Sys::com

using namespace Kor2_Sys::com;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    const Kor2_Sys::ClassInfo* info = classOfClsid(clsid);
    if (info == nullptr)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) ClassObject(*info);
    if (factory == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return liveObjects() == 0 ? S_OK : S_FALSE;
}

// Per machine (HKLM: needs administrator rights): `regsvr32 Kor2_Sys.dll`.
__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return registerServer(Scope::Machine, modulePath());
}

// Removes this module's registration wherever it is, per machine and per user: `regsvr32 /u`.
__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return unregisterEverywhere();
}

// `regsvr32 /n /i:user Kor2_Sys.dll` registers for this user only, with no administrator rights;
// `regsvr32 /u /n /i:user` removes that registration. "machine" (or nothing) is per machine.
__declspec(dllexport) HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine)
{
    const std::optional<Scope> scope = scopeNamed(commandLine);
    if (!scope)
        return E_INVALIDARG;
    if (install)
        return registerServer(*scope, modulePath());
    std::vector<std::wstring> left;
    return reportLeft(unregisterServer(*scope, modulePath(), left), left);
}

// For test programs only, never for hosts: scripted windows from a file of window scripts (the
// JSON array `kor2 --actions` reads) for the calling thread, and a settings store in memory
// (":memory:") for the process, from now on; null leaves either as it is. E_INVALIDARG for
// anything else.
__declspec(dllexport) HRESULT STDAPICALLTYPE Kor2_Sys_TestMode(LPCWSTR windowScripts, LPCWSTR store)
{
    return useTestMode(windowScripts, store);
}

} // extern "C"
