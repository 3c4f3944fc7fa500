#include "settings/WatchedVfs.h"

#include "settings/OwnFiles.h"
#include "settings/Sqlite.h"

#include <mutex>
#include <string>
#include <unistd.h>

namespace Kor2_Sys::settings {
namespace {

// Our file object: SQLite's own file object follows it in the same allocation.
struct WatchedFile {
    sqlite3_file base;
    sqlite3_file* real;
    const volatile unsigned char* walIndex;
    const char* name;  // valid until xClose
    bool indexOpened;
};

bool exists(const char* path)
{
    return ::access(path, F_OK) == 0;
}

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_watched{};
sqlite3_io_methods g_methods{};

sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<WatchedFile*>(f)->real; }
const sqlite3_io_methods& methodsOf(sqlite3_file* f) { return *real(f)->pMethods; }

int xClose(sqlite3_file* f) { return methodsOf(f).xClose(real(f)); }
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 o) { return methodsOf(f).xRead(real(f), p, n, o); }
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 o) { return methodsOf(f).xWrite(real(f), p, n, o); }
int xTruncate(sqlite3_file* f, sqlite3_int64 size) { return methodsOf(f).xTruncate(real(f), size); }
int xSync(sqlite3_file* f, int flags) { return methodsOf(f).xSync(real(f), flags); }
int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return methodsOf(f).xFileSize(real(f), size); }
int xLock(sqlite3_file* f, int level) { return methodsOf(f).xLock(real(f), level); }
int xUnlock(sqlite3_file* f, int level) { return methodsOf(f).xUnlock(real(f), level); }
int xCheckReservedLock(sqlite3_file* f, int* out) { return methodsOf(f).xCheckReservedLock(real(f), out); }
int xFileControl(sqlite3_file* f, int op, void* arg) { return methodsOf(f).xFileControl(real(f), op, arg); }
int xSectorSize(sqlite3_file* f) { return methodsOf(f).xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return methodsOf(f).xDeviceCharacteristics(real(f)); }
int xShmLock(sqlite3_file* f, int offset, int n, int flags) { return methodsOf(f).xShmLock(real(f), offset, n, flags); }
void xShmBarrier(sqlite3_file* f) { methodsOf(f).xShmBarrier(real(f)); }
int xFetch(sqlite3_file* f, sqlite3_int64 o, int n, void** pp) { return methodsOf(f).xFetch(real(f), o, n, pp); }
int xUnfetch(sqlite3_file* f, sqlite3_int64 o, void* p) { return methodsOf(f).xUnfetch(real(f), o, p); }

int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out)
{
    auto* watched = reinterpret_cast<WatchedFile*>(f);
    // The first map opens the index file, creating it when it is missing.
    std::string index;
    bool created = false;
    if (!watched->indexOpened && watched->name != nullptr) {
        index = std::string(watched->name) + "-shm";
        created = !exists(index.c_str());
    }
    const int rc = methodsOf(f).xShmMap(real(f), region, size, extend, out);
    if (!index.empty() && rc == SQLITE_OK) {
        watched->indexOpened = true;
        if (created)
            giveOwnerWrite(index);
    }
    if (rc == SQLITE_OK && region == 0 && *out != nullptr)
        watched->walIndex = static_cast<const volatile unsigned char*>(*out);
    return rc;
}

int xShmUnmap(sqlite3_file* f, int deleteFlag)
{
    reinterpret_cast<WatchedFile*>(f)->walIndex = nullptr;
    return methodsOf(f).xShmUnmap(real(f), deleteFlag);
}

// The shared lock of a snapshot, waited for as long as a busy store is waited for elsewhere: a
// writer holds its exclusive lock only while it folds its WAL into the main file.
int holdShared(sqlite3_file* real)
{
    constexpr int kRounds = 5000, kPauseMicroseconds = 1000;
    for (int round = 0;; ++round) {
        const int rc = real->pMethods->xLock(real, SQLITE_LOCK_SHARED);
        if (rc != SQLITE_BUSY || round + 1 >= kRounds)
            return rc;
        g_real->xSleep(g_real, kPauseMicroseconds);
    }
}

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    auto* watched = reinterpret_cast<WatchedFile*>(file);
    watched->real = reinterpret_cast<sqlite3_file*>(watched + 1);
    watched->walIndex = nullptr;
    watched->name = (flags & SQLITE_OPEN_MAIN_DB) != 0 ? name : nullptr;
    watched->indexOpened = false;
    const bool newWal = (flags & SQLITE_OPEN_WAL) != 0 && name != nullptr && !exists(name);
    int rc = g_real->xOpen(g_real, name, watched->real, flags, outFlags);
    // SQLite gives a new WAL or WAL-index the store's own permissions. Those of a store that nobody
    // may write (0400) would leave them unwritable when the store is made writable again, and the
    // store unusable: a side file this connection brings into being is always writable by its owner.
    if (rc == SQLITE_OK && newWal)
        giveOwnerWrite(name);
    if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MAIN_DB) != 0 &&
        sqlite().sqlite3_uri_boolean(name, "immutable", 0) != 0) {
        // Closing the file releases the lock.
        rc = holdShared(watched->real);
        if (rc != SQLITE_OK) {
            watched->real->pMethods->xClose(watched->real);
            watched->real->pMethods = nullptr;
        }
    }
    // SQLite calls xClose only on a file whose methods are set: forward them only for an open file.
    watched->base.pMethods = watched->real->pMethods != nullptr ? &g_methods : nullptr;
    return rc;
}

void install()
{
    g_real = sqlite().sqlite3_vfs_find(nullptr);
    g_watched = *g_real;
    g_watched.zName = "kor2-watched";
    g_watched.szOsFile = static_cast<int>(sizeof(WatchedFile)) + g_real->szOsFile;
    g_watched.xOpen = &xOpen;
    g_watched.pNext = nullptr;
    g_methods = sqlite3_io_methods{3, &xClose, &xRead, &xWrite, &xTruncate, &xSync, &xFileSize, &xLock, &xUnlock,
                                   &xCheckReservedLock, &xFileControl, &xSectorSize, &xDeviceCharacteristics,
                                   &xShmMap, &xShmLock, &xShmBarrier, &xShmUnmap, &xFetch, &xUnfetch};
    sqlite().sqlite3_vfs_register(&g_watched, 0);
}

} // namespace

const char* watchedVfsName()
{
    static std::once_flag once;
    std::call_once(once, install);
    return g_watched.zName;
}

const volatile unsigned char* walIndex(sqlite3* db)
{
    sqlite3_file* file = nullptr;
    if (sqlite().sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || file == nullptr ||
        file->pMethods != &g_methods)
        return nullptr;
    return reinterpret_cast<WatchedFile*>(file)->walIndex;
}

} // namespace Kor2_Sys::settings
