// Several processes on one store, and a writer killed at random moments: nothing acknowledged is
// ever lost and the file always opens intact. KOR2_RELIABILITY_LONG=1 raises the counts
// (`cmake --build <dir> --target reliability-long`).
#include "Guards.h"
#include "settings/Store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Kor2_Sys;

namespace {

bool longRun()
{
    const char* flag = std::getenv("KOR2_RELIABILITY_LONG");
    return flag != nullptr && flag[0] == '1';
}

Text utf16(const std::string& ascii)
{
    return Text(ascii.begin(), ascii.end());
}

Text number(long n)
{
    const std::string s = std::to_string(n);
    return Text(s.begin(), s.end());
}

std::string integrity(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::string verdict = "no answer";
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        verdict = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return verdict;
}

// The child side: never returns into the test runner.
[[noreturn]] void writeKeys(const std::string& path, const std::string& prefix, long from, long count, int ackFd)
{
    int status = 0;
    try {
        auto store = settings::openFile(path);
        for (long n = from; n < from + count; ++n) {
            store->write(u"Vesolar", u"fiabilidad", utf16(prefix) + number(n), number(n));
            if (ackFd >= 0 && ::write(ackFd, &n, sizeof n) != sizeof n)
                status = 2;
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "writer %s: %s\n", prefix.c_str(), e.what());
        status = 1;  // a busy or failed store reached the caller
    }
    ::_exit(status);
}

// A child process running `body` with the writing end of a pipe; the parent keeps the reading end.
struct Child {
    pid_t pid;
    int pipe;
};

Child spawn(const std::function<void(int)>& body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {-1, -1};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        body(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

TEST(Reliability, ConcurrentProcessesLoseNoWrite)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
    settings::openFile(path);  // created before the writers race
    const int processes = 4;
    const long writes = longRun() ? 10000 : 2000;
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            writeKeys(path, "p" + std::to_string(p) + "-", 0, writes, -1);
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "a writer saw an error (status " << status << ", signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
    }
    auto store = settings::openFile(path);
    EXPECT_EQ(store->entries().size(), static_cast<std::size_t>(processes * writes));
    for (int p = 0; p < processes; ++p)
        EXPECT_EQ(store->read(u"Vesolar", u"fiabilidad", utf16("p" + std::to_string(p) + "-") + number(writes - 1), u""),
                  number(writes - 1));
    EXPECT_EQ(integrity(path), "ok");
}

TEST(Reliability, OpenReaderSeesAnotherProcesssCommits)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
    auto reader = settings::openFile(path);
    for (long round = 0; round < 20; ++round) {
        EXPECT_EQ(reader->read(u"Vesolar", u"fiabilidad", u"k" + number(round), u"<absent>"), u"<absent>");
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            writeKeys(path, "k", round, 1, -1);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_EQ(reader->read(u"Vesolar", u"fiabilidad", u"k" + number(round), u"<absent>"), number(round)) << round;
    }
}

TEST(Reliability, KilledWriterNeverLosesAnAcknowledgedWrite)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
    settings::openFile(path);
    const int kills = longRun() ? 10000 : 200;
    std::mt19937 random(20261206);
    long next = 0;
    for (int round = 0; round < kills; ++round) {
        const Child child = spawn([&](int ack) { writeKeys(path, "k", next, 1000000, ack); });
        ASSERT_GE(child.pid, 0);
        ::usleep(static_cast<useconds_t>(random() % 15000));
        ::kill(child.pid, SIGKILL);
        int status = 0;
        ::waitpid(child.pid, &status, 0);
        long acknowledged = next - 1;
        for (long n; ::read(child.pipe, &n, sizeof n) == sizeof n;)
            acknowledged = n;
        ::close(child.pipe);

        auto store = settings::openFile(path);  // opens, checks and would set aside a damaged file
        for (long n = std::max(0L, next - 1); n <= acknowledged; ++n)
            ASSERT_EQ(store->read(u"Vesolar", u"fiabilidad", u"k" + number(n), u"<lost>"), number(n))
                << "round " << round << ", key " << n;
        next = acknowledged + 1;
    }
    EXPECT_EQ(integrity(path), "ok");
    auto store = settings::openFile(path);
    for (long n = 0; n < next; ++n)
        ASSERT_EQ(store->read(u"Vesolar", u"fiabilidad", u"k" + number(n), u"<lost>"), number(n));
    RecordProperty("acknowledged_writes", static_cast<int>(next));
}

// An import is one writeAll: a process killed at any moment in it leaves all of it or none.
std::vector<settings::Entry> batch(long round, long count)
{
    std::vector<settings::Entry> entries;
    for (long n = 0; n < count; ++n)
        entries.push_back({u"Vesolar", u"lote" + number(round), u"k" + number(n), Text(60, u'v') + number(n)});
    return entries;
}

TEST(Reliability, KilledImportLeavesAllOrNothing)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
    settings::openFile(path)->write(u"Vesolar", u"antes", u"k", u"v");
    const int kills = longRun() ? 200 : 12;
    const long size = 40000;
    std::mt19937 random(20261207);
    int none = 0, all = 0;
    for (int round = 0; round < kills; ++round) {
        const Child child = spawn([&](int progress) {
            const auto entries = batch(round, size);
            auto store = settings::openFile(path);
            const char started = 's', finished = 'f';
            if (::write(progress, &started, 1) != 1)
                ::_exit(2);
            store->writeAll(entries);
            if (::write(progress, &finished, 1) != 1)
                ::_exit(2);
        });
        ASSERT_GE(child.pid, 0);
        char signal = 0;
        ASSERT_EQ(::read(child.pipe, &signal, 1), 1);
        ::usleep(static_cast<useconds_t>(random() % 200000));
        ::kill(child.pid, SIGKILL);
        int status = 0;
        ::waitpid(child.pid, &status, 0);
        const bool acknowledged = ::read(child.pipe, &signal, 1) == 1 && signal == 'f';
        ::close(child.pipe);

        // Counted by taking the import out again, so that the store stays small round after round.
        auto store = settings::openFile(path);
        const std::size_t found = store->removeSection(u"Vesolar", u"lote" + number(round));
        ASSERT_TRUE(found == 0 || found == static_cast<std::size_t>(size)) << "round " << round << ": " << found << " entries";
        if (acknowledged) {
            ASSERT_EQ(found, static_cast<std::size_t>(size)) << "an acknowledged import is kept whole";
        }
        (found == 0 ? none : all) += 1;
        ASSERT_EQ(store->read(u"Vesolar", u"antes", u"k", u""), u"v");
    }
    EXPECT_EQ(integrity(path), "ok");
    EXPECT_GT(none, 0) << "no kill landed inside an import";
    RecordProperty("imports_killed_midway", none);
    RecordProperty("imports_finished", all);
}

// A disk that fills up in the middle of an import: here the file size limit of the writing
// process, which makes its writes fail past a point as a full disk does.
TEST(Reliability, ImportOnAFullDiskLeavesNothingAndSaysSo)
{
    kor2test::TempDir dir;
    const std::string path = dir.file("settings.db");
    settings::openFile(path)->write(u"Vesolar", u"antes", u"k", u"v");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int code = 0;
        try {
            auto store = settings::openFile(path);
            store->read(u"Vesolar", u"antes", u"k", u"");
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{256 * 1024, 256 * 1024};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            store->writeAll(batch(0, 20000));
            code = 10;  // the import fit
        } catch (const Error& e) {
            std::fprintf(stderr, "import on a full disk: %s\n", e.what());
            code = e.number() == 61 && e.description().find(Text(path.begin(), path.end())) != Text::npos ? 0 : 11;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the importer died: signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_NE(WEXITSTATUS(status), 10) << "the limit did not bite";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a full disk is error 61 naming the store";
    auto store = settings::openFile(path);
    const auto entries = store->entries();
    EXPECT_EQ(entries.size(), 1u) << "nothing of the import is kept";
    EXPECT_EQ(store->read(u"Vesolar", u"antes", u"k", u""), u"v");
    store->write(u"Vesolar", u"después", u"k", u"v");
    EXPECT_EQ(integrity(path), "ok");
}

} // namespace
