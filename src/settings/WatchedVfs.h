#pragma once
// A thin layer over SQLite's own file system layer that remembers where SQLite mapped the
// WAL-index of each database, so that the store can see other processes' commits without a
// read transaction and without opening the "-shm" file itself (a second descriptor on that file
// would drop SQLite's locks on it when closed).

#include <sqlite3.h>

namespace Kor2_Sys::settings {

/// Name of the layer, registered on first use; pass it to sqlite3_open_v2.
const char* watchedVfsName();

/// The start of the WAL-index that SQLite mapped for `db`'s main database, or null while none is
/// mapped. Valid until the connection's next step; read it afresh each time.
const volatile unsigned char* walIndex(sqlite3* db);

} // namespace Kor2_Sys::settings
