#pragma once
// The one JSON writer of kor2: answer lines, settings exports, interface listings and dialog
// results. Text keeps every UTF-16 unit: valid pairs become UTF-8 and lone surrogates \uXXXX
// escapes, which JsonReader reads back unit for unit.

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kor2cli {

/// Writes one JSON document as it is told, value after value. Members and items are separated by
/// ", " and keys by ": ", as every kor2 output reads; an array laid out in lines puts each item on
/// a line of its own, two blanks deeper than the line the array began on.
class JsonWriter {
public:
    enum class Layout { Inline, Lines };

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray(Layout layout = Layout::Inline);
    JsonWriter& endArray();
    /// The name of the next member of the open object, in UTF-8 or in UTF-16.
    JsonWriter& key(std::string_view name);
    JsonWriter& key(std::u16string_view name);

    /// A string of UTF-16 text.
    JsonWriter& text(std::u16string_view value);
    /// A string of UTF-8 text (names of classes, members, operations).
    JsonWriter& utf8(std::string_view value);
    /// A whole number.
    template <std::integral Number>
        requires(!std::same_as<Number, bool>)
    JsonWriter& number(Number value)
    {
        return raw(std::to_string(value));
    }
    /// The shortest form that reads back to the same double; "NaN", "Inf" and "-Inf", which JSON
    /// has no numbers for, as strings.
    JsonWriter& number(double value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    /// Makes room for a document of `bytes`, so that writing it never moves what was already
    /// written (a released buffer would keep a copy of it).
    JsonWriter& reserve(std::size_t bytes)
    {
        m_out.reserve(bytes);
        return *this;
    }

    /// The document written so far; the writer starts a new one.
    std::string take();

private:
    JsonWriter& raw(std::string_view json);
    /// Room for `bytes` more, the document moved (when it must be) out of a buffer that is wiped:
    /// an answer may carry a password.
    void room(std::size_t bytes);
    void beforeValue();
    void open(char bracket, Layout layout);
    void close(char bracket);

    struct Level {
        Layout layout;
        int indent;  // of the line the container began on
        bool empty = true;
    };
    std::string m_out;
    std::vector<Level> m_levels;
    int m_indent = 0;
    bool m_afterKey = false;
};

/// A text for a line of plain output: control characters (C0, DEL, C1), bidirectional controls
/// and lone surrogates are escaped as in JSON (\n, \r, \t, \uXXXX) so that no stored name can
/// start a line of its own, steer a terminal or reorder what is read; everything else is printed as
/// it is.
std::string displayText(std::u16string_view text);

/// The shortest decimal form that reads back to the same double (what `number` writes).
std::string shortestNumber(double value);

} // namespace kor2cli
