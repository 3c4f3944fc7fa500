#include "script/JsonReader.h"

#include "frame/Controls.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>
#include <utility>

namespace Kor2_Sys::script {
namespace {

std::string thousands(std::size_t n)
{
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ".");
    return digits;
}

// The length of the well-formed UTF-8 sequence at `at` (shortest form, no surrogates, at most
// U+10FFFF), or 0.
std::size_t sequenceLength(std::string_view s, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return at + i < s.size() ? static_cast<unsigned char>(s[at + i]) : 0u; };
    const unsigned lead = byte(0);
    const auto tail = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
        return byte(i) >= low && byte(i) <= high;
    };
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return tail(1) ? 2 : 0;
    if (lead == 0xE0) return tail(1, 0xA0) && tail(2) ? 3 : 0;
    if (lead == 0xED) return tail(1, 0x80, 0x9F) && tail(2) ? 3 : 0;
    if (lead >= 0xE1 && lead <= 0xEF) return tail(1) && tail(2) ? 3 : 0;
    if (lead == 0xF0) return tail(1, 0x90) && tail(2) && tail(3) ? 4 : 0;
    if (lead >= 0xF1 && lead <= 0xF3) return tail(1) && tail(2) && tail(3) ? 4 : 0;
    if (lead == 0xF4) return tail(1, 0x80, 0x8F) && tail(2) && tail(3) ? 4 : 0;
    return 0;
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    JsonNode document()
    {
        if (m_text.size() > kJsonMaxBytes)
            throw std::invalid_argument("JSON demasiado largo: " + thousands(m_text.size()) + " bytes (el máximo es " +
                                        thousands(kJsonMaxBytes) + ")");
        if (m_text.starts_with("\xEF\xBB\xBF"))  // a byte-order mark some editors put first
            m_pos = 3;
        JsonNode node;
        value(node);
        skipSpace();
        if (m_pos != m_text.size())
            fail("texto sobrante");
        return node;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        std::string message = "JSON no válido en el byte " + std::to_string(m_pos) + ": " + what;
        if (m_pos < m_text.size())
            message += ", ante «" + excerpt(m_text.substr(m_pos, 40), 30) + "»";
        else
            message += ", al final del texto";
        throw std::invalid_argument(message);
    }
    void skipSpace()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }
    bool take(std::string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }
    char peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }

    void value(JsonNode& node)
    {
        if (++m_values > kJsonMaxValues)
            fail("demasiados valores (el máximo es " + thousands(kJsonMaxValues) + ")");
        skipSpace();
        const char c = peek();
        if (c == '{' || c == '[') {
            if (++m_depth > kJsonMaxDepth)
                fail("más de " + std::to_string(kJsonMaxDepth) + " niveles de anidamiento");
            if (c == '{') {
                node.kind = JsonNode::Kind::Object;
                members(node);
            } else {
                node.kind = JsonNode::Kind::Array;
                items(node);
            }
            --m_depth;
        } else if (c == '"') {
            node.kind = JsonNode::Kind::String;
            node.string = string();
        } else if (take("true")) {
            node.kind = JsonNode::Kind::Boolean;
            node.boolean = true;
        } else if (take("false")) {
            node.kind = JsonNode::Kind::Boolean;
        } else if (take("null")) {
            node.kind = JsonNode::Kind::Null;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            number(node);
        } else {
            fail(m_pos < m_text.size() ? "se esperaba un valor" : "falta un valor");
        }
    }

    void members(JsonNode& node)
    {
        ++m_pos;
        skipSpace();
        if (peek() == '}') {
            ++m_pos;
            return;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"')
                fail("se esperaba el nombre de un miembro");
            Text name = string();
            skipSpace();
            if (peek() != ':')
                fail("se esperaba ':'");
            ++m_pos;
            node.members.push_back(JsonMember{std::move(name), {}});
            value(node.members.back().value);
            skipSpace();
            if (peek() == '}') {
                ++m_pos;
                return;
            }
            if (peek() != ',')
                fail("se esperaba ',' o '}'");
            ++m_pos;
        }
    }

    void items(JsonNode& node)
    {
        ++m_pos;
        skipSpace();
        if (peek() == ']') {
            ++m_pos;
            return;
        }
        for (;;) {
            value(node.items.emplace_back());
            skipSpace();
            if (peek() == ']') {
                ++m_pos;
                return;
            }
            if (peek() != ',')
                fail("se esperaba ',' o ']'");
            ++m_pos;
        }
    }

    unsigned hex4()
    {
        unsigned unit = 0;
        for (int i = 0; i < 4; ++i, ++m_pos) {
            const char c = peek();
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0)
                fail("escape \\u incompleto");
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        return unit;
    }

    Text string()
    {
        const std::size_t opening = m_pos++;
        Text out;
        while (m_pos < m_text.size()) {
            // A text may be a password: growing never leaves its beginning in a released buffer.
            wipe::reserve(out, out.size() + 2);
            const char c = m_text[m_pos];
            if (c == '"') {
                ++m_pos;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                fail("carácter de control en un texto");
            if (c == '\\') {
                escape(out);
                continue;
            }
            if (static_cast<unsigned char>(c) < 0x80) {
                out += static_cast<char16_t>(c);
                ++m_pos;
                continue;
            }
            const std::size_t length = sequenceLength(m_text, m_pos);
            if (length == 0)
                fail("UTF-8 no válido");
            out += Kor2_Sys::utf::fromUtf8(m_text.substr(m_pos, length));
            m_pos += length;
        }
        m_pos = opening;
        fail("texto sin cerrar");
    }

    void escape(Text& out)
    {
        ++m_pos;
        const char e = peek();
        ++m_pos;
        switch (e) {
        case '"': out += u'"'; break;
        case '\\': out += u'\\'; break;
        case '/': out += u'/'; break;
        case 'b': out += u'\b'; break;
        case 'f': out += u'\f'; break;
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'u': out += static_cast<char16_t>(hex4()); break;  // surrogates kept as single units
        default:
            m_pos -= 2;
            fail("escape desconocido");
        }
    }

    // JSON's own grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
    void number(JsonNode& node)
    {
        const std::size_t start = m_pos;
        const auto digits = [&] {
            const std::size_t first = m_pos;
            while (peek() >= '0' && peek() <= '9')
                ++m_pos;
            return m_pos > first;
        };
        take("-");
        if (peek() == '0')
            ++m_pos;
        else if (!digits())
            fail("número no válido");
        bool whole = true;
        if (take(".")) {
            whole = false;
            if (!digits())
                fail("faltan cifras tras el punto decimal");
        }
        if (peek() == 'e' || peek() == 'E') {
            whole = false;
            ++m_pos;
            if (!take("+"))
                take("-");
            if (!digits())
                fail("faltan cifras en el exponente");
        }
        const char* first = m_text.data() + start;
        const char* last = m_text.data() + m_pos;
        node.kind = JsonNode::Kind::Number;
        if (whole) {
            const auto [end, ec] = std::from_chars(first, last, node.integer);
            node.isInteger = ec == std::errc{} && end == last;
        }
        const auto [end, ec] = std::from_chars(first, last, node.number);
        if (ec == std::errc::result_out_of_range && end == last && belowOne(first, last))
            node.number = *first == '-' ? -0.0 : 0.0;  // rounds to zero, as strtod reads it
        else if (ec != std::errc{} || end != last) {
            m_pos = start;
            fail("número fuera del intervalo de un doble");
        }
    }

    // Whether a well-formed number's first significant digit stands below the units place: out
    // of range, such a number is too small for a double, not too large.
    static bool belowOne(const char* first, const char* last)
    {
        const std::string_view text(first, static_cast<std::size_t>(last - first));
        const std::size_t e = std::min(text.find_first_of("eE"), text.size());
        const std::string_view mantissa = text.substr(0, e);
        const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
        const std::size_t significant = mantissa.find_first_of("123456789");
        if (significant == std::string_view::npos)
            return true;
        // The power of ten of the first significant digit, before the exponent.
        const long long place = significant < point ? static_cast<long long>(point - significant) - 1
                                                    : -static_cast<long long>(significant - point);
        if (e == text.size())
            return place < 0;
        std::string_view exponent = text.substr(e + 1);
        const bool negative = !exponent.empty() && exponent[0] == '-';
        if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+'))
            exponent.remove_prefix(1);
        long long power = 0;
        const auto [at, ec] = std::from_chars(exponent.data(), exponent.data() + exponent.size(), power);
        if (ec != std::errc{} || at != exponent.data() + exponent.size())
            return negative;  // an exponent past 64 bits outweighs any mantissa a document can hold
        return place + (negative ? -power : power) < 0;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_values = 0;
    int m_depth = 0;
};

std::string quotedName(std::u16string_view name)
{
    return "\"" + excerpt(Kor2_Sys::utf::toUtf8(name)) + "\"";
}

[[noreturn]] void wrongKind(const JsonNode& node, std::string_view what, std::string_view wanted)
{
    throw std::invalid_argument(std::string(what) + " debe ser " + std::string(wanted) + ", no " +
                                std::string(kindName(node.kind)));
}

} // namespace

const JsonNode* JsonNode::find(std::u16string_view name) const
{
    for (const JsonMember& member : members)
        if (member.name == name)
            return &member.value;
    return nullptr;
}

JsonNode* JsonNode::find(std::u16string_view name)
{
    return const_cast<JsonNode*>(std::as_const(*this).find(name));
}

void wipeTree(JsonNode& node) noexcept
{
    wipe::text(node.string);
    for (JsonNode& item : node.items)
        wipeTree(item);
    for (JsonMember& member : node.members) {
        wipe::text(member.name);
        wipeTree(member.value);
    }
}

JsonNode parseJson(std::string_view utf8)
{
    return Parser(utf8).document();
}

std::string excerpt(std::string_view text, std::size_t most)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t at = 0;
    while (at < text.size() && out.size() < most) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = sequenceLength(text, at);
        const std::u16string unit = length > 0 ? utf::fromUtf8(text.substr(at, length)) : std::u16string();
        if (byte < 0x20 || byte == 0x7F || length == 0) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
            ++at;
        } else if (unit.size() == 1 && controls::mustEscape(unit[0])) {
            // C1 and the bidirectional controls: as the character they are.
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(unit[0] >> shift) & 0xF];
            at += length;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
    if (at < text.size())
        out += "…";
    return out;
}

std::string_view kindName(JsonNode::Kind kind)
{
    switch (kind) {
    case JsonNode::Kind::Null: return "null";
    case JsonNode::Kind::Boolean: return "un booleano";
    case JsonNode::Kind::Number: return "un número";
    case JsonNode::Kind::String: return "un texto";
    case JsonNode::Kind::Array: return "una lista";
    case JsonNode::Kind::Object: return "un objeto";
    }
    return "?";
}

const JsonNode& need(const JsonNode& object, std::u16string_view name, std::string_view what)
{
    if (object.kind != JsonNode::Kind::Object)
        wrongKind(object, what, "un objeto");
    const JsonNode* member = object.find(name);
    if (member == nullptr)
        throw std::invalid_argument("falta " + quotedName(name) + " en " + std::string(what));
    return *member;
}

JsonNode& need(JsonNode& object, std::u16string_view name, std::string_view what)
{
    return const_cast<JsonNode&>(need(std::as_const(object), name, what));
}

const Text& textOf(const JsonNode& node, std::string_view what)
{
    if (node.kind != JsonNode::Kind::String)
        wrongKind(node, what, "un texto");
    return node.string;
}

std::string nameOf(const JsonNode& node, std::string_view what)
{
    return Kor2_Sys::utf::toUtf8(textOf(node, what));
}

std::int64_t integerOf(const JsonNode& node, std::string_view what, std::int64_t least, std::int64_t most)
{
    if (node.kind != JsonNode::Kind::Number || !node.isInteger)
        wrongKind(node, what, "un número entero");
    if (node.integer < least || node.integer > most)
        throw std::invalid_argument(std::string(what) + " fuera del intervalo " + std::to_string(least) + " a " +
                                    std::to_string(most) + ": " + std::to_string(node.integer));
    return node.integer;
}

double numberOf(const JsonNode& node, std::string_view what)
{
    if (node.kind != JsonNode::Kind::Number)
        wrongKind(node, what, "un número");
    return node.number;
}

bool booleanOf(const JsonNode& node, std::string_view what)
{
    if (node.kind != JsonNode::Kind::Boolean)
        wrongKind(node, what, "true o false");
    return node.boolean;
}

const std::vector<JsonNode>& arrayOf(const JsonNode& node, std::string_view what)
{
    if (node.kind != JsonNode::Kind::Array)
        wrongKind(node, what, "una lista");
    return node.items;
}

std::vector<JsonNode>& arrayOf(JsonNode& node, std::string_view what)
{
    return const_cast<std::vector<JsonNode>&>(arrayOf(std::as_const(node), what));
}

} // namespace Kor2_Sys::script
