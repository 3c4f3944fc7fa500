#pragma once
// The reason for a system error in the user's language. The C library's own texts follow the
// process's locale, which is English wherever no translation is installed; every message the
// library and its tools show names the cause in Spanish instead, whatever the locale.

#include <cerrno>
#include <string>
#include <utility>

namespace Kor2_Sys {

/// The causes a file or folder operation meets, each with its Spanish reason.
inline constexpr std::pair<int, const char*> kSystemReasons[] = {
    {ENOSPC, "no queda espacio en el disco"},
#ifdef EDQUOT
    {EDQUOT, "se ha agotado la cuota de disco"},
#endif
    {EFBIG, "el archivo pasa del tamaño permitido"},
    {EACCES, "permiso denegado"},
    {EPERM, "permiso denegado"},
    {EROFS, "sistema de archivos de sólo lectura"},
    {ENOENT, "no existe"},
    {ENOTDIR, "una parte de la ruta no es una carpeta"},
    {EISDIR, "es una carpeta, no un archivo"},
    {EIO, "error de entrada/salida del dispositivo"},
    {EBADF, "no está abierta"},
    {EPIPE, "el otro extremo de la tubería está cerrado"},
    {ENAMETOOLONG, "el nombre es demasiado largo"},
    {ELOOP, "demasiados enlaces simbólicos"},
    {EMFILE, "demasiados archivos abiertos"},
    {ENFILE, "demasiados archivos abiertos en el sistema"},
    {EEXIST, "ya existe"},
    {EBUSY, "está ocupado"},
    {ETXTBSY, "está ocupado"},
    {EXDEV, "está en otro sistema de archivos"},
    {ENOTEMPTY, "la carpeta no está vacía"},
    {ENOMEM, "no queda memoria"},
    {EINVAL, "argumento no válido"},
    {ENXIO, "el dispositivo no existe"},
    {ENODEV, "el dispositivo no existe"},
    {EAGAIN, "el recurso no está disponible ahora"},
    {ENOLCK, "no quedan bloqueos"},
};

/// The Spanish reason for the errno value `errnum`; one without a text of its own is named by
/// number.
inline std::string systemReason(int errnum)
{
    for (const auto& [number, text] : kSystemReasons)
        if (number == errnum)
            return text;
    return "error del sistema " + std::to_string(errnum);
}

} // namespace Kor2_Sys
