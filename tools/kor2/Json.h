#pragma once
// JSON for the command-line contract. Output is written by hand so that text keeps every UTF-16
// unit: valid pairs become UTF-8, lone surrogates are escaped as \uXXXX. Input is read with
// JsonReader, which takes back every such escape.

#include "JsonReader.h"

#include <Kor2_Sys/Value.h>

#include <span>
#include <string>

namespace kor2cli {

/// A JSON string literal of a UTF-16 text.
std::string jsonString(std::u16string_view text);
/// A JSON string literal of a UTF-8 text.
std::string jsonString(std::string_view utf8);
/// A text for a line of plain output: control characters (C0, DEL, C1) and lone surrogates are
/// escaped as in JSON (\n, \r, \t, \uXXXX) so that no stored name can start a line of its own or
/// steer a terminal; everything else is printed as it is.
std::string displayText(std::u16string_view text);
/// `{"type": "...", "value": ...}`.
std::string jsonValue(const Kor2_Sys::Variant& value);
/// `[V, ...]`.
std::string jsonValues(std::span<const Kor2_Sys::Variant> values);

/// A value from a request: `{"type": ..., "value": ...}` or a bare JSON scalar (whole numbers that
/// fit 32 bits are long, other numbers double, strings text). Takes the node's subtrees rather
/// than copying them. Throws std::invalid_argument.
Kor2_Sys::Variant valueFromJson(JsonNode&& json);

} // namespace kor2cli
