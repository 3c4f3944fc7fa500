#pragma once
// The per-user settings store: application -> section -> key -> text. Names are matched exactly as
// composed (case-sensitive, never trimmed, the empty name included); values are any UTF-16 text,
// kept unit for unit.

#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/Value.h>

#include "platform/Installed.h"

#include <cstdint>
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

/// A store backend. Failures raise `Error` (61 disk full, 70 permission denied, 75 access error),
/// whose description names the file at fault. Every store may be called from any thread at once:
/// each object runs one operation at a time.
class Store {
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
    /// Stores every entry in one durable transaction: all of them, or none when anything fails
    /// (also when the process dies or the disk fills midway).
    virtual void writeAll(std::span<const Entry> entries) = 0;

    /// ReadSetting: the stored text when the key exists, else `fallback`. Creates nothing.
    Text read(const Text& app, const Text& section, const Text& key, const Text& fallback);
};

/// How a store file is opened. A read-only store never creates, renames or changes a file or a
/// folder: a missing file reads as an empty store, a damaged one is an error and stays where it
/// is, and every write is error 70.
enum class OpenMode : std::uint8_t { ReadWrite, ReadOnly };

/// The SQLite store at `path`: WAL journal, synchronous FULL, 5 s busy timeout.
///
/// Only the folder of `defaultPath()` belongs to the library: it is created and kept 0700. Any
/// other folder is used as it is (a missing one is created 0700). A new store file is created
/// 0600 and marked as this library's; an existing file that is not one of its stores (not SQLite,
/// or a database of something else) is refused with error 75 naming it and is left untouched.
/// A store of an earlier version (unmarked, holding exactly the settings table) is adopted.
/// A store of ours that is damaged is moved aside (its name gains ".dañado-<time>") and an error
/// says so; the next open starts a fresh store. A file that cannot be written is opened for
/// reading; writes then fail with error 70 until it can be written again.
std::shared_ptr<Store> openFile(const std::string& path, OpenMode mode = OpenMode::ReadWrite);
/// A store that lives in memory only.
std::shared_ptr<Store> openMemory();
/// `path`, or ":memory:", as `KOR2_SETTINGS` names it.
std::shared_ptr<Store> open(const std::string& pathOrMemory, OpenMode mode = OpenMode::ReadWrite);
/// Where the store lives unless KOR2_SETTINGS says otherwise:
/// ${XDG_CONFIG_HOME:-$HOME/.config}/kor2-sys/settings.db. A relative XDG_CONFIG_HOME is ignored;
/// with no absolute XDG_CONFIG_HOME and no absolute HOME there is no such place: error 75.
std::string defaultPath();

/// KOR2_SETTINGS when it is set, else `defaultPath()`. Neither is part of the Windows build.
std::string configuredPath();

/// The platform's own store: the file `configuredPath()` names, or, on Windows, the per-user
/// registry (the Windows build reads no environment variable).
std::shared_ptr<Store> openDefault();

/// The store the library uses, opened on first need (`openDefault()`). The result stays
/// valid for as long as the caller holds it, whatever another thread installs meanwhile.
std::shared_ptr<Store> currentStore();
/// The store the library uses, as a reference that is valid for the life of the process: each of
/// its operations goes to the store installed at the moment of that call. Code that must keep to
/// one store across several calls while other threads may install another holds
/// `currentStore()` instead.
Store& store();
/// Installs a store (null: back to opening the configured one); returns the previous one. A
/// store that another thread is using stays alive until that thread is done with it.
std::shared_ptr<Store> installStore(std::shared_ptr<Store> store);

/// Uses another store for the guard's lifetime: ":memory:" or a file path.
class ScopedStore : public platform::ScopedInstall<Store, &installStore> {
public:
    explicit ScopedStore(const std::string& pathOrMemory) : ScopedInstall(open(pathOrMemory)) {}
};

} // namespace Kor2_Sys::settings
