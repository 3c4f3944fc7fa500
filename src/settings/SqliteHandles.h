#pragma once
// The file store's hold on SQLite: a connection, its cached statements, its transactions and the
// watch on other connections' commits, each released on every way out. A failed call throws a
// `Failure` (SqliteErrors.h).

#include "settings/Sqlite.h"
#include "settings/SqliteErrors.h"

#include <sqlite3.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace Kor2_Sys::settings::sqlitestore {

/// BEGIN IMMEDIATE already waits the busy timeout; a few more rounds absorb a long checkpoint by
/// another process, so that a busy store never reaches a caller as an error.
inline constexpr int kBusyRounds = 6;

/// An open database, closed with its owner.
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

/// A cached prepared statement; reset after every use (see `Use`) so that it holds no read lock.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement() { sqlite().sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    /// Binds `text` to parameter `index` as its UTF-16 units, lone surrogates and NULs included.
    Statement& bind(int index, const Text& text);
    int step() { return sqlite().sqlite3_step(m_stmt); }
    /// One step that must finish the statement.
    void run();
    /// The column `index` of the current row, as bound by `bind`.
    Text column(int index) const;
    void reset();

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

/// Resets a statement on every way out of a use.
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

/// Runs `sql`, answering no rows.
void exec(sqlite3* db, const char* sql);

/// Runs `sql` and hands each row to `row`.
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

/// The column `index` of the current row of `stmt` as text; empty for NULL.
std::string textColumn(sqlite3_stmt* stmt, int index);

/// One BEGIN IMMEDIATE transaction; rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    sqlite3* m_db;
    bool m_done = false;
};

/// Tells whether any connection, in any process, committed since the last look, by reading the
/// WAL-index header that SQLite keeps mapped for the connection: two 48-byte copies, identical
/// whenever no writer is midway, whose change counter moves with every commit. Two memory reads
/// instead of a read transaction's file locks.
class CommitWatch {
public:
    static constexpr std::size_t kHeader = 48;
    using Signature = std::array<unsigned char, kHeader>;

    explicit CommitWatch(sqlite3* db) : m_db(db) {}

    /// The current header, or nothing when it cannot be trusted (no WAL-index mapped, a writer
    /// midway, not initialised): the caller then reads the database itself.
    std::optional<Signature> current() const;

private:
    sqlite3* m_db;
};

} // namespace Kor2_Sys::settings::sqlitestore
