#pragma once
// The reason for a failed SQLite call in the user's language. SQLite's own texts are English and
// never reach a message: a failure in the file layer is told by the system's error it left
// behind, and every other one by its result code through this table.

#include <sqlite3.h>

#include <string>
#include <utility>

namespace Kor2_Sys::settings {

/// Each primary result code of SQLite with its Spanish reason.
inline constexpr std::pair<int, const char*> kSqliteReasons[] = {
    {SQLITE_ERROR, "error de SQL o de la base de datos"},
    {SQLITE_INTERNAL, "error interno de SQLite"},
    {SQLITE_PERM, "permiso denegado"},
    {SQLITE_ABORT, "operación interrumpida"},
    {SQLITE_BUSY, "está bloqueado por otro proceso"},
    {SQLITE_LOCKED, "está bloqueado por otro proceso"},
    {SQLITE_NOMEM, "no queda memoria"},
    {SQLITE_READONLY, "sólo se puede leer"},
    {SQLITE_INTERRUPT, "operación interrumpida"},
    {SQLITE_IOERR, "error de entrada/salida del dispositivo"},
    {SQLITE_CORRUPT, "la base de datos está dañada"},
    {SQLITE_NOTFOUND, "operación desconocida"},
    {SQLITE_FULL, "no queda espacio en el disco"},
    {SQLITE_CANTOPEN, "no se puede abrir"},
    {SQLITE_PROTOCOL, "fallo del protocolo de bloqueo"},
    {SQLITE_EMPTY, "la base de datos está vacía"},
    {SQLITE_SCHEMA, "el esquema de la base de datos ha cambiado"},
    {SQLITE_TOOBIG, "el dato es demasiado grande"},
    {SQLITE_CONSTRAINT, "se ha violado una restricción"},
    {SQLITE_MISMATCH, "el tipo del dato no corresponde"},
    {SQLITE_MISUSE, "uso indebido de SQLite"},
    {SQLITE_NOLFS, "el sistema no admite archivos grandes"},
    {SQLITE_AUTH, "acceso no autorizado"},
    {SQLITE_FORMAT, "formato no válido"},
    {SQLITE_RANGE, "parámetro fuera de rango"},
    {SQLITE_NOTADB, "no es una base de datos"},
    {SQLITE_NOTICE, "aviso de SQLite"},
    {SQLITE_WARNING, "advertencia de SQLite"},
};

/// The Spanish reason for the SQLite result code `code` (extended codes by their primary one);
/// one without a text of its own is named by number.
inline std::string sqliteReason(int code)
{
    for (const auto& [number, text] : kSqliteReasons)
        if (number == (code & 0xFF))
            return text;
    return "error de SQLite " + std::to_string(code);
}

} // namespace Kor2_Sys::settings
