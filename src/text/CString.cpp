#include <Kor2_Sys/CString.h>

#include "frame/NumberFunctions.h"
#include "frame/Trap.h"
#include "frame/Utf.h"
#include "text/ListSplit.h"

#include <array>
#include <cmath>

namespace Kor2_Sys {
namespace {

constexpr long kLastPosition = 32767;

bool onlyBlanks(std::u16string_view text)
{
    return text.find_first_not_of(u' ') == std::u16string_view::npos;
}

// The path members report in their own words: the error's source, its number as a signed
// decimal with a blank in the sign place, then the description and the tag.
void reportPathError(const Error& error, std::u16string_view tag)
{
    const std::string number = std::to_string(error.number());
    const Text sign = error.number() >= 0 ? u" " : u"";
    trap::showReport(error.source() + u" " + sign + Text(number.begin(), number.end()) + u"\r\n " + error.description() +
                     Text(tag));
}

// The box names the procedure for the user; the host hears of the failure under `operation`.
template <class F> void pathTrap(std::string_view operation, std::u16string_view tag, F&& fn)
{
    trap::handle(fn, [operation, tag](const Error& error) {
        trap::swallowed(operation, error);
        reportPathError(error, tag);
    });
}

// The backward scan for the last backslash keeps its position in 16 bits.
std::size_t lastBackslash(std::u16string_view path)
{
    const auto at = path.rfind(u'\\');
    if (at != std::u16string_view::npos && path.size() > static_cast<std::size_t>(kLastPosition))
        throw errors::overflow();
    return at;
}

// Replaces the first `from` of `value` by `to` in place; the position is 16-bit.
Text swapFirst(std::string_view operation, Text& value, char16_t from, char16_t to)
{
    Text result;
    trap::silent(operation, [&] {
        if (const Integer at = numtext::firstPosition(value, from); at > 0)
            value[static_cast<std::size_t>(at - 1)] = to;
        result = value;
    });
    return result;
}

} // namespace

void CString::S_Lee_Tira_1(const Text& Tira, Long& nElementos, std::vector<Text>& Elementos)
{
    if (onlyBlanks(Tira)) {
        nElementos = 0;
        return;
    }
    Text copy = Tira;
    nElementosLeidos = 0;
    S_LeeTira(copy, Elementos);
    nElementos = nElementosLeidos;
}

void CString::S_LeeTira(Text& Tira, std::vector<Text>& Elementos)
{
    trap::silent("CString.S_LeeTira", [&] {
        nElementosLeidos = 0;
        Elementos.assign(1, Text());
        if (Tira.empty())
            return;
        Tira += u' ';
        text::splitList(Tira, Elementos, nElementosLeidos);
    });
}

Text CString::S_Sp(const Variant& Valor, const Integer& Longitud)
{
    Text result;
    trap::silent("CString.S_Sp", [&] {
        Text text = Valor.toText();
        if (Longitud > 0 && text.size() < static_cast<std::size_t>(Longitud))
            text.insert(0, static_cast<std::size_t>(Longitud) - text.size(), u' ');
        if (text.empty())
            throw errors::invalidCall();  // no first character to overwrite
        text[0] = u' ';
        result = std::move(text);
    });
    return result;
}

Text CString::S_Extrae_Nomb_sin_Ext(const Text& rutayarchivo)
{
    Text result;
    pathTrap("CString.S_Extrae_Nomb_sin_Ext", u".S_exSin", [&] {
        const Text name = S_Extrae_Nombre_de_Ruta(rutayarchivo);
        if (name.empty())
            return;
        const Integer point = numtext::firstPosition(name, u'.');
        if (point == 0 || static_cast<long>(name.size()) - point > 3)
            return;
        result = name.substr(0, static_cast<std::size_t>(point - 1));
    });
    return result;
}

Text CString::S_Extrae_Nombre_de_Ruta(const Text& rutayarchivo)
{
    Text result;
    pathTrap("CString.S_Extrae_Nombre_de_Ruta", u".S_exNom", [&] {
        const auto at = lastBackslash(rutayarchivo);
        result = at == Text::npos ? rutayarchivo : rutayarchivo.substr(at + 1);
    });
    return result;
}

Text CString::S_Extrae_Ruta_de_Nombre(const Text& rutayarchivo)
{
    Text result;
    pathTrap("CString.S_Extrae_Ruta_de_Nombre", u".S_exRut", [&] {
        const auto at = lastBackslash(rutayarchivo);
        result = at == Text::npos ? rutayarchivo : rutayarchivo.substr(0, at);
    });
    return result;
}

Text CString::S_Extrae_Exten_de_NomRut(const Text& rutayarchivo)
{
    Text result;
    pathTrap("CString.S_Extrae_Exten_de_NomRut", u".S_exExt", [&] {
        const Integer point = numtext::firstPosition(rutayarchivo, u'.');
        if (point == 0)
            return;
        const Text extension = rutayarchivo.substr(static_cast<std::size_t>(point));
        if (extension.size() <= 3)
            result = extension;
    });
    return result;
}

Text CString::S_CxP(Text& Valor)
{
    return swapFirst("CString.S_CxP", Valor, u',', u'.');
}

Text CString::S_PxC(Text& Valor)
{
    return swapFirst("CString.S_PxC", Valor, u'.', u',');
}

Boolean CString::S_CofReg_coma()
{
    Boolean result = false;
    trap::silent("CString.S_CofReg_coma", [&] {
        const Text first = numtext::regional(125.0 / 7.0);
        result = numtext::regional(numtext::parsePointOnly(first)) == u"17";
    });
    return result;
}

Double CString::S_Val(Text Valor)
{
    return mfunc::ValorTexto(Valor, "CString.S_Val");
}

Double CString::S_Vl(Text Valor)
{
    return mfunc::ValorTexto(Valor, "CString.S_Vl");
}

namespace {

constexpr std::array<Double, 23> kExactPowers = [] {
    std::array<Double, 23> powers{};
    Double p = 1;
    for (auto& power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

} // namespace

Double CString::S_redondea(const Double& Numero, const Integer& Decimales)
{
    Double result = 0;
    trap::silent("CString.S_redondea", [&] {
        // Only whole powers of ten are exact, and only up to 10^22: scaling by 10^-2 (which no
        // double holds) and dividing back lands beside the round value, and pow() itself is not
        // exact everywhere. So the scale is always a whole power, multiplied or divided by.
        const bool tens = Decimales < 0;
        const int digits = tens ? -Decimales : Decimales;
        const Double p = digits < static_cast<int>(kExactPowers.size()) ? kExactPowers[digits] : std::pow(10.0, digits);
        const Double scaled = tens ? Numero / p : Numero * p;
        if (!std::isfinite(p) || !std::isfinite(scaled))
            throw errors::overflow();
        Double e = std::floor(scaled);
        if (scaled - e >= 0.5)
            e += 1;
        result = tens ? e * p : e / p;
    });
    return result;
}

Text CString::S_FM(const Variant& Valor, const Integer& Decimales, const Integer& Enteros)
{
    return mfunc::FormatoFijo(Valor, Decimales, Enteros, "CString.S_FM");
}

template <> CString& global<CString>()
{
    static CString instance;
    return instance;
}

} // namespace Kor2_Sys
