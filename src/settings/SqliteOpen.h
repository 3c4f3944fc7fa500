#pragma once
// Opening a file store: the folder made when it is missing, the file told apart from anything
// that is not a store of ours before a byte of it changes, a damaged store of ours moved aside,
// side files left unwritable repaired, and the connection with its statements.

#include "settings/SqliteHandles.h"
#include "settings/Store.h"

#include <memory>
#include <string>

namespace Kor2_Sys::settings::sqlitestore {

/// Where a store lives, and whether that folder is the library's own (the default one): only
/// there is the folder kept private and whatever lies at the path taken for a store of ours.
struct Place {
    std::string path;
    bool ownFolder = false;
};

/// Whether `path` is in the folder of `defaultPath()`.
bool inDefaultFolder(const std::string& path);

/// Creates the missing folders of `place`, private (0700). An existing folder is the user's
/// business (a shared one keeps its sticky or set-group bit), except the library's own, which is
/// kept private.
void makeFolder(const Place& place);

/// Whether the store at `path` has a WAL holding commits.
bool walHasFrames(const std::string& path);

/// One open connection with its prepared statements.
struct Link {
    Link(std::unique_ptr<Connection> c, bool readOnlyLink, bool snapshotLink);
    sqlite3* db() const { return connection->get(); }

    // Declared first so that it is closed last, after the statements are finalised.
    std::unique_ptr<Connection> connection;
    Statement find, upsert, remove, removeSection, all, section;
    CommitWatch watch;
    bool readOnly;
    /// Reads a snapshot of the main file, which holds only until some process commits into the WAL.
    bool snapshot;
};

/// Opens the store at `place`, or nothing when there is no store to read (yet). Nothing in the
/// file changes before it is known to be ours.
std::unique_ptr<Link> openLink(const Place& place, OpenMode mode);

} // namespace Kor2_Sys::settings::sqlitestore
