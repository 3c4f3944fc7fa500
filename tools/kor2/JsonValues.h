#pragma once
// Library values in kor2's JSON: `{"type": "...", "value": ...}` out, the same or a bare scalar in.

#include "JsonReader.h"
#include "JsonWriter.h"

#include <Kor2_Sys/Value.h>

#include <Kor2_Sys/Object.h>

#include <functional>
#include <memory>
#include <span>
#include <string>

namespace kor2cli {

/// `{"type": "...", "value": ...}`: texts unit for unit, singles widened to double, library
/// objects by their class name, host objects of a scripted run by their id.
void writeValue(JsonWriter& json, const Kor2_Sys::Variant& value);
/// `[V, ...]`.
void writeValues(JsonWriter& json, std::span<const Kor2_Sys::Variant> values);

/// The object a request calls by its id; null when no object has that id.
using ObjectLookup = std::function<std::shared_ptr<Kor2_Sys::Object>(const std::string& id)>;

/// A value from a request: `{"type": ..., "value": ...}` or a bare JSON scalar (whole numbers that
/// fit 32 bits are long, other numbers double, strings text). `{"type": "object", "value": "id"}`
/// is the object `objects` finds by that id (without a lookup, objects are refused). Takes the
/// node's subtrees rather than copying them. Throws std::invalid_argument.
Kor2_Sys::Variant valueFromJson(JsonNode&& json, const ObjectLookup& objects = {});

} // namespace kor2cli
