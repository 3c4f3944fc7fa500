// Several processes on one store, and an import cut short by a full disk: nothing acknowledged is
// ever lost, nothing half-done is kept, and the file always opens intact. KOR2_RELIABILITY_LONG=1 raises the counts
// (`cmake --build <dir> --target reliability-long`).
#include "ChildProcess.h"
#include "Guards.h"
#include "frame/Utf.h"
#include "settings/Store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using namespace Kor2_Sys;
using kor2test::Child;

namespace {

bool longRun() { return std::getenv("KOR2_RELIABILITY_LONG") != nullptr && std::getenv("KOR2_RELIABILITY_LONG")[0] == '1'; }

Text number(long n) { return utf::fromUtf8(std::to_string(n)); }

Text key(const std::string& prefix, long n) { return Text(prefix.begin(), prefix.end()) + number(n); }

std::string integrity(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string verdict = "no answer";
    const auto take = [](void* to, int, char** row, char**) { *static_cast<std::string*>(to) = row[0]; return 0; };
    sqlite3_exec(db, "PRAGMA integrity_check", take, &verdict, nullptr);
    sqlite3_close_v2(db);
    return verdict;
}

// A child's work: writes keys prefix+n one by one.
int writeKeys(const std::string& path, const std::string& prefix, long from, long count)
{
    try {
        auto store = settings::openFile(path);
        for (long n = from; n < from + count; ++n) {
            store->write(u"Vesolar", u"fiabilidad", key(prefix, n), number(n));
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "writer %s: %s\n", prefix.c_str(), e.what());
        return 1;  // a busy or failed store reached the caller
    }
    return 0;
}

Text readKey(const std::string& path, const std::string& prefix, long n)
{
    return settings::openFile(path)->read(u"Vesolar", u"fiabilidad", key(prefix, n), u"<lost>");
}

class Reliability : public ::testing::Test {
protected:
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
};

TEST_F(Reliability, ConcurrentProcessesLoseNoWrite)
{
    settings::openFile(path);  // created before the writers race
    const long writes = longRun() ? 10000 : 2000;
    std::vector<std::unique_ptr<Child>> writers;
    for (int p = 0; p < 4; ++p)
        writers.push_back(std::make_unique<Child>([&, p](int) { return writeKeys(path, "p" + std::to_string(p) + "-", 0, writes); }));
    for (auto& writer : writers)
        EXPECT_EQ(writer->wait(), 0) << "a writer saw an error or died";
    EXPECT_EQ(settings::openFile(path)->entries().size(), static_cast<std::size_t>(4 * writes));
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(readKey(path, "p" + std::to_string(p) + "-", writes - 1), number(writes - 1));
    EXPECT_EQ(integrity(path), "ok");
}

// A disk that fills up in the middle of an import (one writeAll): here the file size limit of the
// writing process, which makes its writes fail past a point as a full disk does. All of the
// import or none of it is kept.
TEST_F(Reliability, ImportOnAFullDiskLeavesNothingAndSaysSo)
{
    settings::openFile(path)->write(u"Vesolar", u"antes", u"k", u"v");
    const int status = Child([&](int) {
        try {
            auto store = settings::openFile(path);
            store->read(u"Vesolar", u"antes", u"k", u"");
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{256 * 1024, 256 * 1024};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::vector<settings::Entry> entries;
            for (long n = 0; n < 20000; ++n)
                entries.push_back({u"Vesolar", u"lote", u"k" + number(n), Text(60, u'v') + number(n)});
            store->writeAll(entries);
            return 10;  // the import fit
        } catch (const Error& e) {
            std::fprintf(stderr, "import on a full disk: %s\n", e.what());
            return e.number() == 61 && e.description().find(Text(path.begin(), path.end())) != Text::npos ? 0 : 11;
        }
    }).wait();
    EXPECT_NE(status, 10) << "the limit did not bite";
    EXPECT_EQ(status, 0) << "a full disk is error 61 naming the store";
    auto store = settings::openFile(path);
    EXPECT_EQ(store->entries().size(), 1u) << "nothing of the import is kept";
    EXPECT_EQ(store->read(u"Vesolar", u"antes", u"k", u""), u"v");
    store->write(u"Vesolar", u"después", u"k", u"v");
    EXPECT_EQ(integrity(path), "ok");
}

} // namespace
