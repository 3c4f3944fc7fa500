#include "settings/Store.h"

#include "frame/Utf.h"
#include "settings/WatchedVfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <array>
#include <optional>
#include <unordered_map>
#include <cerrno>
#include <tuple>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace Kor2_Sys::settings {
namespace {

constexpr int kBusyTimeoutMs = 5000;
// BEGIN IMMEDIATE already waits the busy timeout; a few more rounds absorb a long checkpoint
// by another process, so that a busy store never reaches a caller as an error.
constexpr int kBusyRounds = 6;

Text widen(const std::string& text) { return utf::fromUtf8(text); }

Error storeError(int code, const std::string& what)
{
    switch (code & 0xFF) {
    case SQLITE_FULL: return errors::diskFull();
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return errors::permissionDenied();
    default: return errors::pathAccess(u"almacén de configuración: " + widen(what));
    }
}

bool isDamage(int code)
{
    return (code & 0xFF) == SQLITE_NOTADB || (code & 0xFF) == SQLITE_CORRUPT;
}

class Connection {
public:
    explicit Connection(sqlite3* db) : m_db(db) {}
    ~Connection() { sqlite3_close_v2(m_db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    sqlite3* get() const noexcept { return m_db; }
    std::string message() const { return sqlite3_errmsg(m_db); }

private:
    sqlite3* m_db;
};

// A cached prepared statement; reset after every use so that it holds no read lock.
class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        const int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
        if (rc != SQLITE_OK)
            throw storeError(rc, sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, const Text& text)
    {
        // The units go in as they are, lone surrogates and NULs included.
        sqlite3_bind_blob(m_stmt, index, text.c_str(), static_cast<int>(text.size() * sizeof(char16_t)), SQLITE_STATIC);
        return *this;
    }
    int step() { return sqlite3_step(m_stmt); }
    Text column(int index) const
    {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_stmt, index));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, index));
        Text text(size / sizeof(char16_t), u'\0');
        if (size > 0)
            std::memcpy(text.data(), bytes, text.size() * sizeof(char16_t));
        return text;
    }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

private:
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
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    const std::string text = message ? message : "";
    sqlite3_free(message);
    if (rc != SQLITE_OK)
        throw storeError(rc, text);
}

// One BEGIN IMMEDIATE transaction; rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : m_db(db)
    {
        for (int round = 0;; ++round) {
            const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK)
                return;
            if ((rc & 0xFF) != SQLITE_BUSY || round + 1 >= kBusyRounds)
                throw storeError(rc, sqlite3_errmsg(db));
        }
    }
    ~Transaction()
    {
        if (!m_done)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
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

class SqliteStore final : public Store {
public:
    explicit SqliteStore(std::unique_ptr<Connection> connection)
        : m_connection(std::move(connection)),
          m_db(*m_connection),
          m_find(m_db.get(), "SELECT value FROM settings WHERE app = ?1 AND section = ?2 AND key = ?3"),
          m_upsert(m_db.get(), "INSERT INTO settings(app, section, key, value) VALUES (?1, ?2, ?3, ?4) "
                       "ON CONFLICT(app, section, key) DO UPDATE SET value = excluded.value"),
          m_remove(m_db.get(), "DELETE FROM settings WHERE app = ?1 AND section = ?2 AND key = ?3"),
          m_removeSection(m_db.get(), "DELETE FROM settings WHERE app = ?1 AND section = ?2"),
          m_all(m_db.get(), "SELECT app, section, key, value FROM settings"),
          m_section(m_db.get(), "SELECT key, value FROM settings WHERE app = ?1 AND section = ?2"),
          m_watch(m_db.get())
    {
    }

    // Reads are served from whole sections kept in memory for as long as nobody commits; the
    // first read after any commit reloads the section it needs.
    std::optional<Text> find(const Text& app, const Text& section, const Text& key) override
    {
        const auto signature = m_watch.current();
        if (!signature)
            return findInDatabase(app, section, key);
        if (signature != m_signature) {
            m_sections.clear();
            m_signature = signature;
        }
        auto [it, loaded] = m_sections.try_emplace({app, section});
        if (loaded)
            loadSection(app, section, it->second);
        const auto found = it->second.find(key);
        if (found == it->second.end())
            return std::nullopt;
        return found->second;
    }

    void write(const Text& app, const Text& section, const Text& key, const Text& value) override
    {
        change(m_upsert, [&](Statement& s) { s.bind(1, app).bind(2, section).bind(3, key).bind(4, value); });
    }

    bool remove(const Text& app, const Text& section, const Text& key) override
    {
        return change(m_remove, [&](Statement& s) { s.bind(1, app).bind(2, section).bind(3, key); }) > 0;
    }

    std::size_t removeSection(const Text& app, const Text& section) override
    {
        return static_cast<std::size_t>(change(m_removeSection, [&](Statement& s) { s.bind(1, app).bind(2, section); }));
    }

    void writeAll(std::span<const Entry> entries) override
    {
        m_sections.clear();
        m_signature.reset();
        Transaction transaction(m_db.get());
        for (const Entry& e : entries) {
            Use q(m_upsert);
            q->bind(1, e.app).bind(2, e.section).bind(3, e.key).bind(4, e.value);
            if (const int rc = q->step(); rc != SQLITE_DONE)
                throw storeError(rc, m_db.message());
        }
        transaction.commit();
    }

    std::vector<Entry> entries() override
    {
        std::vector<Entry> all;
        Use q(m_all);
        int rc;
        while ((rc = q->step()) == SQLITE_ROW)
            all.push_back({q->column(0), q->column(1), q->column(2), q->column(3)});
        if (rc != SQLITE_DONE)
            throw storeError(rc, m_db.message());
        std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
            return std::tie(a.app, a.section, a.key) < std::tie(b.app, b.section, b.key);
        });
        return all;
    }

private:
    using Section = std::unordered_map<Text, Text>;

    template <class Step> void retryBusy(Step&& step)
    {
        for (int round = 0;; ++round) {
            const int rc = step();
            if (rc == SQLITE_OK)
                return;
            if ((rc & 0xFF) != SQLITE_BUSY || round + 1 >= kBusyRounds)
                throw storeError(rc, m_db.message());
        }
    }

    std::optional<Text> findInDatabase(const Text& app, const Text& section, const Text& key)
    {
        std::optional<Text> value;
        retryBusy([&] {
            Use q(m_find);
            q->bind(1, app).bind(2, section).bind(3, key);
            const int rc = q->step();
            if (rc == SQLITE_ROW)
                value = q->column(0);
            return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
        });
        return value;
    }

    void loadSection(const Text& app, const Text& section, Section& into)
    {
        try {
            retryBusy([&] {
                into.clear();
                Use q(m_section);
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

    template <class Bind> int change(Statement& statement, Bind&& bind)
    {
        // Our own commit moves the header too; forget everything rather than guess.
        m_sections.clear();
        m_signature.reset();
        Transaction transaction(m_db.get());
        {
            Use q(statement);
            bind(*q.operator->());
            const int rc = q->step();
            if (rc != SQLITE_DONE)
                throw storeError(rc, m_db.message());
        }
        const int changed = sqlite3_changes(m_db.get());
        transaction.commit();
        return changed;
    }

    // Declared first so that it is closed last, after the statements are finalised.
    std::unique_ptr<Connection> m_connection;
    Connection& m_db;
    Statement m_find, m_upsert, m_remove, m_removeSection, m_all, m_section;
    CommitWatch m_watch;
    std::optional<CommitWatch::Signature> m_signature;
    std::unordered_map<std::pair<Text, Text>, Section, TextPairHash> m_sections;
};

void makePrivateFolder(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        throw errors::pathAccess(widen(folder.string() + ": " + ec.message()));
    ::chmod(folder.c_str(), 0700);
}

// Creates the file before SQLite does, so that it is born private (its -wal and -shm files take
// the same permissions).
void makePrivateFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
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

// Keeps a damaged store (and its journal files) under a new name: the user's values may still be
// recoverable from it, so it is never emptied in place.
[[noreturn]] void setAside(const std::string& path, const std::string& why)
{
    const std::string aside = path + ".dañado-" + timestamp();
    std::error_code ec;
    std::filesystem::rename(path, aside, ec);
    for (const char* suffix : {"-wal", "-shm"})
        std::filesystem::rename(path + suffix, aside + suffix, ec);
    throw errors::pathAccess(u"el almacén de configuración " + widen(path) + u" estaba dañado (" + widen(why) +
                             u"); se ha apartado como " + widen(aside) + u" y se empezará uno nuevo");
}

sqlite3* connect(const std::string& path)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, watchedVfsName());
    if (rc != SQLITE_OK) {
        // A store the user may only read still answers reads; writes then fail with error 70.
        sqlite3_close_v2(db);
        db = nullptr;
        rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, watchedVfsName());
    }
    if (rc != SQLITE_OK) {
        const std::string why = db ? sqlite3_errmsg(db) : "sin memoria";
        sqlite3_close_v2(db);
        throw storeError(rc, path + ": " + why);
    }
    return db;
}

std::string checkHealth(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &stmt, nullptr);
    std::string verdict;
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW)
        verdict = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && !isDamage(rc) && rc != SQLITE_OK)
        throw storeError(rc, sqlite3_errmsg(db));
    return isDamage(rc) ? sqlite3_errstr(rc) : verdict;
}

} // namespace

std::shared_ptr<Store> openFile(const std::string& path, OpenMode /*mode*/)
{
    const std::filesystem::path file(path);
    if (file.has_parent_path())
        makePrivateFolder(file.parent_path());
    makePrivateFile(path);
    auto connection = std::make_unique<Connection>(connect(path));
    sqlite3* db = connection->get();
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (const std::string health = checkHealth(db); health != "ok") {
        connection.reset();
        setAside(path, health);
    }
    if (!sqlite3_db_readonly(db, "main")) {
        exec(db, "PRAGMA journal_mode=WAL");
        exec(db, "CREATE TABLE IF NOT EXISTS settings(app BLOB NOT NULL, section BLOB NOT NULL, key BLOB NOT NULL, "
                 "value BLOB NOT NULL, PRIMARY KEY(app, section, key)) WITHOUT ROWID");
    }
    exec(db, "PRAGMA synchronous=FULL");
    return std::make_shared<SqliteStore>(std::move(connection));
}

} // namespace Kor2_Sys::settings
