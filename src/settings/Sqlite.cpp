#include "settings/Sqlite.h"

#include "frame/Errors.h"
#include "frame/SharedLibrary.h"

namespace Kor2_Sys::settings {

const SqliteCalls& sqlite()
{
    static const SqliteCalls* const calls = []() -> const SqliteCalls* {
        static const SharedLibrary library("libsqlite3.so.0");
        static SqliteCalls c;
        const bool all = library.bind(c.sqlite3_bind_blob, "sqlite3_bind_blob") &&
                         library.bind(c.sqlite3_busy_timeout, "sqlite3_busy_timeout") &&
                         library.bind(c.sqlite3_changes, "sqlite3_changes") &&
                         library.bind(c.sqlite3_clear_bindings, "sqlite3_clear_bindings") &&
                         library.bind(c.sqlite3_close_v2, "sqlite3_close_v2") &&
                         library.bind(c.sqlite3_column_blob, "sqlite3_column_blob") &&
                         library.bind(c.sqlite3_column_bytes, "sqlite3_column_bytes") &&
                         library.bind(c.sqlite3_column_int64, "sqlite3_column_int64") &&
                         library.bind(c.sqlite3_column_text, "sqlite3_column_text") &&
                         library.bind(c.sqlite3_exec, "sqlite3_exec") &&
                         library.bind(c.sqlite3_file_control, "sqlite3_file_control") &&
                         library.bind(c.sqlite3_finalize, "sqlite3_finalize") &&
                         library.bind(c.sqlite3_open_v2, "sqlite3_open_v2") &&
                         library.bind(c.sqlite3_prepare_v2, "sqlite3_prepare_v2") &&
                         library.bind(c.sqlite3_prepare_v3, "sqlite3_prepare_v3") &&
                         library.bind(c.sqlite3_reset, "sqlite3_reset") &&
                         library.bind(c.sqlite3_step, "sqlite3_step") &&
                         library.bind(c.sqlite3_system_errno, "sqlite3_system_errno") &&
                         library.bind(c.sqlite3_uri_boolean, "sqlite3_uri_boolean") &&
                         library.bind(c.sqlite3_vfs_find, "sqlite3_vfs_find") &&
                         library.bind(c.sqlite3_vfs_register, "sqlite3_vfs_register");
        return all ? &c : nullptr;
    }();
    if (calls == nullptr)
        throw errors::deviceUnavailable(u"no se puede cargar libsqlite3.so.0, que guarda la configuración");
    return *calls;
}

} // namespace Kor2_Sys::settings
