#include "JsonValues.h"

#include "frame/ClassInfo.h"
#include "platform/headless/HostObjects.h"

#include <cmath>
#include <limits>
#include <stdexcept>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

void writePayload(JsonWriter& json, const Variant& value)
{
    switch (value.type()) {
    case ValueType::Byte: json.number(std::get<Byte>(value.storage())); return;
    case ValueType::Integer: json.number(std::get<Integer>(value.storage())); return;
    case ValueType::Long: json.number(std::get<Long>(value.storage())); return;
    case ValueType::Single: json.number(static_cast<double>(std::get<Single>(value.storage()))); return;
    case ValueType::Double: json.number(std::get<Double>(value.storage())); return;
    case ValueType::Boolean: json.boolean(std::get<Boolean>(value.storage())); return;
    case ValueType::Text: json.text(std::get<Text>(value.storage())); return;
    case ValueType::Array: writeValues(json, value.toArray().items); return;
    case ValueType::Object: {
        const auto* held = std::get_if<std::shared_ptr<Object>>(&value.storage());
        const Object* object = held != nullptr ? held->get() : nullptr;
        if (object == nullptr)
            break;  // a reference to nothing
        if (const ClassInfo* info = classOf(*object))
            json.utf8(info->name);
        else if (const auto* host = dynamic_cast<const platform::RecordedHost*>(object))
            json.utf8(host->name());
        else
            json.utf8("host");
        return;
    }
    case ValueType::Empty:
    case ValueType::Null:
    case ValueType::Any: break;
    }
    json.null();
}

Variant typedValue(const std::string& type, JsonNode& node, const ObjectLookup& objects)
{
    if (type == "empty") return Variant{};
    if (type == "null") return Variant::null();
    const std::string what = "el valor " + type;
    JsonNode& v = need(node, u"value", "un valor " + type);
    if (type == "byte")
        return static_cast<Byte>(integerOf(v, what, 0, 255));
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
            array.items.push_back(valueFromJson(std::move(item), objects));
        return Variant(std::move(array));
    }
    if (type == "object") {
        const std::string id = nameOf(v, what);
        if (!objects)
            throw std::invalid_argument("aquí no se puede pasar ningún objeto");
        auto object = objects(id);
        if (!object)
            throw std::invalid_argument("no hay ningún objeto con id \"" + excerpt(id) + "\"");
        return Variant(std::move(object));
    }
    throw std::invalid_argument("tipo de valor desconocido: \"" + excerpt(type) +
                                "\" (empty, null, byte, integer, long, single, double, boolean, text, array, object)");
}

} // namespace

void writeValue(JsonWriter& json, const Variant& value)
{
    json.beginObject().key("type").utf8(typeName(value.type())).key("value");
    writePayload(json, value);
    json.endObject();
}

void writeValues(JsonWriter& json, std::span<const Variant> values)
{
    json.beginArray();
    for (const Variant& value : values)
        writeValue(json, value);
    json.endArray();
}

Variant valueFromJson(JsonNode&& json, const ObjectLookup& objects)
{
    switch (json.kind) {
    case JsonNode::Kind::Object:
        return typedValue(nameOf(need(json, u"type", "un valor con tipo"), "\"type\""), json, objects);
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
