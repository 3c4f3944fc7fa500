#include "JsonReader.h"

#include "frame/Utf.h"

#include <charconv>
#include <stdexcept>
#include <string>

using Kor2_Sys::Text;

namespace kor2cli {
namespace {

constexpr int kDeepest = 200;  // nesting beyond this is refused rather than risking the stack

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    JsonNode document()
    {
        JsonNode node = value(0);
        skipSpace();
        if (m_pos != m_text.size())
            fail("texto sobrante");
        return node;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::invalid_argument("JSON no válido en el byte " + std::to_string(m_pos) + ": " + what);
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

    JsonNode value(int depth)
    {
        if (depth > kDeepest)
            fail("anidamiento excesivo");
        skipSpace();
        JsonNode node;
        const char c = peek();
        if (c == '{') {
            node.kind = JsonNode::Kind::Object;
            members(node, depth);
        } else if (c == '[') {
            node.kind = JsonNode::Kind::Array;
            items(node, depth);
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
        } else {
            node.kind = JsonNode::Kind::Number;
            node.number = number();
        }
        return node;
    }

    void members(JsonNode& node, int depth)
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
                fail("se esperaba un nombre");
            Text name = string();
            skipSpace();
            if (peek() != ':')
                fail("se esperaba ':'");
            ++m_pos;
            node.members.emplace_back(std::move(name), value(depth + 1));
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

    void items(JsonNode& node, int depth)
    {
        ++m_pos;
        skipSpace();
        if (peek() == ']') {
            ++m_pos;
            return;
        }
        for (;;) {
            node.items.push_back(value(depth + 1));
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
        ++m_pos;
        Text out;
        std::size_t runStart = m_pos;
        auto flush = [&] { out += Kor2_Sys::utf::fromUtf8(m_text.substr(runStart, m_pos - runStart)); };
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '"') {
                flush();
                ++m_pos;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                fail("carácter de control en un texto");
            if (c != '\\') {
                ++m_pos;
                continue;
            }
            flush();
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
            default: fail("escape desconocido");
            }
            runStart = m_pos;
        }
        fail("texto sin cerrar");
    }

    double number()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && std::string_view("+-0123456789.eE").find(m_text[m_pos]) != std::string_view::npos)
            ++m_pos;
        double value = 0;
        const auto [end, ec] = std::from_chars(m_text.data() + start, m_text.data() + m_pos, value);
        if (start == m_pos || ec != std::errc{} || end != m_text.data() + m_pos)
            fail("valor no válido");
        return value;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

const JsonNode* JsonNode::find(std::u16string_view name) const
{
    for (const auto& [key, node] : members)
        if (key == name)
            return &node;
    return nullptr;
}

JsonNode parseJson(std::string_view utf8)
{
    return Parser(utf8).document();
}

} // namespace kor2cli
