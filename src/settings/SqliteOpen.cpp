#include "settings/SqliteOpen.h"

#include "frame/Errors.h"
#include "frame/SystemReason.h"
#include "settings/OwnFiles.h"
#include "settings/WatchedVfs.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Kor2_Sys::settings::sqlitestore {
namespace {

constexpr int kBusyTimeoutMs = 5000;
// Marks a database as one of our stores ("Kor2"), so that a path that names anything else is
// recognised before a byte of it changes.
constexpr std::int32_t kApplicationId = 0x4B6F7232;

std::string snapshotUri(const std::string& path)
{
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(path, ec).string();
    if (ec)
        absolute = path;
    std::string uri = "file://";
    for (const unsigned char c : absolute) {
        if (std::isalnum(c) != 0 || std::strchr("/-._~", c) != nullptr) {
            uri += static_cast<char>(c);
        } else {
            constexpr char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0xF];
        }
    }
    return uri + "?immutable=1";
}

enum class Access : std::uint8_t { Write, Read, Snapshot };

std::unique_ptr<Connection> connectAs(const std::string& path, Access access)
{
    const std::string name = access == Access::Snapshot ? snapshotUri(path) : path;
    const int flags = access == Access::Write      ? SQLITE_OPEN_READWRITE
                      : access == Access::Snapshot ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI
                                                   : SQLITE_OPEN_READONLY;
    sqlite3* db = nullptr;
    if (const int rc = sqlite().sqlite3_open_v2(name.c_str(), &db, flags, watchedVfsName()); rc != SQLITE_OK) {
        const Failure f = failure(db, rc);
        sqlite().sqlite3_close_v2(db);
        throw f;
    }
    sqlite().sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return std::make_unique<Connection>(db);
}

// A connection that reads without creating anything where it can: a snapshot of the main file
// while no WAL holds commits, else an ordinary read-only connection, which uses the WAL and its
// index as it finds them (SQLite creates the index only when the WAL is there without one).
std::unique_ptr<Connection> openForReading(const std::string& path, bool& snapshot)
{
    if (!walHasFrames(path)) {
        auto connection = connectAs(path, Access::Snapshot);
        // Looked at again under the snapshot's lock: a commit made before it is in the WAL.
        if (!walHasFrames(path)) {
            snapshot = true;
            return connection;
        }
    }
    snapshot = false;
    return connectAs(path, Access::Read);
}

enum class Identity : std::uint8_t { Ours, Earlier, Blank, Foreign };

// Whose database this is, from its marker and its tables.
Identity identify(sqlite3* db)
{
    std::int64_t id = 0;
    query(db, "PRAGMA application_id", [&](sqlite3_stmt* s) { id = sqlite().sqlite3_column_int64(s, 0); });
    if (id == kApplicationId)
        return Identity::Ours;
    if (id != 0)
        return Identity::Foreign;
    std::vector<std::string> objects, columns;
    query(db, "SELECT type || ' ' || name FROM sqlite_schema", [&](sqlite3_stmt* s) { objects.push_back(textColumn(s, 0)); });
    if (objects.empty())
        return Identity::Blank;
    if (objects != std::vector<std::string>{"table settings"})
        return Identity::Foreign;
    // Stores made before the marker existed: exactly our table with our key.
    query(db, "SELECT name || ' ' || pk FROM pragma_table_info('settings')",
          [&](sqlite3_stmt* s) { columns.push_back(textColumn(s, 0)); });
    return columns == std::vector<std::string>{"app 1", "section 2", "key 3", "value 0"} ? Identity::Earlier
                                                                                         : Identity::Foreign;
}

// The first bytes of the file: whether it is SQLite at all, and whose marker it carries.
struct Header {
    bool empty = true;
    bool sqlite = false;
    std::uint32_t applicationId = 0;
};

Header readHeader(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        throw fileError(errno, path);
    std::array<unsigned char, 100> bytes{};
    ssize_t n;
    do
        n = ::pread(fd, bytes.data(), bytes.size(), 0);
    while (n < 0 && errno == EINTR);
    const int error = errno;
    ::close(fd);
    if (n < 0)
        throw fileError(error, path);
    Header header;
    header.empty = n == 0;
    header.sqlite = n == static_cast<ssize_t>(bytes.size()) && std::memcmp(bytes.data(), "SQLite format 3", 16) == 0;
    header.applicationId = std::uint32_t{bytes[68]} << 24 | std::uint32_t{bytes[69]} << 16 |
                           std::uint32_t{bytes[70]} << 8 | std::uint32_t{bytes[71]};
    return header;
}

std::string timestamp()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &local);
    return buffer;
}

// A store of ours that cannot be read. When `moveAside`, it is kept under a new name with its
// journal files (the user's values may still be recoverable from it, so it is never emptied in
// place) and the next open starts a fresh one; otherwise it stays where it is.
[[noreturn]] void damaged(const std::string& path, const std::string& why, bool moveAside)
{
    const Text report = u"el almacén de configuración " + widen(path) + u" estaba dañado (" + widen(why) + u")";
    if (!moveAside)
        throw errors::pathAccess(report + u"; no se ha tocado");
    const std::string aside = path + ".dañado-" + timestamp();
    if (::rename(path.c_str(), aside.c_str()) != 0)
        throw errors::pathAccess(report + u"; no se ha podido apartar: " +
                                 widen(systemReason(errno)));
    for (const std::string_view suffix : kSideSuffixes)
        ::rename((path + std::string(suffix)).c_str(), (aside + std::string(suffix)).c_str());
    throw errors::pathAccess(report + u"; se ha apartado como " + widen(aside) + u" y se empezará uno nuevo");
}

// What is wrong with the store, or nothing when it is sound. The check's own findings are English
// and name pages and trees, which tell a user nothing: only that it found some is reported.
std::optional<std::string> damageFound(sqlite3* db)
{
    std::string verdict;
    try {
        query(db, "PRAGMA quick_check", [&](sqlite3_stmt* s) {
            if (verdict.empty())
                verdict = textColumn(s, 0);
        });
    } catch (const Failure& f) {
        if (!isDamage(f.code))
            throw;
        return spanishReason(f);
    }
    if (verdict == "ok")
        return std::nullopt;
    return "la comprobación de integridad ha encontrado daños";
}

bool hasSettingsTable(sqlite3* db)
{
    bool found = false;
    query(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'settings'", [&](sqlite3_stmt*) { found = true; });
    return found;
}

// Side files left unwritable by an earlier run (a reader of a store that was read-only then) would
// refuse every write now that the store can be written: they get their owner's write back. New
// ones are born writable (see WatchedVfs).
void repairSideFiles(const std::string& path)
{
    for (const std::string_view suffix : kSideSuffixes)
        giveOwnerWrite(path + std::string(suffix));
}

// SQLite refuses to open a side file through a link, and the library never changes anything
// through one: the store is refused before either happens, naming the file.
void refuseStrangeSideFiles(const std::string& path)
{
    if (const auto side = strangeSideFile(path))
        throw errors::pathAccess(widen(*side) + u" no es un archivo normal (es un enlace o algo distinto); el "
                                 u"almacén de configuración no lo usa ni lo sigue; no se ha tocado");
}

void createStoreFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    else if (errno != EEXIST)
        throw fileError(errno, path);
}

} // namespace

bool walHasFrames(const std::string& path)
{
    struct stat wal{};
    return ::lstat((path + "-wal").c_str(), &wal) == 0 && S_ISREG(wal.st_mode) && wal.st_size > 0;
}

void makeFolder(const Place& place)
{
    const std::filesystem::path folder = std::filesystem::path(place.path).parent_path();
    if (folder.empty())
        return;
    std::vector<std::filesystem::path> missing;
    for (std::filesystem::path level = folder; !level.empty(); level = level.parent_path()) {
        struct stat found{};
        if (::stat(level.c_str(), &found) == 0 || errno != ENOENT)
            break;  // an unreadable level is named by the open that follows
        missing.push_back(level);
        if (level == level.parent_path())
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (::mkdir(it->c_str(), 0700) != 0 && errno != EEXIST)
            throw fileError(errno, it->string());
    if (place.ownFolder)
        keepFolderPrivate(folder.string());
}

bool inDefaultFolder(const std::string& path)
{
    const auto folderOfPath = [](const std::string& p) {
        std::error_code ec;
        return std::filesystem::absolute(std::filesystem::path(p).parent_path(), ec).lexically_normal();
    };
    try {
        return folderOfPath(path) == folderOfPath(defaultPath());
    } catch (const Error&) {
        return false;  // no default place, so nothing is ours
    }
}


Link::Link(std::unique_ptr<Connection> c, bool readOnlyLink, bool snapshotLink)
    : connection(std::move(c)),
      find(db(), "SELECT value FROM settings WHERE app = ?1 AND section = ?2 AND key = ?3"),
      upsert(db(), "INSERT INTO settings(app, section, key, value) VALUES (?1, ?2, ?3, ?4) "
                   "ON CONFLICT(app, section, key) DO UPDATE SET value = excluded.value"),
      remove(db(), "DELETE FROM settings WHERE app = ?1 AND section = ?2 AND key = ?3"),
      removeSection(db(), "DELETE FROM settings WHERE app = ?1 AND section = ?2"),
      all(db(), "SELECT app, section, key, value FROM settings"),
      section(db(), "SELECT key, value FROM settings WHERE app = ?1 AND section = ?2"),
      watch(db()),
      readOnly(readOnlyLink),
      snapshot(snapshotLink)
{
}

std::unique_ptr<Link> openLink(const Place& place, OpenMode mode)
{
    const std::string& path = place.path;
    const bool mayChange = mode == OpenMode::ReadWrite;
    struct stat file{};
    if (::stat(path.c_str(), &file) != 0) {
        if (errno != ENOENT)
            throw fileError(errno, path);
        if (!mayChange)
            return nullptr;
        createStoreFile(path);
        if (::stat(path.c_str(), &file) != 0)
            throw fileError(errno, path);
    }
    if (S_ISDIR(file.st_mode))
        throw errors::pathAccess(widen(path) + u" es una carpeta; el almacén de configuración ha de ser un archivo");
    if (!S_ISREG(file.st_mode))
        throw notOurs(path, u"no es un archivo normal");
    refuseStrangeSideFiles(path);

    Identity identity = Identity::Blank;  // an empty file is a store not yet begun
    // Read even when the size is 0: files of the kernel's (/proc, /sys) say so and yet hold text.
    if (const Header header = readHeader(path); !header.empty) {
        if (!header.sqlite) {
            if (!place.ownFolder)
                throw notOurs(path, u"no es una base de datos SQLite");
            damaged(path, "no es una base de datos SQLite", mayChange);
        }
        if (header.applicationId == static_cast<std::uint32_t>(kApplicationId)) {
            identity = Identity::Ours;
        } else if (header.applicationId != 0) {
            throw notOurs(path, u"es la base de datos de otro programa");
        } else {
            // Unmarked: the tables say whose it is, read without leaving a trace.
            try {
                bool snapshot = false;
                identity = identify(openForReading(path, snapshot)->get());
            } catch (const Failure& f) {
                if (!isDamage(f.code))
                    throw storeError(f, path);
                if (!place.ownFolder)
                    throw notOurs(path, u"no se puede leer como base de datos");
                damaged(path, spanishReason(f), mayChange);
            }
            if (identity == Identity::Foreign || (identity == Identity::Blank && !place.ownFolder))
                throw notOurs(path, u"es la base de datos de otro programa");
        }
    }

    const bool writable = mayChange && ::access(path.c_str(), W_OK) == 0;
    if (!writable && identity == Identity::Blank)
        return nullptr;
    try {
        bool snapshot = false;
        std::unique_ptr<Connection> connection;
        if (writable) {
            repairSideFiles(path);
            connection = connectAs(path, Access::Write);
        } else {
            connection = openForReading(path, snapshot);
        }
        sqlite3* db = connection->get();
        if (const auto damage = damageFound(db)) {
            connection.reset();
            damaged(path, *damage, mayChange);
        }
        if (writable) {
            // Marked first, while the file is still in its first journal mode, so that the mark
            // reaches the main file at once.
            if (identity != Identity::Ours)
                exec(db, ("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
            exec(db, "PRAGMA journal_mode=WAL");
            exec(db, "CREATE TABLE IF NOT EXISTS settings(app BLOB NOT NULL, section BLOB NOT NULL, key BLOB NOT NULL, "
                     "value BLOB NOT NULL, PRIMARY KEY(app, section, key)) WITHOUT ROWID");
        } else if (!hasSettingsTable(db)) {
            return nullptr;
        }
        exec(db, "PRAGMA synchronous=FULL");
        return std::make_unique<Link>(std::move(connection), !writable, snapshot);
    } catch (const Failure& f) {
        throw storeError(f, path);
    }
}

} // namespace Kor2_Sys::settings::sqlitestore
