#pragma once
// JSON for the command-line contract. Output is written by hand so that text keeps every UTF-16
// unit: valid pairs become UTF-8, lone surrogates are escaped as \uXXXX. Input is read with
// nlohmann::json.

#include <Kor2_Sys/Value.h>

#include <nlohmann/json.hpp>

#include <span>
#include <string>

namespace kor2cli {

/// A JSON string literal of a UTF-16 text.
std::string jsonString(std::u16string_view text);
/// A JSON string literal of a UTF-8 text.
std::string jsonString(std::string_view utf8);
/// `{"type": "...", "value": ...}`.
std::string jsonValue(const Kor2_Sys::Variant& value);
/// `[V, ...]`.
std::string jsonValues(std::span<const Kor2_Sys::Variant> values);

/// A value from a request: `{"type": ..., "value": ...}` or a bare JSON scalar (whole numbers that
/// fit 32 bits are long, other numbers double, strings text). Throws std::invalid_argument.
Kor2_Sys::Variant valueFromJson(const nlohmann::json& json);

} // namespace kor2cli
