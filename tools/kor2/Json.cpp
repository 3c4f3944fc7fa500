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

template <class Int> Variant whole(const nlohmann::json& v)
{
    const auto n = v.get<long long>();
    if (!v.is_number_integer() || n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max())
        throw std::invalid_argument("número fuera de rango: " + v.dump());
    return static_cast<Int>(n);
}

Variant typedValue(const std::string& type, const nlohmann::json& v)
{
    if (type == "empty") return Variant{};
    if (type == "null") return Variant::null();
    if (type == "integer") return whole<Integer>(v);
    if (type == "long") return whole<Long>(v);
    if (type == "single") return v.get<Single>();
    if (type == "double") return v.get<Double>();
    if (type == "boolean") return v.get<bool>();
    if (type == "text") return utf::fromUtf8(v.get<std::string>());
    if (type == "array") {
        Array array;
        for (const auto& item : v)
            array.items.push_back(valueFromJson(item));
        return array;
    }
    throw std::invalid_argument("tipo de valor desconocido: " + type);
}

} // namespace

std::string jsonString(std::u16string_view text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c < 0x20) {
            appendEscape(out, c);
        } else if (isHigh(c) && i + 1 < text.size() && isLow(text[i + 1])) {
            out += utf::toUtf8(text.substr(i, 2));
            ++i;
        } else if (isHigh(c) || isLow(c)) {
            appendEscape(out, c);
        } else {
            out += utf::toUtf8(text.substr(i, 1));
        }
    }
    return out + "\"";
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

Variant valueFromJson(const nlohmann::json& json)
{
    try {
        if (json.is_object() && json.contains("type"))
            return typedValue(json.at("type").get<std::string>(), json.value("value", nlohmann::json()));
        if (json.is_null()) return Variant::null();
        if (json.is_boolean()) return json.get<bool>();
        if (json.is_string()) return utf::fromUtf8(json.get<std::string>());
        if (json.is_number_integer()) {
            const auto n = json.get<long long>();
            if (n >= std::numeric_limits<Long>::min() && n <= std::numeric_limits<Long>::max())
                return static_cast<Long>(n);
        }
        if (json.is_number()) return json.get<Double>();
    } catch (const nlohmann::json::exception& e) {
        throw std::invalid_argument(std::string("valor no válido: ") + e.what());
    }
    throw std::invalid_argument("valor no válido: " + json.dump());
}

} // namespace kor2cli
