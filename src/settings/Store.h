#pragma once
// The per-user settings store: application -> section -> key -> text. Names are matched exactly as
// composed (case-sensitive, never trimmed, the empty name included); values are any UTF-16 text,
// kept unit for unit.

#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/Value.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Kor2_Sys::settings {

/// The application name under which the library keeps everything.
inline constexpr std::u16string_view kApplication = u"Vesolar";

/// One stored value with its address.
struct Entry {
    Text app, section, key, value;
    bool operator==(const Entry&) const = default;
};

/// A store backend. Failures raise `Error` (61 disk full, 70 permission denied, 75 access error).
class KOR2_SYS_EXPORT Store {
public:
    virtual ~Store();
    /// The stored text, also when it is empty; nothing when the key does not exist.
    virtual std::optional<Text> find(const Text& app, const Text& section, const Text& key) = 0;
    /// Stores `value`, replacing what was there; one durable transaction.
    virtual void write(const Text& app, const Text& section, const Text& key, const Text& value) = 0;
    /// Removes one key; whether it existed.
    virtual bool remove(const Text& app, const Text& section, const Text& key) = 0;
    /// Removes a whole section; how many keys it held.
    virtual std::size_t removeSection(const Text& app, const Text& section) = 0;
    /// Every entry, ordered by application, section and key (by UTF-16 units).
    virtual std::vector<Entry> entries() = 0;
    /// Stores every entry in one durable transaction: all of them, or none when anything fails.
    virtual void writeAll(std::span<const Entry> entries) = 0;

    /// ReadSetting: the stored text when the key exists, else `fallback`. Creates nothing.
    Text read(const Text& app, const Text& section, const Text& key, const Text& fallback);
};

/// How a store file is opened. A read-only store never creates, renames or changes a file: a
/// missing file reads as an empty store, a damaged one is an error and stays where it is.
enum class OpenMode : std::uint8_t { ReadWrite, ReadOnly };

/// The SQLite store at `path`: created 0600 (its folder 0700), WAL journal, synchronous FULL,
/// 5 s busy timeout. A damaged file is moved aside (its name gains ".dañado-<time>") and an error
/// says so; the next open starts a fresh store.
KOR2_SYS_EXPORT std::shared_ptr<Store> openFile(const std::string& path, OpenMode mode = OpenMode::ReadWrite);
/// A store that lives in memory only.
KOR2_SYS_EXPORT std::shared_ptr<Store> openMemory();
/// `path`, or ":memory:", as `KOR2_SETTINGS` names it.
KOR2_SYS_EXPORT std::shared_ptr<Store> open(const std::string& pathOrMemory, OpenMode mode = OpenMode::ReadWrite);
/// Where the store lives unless KOR2_SETTINGS says otherwise:
/// ${XDG_CONFIG_HOME:-$HOME/.config}/kor2-sys/settings.db.
KOR2_SYS_EXPORT std::string defaultPath();

/// KOR2_SETTINGS when it is set, else `defaultPath()`.
KOR2_SYS_EXPORT std::string configuredPath();

/// The store the library uses, opened on first need from KOR2_SETTINGS or the default path.
KOR2_SYS_EXPORT Store& store();
/// Installs a store (null: back to opening the default); returns the previous one.
KOR2_SYS_EXPORT std::shared_ptr<Store> installStore(std::shared_ptr<Store> store);

/// Uses another store for the guard's lifetime: ":memory:" or a file path.
class ScopedStore {
public:
    explicit ScopedStore(const std::string& pathOrMemory) : m_previous(installStore(open(pathOrMemory))) {}
    ~ScopedStore() { installStore(std::move(m_previous)); }
    ScopedStore(const ScopedStore&) = delete;
    ScopedStore& operator=(const ScopedStore&) = delete;

private:
    std::shared_ptr<Store> m_previous;
};

} // namespace Kor2_Sys::settings
