#include "frame/Errors.h"
#include "frame/NumberText.h"

#include "frame/Locale.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace Kor2_Sys::numtext {
namespace {

// The decimal digits of `magnitude` with `precision` digits after the first, correctly rounded
// (precision 767 gives every digit: no finite double has more).
Decimal decimalDigits(double magnitude, int precision)
{
    std::array<char, 1100> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                         std::chars_format::scientific, precision);
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

// Rounding at digit `significant` needs to see what lies behind it. Two more correctly rounded
// digits decide it, unless they read "50": only then can the exact tail be just below the half,
// and only then is the full expansion written out.
Decimal digitsForRounding(double magnitude, std::size_t significant)
{
    Decimal d = decimalDigits(magnitude, static_cast<int>(significant) + 1);
    if (d.digits.size() >= significant + 2 && d.digits[significant] == '5' && d.digits[significant + 1] == '0')
        d = decimalDigits(magnitude, 767);
    return d;
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
    const Decimal d = significantDigits(value, significant);
    const char16_t separator = locale::decimalSeparator();
    const int limit = static_cast<int>(significant);
    const int decimalsNeeded = -d.exponent - 1 + static_cast<int>(d.digits.size());
    const bool exponent = d.exponent >= limit || (d.exponent < -4 && decimalsNeeded > limit);
    const Text body = exponent ? exponentForm(d, separator) : fixedForm(d, separator);
    return value < 0 ? u"-" + body : body;
}

// Power of ten of the leading significant digit of a number text in C form ("-0.00e5", "1E400").
long magnitudeExponent(std::string_view ascii)
{
    const auto ePos = ascii.find_first_of("eE");
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

int digitValue(char16_t c)
{
    return c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10 : c >= u'a' && c <= u'f' ? c - u'a' + 10 : 99;
}

// Accumulates one more digit of an "&H" / "&O" literal; more than 32 bits overflow.
void addDigit(std::uint64_t& value, int radix, int digit)
{
    value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFull)
        throw errors::overflow();
}

// A literal takes the smallest of the 16- and 32-bit types that holds its bits, so &HFFFF and
// &HFFFFFFFF both read -1.
Double typedLiteral(std::uint64_t value)
{
    if (value <= 0xFFFF)
        return static_cast<Double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    return static_cast<Double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

std::optional<Double> radixLiteral(std::u16string_view digits, int radix)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t c : digits) {
        const int digit = digitValue(c);
        if (digit >= radix)
            return std::nullopt;
        addDigit(value, radix, digit);
    }
    return typedLiteral(value);
}

// Converts a number already in C form ("-12.5e3"); out-of-range magnitudes overflow, tiny ones
// read as zero.
Double fromCForm(std::string_view ascii)
{
    double value = 0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        if (magnitudeExponent(ascii) > 0)
            throw errors::overflow();
        return 0.0;
    }
    return ec == std::errc{} ? value : 0.0;
}

bool ignoredByParse(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

// The units of a text that the point-only parse looks at: everything but blanks, tabs and line
// feeds, which it ignores wherever they stand.
class Significant {
public:
    explicit Significant(std::u16string_view text) : m_text(text) { skip(); }
    bool done() const { return m_pos >= m_text.size(); }
    char16_t peek() const { return done() ? u'\0' : m_text[m_pos]; }
    void next()
    {
        ++m_pos;
        skip();
    }

private:
    void skip()
    {
        while (m_pos < m_text.size() && ignoredByParse(m_text[m_pos]))
            ++m_pos;
    }
    std::u16string_view m_text;
    std::size_t m_pos = 0;
};

// Builds the C form of the number in a stack buffer, spilling to the heap only for very long texts.
class CForm {
public:
    void push(char c)
    {
        if (m_size < sizeof m_small)
            m_small[m_size] = c;
        else {
            if (m_large.empty())
                m_large.assign(m_small, m_size);
            m_large += c;
        }
        ++m_size;
    }
    std::string_view view() const { return m_large.empty() ? std::string_view(m_small, m_size) : std::string_view(m_large); }

private:
    char m_small[96];
    std::size_t m_size = 0;
    std::string m_large;
};

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Units a plain decimal number is written with: the ones std::from_chars reads the same way as the
// point-only rule does (a leading plus aside).
constexpr auto kPlainUnits = [] {
    std::array<bool, 128> plain{};
    for (const char c : std::string_view("0123456789.-+eE"))
        plain[static_cast<unsigned char>(c)] = true;
    return plain;
}();

bool plainUnit(char16_t c) { return c < kPlainUnits.size() && kPlainUnits[c]; }

// The text a drawing file holds almost always: a number with no blank, "D" exponent or literal
// inside. Narrowing it in one pass and letting from_chars stop where the rule stops avoids the
// unit-by-unit walk; no value means the general walk must decide.
std::optional<Double> plainDecimal(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && ignoredByParse(text[i]))
        ++i;
    char buffer[64];
    const std::size_t start = i;
    const std::size_t limit = std::min(text.size(), start + sizeof buffer);
    for (; i < limit && plainUnit(text[i]); ++i)
        buffer[i - start] = static_cast<char>(text[i]);
    // A blank may be followed by more of the number, "D" continues it as an exponent, and a plain
    // unit here means the number is longer than the buffer.
    if (i == start || (i < text.size() && (plainUnit(text[i]) || ignoredByParse(text[i]) || text[i] == u'D' || text[i] == u'd')))
        return std::nullopt;  // an "&H" or "&O" literal, no number at all, or one of the above
    std::string_view number(buffer, i - start);
    if (number[0] == '+') {
        number.remove_prefix(1);
        if (!number.empty() && (number[0] == '+' || number[0] == '-'))
            return 0.0;  // one sign only: "+-5" has no digits after its sign
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range)
        return fromCForm(std::string_view(number.data(), static_cast<std::size_t>(end - number.data())));
    return ec == std::errc{} ? value : 0.0;
}

Double radixPrefixed(Significant& s, int radix)
{
    std::uint64_t value = 0;
    for (; !s.done() && digitValue(s.peek()) < radix; s.next())
        addDigit(value, radix, digitValue(s.peek()));
    return typedLiteral(value);
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

    const char16_t separator = locale::decimalSeparator();
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
    return fromCForm(std::string_view(ascii).substr(ascii[0] == '+'));
}

Double parsePointOnly(std::u16string_view text)
{
    if (const auto plain = plainDecimal(text))
        return *plain;
    Significant s(text);
    if (s.peek() == u'&') {
        s.next();
        const char16_t kind = s.peek();
        if (kind == u'H' || kind == u'h' || kind == u'O' || kind == u'o') {
            s.next();
            return radixPrefixed(s, kind == u'H' || kind == u'h' ? 16 : 8);
        }
        return 0;
    }
    CForm number;
    if (s.peek() == u'-' || s.peek() == u'+') {
        if (s.peek() == u'-')
            number.push('-');
        s.next();
    }
    bool digits = false;
    for (; isDigit(s.peek()); s.next(), digits = true)
        number.push(static_cast<char>(s.peek()));
    if (s.peek() == u'.') {
        number.push('.');
        for (s.next(); isDigit(s.peek()); s.next(), digits = true)
            number.push(static_cast<char>(s.peek()));
    }
    if (!digits)
        return 0;
    const char16_t e = s.peek();
    if (e == u'E' || e == u'e' || e == u'D' || e == u'd') {
        s.next();
        CForm exponent;
        exponent.push('e');
        if (s.peek() == u'-' || s.peek() == u'+') {
            exponent.push(static_cast<char>(s.peek()));
            s.next();
        }
        bool exponentDigits = false;
        for (; isDigit(s.peek()); s.next(), exponentDigits = true)
            exponent.push(static_cast<char>(s.peek()));
        if (exponentDigits)
            for (char c : exponent.view())
                number.push(c);
    }
    return fromCForm(number.view());
}

Integer firstPosition(std::u16string_view text, char16_t unit)
{
    const auto at = text.find(unit);
    if (at == std::u16string_view::npos)
        return 0;
    if (at + 1 > 32767)
        throw errors::overflow();
    return static_cast<Integer>(at + 1);
}

Decimal significantDigits(Double value, std::size_t significant)
{
    if (value == 0 || !std::isfinite(value))
        return {"0", 0};
    return rounded(digitsForRounding(std::fabs(value), significant), significant);
}

} // namespace Kor2_Sys::numtext
