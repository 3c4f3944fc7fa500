#pragma once
// Library values in kor2's JSON: `{"type": "...", "value": ...}` out, the same or a bare scalar in.

#include "JsonReader.h"
#include "JsonWriter.h"

#include <Kor2_Sys/Value.h>

#include <span>

namespace kor2cli {

/// `{"type": "...", "value": ...}`: texts unit for unit, singles widened to double, objects by
/// their class name.
void writeValue(JsonWriter& json, const Kor2_Sys::Variant& value);
/// `[V, ...]`.
void writeValues(JsonWriter& json, std::span<const Kor2_Sys::Variant> values);

/// A value from a request: `{"type": ..., "value": ...}` or a bare JSON scalar (whole numbers that
/// fit 32 bits are long, other numbers double, strings text). Takes the node's subtrees rather
/// than copying them. Throws std::invalid_argument.
Kor2_Sys::Variant valueFromJson(JsonNode&& json);

} // namespace kor2cli
