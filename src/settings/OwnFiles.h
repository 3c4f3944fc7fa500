#pragma once
// What the store changes on disk outside SQLite: the permissions of its side files and of its own
// folder. Each is changed through a descriptor opened without following a link, so that a link
// planted at one of those names never carries a change to the file or folder it points to.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace Kor2_Sys::settings {

/// The suffixes of the files SQLite keeps beside a store in WAL mode: the journal and its index.
inline constexpr std::array<std::string_view, 2> kSideSuffixes{"-wal", "-shm"};

/// Gives the regular file at `path` its owner's write permission when it lacks it and belongs to
/// this process's user (any file, for root). A link, a missing file or anything else than a
/// regular file is left as it is.
void giveOwnerWrite(const std::string& path);

/// Makes the folder at `path` private (0700) when it is a real folder of this process's user; a
/// link to a folder, or a folder of someone else, is left as it is.
void keepFolderPrivate(const std::string& path);

/// The first side file of the store at `store` that exists and is not a regular file (a link,
/// above all), or nothing when every side file is missing or a regular file.
std::optional<std::string> strangeSideFile(const std::string& store);

} // namespace Kor2_Sys::settings
