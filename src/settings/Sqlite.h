#pragma once
// The calls of SQLite the file store makes, taken from libsqlite3 when a store is first opened: a
// program that never reads a setting starts without loading (and relocating) the library.

#include <sqlite3.h>

namespace Kor2_Sys::settings {

struct SqliteCalls {
    decltype(::sqlite3_bind_blob)* sqlite3_bind_blob = nullptr;
    decltype(::sqlite3_busy_timeout)* sqlite3_busy_timeout = nullptr;
    decltype(::sqlite3_changes)* sqlite3_changes = nullptr;
    decltype(::sqlite3_clear_bindings)* sqlite3_clear_bindings = nullptr;
    decltype(::sqlite3_close_v2)* sqlite3_close_v2 = nullptr;
    decltype(::sqlite3_column_blob)* sqlite3_column_blob = nullptr;
    decltype(::sqlite3_column_bytes)* sqlite3_column_bytes = nullptr;
    decltype(::sqlite3_column_int64)* sqlite3_column_int64 = nullptr;
    decltype(::sqlite3_column_text)* sqlite3_column_text = nullptr;
    decltype(::sqlite3_exec)* sqlite3_exec = nullptr;
    decltype(::sqlite3_file_control)* sqlite3_file_control = nullptr;
    decltype(::sqlite3_finalize)* sqlite3_finalize = nullptr;
    decltype(::sqlite3_open_v2)* sqlite3_open_v2 = nullptr;
    decltype(::sqlite3_prepare_v2)* sqlite3_prepare_v2 = nullptr;
    decltype(::sqlite3_prepare_v3)* sqlite3_prepare_v3 = nullptr;
    decltype(::sqlite3_reset)* sqlite3_reset = nullptr;
    decltype(::sqlite3_step)* sqlite3_step = nullptr;
    decltype(::sqlite3_system_errno)* sqlite3_system_errno = nullptr;
    decltype(::sqlite3_uri_boolean)* sqlite3_uri_boolean = nullptr;
    decltype(::sqlite3_vfs_find)* sqlite3_vfs_find = nullptr;
    decltype(::sqlite3_vfs_register)* sqlite3_vfs_register = nullptr;
};

/// SQLite's calls; error 68 naming the library when it cannot be loaded.
const SqliteCalls& sqlite();

} // namespace Kor2_Sys::settings
