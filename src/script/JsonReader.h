#pragma once
// The one JSON reader of the library and of kor2 (window scripts, session requests, settings
// imports). It keeps strings as UTF-16 units, lone surrogate escapes ("\ud800") included, so that
// what kor2 writes reads back unit for unit, and it bounds what a document may cost before any of
// it is used.

#include <Kor2_Sys/Value.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Kor2_Sys::script {

/// Deepest nesting of arrays and objects a document may have.
inline constexpr int kJsonMaxDepth = 64;
/// Largest document, in bytes.
inline constexpr std::size_t kJsonMaxBytes = std::size_t{64} << 20;
/// Most values (scalars, arrays and objects) in one document.
inline constexpr std::size_t kJsonMaxValues = std::size_t{1} << 22;

struct JsonMember;

struct JsonNode {
    enum class Kind { Null, Boolean, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    /// A number written without fraction or exponent that fits 64 bits: `integer` holds it.
    bool isInteger = false;
    std::int64_t integer = 0;
    double number = 0;
    Text string;
    std::vector<JsonNode> items;
    std::vector<JsonMember> members;

    /// The member named `name`, or null.
    const JsonNode* find(std::u16string_view name) const;
    JsonNode* find(std::u16string_view name);
};

// A class of its own rather than a std::pair, which would need JsonNode complete inside JsonNode.
struct JsonMember {
    Text name;
    JsonNode value;
};

/// Parses one JSON document; throws std::invalid_argument naming the byte offset at fault and
/// quoting a short piece of the text there.
JsonNode parseJson(std::string_view utf8);

/// Zeroes every text of a parsed document, names included, before it is released: a request may
/// have carried a password.
void wipeTree(JsonNode& node) noexcept;

/// A piece of user text fit to quote in a message: at most `most` bytes (cut on a character
/// boundary, "…" after a cut), control characters and broken UTF-8 shown as \xNN.
std::string excerpt(std::string_view text, std::size_t most = 60);

/// "texto", "número", ... for messages.
std::string_view kindName(JsonNode::Kind kind);

// Typed access for the readers built on top; each throws std::invalid_argument naming `what`.
const JsonNode& need(const JsonNode& object, std::u16string_view name,
                                     std::string_view what);
JsonNode& need(JsonNode& object, std::u16string_view name, std::string_view what);
const Text& textOf(const JsonNode& node, std::string_view what);
/// A text as UTF-8 (names of operations, classes, members, controls).
std::string nameOf(const JsonNode& node, std::string_view what);
std::int64_t integerOf(const JsonNode& node, std::string_view what, std::int64_t least,
                                      std::int64_t most);
double numberOf(const JsonNode& node, std::string_view what);
bool booleanOf(const JsonNode& node, std::string_view what);
const std::vector<JsonNode>& arrayOf(const JsonNode& node, std::string_view what);
std::vector<JsonNode>& arrayOf(JsonNode& node, std::string_view what);

} // namespace Kor2_Sys::script
