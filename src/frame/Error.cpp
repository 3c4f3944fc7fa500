#include <Kor2_Sys/Error.h>

#include "frame/Utf.h"

namespace Kor2_Sys {

Error::Error(Long number, Text description, Text source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(std::to_string(number) + ": " + utf::toUtf8(m_description))
{
}

namespace errors {
Error invalidCall() { return {5, u"Llamada a procedimiento o argumento no válidos"}; }
Error overflow() { return {6, u"Desbordamiento"}; }
Error outOfMemory() { return {7, u"Memoria insuficiente"}; }
Error subscriptOutOfRange() { return {9, u"El subíndice está fuera del intervalo"}; }
Error divisionByZero() { return {11, u"División por cero"}; }
Error typeMismatch() { return {13, u"No coinciden los tipos"}; }
Error fileNotFound() { return {53, u"No se ha encontrado el archivo"}; }
// A fixed description, with the particulars after a colon when there are any.
static Error detailed(Long number, std::u16string_view description, const Text& detail)
{
    Text text(description);
    if (!detail.empty())
        text += u": " + detail;
    return {number, text};
}
Error diskFull() { return {61, u"Disco lleno"}; }
Error deviceUnavailable(const Text& detail) { return detailed(68, u"Dispositivo no disponible", detail); }
Error permissionDenied() { return {70, u"Permiso denegado"}; }
Error pathAccess(const Text& detail) { return detailed(75, u"Error de acceso a la ruta o al archivo", detail); }
Error objectNotSet() { return {91, u"Variable de objeto o bloque With no establecido"}; }
Error diskNotReady() { return {71, u"El disco no está listo"}; }
Error invalidUseOfNull() { return {94, u"Uso no válido de Null"}; }
Error objectRequired() { return {424, u"Se requiere un objeto"}; }
Error cannotCreateObject() { return {429, u"No se puede crear el objeto"}; }
Error memberNotSupported() { return {438, u"El objeto no admite esta propiedad o método"}; }
Error actionNotSupported() { return {445, u"El objeto no admite esta acción"}; }
Error argumentNotOptional() { return {449, u"Argumento no opcional"}; }
Error wrongArgumentCount()
{
    return {450, u"Número de argumentos incorrecto o asignación de propiedad no válida"};
}
} // namespace errors

} // namespace Kor2_Sys
