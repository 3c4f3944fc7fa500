#include "settings/Store.h"

#include "frame/Errors.h"
#include "frame/SystemReason.h"
#include "frame/Utf.h"
#include "settings/OwnFiles.h"
#include "settings/Sqlite.h"
#include "settings/SqliteReasons.h"
#include "settings/WatchedVfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <tuple>
#include <type_traits>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace Kor2_Sys::settings {
namespace {

constexpr int kBusyTimeoutMs = 5000;
// BEGIN IMMEDIATE already waits the busy timeout; a few more rounds absorb a long checkpoint
// by another process, so that a busy store never reaches a caller as an error.
constexpr int kBusyRounds = 6;
// Marks a database as one of our stores ("Kor2"), so that a path that names anything else is
// recognised before a byte of it changes.
constexpr std::int32_t kApplicationId = 0x4B6F7232;

Text widen(const std::string& text) { return utf::fromUtf8(text); }

// A failed SQLite call. It becomes an `Error` at the store's edge, where the file is known. SQLite's
// own text is not kept: it is English, and the code says the same.
struct Failure {
    int code;
    int systemError;
};

Failure failure(sqlite3* db, int code)
{
    return {code, db != nullptr ? sqlite().sqlite3_system_errno(db) : 0};
}

bool isDamage(int code)
{
    return (code & 0xFF) == SQLITE_NOTADB || (code & 0xFF) == SQLITE_CORRUPT;
}

Error withDetail(const Error& base, const Text& detail)
{
    return {base.number(), base.description() + u": " + detail};
}

std::string folderOf(const std::string& path)
{
    const auto folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// The file that stops a write: the store, one of its side files, or the folder that must hold them.
std::string faultyFile(const std::string& path)
{
    if (::access(path.c_str(), R_OK | W_OK) != 0)
        return path;
    for (const std::string_view suffix : kSideSuffixes) {
        const std::string side = path + std::string(suffix);
        if (::access(side.c_str(), F_OK) == 0) {
            if (::access(side.c_str(), R_OK | W_OK) != 0)
                return side;
        } else if (::access(folderOf(path).c_str(), W_OK | X_OK) != 0) {
            return folderOf(path);
        }
    }
    return path;
}

bool refusedByPermissions(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// A file size limit or a quota stops a write as a full disk does.
bool outOfSpace(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

Error fileError(int error, const std::string& path)
{
    if (refusedByPermissions(error))
        return withDetail(errors::permissionDenied(), widen(path));
    if (outOfSpace(error))
        return withDetail(errors::diskFull(), widen(path));
    return errors::pathAccess(widen(path) + u": " + widen(systemReason(error)));
}

// Only a failure in the file layer leaves a meaningful errno behind.
int systemErrorOf(const Failure& f)
{
    const int primary = f.code & 0xFF;
    return primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR ? f.systemError : 0;
}

bool refusedWrite(const Failure& f)
{
    const int primary = f.code & 0xFF;
    return primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_AUTH ||
           refusedByPermissions(systemErrorOf(f));
}

std::string spanishReason(const Failure& f)
{
    if (const int e = systemErrorOf(f))
        return systemReason(e);
    return sqliteReason(f.code);
}

Error storeError(const Failure& f, const std::string& path)
{
    const int primary = f.code & 0xFF;
    if (primary == SQLITE_FULL || outOfSpace(systemErrorOf(f)))
        return withDetail(errors::diskFull(), widen(path));
    if (refusedWrite(f))
        return withDetail(errors::permissionDenied(), widen(faultyFile(path)));
    if (isDamage(f.code))
        return errors::pathAccess(u"el almacén de configuración " + widen(path) + u" está dañado (" +
                                  widen(spanishReason(f)) + u")");
    return errors::pathAccess(u"almacén de configuración " + widen(path) + u": " + widen(spanishReason(f)));
}

Error notOurs(const std::string& path, std::u16string_view what)
{
    return errors::pathAccess(widen(path) + u" no es un almacén de configuración de Kor2_Sys (" + Text(what) +
                              u"); no se ha tocado");
}

class Connection {
public:
    explicit Connection(sqlite3* db) : m_db(db) {}
    ~Connection() { sqlite().sqlite3_close_v2(m_db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    sqlite3* get() const noexcept { return m_db; }

private:
    sqlite3* m_db;
};

// A cached prepared statement; reset after every use so that it holds no read lock.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : m_db(db)
    {
        const int rc = sqlite().sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
        if (rc != SQLITE_OK)
            throw failure(db, rc);
    }
    ~Statement() { sqlite().sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, const Text& text)
    {
        // The units go in as they are, lone surrogates and NULs included.
        sqlite().sqlite3_bind_blob(m_stmt, index, text.c_str(), static_cast<int>(text.size() * sizeof(char16_t)),
                                   SQLITE_STATIC);
        return *this;
    }
    int step() { return sqlite().sqlite3_step(m_stmt); }
    /// One step that must finish the statement.
    void run()
    {
        if (const int rc = step(); rc != SQLITE_DONE)
            throw failure(m_db, rc);
    }
    Text column(int index) const
    {
        const auto* bytes = static_cast<const char*>(sqlite().sqlite3_column_blob(m_stmt, index));
        const auto size = static_cast<std::size_t>(sqlite().sqlite3_column_bytes(m_stmt, index));
        Text text(size / sizeof(char16_t), u'\0');
        if (size > 0)
            std::memcpy(text.data(), bytes, text.size() * sizeof(char16_t));
        return text;
    }
    void reset()
    {
        sqlite().sqlite3_reset(m_stmt);
        sqlite().sqlite3_clear_bindings(m_stmt);
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Resets a statement on every way out of a use.
class Use {
public:
    explicit Use(Statement& s) : m_s(s) {}
    ~Use() { m_s.reset(); }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    Statement* operator->() { return &m_s; }

private:
    Statement& m_s;
};

void exec(sqlite3* db, const char* sql)
{
    if (const int rc = sqlite().sqlite3_exec(db, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
        throw failure(db, rc);
}

// Runs a statement row by row.
template <class Row> void query(sqlite3* db, const char* sql, Row&& row)
{
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite().sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(raw, sqlite().sqlite3_finalize);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite().sqlite3_step(raw)) == SQLITE_ROW)
            row(raw);
        if (rc == SQLITE_DONE)
            return;
    }
    throw failure(db, rc);
}

std::string textColumn(sqlite3_stmt* stmt, int index)
{
    const unsigned char* text = sqlite().sqlite3_column_text(stmt, index);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

// One BEGIN IMMEDIATE transaction; rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : m_db(db)
    {
        for (int round = 0;; ++round) {
            const int rc = sqlite().sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK)
                return;
            if ((rc & 0xFF) != SQLITE_BUSY || round + 1 >= kBusyRounds)
                throw failure(db, rc);
        }
    }
    ~Transaction()
    {
        if (!m_done)
            sqlite().sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit()
    {
        exec(m_db, "COMMIT");
        m_done = true;
    }

private:
    sqlite3* m_db;
    bool m_done = false;
};

// Tells whether any connection, in any process, committed since the last look, by reading the
// WAL-index header that SQLite keeps mapped for the connection: two 48-byte copies, identical
// whenever no writer is midway, whose change counter moves with every commit. Two memory reads
// instead of a read transaction's file locks.
class CommitWatch {
public:
    static constexpr std::size_t kHeader = 48;
    using Signature = std::array<unsigned char, kHeader>;

    explicit CommitWatch(sqlite3* db) : m_db(db) {}

    /// The current header, or nothing when it cannot be trusted (no WAL-index mapped, a writer
    /// midway, not initialised): the caller then reads the database itself.
    std::optional<Signature> current() const
    {
        const volatile unsigned char* header = walIndex(m_db);
        if (header == nullptr)
            return std::nullopt;
        // Read as SQLite's own readers do: first copy, barrier, second copy; writers store them
        // in the opposite order.
        Signature first, second;
        for (std::size_t i = 0; i < kHeader; ++i)
            first[i] = header[i];
        std::atomic_thread_fence(std::memory_order_acquire);
        for (std::size_t i = 0; i < kHeader; ++i)
            second[i] = header[kHeader + i];
        constexpr std::size_t kIsInit = 12;
        if (first != second || first[kIsInit] == 0)
            return std::nullopt;
        return first;
    }

private:
    sqlite3* m_db;
};

struct TextPairHash {
    std::size_t operator()(const std::pair<Text, Text>& p) const noexcept
    {
        const std::size_t a = std::hash<Text>{}(p.first);
        return a ^ (std::hash<Text>{}(p.second) + 0x9e3779b97f4a7c15ull + (a << 6) + (a >> 2));
    }
};

// ---- Opening -------------------------------------------------------------------------------

// Where a store lives, and whether that folder is the library's own (the default one): only
// there is the folder kept private and whatever lies at the path taken for a store of ours.
struct Place {
    std::string path;
    bool ownFolder = false;
};

bool walHasFrames(const std::string& path)
{
    struct stat wal{};
    return ::lstat((path + "-wal").c_str(), &wal) == 0 && S_ISREG(wal.st_mode) && wal.st_size > 0;
}

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

// Missing folders are created private. An existing folder is the user's business (a shared one
// keeps its sticky or set-group bit), except the library's own, which is kept private.
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

// One open connection with its prepared statements.
struct Link {
    Link(std::unique_ptr<Connection> c, bool readOnlyLink, bool snapshotLink)
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
    sqlite3* db() const { return connection->get(); }

    // Declared first so that it is closed last, after the statements are finalised.
    std::unique_ptr<Connection> connection;
    Statement find, upsert, remove, removeSection, all, section;
    CommitWatch watch;
    bool readOnly;
    bool snapshot;
};

// Opens the store at `place`, or nothing when there is no store to read (yet). Nothing in the
// file changes before it is known to be ours.
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

class SqliteStore final : public Store {
public:
    SqliteStore(Place place, OpenMode mode) : m_place(std::move(place)), m_mode(mode), m_link(openLink(m_place, m_mode)) {}

    // Reads are served from whole sections kept in memory for as long as nobody commits; the
    // first read after any commit reloads the section it needs.
    std::optional<Text> find(const Text& app, const Text& section, const Text& key) override
    {
        std::lock_guard lock(m_mutex);
        return guarded([&]() -> std::optional<Text> {
            Link* link = reading();
            if (link == nullptr)
                return std::nullopt;
            const auto signature = link->watch.current();
            if (!signature)
                return findInDatabase(*link, app, section, key);
            if (signature != m_signature) {
                m_sections.clear();
                m_signature = signature;
            }
            auto [it, loaded] = m_sections.try_emplace({app, section});
            if (loaded)
                loadSection(*link, app, section, it->second);
            const auto found = it->second.find(key);
            if (found == it->second.end())
                return std::nullopt;
            return found->second;
        });
    }

    void write(const Text& app, const Text& section, const Text& key, const Text& value) override
    {
        std::lock_guard lock(m_mutex);
        changing([&](Link& link) {
            return change(link, link.upsert, [&](Statement& s) { s.bind(1, app).bind(2, section).bind(3, key).bind(4, value); });
        });
    }

    bool remove(const Text& app, const Text& section, const Text& key) override
    {
        std::lock_guard lock(m_mutex);
        return changing([&](Link& link) {
            return change(link, link.remove, [&](Statement& s) { s.bind(1, app).bind(2, section).bind(3, key); });
        }) > 0;
    }

    std::size_t removeSection(const Text& app, const Text& section) override
    {
        std::lock_guard lock(m_mutex);
        return static_cast<std::size_t>(changing([&](Link& link) {
            return change(link, link.removeSection, [&](Statement& s) { s.bind(1, app).bind(2, section); });
        }));
    }

    void writeAll(std::span<const Entry> entries) override
    {
        std::lock_guard lock(m_mutex);
        changing([&](Link& link) {
            Transaction transaction(link.db());
            for (const Entry& e : entries) {
                Use q(link.upsert);
                q->bind(1, e.app).bind(2, e.section).bind(3, e.key).bind(4, e.value).run();
            }
            transaction.commit();
            return 0;
        });
    }

    std::vector<Entry> entries() override
    {
        std::lock_guard lock(m_mutex);
        return guarded([&] {
            std::vector<Entry> all;
            Link* link = reading();
            if (link == nullptr)
                return all;
            retryBusy(*link, [&] {
                all.clear();
                Use q(link->all);
                int rc;
                while ((rc = q->step()) == SQLITE_ROW)
                    all.push_back({q->column(0), q->column(1), q->column(2), q->column(3)});
                return rc == SQLITE_DONE ? SQLITE_OK : rc;
            });
            std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
                return std::tie(a.app, a.section, a.key) < std::tie(b.app, b.section, b.key);
            });
            return all;
        });
    }

private:
    using Section = std::unordered_map<Text, Text>;

    template <class Body> std::invoke_result_t<Body> guarded(Body&& body)
    {
        try {
            return body();
        } catch (const Failure& f) {
            throw storeError(f, m_place.path);
        }
    }

    void forget()
    {
        m_sections.clear();
        m_signature.reset();
    }

    void reconnect()
    {
        auto fresh = openLink(m_place, m_mode);
        m_link = std::move(fresh);
        forget();
    }

    // The link to read through. A snapshot holds only until some process commits into the WAL;
    // from then on the store is read through the WAL like any other.
    Link* reading()
    {
        if (m_link && m_link->snapshot && walHasFrames(m_place.path))
            reconnect();
        return m_link.get();
    }

    // Runs a change on a writable link. A store opened while it could not be written, or whose
    // side files refused a write, is opened afresh once: what was at fault may have been set right
    // (the store made writable again, side files repaired by the open).
    template <class Body> std::invoke_result_t<Body, Link&> changing(Body&& body)
    {
        if (m_mode == OpenMode::ReadOnly)
            throw withDetail(errors::permissionDenied(), widen(m_place.path) + u" se abrió solo para lectura");
        forget();  // our own commit moves the WAL-index too
        bool reopened = false;
        if (!m_link || m_link->readOnly) {
            if (::access(m_place.path.c_str(), W_OK) != 0)
                throw withDetail(errors::permissionDenied(), widen(faultyFile(m_place.path)));
            reconnect();
            reopened = true;
            if (!m_link || m_link->readOnly)
                throw withDetail(errors::permissionDenied(), widen(faultyFile(m_place.path)));
        }
        try {
            return body(*m_link);
        } catch (const Failure& f) {
            if (reopened || !refusedWrite(f))
                throw storeError(f, m_place.path);
        }
        reconnect();
        if (!m_link || m_link->readOnly)
            throw withDetail(errors::permissionDenied(), widen(faultyFile(m_place.path)));
        return guarded([&] { return body(*m_link); });
    }

    template <class Step> void retryBusy(Link& link, Step&& step)
    {
        for (int round = 0;; ++round) {
            const int rc = step();
            if (rc == SQLITE_OK)
                return;
            if ((rc & 0xFF) != SQLITE_BUSY || round + 1 >= kBusyRounds)
                throw failure(link.db(), rc);
        }
    }

    std::optional<Text> findInDatabase(Link& link, const Text& app, const Text& section, const Text& key)
    {
        std::optional<Text> value;
        retryBusy(link, [&] {
            Use q(link.find);
            q->bind(1, app).bind(2, section).bind(3, key);
            const int rc = q->step();
            if (rc == SQLITE_ROW)
                value = q->column(0);
            return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
        });
        return value;
    }

    void loadSection(Link& link, const Text& app, const Text& section, Section& into)
    {
        try {
            retryBusy(link, [&] {
                into.clear();
                Use q(link.section);
                q->bind(1, app).bind(2, section);
                int rc;
                while ((rc = q->step()) == SQLITE_ROW)
                    into.emplace(q->column(0), q->column(1));
                return rc == SQLITE_DONE ? SQLITE_OK : rc;
            });
        } catch (...) {
            m_sections.erase({app, section});
            throw;
        }
    }

    template <class Bind> static int change(Link& link, Statement& statement, Bind&& bind)
    {
        Transaction transaction(link.db());
        {
            Use q(statement);
            bind(*q.operator->());
            q->run();
        }
        const int changed = sqlite().sqlite3_changes(link.db());
        transaction.commit();
        return changed;
    }

    const Place m_place;
    const OpenMode m_mode;
    // One operation at a time: the statements, the link and the section cache are shared state.
    std::mutex m_mutex;
    std::unique_ptr<Link> m_link;
    std::optional<CommitWatch::Signature> m_signature;
    std::unordered_map<std::pair<Text, Text>, Section, TextPairHash> m_sections;
};

} // namespace

std::shared_ptr<Store> openFile(const std::string& path, OpenMode mode)
{
    if (path.empty())
        throw errors::pathAccess(u"no se ha indicado el archivo del almacén de configuración");
    Place place{path, inDefaultFolder(path)};
    if (mode == OpenMode::ReadWrite)
        makeFolder(place);
    return std::make_shared<SqliteStore>(std::move(place), mode);
}

} // namespace Kor2_Sys::settings
