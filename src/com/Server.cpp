// The four in-process server entry points: class objects for every library class, and the
// registration of the classes, their interfaces and the type library built into this module.

#include "com/Dispatch.h"
#include "com/NameUuid.h"
#include "com/ScriptedWindows.h"

#include <Kor2_Sys/Object.h>

#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace Kor2_Sys::com {
namespace {

HMODULE g_module = nullptr;

std::wstring wide(std::string_view text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring braced(const std::string& uuid)
{
    return L"{" + wide(uuid) + L"}";
}

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
        if (braced(classUuid(info->name)) == text)
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

// --- registration ----------------------------------------------------------------------------

// Per machine when the process may write there (an elevated installer), else per user: no
// administrator rights are needed to use the library.
HKEY registrationRoot()
{
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    bool elevated = false;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                   elevation.TokenIsElevated != 0;
        CloseHandle(token);
    }
    return elevated ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const std::wstring kClasses = L"Software\\Classes\\";

bool setValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(root, (kClasses + key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

// Every key the registration writes, with its values; unregistration removes exactly these trees.
struct Written {
    std::wstring key;
    const wchar_t* name;
    std::wstring value;
};

std::vector<Written> registration()
{
    const std::wstring library = braced(libraryUuid());
    const std::wstring path = modulePath();
    // The platform's marshaller of automation interfaces, which reads the type library: the
    // vtable half of a dual interface crosses apartments too.
    const std::wstring automationProxy = L"{00020424-0000-0000-C000-000000000046}";
    std::vector<Written> rows;
    rows.push_back({L"TypeLib\\" + library + L"\\1.0", nullptr, L"Kor2_Sys"});
    rows.push_back({L"TypeLib\\" + library + L"\\1.0\\0\\win64", nullptr, path});
    rows.push_back({L"TypeLib\\" + library + L"\\1.0\\FLAGS", nullptr, L"0"});
    for (const ClassInfo* info : libraryClasses()) {
        const std::wstring progId = wide(info->progId());
        const std::wstring clsid = braced(classUuid(info->name));
        const std::wstring iid = braced(interfaceUuid(info->name));
        rows.push_back({progId, nullptr, progId});
        rows.push_back({progId + L"\\CLSID", nullptr, clsid});
        rows.push_back({L"CLSID\\" + clsid, nullptr, progId});
        rows.push_back({L"CLSID\\" + clsid + L"\\InprocServer32", nullptr, path});
        rows.push_back({L"CLSID\\" + clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"});
        rows.push_back({L"CLSID\\" + clsid + L"\\ProgID", nullptr, progId});
        rows.push_back({L"CLSID\\" + clsid + L"\\TypeLib", nullptr, library});
        rows.push_back({L"CLSID\\" + clsid + L"\\Version", nullptr, L"1.0"});
        rows.push_back({L"Interface\\" + iid, nullptr, wide(info->interfaceName())});
        rows.push_back({L"Interface\\" + iid + L"\\ProxyStubClsid32", nullptr, automationProxy});
        rows.push_back({L"Interface\\" + iid + L"\\TypeLib", nullptr, library});
        rows.push_back({L"Interface\\" + iid + L"\\TypeLib", L"Version", L"1.0"});
    }
    return rows;
}

// The top keys of the registration, deepest first is not needed: each is removed as a tree.
std::vector<std::wstring> topKeys()
{
    std::vector<std::wstring> keys{L"TypeLib\\" + braced(libraryUuid())};
    for (const ClassInfo* info : libraryClasses()) {
        keys.push_back(wide(info->progId()));
        keys.push_back(L"CLSID\\" + braced(classUuid(info->name)));
        keys.push_back(L"Interface\\" + braced(interfaceUuid(info->name)));
    }
    return keys;
}

HRESULT unregisterFrom(HKEY root)
{
    HRESULT result = S_OK;
    for (const std::wstring& key : topKeys()) {
        const LSTATUS status = RegDeleteTreeW(root, (kClasses + key).c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            result = SELFREG_E_CLASS;
    }
    return result;
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
    // Before the first object exists, so before any window is asked for.
    static const bool chosen = (chooseWindowSystem(), true);
    (void)chosen;
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

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer()
{
    const HKEY root = registrationRoot();
    for (const Written& row : registration()) {
        if (!setValue(root, row.key, row.name, row.value)) {
            unregisterFrom(root);
            return SELFREG_E_CLASS;
        }
    }
    return S_OK;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return unregisterFrom(registrationRoot());
}

} // extern "C"
