#include "settings/Store.h"

#include "frame/Errors.h"
#include "frame/Utf.h"
#include "frame/Wide.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace Kor2_Sys::settings {
namespace {

// Where the platform's own per-user application-settings functions keep their values, so that
// what hosts saved through them before reads the same here: <root>\<app>\<section>, one string
// value per key.
constexpr std::wstring_view kRoot = L"Software\\VB and VBA Program Settings";

Text units(std::wstring_view text) { return Text(text.begin(), text.end()); }

Error failure(LSTATUS status, const std::wstring& key)
{
    const Text where = u"HKEY_CURRENT_USER\\" + units(key);
    if (status == ERROR_ACCESS_DENIED)
        return Error(errors::permissionDenied().number(), errors::permissionDenied().description() + u": " + where);
    if (status == ERROR_DISK_FULL || status == ERROR_NO_SYSTEM_RESOURCES)
        return Error(errors::diskFull().number(), errors::diskFull().description() + u": " + where);
    return errors::pathAccess(where);
}

class Key {
public:
    Key() = default;
    explicit Key(HKEY key) : m_key(key) {}
    ~Key()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return m_key; }
    HKEY* out() { return &m_key; }
    explicit operator bool() const { return m_key != nullptr; }

private:
    HKEY m_key = nullptr;
};

std::wstring pathOf(const Text& app, const Text& section = {}, bool withSection = false)
{
    std::wstring path(kRoot);
    path += L'\\' + wide(app);
    if (withSection)
        path += L'\\' + wide(section);
    return path;
}

// Opens a key; nothing when it does not exist.
bool openKey(const std::wstring& path, REGSAM access, Key& key)
{
    const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, key.out());
    if (status == ERROR_FILE_NOT_FOUND)
        return false;
    if (status != ERROR_SUCCESS)
        throw failure(status, path);
    return true;
}

std::vector<std::wstring> subKeys(HKEY key)
{
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

// Every string value of a key: name and the stored units, embedded NULs included.
std::vector<std::pair<Text, Text>> valuesOf(HKEY key)
{
    std::vector<std::pair<Text, Text>> values;
    DWORD longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(longestData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = longestName + 1, dataLength = longestData + 2, type = 0;
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            continue;
        Text value(reinterpret_cast<const char16_t*>(data.data()), dataLength / 2);
        // The terminating NUL the platform adds is not part of the value.
        if (!value.empty() && value.back() == u'\0')
            value.pop_back();
        values.emplace_back(units(std::wstring_view(name.data(), nameLength)), std::move(value));
    }
    return values;
}

class RegistryStore final : public Store {
public:
    std::optional<Text> find(const Text& app, const Text& section, const Text& key) override
    {
        std::lock_guard lock(m_mutex);
        Key k;
        if (!openKey(pathOf(app, section, true), KEY_QUERY_VALUE, k))
            return std::nullopt;
        DWORD type = 0, size = 0;
        const std::wstring name = wide(key);
        LSTATUS status = RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        if (status != ERROR_SUCCESS)
            throw failure(status, pathOf(app, section, true));
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return std::nullopt;
        std::vector<BYTE> data(size + 2);
        status = RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, data.data(), &size);
        if (status != ERROR_SUCCESS)
            throw failure(status, pathOf(app, section, true));
        Text value(reinterpret_cast<const char16_t*>(data.data()), size / 2);
        if (!value.empty() && value.back() == u'\0')
            value.pop_back();
        return value;
    }

    void write(const Text& app, const Text& section, const Text& key, const Text& value) override
    {
        std::lock_guard lock(m_mutex);
        put(app, section, key, value);
    }

    bool remove(const Text& app, const Text& section, const Text& key) override
    {
        std::lock_guard lock(m_mutex);
        Key k;
        if (!openKey(pathOf(app, section, true), KEY_SET_VALUE, k))
            return false;
        const LSTATUS status = RegDeleteValueW(k.get(), wide(key).c_str());
        if (status == ERROR_FILE_NOT_FOUND)
            return false;
        if (status != ERROR_SUCCESS)
            throw failure(status, pathOf(app, section, true));
        return true;
    }

    std::size_t removeSection(const Text& app, const Text& section) override
    {
        std::lock_guard lock(m_mutex);
        std::size_t count = 0;
        {
            Key k;
            if (!openKey(pathOf(app, section, true), KEY_READ, k))
                return 0;
            count = valuesOf(k.get()).size();
        }
        Key parent;
        if (!openKey(pathOf(app), KEY_ALL_ACCESS, parent))
            return 0;
        const LSTATUS status = RegDeleteTreeW(parent.get(), wide(section).c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            throw failure(status, pathOf(app, section, true));
        return count;
    }

    std::vector<Entry> entries() override
    {
        std::lock_guard lock(m_mutex);
        std::vector<Entry> all;
        Key root;
        if (!openKey(std::wstring(kRoot), KEY_READ, root))
            return all;
        for (const std::wstring& app : subKeys(root.get())) {
            Key appKey;
            if (!openKey(pathOf(units(app)), KEY_READ, appKey))
                continue;
            for (const std::wstring& section : subKeys(appKey.get())) {
                Key sectionKey;
                if (!openKey(pathOf(units(app), units(section), true), KEY_READ, sectionKey))
                    continue;
                for (auto& [key, value] : valuesOf(sectionKey.get()))
                    all.push_back({units(app), units(section), key, value});
            }
        }
        std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
            return std::tie(a.app, a.section, a.key) < std::tie(b.app, b.section, b.key);
        });
        return all;
    }

    // The registry has no transaction that every platform version offers: the previous values are
    // kept aside and put back when a write fails midway.
    void writeAll(std::span<const Entry> entries) override
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::pair<const Entry*, std::optional<Text>>> before;
        before.reserve(entries.size());
        for (const Entry& e : entries)
            before.emplace_back(&e, find(e.app, e.section, e.key));
        std::size_t done = 0;
        try {
            for (; done < entries.size(); ++done)
                put(entries[done].app, entries[done].section, entries[done].key, entries[done].value);
        } catch (...) {
            for (std::size_t i = 0; i < done; ++i) {
                const Entry& e = *before[i].first;
                if (before[i].second) {
                    put(e.app, e.section, e.key, *before[i].second);
                } else if (Key k; openKey(pathOf(e.app, e.section, true), KEY_SET_VALUE, k)) {
                    RegDeleteValueW(k.get(), wide(e.key).c_str());
                }
            }
            throw;
        }
    }

private:
    void put(const Text& app, const Text& section, const Text& key, const Text& value)
    {
        const std::wstring path = pathOf(app, section, true);
        Key k;
        LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                         k.out(), nullptr);
        if (status != ERROR_SUCCESS)
            throw failure(status, path);
        // The value's units as they are (NULs and lone surrogates too), with the terminator the
        // platform's readers expect.
        std::wstring data = wide(value);
        data.push_back(L'\0');
        status = RegSetValueExW(k.get(), wide(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(data.size() * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS)
            throw failure(status, path);
    }

    // Recursive: writeAll reads the values it may have to put back.
    std::recursive_mutex m_mutex;
};

} // namespace

// No environment variable chooses another store: a host's environment is the host's business.
// The test programs install one through the server's test entry point.
std::shared_ptr<Store> openDefault()
{
    return std::make_shared<RegistryStore>();
}

} // namespace Kor2_Sys::settings
