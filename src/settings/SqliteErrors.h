#pragma once
// How the file store's failures become the library's errors: a failed SQLite call is carried as
// a `Failure` up to the store's edge, where the file is known, and told there in Spanish, naming
// the file that stops the operation.

#include <Kor2_Sys/Error.h>

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace Kor2_Sys::settings::sqlitestore {

/// A failed SQLite call: its result code and the system's error it left behind. SQLite's own
/// text is not kept: it is English, and the code says the same.
struct Failure {
    int code;
    int systemError;
};

/// The failure of a call on `db` (which may be null) that answered `code`.
Failure failure(sqlite3* db, int code);

/// Whether `code` says the file is no database or a damaged one.
bool isDamage(int code);

/// `base` with `detail` appended to its description.
Error withDetail(const Error& base, const Text& detail);

/// A file name of the system (UTF-8) as text.
Text widen(const std::string& text);

/// The file that stops a write to the store at `path`: the store, one of its side files, or the
/// folder that must hold them.
std::string faultyFile(const std::string& path);

/// The error for the system's error number `error` met on the file `path`.
Error fileError(int error, const std::string& path);

/// Whether `f` refused a write for lack of permission.
bool refusedWrite(const Failure& f);

/// The reason for `f` in Spanish: the system's, when the file layer failed, else SQLite's code's.
std::string spanishReason(const Failure& f);

/// The error for `f` met on the store at `path`.
Error storeError(const Failure& f, const std::string& path);

/// Refusal of `path`, which is not a store of ours for the reason `what`, and was left as it was.
Error notOurs(const std::string& path, std::u16string_view what);

} // namespace Kor2_Sys::settings::sqlitestore
