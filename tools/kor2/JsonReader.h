#pragma once
// A small JSON reader that keeps strings as UTF-16 units, lone surrogate escapes ("\ud800")
// included, so that what kor2 writes reads back unit for unit.

#include <Kor2_Sys/Value.h>

#include <string_view>
#include <utility>
#include <vector>

namespace kor2cli {

struct JsonNode {
    enum class Kind { Null, Boolean, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    Kor2_Sys::Text string;
    std::vector<JsonNode> items;
    std::vector<std::pair<Kor2_Sys::Text, JsonNode>> members;

    /// The member named `name`, or null.
    const JsonNode* find(std::u16string_view name) const;
};

/// Parses one JSON document; throws std::invalid_argument naming the byte offset at fault.
JsonNode parseJson(std::string_view utf8);

} // namespace kor2cli
