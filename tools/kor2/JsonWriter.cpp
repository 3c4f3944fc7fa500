#include "JsonWriter.h"

#include "frame/Controls.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"

#include <charconv>
#include <cmath>
#include <utility>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

void appendEscape(std::string& out, unsigned unit)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(unit >> shift) & 0xF];
}

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

enum class Escapes { Json, Display };

// Both escape what no terminal or reader may get raw (controls, DEL, C1, bidirectional controls,
// lone surrogates); JSON also escapes quote and backslash, which a display line keeps as they are.
void appendEscaped(std::string& out, std::u16string_view text, Escapes mode)
{
    // The most a unit becomes (\uXXXX): nothing written here moves what was written before.
    wipe::reserve(out, out.size() + 6 * text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (mode == Escapes::Json && (c == u'"' || c == u'\\')) {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (isHigh(c) && i + 1 < text.size() && isLow(text[i + 1])) {
            out += utf::toUtf8(text.substr(i, 2));
            ++i;
        } else if (controls::mustEscape(c)) {
            appendEscape(out, c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += utf::toUtf8(text.substr(i, 1));
        }
    }
}

} // namespace

JsonWriter& JsonWriter::beginObject()
{
    open('{', Layout::Inline);
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    close('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray(Layout layout)
{
    open('[', layout);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    return key(utf::fromUtf8(name));
}

JsonWriter& JsonWriter::key(std::u16string_view name)
{
    text(name);
    room(2);
    m_out += ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::text(std::u16string_view value)
{
    beforeValue();
    room(2 + 6 * value.size());
    m_out += '"';
    appendEscaped(m_out, value, Escapes::Json);
    m_out += '"';
    return *this;
}

JsonWriter& JsonWriter::utf8(std::string_view value)
{
    return text(utf::fromUtf8(value));
}

JsonWriter& JsonWriter::number(double value)
{
    if (!std::isfinite(value))
        return utf8(std::isnan(value) ? "NaN" : value > 0 ? "Inf" : "-Inf");
    return raw(shortestNumber(value));
}

JsonWriter& JsonWriter::boolean(bool value) { return raw(value ? "true" : "false"); }

JsonWriter& JsonWriter::null() { return raw("null"); }

std::string JsonWriter::take()
{
    m_levels.clear();
    m_indent = 0;
    m_afterKey = false;
    return std::exchange(m_out, {});
}

JsonWriter& JsonWriter::raw(std::string_view json)
{
    beforeValue();
    room(json.size());
    m_out += json;
    return *this;
}

void JsonWriter::room(std::size_t bytes)
{
    wipe::reserve(m_out, m_out.size() + bytes);
}

// A value after a key follows it on its line; any other value inside a container is the
// container's next item.
void JsonWriter::beforeValue()
{
    if (std::exchange(m_afterKey, false) || m_levels.empty())
        return;
    Level& level = m_levels.back();
    const bool first = std::exchange(level.empty, false);
    room(3 + static_cast<std::size_t>(level.indent) + 2);
    if (level.layout == Layout::Inline) {
        if (!first)
            m_out += ", ";
        return;
    }
    if (!first)
        m_out += ',';
    m_indent = level.indent + 2;
    m_out += '\n';
    m_out.append(static_cast<std::size_t>(m_indent), ' ');
}

void JsonWriter::open(char bracket, Layout layout)
{
    beforeValue();
    room(1);
    m_out += bracket;
    m_levels.push_back(Level{layout, m_indent});
}

void JsonWriter::close(char bracket)
{
    const Level level = m_levels.back();
    m_levels.pop_back();
    room(2 + static_cast<std::size_t>(level.indent));
    if (level.layout == Layout::Lines && !level.empty) {
        m_indent = level.indent;
        m_out += '\n';
        m_out.append(static_cast<std::size_t>(m_indent), ' ');
    }
    m_out += bracket;
}

std::string displayText(std::u16string_view text)
{
    std::string out;
    appendEscaped(out, text, Escapes::Display);
    return out;
}

std::string shortestNumber(double value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, ec == std::errc{} ? end : buffer);
}

} // namespace kor2cli
