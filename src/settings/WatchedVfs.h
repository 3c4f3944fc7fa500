#pragma once
// A thin layer over SQLite's own file system layer. It gives every WAL and WAL-index file that it
// brings into being its owner's write permission (SQLite copies the store's own, which may be
// read-only for a while). It remembers where SQLite mapped the WAL-index of each database, so that the store can see other processes' commits without a
// read transaction and without opening the "-shm" file itself (a second descriptor on that file
// would drop SQLite's locks on it when closed).
//
// A main database opened with the URI parameter immutable=1 is a snapshot: SQLite then takes no
// locks and reads the main file alone, so the layer holds a shared lock on it for as long as the
// connection is open. Other connections keep writing into their WAL but cannot fold it back into
// the main file under the snapshot (that needs an exclusive lock), so the snapshot stays whole
// and nothing is created beside the file.

#include <sqlite3.h>

namespace Kor2_Sys::settings {

/// Name of the layer, registered on first use; pass it to sqlite3_open_v2.
const char* watchedVfsName();

/// The start of the WAL-index that SQLite mapped for `db`'s main database, or null while none is
/// mapped. Valid until the connection's next step; read it afresh each time.
const volatile unsigned char* walIndex(sqlite3* db);

} // namespace Kor2_Sys::settings
