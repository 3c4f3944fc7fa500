#include "com/Registration.h"

#include "classes/Classes.h"
#include "com/NameUuid.h"
#include "com/RegistryRows.h"
#include "frame/Wide.h"

#include <Kor2_Sys/Object.h>

#include <optional>
#include <string_view>

namespace Kor2_Sys::com {
namespace {

// Plain constants: nothing here is destroyed at exit, while a host may still call.
constexpr std::wstring_view kClasses = L"Software\\Classes\\";

std::wstring classesKey(const std::wstring& key)
{
    return std::wstring(kClasses) + key;
}
// The registry view of the other architecture: on 64-bit Windows the 32-bit and 64-bit servers
// each have their own class keys, and may share the others.
constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
    }
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

HKEY rootOf(Scope scope)
{
    return scope == Scope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::wstring rootName(Scope scope)
{
    return scope == Scope::Machine ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CURRENT_USER\\";
}

// Every value the registration writes; the top keys below name the trees they fall in.
struct Row {
    std::wstring key;
    std::wstring name;
    std::wstring value;
};

std::vector<Row> rowsOf(const std::wstring& modulePath)
{
    const std::wstring_view platform = kTypeLibraryPlatform;
    std::vector<Row> rows;
    for (const RegistryRow& row : registryRows(std::string(platform.begin(), platform.end())))
        rows.push_back({wide(row.key), wide(row.name), row.isModulePath ? modulePath : wide(row.value)});
    return rows;
}

LSTATUS write(HKEY root, const Row& row)
{
    Key key;
    LSTATUS status = RegCreateKeyExW(root, classesKey(row.key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                     key.out(), nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    return RegSetValueExW(key.get(), row.name.empty() ? nullptr : row.name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(row.value.c_str()),
                          static_cast<DWORD>((row.value.size() + 1) * sizeof(wchar_t)));
}

bool exists(HKEY root, const std::wstring& key, REGSAM view = 0)
{
    Key opened;
    return RegOpenKeyExW(root, classesKey(key).c_str(), 0, KEY_READ | view, opened.out()) == ERROR_SUCCESS;
}

bool hasContent(HKEY root, const std::wstring& key)
{
    Key opened;
    if (RegOpenKeyExW(root, classesKey(key).c_str(), 0, KEY_READ, opened.out()) != ERROR_SUCCESS)
        return false;
    DWORD subkeys = 0, values = 0;
    if (RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    return subkeys != 0 || values != 0;
}

std::optional<std::wstring> defaultValue(HKEY root, const std::wstring& key)
{
    wchar_t value[MAX_PATH * 4] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(root, classesKey(key).c_str(), nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

// A class key is this module's when its server is this module, or a module that is gone (a copy
// moved or deleted since it registered). Any other server is another registration's.
bool classIsOurs(HKEY root, const std::wstring& clsid, const std::wstring& modulePath)
{
    const auto server = defaultValue(root, clsid + L"\\InprocServer32");
    if (!server)
        return true;
    return CompareStringOrdinal(server->c_str(), -1, modulePath.c_str(), -1, TRUE) == CSTR_EQUAL ||
           GetFileAttributesW(server->c_str()) == INVALID_FILE_ATTRIBUTES;
}

// Removes trees and remembers what would not go.
class Remover {
public:
    Remover(Scope scope, std::vector<std::wstring>& left) : m_scope(scope), m_root(rootOf(scope)), m_left(left) {}

    HKEY root() const { return m_root; }
    LSTATUS firstFailure() const { return m_first; }

    void tree(const std::wstring& key)
    {
        const LSTATUS status = RegDeleteTreeW(m_root, classesKey(key).c_str());
        if (status == ERROR_FILE_NOT_FOUND)
            return;
        // The tree's contents can go while the key itself stays.
        const LSTATUS leaf = status == ERROR_SUCCESS ? RegDeleteKeyW(m_root, classesKey(key).c_str()) : status;
        if (leaf == ERROR_SUCCESS || leaf == ERROR_FILE_NOT_FOUND)
            return;
        m_left.push_back(rootName(m_scope) + classesKey(key));
        if (m_first == ERROR_SUCCESS)
            m_first = leaf;
    }

    // A parent the registration may have created: gone once nothing is in it.
    void ifEmpty(const std::wstring& key)
    {
        if (exists(m_root, key) && !hasContent(m_root, key))
            RegDeleteKeyW(m_root, classesKey(key).c_str());
    }

private:
    Scope m_scope;
    HKEY m_root;
    std::vector<std::wstring>& m_left;
    LSTATUS m_first = ERROR_SUCCESS;
};

void removeTypeLibrary(Remover& remove)
{
    const std::wstring library = wide(typeLibraryKey());
    remove.tree(library + L"\\1.0\\0\\" + kTypeLibraryPlatform);
    // The other architecture's server may still name the same library.
    if (!hasContent(remove.root(), library + L"\\1.0\\0"))
        remove.tree(library);
}

// Keys that both architectures' registrations share (on 64-bit Windows a ProgID is not
// redirected) go with ours: written back when the other architecture's class is still there.
void removeShared(Remover& remove, const std::wstring& key, const std::wstring& clsid,
                  const std::vector<Row>& rows)
{
    remove.tree(key);
    if (!exists(remove.root(), clsid, kOtherView) || exists(remove.root(), key, kOtherView))
        return;
    for (const Row& row : rows)
        if (row.key == key || row.key.starts_with(key + L"\\"))
            write(remove.root(), row);
}

} // namespace

HRESULT registerServer(Scope scope, const std::wstring& modulePath)
{
    for (const Row& row : rowsOf(modulePath)) {
        const LSTATUS status = write(rootOf(scope), row);
        if (status != ERROR_SUCCESS) {
            std::vector<std::wstring> left;
            unregisterServer(scope, modulePath, left);
            return HRESULT_FROM_WIN32(status);
        }
    }
    return S_OK;
}

HRESULT unregisterServer(Scope scope, const std::wstring& modulePath, std::vector<std::wstring>& left)
{
    Remover remove(scope, left);
    const std::vector<Row> rows = rowsOf(modulePath);
    removeTypeLibrary(remove);
    for (const ClassInfo* info : libraryClasses()) {
        const std::wstring clsid = L"CLSID\\" + bracedUuid(classUuid(info->name));
        if (exists(remove.root(), clsid) && !classIsOurs(remove.root(), clsid, modulePath))
            continue;
        remove.tree(clsid);
        removeShared(remove, wide(info->progId()), clsid, rows);
        removeShared(remove, L"Interface\\" + bracedUuid(interfaceUuid(info->name)), clsid, rows);
    }
    if (scope == Scope::User)
        for (const wchar_t* parent : {L"CLSID", L"Interface", L"TypeLib"})
            remove.ifEmpty(parent);
    return left.empty() ? S_OK : HRESULT_FROM_WIN32(remove.firstFailure());
}

} // namespace Kor2_Sys::com
