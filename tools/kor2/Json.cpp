#include "Json.h"

#include <Kor2_Sys/Object.h>

#include "frame/Utf.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

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

// JSON escapes every C0 character, quote and backslash; a display line keeps quote and backslash
// as they are but also escapes DEL and the C1 controls, which terminals act on.
std::string escaped(std::u16string_view text, Escapes mode)
{
    std::string out;
    out.reserve(text.size());
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
        } else if (c < 0x20 || (mode == Escapes::Display && c >= 0x7F && c <= 0x9F)) {
            appendEscape(out, c);
        } else if (isHigh(c) && i + 1 < text.size() && isLow(text[i + 1])) {
            out += utf::toUtf8(text.substr(i, 2));
            ++i;
        } else if (isHigh(c) || isLow(c)) {
            appendEscape(out, c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += utf::toUtf8(text.substr(i, 1));
        }
    }
    return out;
}

std::string number(double value)
{
    if (!std::isfinite(value))
        return jsonString(std::string_view(std::isnan(value) ? "NaN" : value > 0 ? "Inf" : "-Inf"));
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, ec == std::errc{} ? end : buffer);
}

std::string payload(const Variant& value)
{
    switch (value.type()) {
    case ValueType::Empty:
    case ValueType::Null: return "null";
    case ValueType::Integer: return std::to_string(std::get<Integer>(value.storage()));
    case ValueType::Long: return std::to_string(std::get<Long>(value.storage()));
    case ValueType::Single: return number(std::get<Single>(value.storage()));
    case ValueType::Double: return number(std::get<Double>(value.storage()));
    case ValueType::Boolean: return std::get<Boolean>(value.storage()) ? "true" : "false";
    case ValueType::Text: return jsonString(std::get<Text>(value.storage()));
    case ValueType::Array: return jsonValues(value.toArray().items);
    case ValueType::Object: {
        const ClassInfo* info = value.toObject()->classInfo();
        return jsonString(info ? std::string_view(info->name) : std::string_view("host"));
    }
    case ValueType::Any: break;
    }
    return "null";
}

Variant typedValue(const std::string& type, JsonNode& node)
{
    if (type == "empty") return Variant{};
    if (type == "null") return Variant::null();
    const std::string what = "el valor " + type;
    JsonNode& v = need(node, u"value", "un valor " + type);
    if (type == "integer")
        return static_cast<Integer>(integerOf(v, what, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
    if (type == "long")
        return static_cast<Long>(integerOf(v, what, std::numeric_limits<Long>::min(), std::numeric_limits<Long>::max()));
    if (type == "single") {
        const double x = numberOf(v, what);
        if (std::abs(x) > std::numeric_limits<Single>::max())
            throw std::invalid_argument(what + " pasa del intervalo de single");
        return static_cast<Single>(x);
    }
    if (type == "double") return numberOf(v, what);
    if (type == "boolean") return booleanOf(v, what);
    if (type == "text") {
        textOf(v, what);
        return std::move(v.string);
    }
    if (type == "array") {
        Array array;
        auto& items = arrayOf(v, what);
        array.items.reserve(items.size());
        for (JsonNode& item : items)
            array.items.push_back(valueFromJson(std::move(item)));
        return Variant(std::move(array));
    }
    throw std::invalid_argument("tipo de valor desconocido: \"" + excerpt(type) +
                                "\" (empty, null, integer, long, single, double, boolean, text, array)");
}

} // namespace

std::string jsonString(std::u16string_view text)
{
    return "\"" + escaped(text, Escapes::Json) + "\"";
}

std::string displayText(std::u16string_view text)
{
    return escaped(text, Escapes::Display);
}

std::string jsonString(std::string_view utf8)
{
    return jsonString(utf::fromUtf8(utf8));
}

std::string jsonValue(const Variant& value)
{
    return "{\"type\": \"" + std::string(typeName(value.type())) + "\", \"value\": " + payload(value) + "}";
}

std::string jsonValues(std::span<const Variant> values)
{
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i ? ", " : "") + jsonValue(values[i]);
    return out + "]";
}

Variant valueFromJson(JsonNode&& json)
{
    switch (json.kind) {
    case JsonNode::Kind::Object: return typedValue(nameOf(need(json, u"type", "un valor con tipo"), "\"type\""), json);
    case JsonNode::Kind::Null: return Variant::null();
    case JsonNode::Kind::Boolean: return json.boolean;
    case JsonNode::Kind::String: return std::move(json.string);
    case JsonNode::Kind::Number:
        if (json.isInteger && json.integer >= std::numeric_limits<Long>::min() && json.integer <= std::numeric_limits<Long>::max())
            return static_cast<Long>(json.integer);
        return json.number;
    case JsonNode::Kind::Array: break;
    }
    throw std::invalid_argument("una lista sin tipo no es un valor: escriba {\"type\": \"array\", \"value\": [...]}");
}

} // namespace kor2cli
