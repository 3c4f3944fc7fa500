#include "text/NumberText.h"

#include <Kor2_Sys/Error.h>

#include "platform/Locale.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace Kor2_Sys::numtext {
namespace {

struct Decimal {
    std::string digits;  // significant digits, no leading zero
    int exponent = 0;    // value = 0.d1d2... × 10^(exponent + 1), i.e. d1 is at 10^exponent
};

// Every finite double has a finite decimal expansion of at most 767 significant digits; the
// exact digits are needed because rounding the 16th digit must see everything behind it.
Decimal exactDecimal(double magnitude)
{
    std::array<char, 1100> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                         std::chars_format::scientific, 767);
    const std::string_view text(buffer.data(), ec == std::errc{} ? end - buffer.data() : 0);
    const auto ePos = text.find('e');
    Decimal result;
    for (char c : text.substr(0, ePos))
        if (c != '.')
            result.digits += c;
    int exponent = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+'), text.data() + text.size(), exponent);
    result.exponent = exponent;
    return result;
}

// Keeps `significant` digits, rounding half away from zero, and drops trailing zeros.
Decimal rounded(Decimal d, std::size_t significant)
{
    if (d.digits.size() > significant) {
        const bool up = d.digits[significant] >= '5';
        d.digits.resize(significant);
        if (up) {
            int i = static_cast<int>(significant) - 1;
            for (; i >= 0 && d.digits[i] == '9'; --i)
                d.digits[i] = '0';
            if (i < 0) {
                d.digits.insert(d.digits.begin(), '1');
                d.digits.pop_back();
                ++d.exponent;
            } else {
                ++d.digits[i];
            }
        }
    }
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

Text widen(std::string_view ascii)
{
    return Text(ascii.begin(), ascii.end());
}

Text exponentForm(const Decimal& d, char16_t separator)
{
    Text out = widen(d.digits.substr(0, 1));
    if (d.digits.size() > 1) {
        out += separator;
        out += widen(std::string_view(d.digits).substr(1));
    }
    std::string exponent = std::to_string(std::abs(d.exponent));
    if (exponent.size() < 2)
        exponent.insert(0, "0");
    out += d.exponent < 0 ? u"E-" : u"E+";
    return out + widen(exponent);
}

Text fixedForm(const Decimal& d, char16_t separator)
{
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent < 0)
        return u"0" + Text(1, separator) + Text(-d.exponent - 1, u'0') + widen(d.digits);
    if (count <= d.exponent + 1)
        return widen(d.digits) + Text(d.exponent + 1 - count, u'0');
    return widen(std::string_view(d.digits).substr(0, d.exponent + 1)) + separator +
           widen(std::string_view(d.digits).substr(d.exponent + 1));
}

Text format(double value, std::size_t significant)
{
    if (std::isnan(value))
        return u"NaN";
    if (std::isinf(value))
        return value < 0 ? u"-Inf" : u"Inf";
    if (value == 0)
        return u"0";
    const Decimal d = rounded(exactDecimal(std::fabs(value)), significant);
    const char16_t separator = platform::decimalSeparator();
    const int limit = static_cast<int>(significant);
    const int decimalsNeeded = -d.exponent - 1 + static_cast<int>(d.digits.size());
    const bool exponent = d.exponent >= limit || (d.exponent < -4 && decimalsNeeded > limit);
    const Text body = exponent ? exponentForm(d, separator) : fixedForm(d, separator);
    return value < 0 ? u"-" + body : body;
}

// Power of ten of the leading significant digit of a number text in C form ("-0.00e5").
long magnitudeExponent(std::string_view ascii)
{
    const auto ePos = ascii.find('e');
    long exponent = 0;
    if (ePos != std::string_view::npos) {
        const auto tail = ascii.substr(ePos + 1 + (ascii[ePos + 1] == '+'));
        std::from_chars(tail.data(), tail.data() + tail.size(), exponent);  // huge exponents saturate below
        if (tail.size() > 9)
            exponent = tail[0] == '-' ? -1000000000L : 1000000000L;
    }
    const auto mantissa = ascii.substr(0, ePos);
    const auto point = mantissa.find('.');
    const auto firstNonZero = mantissa.find_first_of("123456789");
    if (firstNonZero == std::string_view::npos)
        return -1000000000L;
    const long pointPos = static_cast<long>(point == std::string_view::npos ? mantissa.size() : point);
    const long position = static_cast<long>(firstNonZero);
    return exponent + (position < pointPos ? pointPos - position - 1 : pointPos - position);
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::optional<Double> radixLiteral(std::u16string_view digits, int radix)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t c : digits) {
        int digit = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10
                  : c >= u'a' && c <= u'f' ? c - u'a' + 10 : 99;
        if (digit >= radix)
            return std::nullopt;
        value = value * radix + digit;
        if (value > 0xFFFFFFFFull)
            throw errors::overflow();
    }
    // A literal takes the smallest of the 16- and 32-bit types that holds its bits, so &HFFFF and
    // &HFFFFFFFF both read -1.
    if (value <= 0xFFFF)
        return static_cast<Double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    return static_cast<Double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

} // namespace

Text regional(Double value) { return format(value, 15); }
Text regional(Single value) { return format(static_cast<double>(value), 7); }

std::optional<Double> parseRegional(std::u16string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.size() > 2 && text[0] == u'&' && (text[1] == u'H' || text[1] == u'h'))
        return radixLiteral(text.substr(2), 16);
    if (text.size() > 2 && text[0] == u'&' && (text[1] == u'O' || text[1] == u'o'))
        return radixLiteral(text.substr(2), 8);

    const char16_t separator = platform::decimalSeparator();
    std::string ascii;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ascii += static_cast<char>(text[i++]);
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits)
        ascii += static_cast<char>(text[i]);
    if (i < text.size() && text[i] == separator) {
        ascii += '.';
        for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits)
            ascii += static_cast<char>(text[i]);
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        ascii += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ascii += static_cast<char>(text[i++]);
        std::size_t exponentDigits = 0;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++exponentDigits)
            ascii += static_cast<char>(text[i]);
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0;
    const char* first = ascii.data() + (ascii[0] == '+');
    const auto [end, ec] = std::from_chars(first, ascii.data() + ascii.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        if (magnitudeExponent(ascii) > 0)
            throw errors::overflow();
        return 0.0;  // too small to hold: reads as zero
    }
    return value;
}

} // namespace Kor2_Sys::numtext
