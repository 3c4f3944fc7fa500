#include "frame/NumberFunctions.h"

#include "frame/Blanks.h"
#include "frame/Locale.h"
#include "frame/Trap.h"

#include <algorithm>

namespace Kor2_Sys::mfunc {
namespace {

constexpr Integer kMostDecimals = 15;

// Overwrites the first comma with a point, as the reading of typed numbers does everywhere.
void firstCommaToPoint(Text& text)
{
    if (const Integer at = numtext::firstPosition(text, u','); at > 0)
        text[static_cast<std::size_t>(at - 1)] = u'.';
}

Text ascii(std::string_view digits)
{
    return Text(digits.begin(), digits.end());
}

// `value` with exactly `decimals` decimals and a point: the 15-significant-digit decimal of the
// double is rounded again at the last kept decimal, halves away from zero.
Text fixedDecimals(Double value, int decimals)
{
    numtext::Decimal d = numtext::significantDigits(value, 15);
    int keep = d.exponent + 1 + decimals;  // digits that stay
    std::string digits;
    int exponent = d.exponent;
    if (keep >= 0) {
        digits = d.digits.substr(0, static_cast<std::size_t>(std::min<int>(keep, static_cast<int>(d.digits.size()))));
        const bool up = static_cast<std::size_t>(keep) < d.digits.size() && d.digits[static_cast<std::size_t>(keep)] >= '5';
        if (up) {
            int i = static_cast<int>(digits.size()) - 1;
            for (; i >= 0 && digits[static_cast<std::size_t>(i)] == '9'; --i)
                digits[static_cast<std::size_t>(i)] = '0';
            if (i >= 0)
                ++digits[static_cast<std::size_t>(i)];
            else {
                digits.insert(digits.begin(), '1');
                ++exponent;
                ++keep;
            }
        }
    }
    // Lay the kept digits out on the grid 10^exponent ... 10^-decimals.
    const int integerDigits = std::max(exponent + 1, 1);
    std::string grid(static_cast<std::size_t>(integerDigits + decimals), '0');
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const int power = exponent - static_cast<int>(i);
        grid[static_cast<std::size_t>(integerDigits - 1 - power)] = digits[i];
    }
    Text out = ascii(std::string_view(grid).substr(0, static_cast<std::size_t>(integerDigits)));
    if (decimals > 0)
        out += u'.' + ascii(std::string_view(grid).substr(static_cast<std::size_t>(integerDigits)));
    return value < 0 ? u"-" + out : out;
}

Text alignInteger(Text text, Integer decimals, Integer width)
{
    const std::u16string_view trimmed = blanks::trim(text);
    long integerLength = static_cast<long>(trimmed.size());
    if (decimals > 0)
        integerLength -= decimals + 1;
    if (width > integerLength)
        return Text(static_cast<std::size_t>(width - integerLength), u' ') + Text(trimmed);
    return text;
}

} // namespace

Double ValorTexto(std::u16string_view text, std::string_view operation)
{
    Double result = 0;
    trap::silent(operation, [&] {
        Text copy(text);
        firstCommaToPoint(copy);
        result = numtext::parsePointOnly(copy);
    });
    return result;
}

Text FormatoFijo(const Variant& value, Integer Decimales, Integer Enteros, std::string_view operation)
{
    Text result;
    trap::silent(operation, [&] {
        Text text = value.toText();
        if (Decimales >= 1) {
            firstCommaToPoint(text);
            text = fixedDecimals(numtext::parsePointOnly(text), std::min(Decimales, kMostDecimals));
        }
        if (Enteros > 0)
            text = alignInteger(std::move(text), Decimales, Enteros);
        result = std::move(text);
    });
    return result;
}

} // namespace Kor2_Sys::mfunc
