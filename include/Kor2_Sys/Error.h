#pragma once
/// \file Error.h
/// The run-time error that library operations raise, and the errors the library knows by number.

#include <Kor2_Sys/Value.h>

#include <exception>
#include <string>

namespace Kor2_Sys {

/// A run-time error: a number, its Spanish description and the text of its source.
/// Operations with an error trap absorb it; the others let it reach the caller.
class KOR2_SYS_EXPORT Error : public std::exception {
public:
    /// An error with this number, description and source.
    Error(Long number, Text description, Text source = u"Kor2_Sys");

    /// The error number (438, 13, ...).
    Long number() const noexcept { return m_number; }
    /// The Spanish description.
    const Text& description() const noexcept { return m_description; }
    /// What raised it: "Kor2_Sys" unless the raiser names itself.
    const Text& source() const noexcept { return m_source; }
    /// UTF-8 form of "number: description".
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Long m_number;
    Text m_description;
    Text m_source;
    std::string m_what;
};

/// The errors the library raises, each written once with its Spanish description.
namespace errors {
KOR2_SYS_EXPORT Error invalidCall();          ///< 5 "Llamada a procedimiento o argumento no válidos"
KOR2_SYS_EXPORT Error overflow();             ///< 6 "Desbordamiento"
KOR2_SYS_EXPORT Error outOfMemory();          ///< 7 "Memoria insuficiente"
KOR2_SYS_EXPORT Error subscriptOutOfRange();  ///< 9 "El subíndice está fuera del intervalo"
KOR2_SYS_EXPORT Error divisionByZero();       ///< 11 "División por cero"
KOR2_SYS_EXPORT Error typeMismatch();         ///< 13 "No coinciden los tipos"
KOR2_SYS_EXPORT Error fileNotFound();         ///< 53 "No se ha encontrado el archivo"
KOR2_SYS_EXPORT Error diskFull();             ///< 61 "Disco lleno"
KOR2_SYS_EXPORT Error permissionDenied();     ///< 70 "Permiso denegado"
KOR2_SYS_EXPORT Error pathAccess(const Text& detail = {}); ///< 75 "Error de acceso a la ruta o al archivo"
KOR2_SYS_EXPORT Error objectNotSet();         ///< 91 "Variable de objeto o bloque With no establecido"
KOR2_SYS_EXPORT Error deviceUnavailable(const Text& detail = {}); ///< 68 "Dispositivo no disponible"
KOR2_SYS_EXPORT Error diskNotReady();         ///< 71 "El disco no está listo"
KOR2_SYS_EXPORT Error invalidUseOfNull();     ///< 94 "Uso no válido de Null"
KOR2_SYS_EXPORT Error objectRequired();       ///< 424 "Se requiere un objeto"
KOR2_SYS_EXPORT Error cannotCreateObject();   ///< 429 "No se puede crear el objeto"
KOR2_SYS_EXPORT Error memberNotSupported();   ///< 438 "El objeto no admite esta propiedad o método"
KOR2_SYS_EXPORT Error actionNotSupported();   ///< 445 "El objeto no admite esta acción"
KOR2_SYS_EXPORT Error argumentNotOptional();  ///< 449 "Argumento no opcional"
KOR2_SYS_EXPORT Error wrongArgumentCount();   ///< 450 "Número de argumentos incorrecto o asignación de propiedad no válida"
} // namespace errors

} // namespace Kor2_Sys
