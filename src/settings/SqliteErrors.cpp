#include "settings/SqliteErrors.h"

#include "frame/Errors.h"
#include "frame/SystemReason.h"
#include "frame/Utf.h"
#include "settings/OwnFiles.h"
#include "settings/Sqlite.h"
#include "settings/SqliteReasons.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace Kor2_Sys::settings::sqlitestore {
namespace {

std::string folderOf(const std::string& path)
{
    const auto folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

bool refusedByPermissions(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// A file size limit or a quota stops a write as a full disk does.
bool outOfSpace(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

// Only a failure in the file layer leaves a meaningful errno behind.
int systemErrorOf(const Failure& f)
{
    const int primary = f.code & 0xFF;
    return primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR ? f.systemError : 0;
}

} // namespace

Text widen(const std::string& text) { return utf::fromUtf8(text); }

Failure failure(sqlite3* db, int code)
{
    return {code, db != nullptr ? sqlite().sqlite3_system_errno(db) : 0};
}

bool isDamage(int code)
{
    return (code & 0xFF) == SQLITE_NOTADB || (code & 0xFF) == SQLITE_CORRUPT;
}

Error withDetail(const Error& base, const Text& detail)
{
    return {base.number(), base.description() + u": " + detail};
}

std::string faultyFile(const std::string& path)
{
    if (::access(path.c_str(), R_OK | W_OK) != 0)
        return path;
    for (const std::string_view suffix : kSideSuffixes) {
        const std::string side = path + std::string(suffix);
        if (::access(side.c_str(), F_OK) == 0) {
            if (::access(side.c_str(), R_OK | W_OK) != 0)
                return side;
        } else if (::access(folderOf(path).c_str(), W_OK | X_OK) != 0) {
            return folderOf(path);
        }
    }
    return path;
}

Error fileError(int error, const std::string& path)
{
    if (refusedByPermissions(error))
        return withDetail(errors::permissionDenied(), widen(path));
    if (outOfSpace(error))
        return withDetail(errors::diskFull(), widen(path));
    return errors::pathAccess(widen(path) + u": " + widen(systemReason(error)));
}

bool refusedWrite(const Failure& f)
{
    const int primary = f.code & 0xFF;
    return primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_AUTH ||
           refusedByPermissions(systemErrorOf(f));
}

std::string spanishReason(const Failure& f)
{
    if (const int e = systemErrorOf(f))
        return systemReason(e);
    return sqliteReason(f.code);
}

Error storeError(const Failure& f, const std::string& path)
{
    const int primary = f.code & 0xFF;
    if (primary == SQLITE_FULL || outOfSpace(systemErrorOf(f)))
        return withDetail(errors::diskFull(), widen(path));
    if (refusedWrite(f))
        return withDetail(errors::permissionDenied(), widen(faultyFile(path)));
    if (isDamage(f.code))
        return errors::pathAccess(u"el almacén de configuración " + widen(path) + u" está dañado (" +
                                  widen(spanishReason(f)) + u")");
    return errors::pathAccess(u"almacén de configuración " + widen(path) + u": " + widen(spanishReason(f)));
}

Error notOurs(const std::string& path, std::u16string_view what)
{
    return errors::pathAccess(widen(path) + u" no es un almacén de configuración de Kor2_Sys (" + Text(what) +
                              u"); no se ha tocado");
}

} // namespace Kor2_Sys::settings::sqlitestore
