#include "settings/SqliteHandles.h"

#include "settings/WatchedVfs.h"

#include <atomic>
#include <cstring>

namespace Kor2_Sys::settings::sqlitestore {

Statement::Statement(sqlite3* db, const char* sql) : m_db(db)
{
    const int rc = sqlite().sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        throw failure(db, rc);
}

Statement& Statement::bind(int index, const Text& text)
{
    sqlite().sqlite3_bind_blob(m_stmt, index, text.c_str(), static_cast<int>(text.size() * sizeof(char16_t)),
                               SQLITE_STATIC);
    return *this;
}

void Statement::run()
{
    if (const int rc = step(); rc != SQLITE_DONE)
        throw failure(m_db, rc);
}

Text Statement::column(int index) const
{
    const auto* bytes = static_cast<const char*>(sqlite().sqlite3_column_blob(m_stmt, index));
    const auto size = static_cast<std::size_t>(sqlite().sqlite3_column_bytes(m_stmt, index));
    Text text(size / sizeof(char16_t), u'\0');
    if (size > 0)
        std::memcpy(text.data(), bytes, text.size() * sizeof(char16_t));
    return text;
}

void Statement::reset()
{
    sqlite().sqlite3_reset(m_stmt);
    sqlite().sqlite3_clear_bindings(m_stmt);
}

void exec(sqlite3* db, const char* sql)
{
    if (const int rc = sqlite().sqlite3_exec(db, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
        throw failure(db, rc);
}

std::string textColumn(sqlite3_stmt* stmt, int index)
{
    const unsigned char* text = sqlite().sqlite3_column_text(stmt, index);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

Transaction::Transaction(sqlite3* db) : m_db(db)
{
    for (int round = 0;; ++round) {
        const int rc = sqlite().sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            return;
        if ((rc & 0xFF) != SQLITE_BUSY || round + 1 >= kBusyRounds)
            throw failure(db, rc);
    }
}

Transaction::~Transaction()
{
    if (!m_done)
        sqlite().sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    exec(m_db, "COMMIT");
    m_done = true;
}

std::optional<CommitWatch::Signature> CommitWatch::current() const
{
    const volatile unsigned char* header = walIndex(m_db);
    if (header == nullptr)
        return std::nullopt;
    // Read as SQLite's own readers do: first copy, barrier, second copy; writers store them in the
    // opposite order.
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

} // namespace Kor2_Sys::settings::sqlitestore
