// Settings store latency at 100, 10,000 and 50,000 keys, against a bare SQLite upsert/select on the
// same kind of file with the same pragmas, and against a plain text key=value file rewritten on
// every change (written to a temporary file, flushed to disk and renamed, as desktop settings
// libraries do).
#include "settings/Store.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>
#include <unistd.h>

using namespace Kor2_Sys;

namespace {

Text key(long i)
{
    const std::string s = "clave-" + std::to_string(i);
    return Text(s.begin(), s.end());
}

// A new value on every write, always of the same length: each write really changes its row, and
// rows never change size (a rewrite of an equal value costs SQLite next to nothing, which would
// flatter whichever key count repeats its values first).
Text freshValue(long i)
{
    char buffer[40];
    const int n = std::snprintf(buffer, sizeof buffer, "valor-%012ld", i % 1000000000000L);
    return Text(buffer, buffer + n);
}

class Scratch {
public:
    Scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kor2-bench-XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
    }
    ~Scratch() { std::filesystem::remove_all(m_dir); }
    std::string file(const char* name) const { return (m_dir / name).string(); }

private:
    std::filesystem::path m_dir;
};

// Fills a store with `count` keys in one transaction, so that set-up stays short.
void fill(const std::string& path, long count)
{
    settings::openFile(path);  // schema and pragmas as the library makes them
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO settings VALUES (?1, ?2, ?3, ?4)", -1, &stmt, nullptr);
    const Text app = u"Vesolar", section = u"Banco";
    for (long i = 0; i < count; ++i) {
        const Text k = key(i);
        sqlite3_bind_blob(stmt, 1, app.data(), static_cast<int>(app.size() * 2), SQLITE_STATIC);
        sqlite3_bind_blob(stmt, 2, section.data(), static_cast<int>(section.size() * 2), SQLITE_STATIC);
        sqlite3_bind_blob(stmt, 3, k.data(), static_cast<int>(k.size() * 2), SQLITE_TRANSIENT);
        const Text v = freshValue(-i);
        sqlite3_bind_blob(stmt, 4, v.data(), static_cast<int>(v.size() * 2), SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void StoreWrite(benchmark::State& state)
{
    Scratch scratch;
    const long n = state.range(0);
    fill(scratch.file("s.db"), n);
    auto store = settings::openFile(scratch.file("s.db"));
    long i = 0;
    for (auto _ : state) {
        store->write(u"Vesolar", u"Banco", key(i % n), freshValue(i));
        ++i;
    }
}

// The keys a read visits, in a scattered order, built before timing starts.
std::vector<Text> readOrder(long n)
{
    std::vector<Text> keys;
    for (long i = 0; i < n; ++i)
        keys.push_back(key((i * 7919) % n));
    return keys;
}

void StoreRead(benchmark::State& state)
{
    Scratch scratch;
    const long n = state.range(0);
    fill(scratch.file("s.db"), n);
    auto store = settings::openFile(scratch.file("s.db"));
    const auto keys = readOrder(n);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(store->find(u"Vesolar", u"Banco", keys[i++ % keys.size()]));
}

// The same statements and pragmas without the library around them.
class Bare {
public:
    explicit Bare(const std::string& path)
    {
        sqlite3_open(path.c_str(), &m_db);
        sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA busy_timeout=5000", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(m_db, "INSERT INTO settings VALUES (?1, ?2, ?3, ?4) ON CONFLICT(app, section, key) DO UPDATE SET value = excluded.value", -1, &m_upsert, nullptr);
        sqlite3_prepare_v2(m_db, "SELECT value FROM settings WHERE app = ?1 AND section = ?2 AND key = ?3", -1, &m_select, nullptr);
    }
    ~Bare()
    {
        sqlite3_finalize(m_upsert);
        sqlite3_finalize(m_select);
        sqlite3_close(m_db);
    }
    void upsert(const Text& k, const Text& v)
    {
        sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        bind(m_upsert, k);
        sqlite3_bind_blob(m_upsert, 4, v.data(), static_cast<int>(v.size() * 2), SQLITE_STATIC);
        sqlite3_step(m_upsert);
        sqlite3_reset(m_upsert);
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    }
    int select(const Text& k)
    {
        bind(m_select, k);
        const int rc = sqlite3_step(m_select);
        const int bytes = rc == SQLITE_ROW ? sqlite3_column_bytes(m_select, 0) : -1;
        sqlite3_reset(m_select);
        return bytes;
    }

private:
    void bind(sqlite3_stmt* stmt, const Text& k)
    {
        static const Text app = u"Vesolar", section = u"Banco";
        sqlite3_bind_blob(stmt, 1, app.data(), static_cast<int>(app.size() * 2), SQLITE_STATIC);
        sqlite3_bind_blob(stmt, 2, section.data(), static_cast<int>(section.size() * 2), SQLITE_STATIC);
        sqlite3_bind_blob(stmt, 3, k.data(), static_cast<int>(k.size() * 2), SQLITE_STATIC);
    }
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_upsert = nullptr;
    sqlite3_stmt* m_select = nullptr;
};

void BareUpsert(benchmark::State& state)
{
    Scratch scratch;
    const long n = state.range(0);
    fill(scratch.file("s.db"), n);
    Bare bare(scratch.file("s.db"));
    long i = 0;
    for (auto _ : state) {
        bare.upsert(key(i % n), freshValue(i));
        ++i;
    }
}

void BareSelect(benchmark::State& state)
{
    Scratch scratch;
    const long n = state.range(0);
    fill(scratch.file("s.db"), n);
    Bare bare(scratch.file("s.db"));
    const auto keys = readOrder(n);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bare.select(keys[i++ % keys.size()]));
}

// key=value lines kept in memory and the whole file rewritten durably on every change.
class TextFile {
public:
    TextFile(std::string path, long count) : m_path(std::move(path))
    {
        for (long i = 0; i < count; ++i)
            m_values["[Banco]clave-" + std::to_string(i)] = "clave-" + std::to_string(i);
        rewrite();
    }
    void set(const std::string& k, const std::string& v)
    {
        m_values[k] = v;
        rewrite();
    }
    const std::string* get(const std::string& k) const
    {
        const auto it = m_values.find(k);
        return it == m_values.end() ? nullptr : &it->second;
    }

private:
    void rewrite()
    {
        const std::string temporary = m_path + ".tmp";
        std::FILE* f = std::fopen(temporary.c_str(), "w");
        for (const auto& [k, v] : m_values)
            std::fprintf(f, "%s=%s\n", k.c_str(), v.c_str());
        std::fflush(f);
        ::fsync(::fileno(f));
        std::fclose(f);
        std::rename(temporary.c_str(), m_path.c_str());
    }
    std::string m_path;
    std::map<std::string, std::string> m_values;
};

void TextFileWrite(benchmark::State& state)
{
    Scratch scratch;
    const long n = state.range(0);
    TextFile file(scratch.file("settings.conf"), n);
    long i = 0;
    for (auto _ : state) {
        file.set("[Banco]clave-" + std::to_string(i % n), "valor-" + std::to_string(1000000000000 + i));
        ++i;
    }
}

void TextFileRead(benchmark::State& state)
{
    Scratch scratch;
    const long n = state.range(0);
    TextFile file(scratch.file("settings.conf"), n);
    std::vector<std::string> keys;
    for (long i = 0; i < n; ++i)
        keys.push_back("[Banco]clave-" + std::to_string((i * 7919) % n));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(file.get(keys[i++ % keys.size()]));
}

#define KEY_COUNTS ->Arg(100)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond)
BENCHMARK(StoreWrite) KEY_COUNTS;
BENCHMARK(BareUpsert) KEY_COUNTS;
BENCHMARK(TextFileWrite) KEY_COUNTS;
BENCHMARK(StoreRead) KEY_COUNTS;
BENCHMARK(BareSelect) KEY_COUNTS;
BENCHMARK(TextFileRead) KEY_COUNTS;

} // namespace
