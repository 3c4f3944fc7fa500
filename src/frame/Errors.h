#pragma once
// The errors the library raises, each written once with its Spanish description. Hosts meet them
// as `Error` values with these numbers; they do not raise the library's errors themselves.

#include <Kor2_Sys/Error.h>

namespace Kor2_Sys {

/// The errors the library raises, each written once with its Spanish description.
namespace errors {
Error invalidCall();          ///< 5 "Llamada a procedimiento o argumento no válidos"
Error overflow();             ///< 6 "Desbordamiento"
Error outOfMemory();          ///< 7 "Memoria insuficiente"
Error subscriptOutOfRange();  ///< 9 "El subíndice está fuera del intervalo"
Error divisionByZero();       ///< 11 "División por cero"
Error typeMismatch();         ///< 13 "No coinciden los tipos"
Error fileNotFound();         ///< 53 "No se ha encontrado el archivo"
Error diskFull();             ///< 61 "Disco lleno"
Error permissionDenied();     ///< 70 "Permiso denegado"
Error pathAccess(const Text& detail = {}); ///< 75 "Error de acceso a la ruta o al archivo"
Error objectNotSet();         ///< 91 "Variable de objeto o bloque With no establecido"
Error deviceUnavailable(const Text& detail = {}); ///< 68 "Dispositivo no disponible"
Error diskNotReady();         ///< 71 "El disco no está listo"
Error invalidUseOfNull();     ///< 94 "Uso no válido de Null"
Error objectRequired();       ///< 424 "Se requiere un objeto"
Error cannotCreateObject();   ///< 429 "No se puede crear el objeto"
Error memberNotSupported();   ///< 438 "El objeto no admite esta propiedad o método"
Error actionNotSupported();   ///< 445 "El objeto no admite esta acción"
Error argumentNotOptional();  ///< 449 "Argumento no opcional"
Error wrongArgumentCount();   ///< 450 "Número de argumentos incorrecto o asignación de propiedad no válida"
} // namespace errors

} // namespace Kor2_Sys
