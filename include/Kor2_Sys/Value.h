#pragma once
/// \file Value.h
/// The value types that travel between a host and the library, and `Variant`,
/// the tagged value used by late-bound calls.

#include <Kor2_Sys/Kor2_SysExport.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace Kor2_Sys {

/// Signed 16-bit integer.
using Integer = std::int16_t;
/// Unsigned 8-bit integer (0 to 255).
using Byte = std::uint8_t;
/// Signed 32-bit integer; also the type of a colour number.
using Long = std::int32_t;
/// IEEE 754 single precision.
using Single = float;
/// IEEE 754 double precision.
using Double = double;
/// Boolean; inside a `Variant` true reads as -1 and false as 0 when converted to a number.
using Boolean = bool;
/// Counted UTF-16 text: every position and length the library speaks of counts 16-bit units.
using Text = std::u16string;

class Object;
class Variant;

/// The type tag of a `Variant`, and the declared type of a parameter or result.
enum class ValueType : std::uint8_t {
    Empty,   ///< never assigned
    Null,    ///< explicitly no value
    Integer,
    Long,
    Single,
    Double,
    Boolean,
    Text,
    Array,   ///< one-dimensional, lower bound 0
    Object,  ///< reference to a library or host object
    Byte,    ///< unsigned 8-bit
    Any,     ///< as a declared type only: the parameter takes a `Variant` of any type
};

/// Lower-case English name of a type ("long", "text", ...), as the command-line tool prints it.
KOR2_SYS_EXPORT std::string_view typeName(ValueType type) noexcept;

/// One-dimensional array with lower bound 0. Text arrays hold `Text` variants.
struct Array {
    ValueType elementType = ValueType::Any;  ///< the declared type of the items (`Any`: each its own)
    std::vector<Variant> items;              ///< the items, index 0 first
};

/// Empty value (never assigned).
struct EmptyValue { /// Every empty value equals every other.
    bool operator==(const EmptyValue&) const = default; };
/// Null value.
struct NullValue { /// Every null value equals every other.
    bool operator==(const NullValue&) const = default; };

/// A tagged value. Conversions follow the usual automation rules: numbers convert to each
/// other with range checks (error 6 "Desbordamiento"), fractions become whole numbers by
/// rounding halves to even, text converts through the regional number format (error 13
/// "No coinciden los tipos" when it does not read as a number), and null converts to nothing
/// (error 94 "Uso no válido de Null").
class KOR2_SYS_EXPORT Variant {
public:
    /// The alternatives a value may hold, in the order of `ValueType`'s first eleven tags.
    using Storage = std::variant<EmptyValue, NullValue, Integer, Long, Single, Double, Boolean, Text,
                                 std::shared_ptr<Array>, std::shared_ptr<Object>, Byte>;

    /// The empty value.
    Variant() = default;
    // Each holds the value given as its own type.
    Variant(Byte v) : m_value(v) {}        ///< a `Byte`
    Variant(Integer v) : m_value(v) {}     ///< an `Integer`
    Variant(Long v) : m_value(v) {}        ///< a `Long`
    Variant(Single v) : m_value(v) {}      ///< a `Single`
    Variant(Double v) : m_value(v) {}      ///< a `Double`
    Variant(Boolean v) : m_value(v) {}     ///< a `Boolean`
    Variant(Text v) : m_value(std::move(v)) {}  ///< a `Text`
    Variant(const char16_t* v) : m_value(Text(v)) {}  ///< a `Text` copied from a literal
    Variant(Array v) : m_value(std::make_shared<Array>(std::move(v))) {}  ///< an array, shared by the copies
    Variant(std::shared_ptr<Object> v) : m_value(std::move(v)) {}  ///< an object reference
    Variant(NullValue v) : m_value(v) {}   ///< the null value
    /// The null value.
    static Variant null() { return Variant(NullValue{}); }

    /// The type tag of the value held.
    ValueType type() const noexcept;
    /// True for the empty value (never assigned).
    bool isEmpty() const noexcept { return type() == ValueType::Empty; }
    /// True for the null value.
    bool isNull() const noexcept { return type() == ValueType::Null; }

    // Conversions; each throws `Error` (6, 13 or 94) when the value does not convert.
    Byte toByte() const;        ///< as a `Byte` (0 to 255)
    Integer toInteger() const;  ///< as an `Integer`
    Long toLong() const;        ///< as a `Long`
    Single toSingle() const;    ///< as a `Single`
    Double toDouble() const;    ///< as a `Double`
    Boolean toBoolean() const;  ///< as a `Boolean`
    /// Text form: text unchanged, empty gives the empty text, numbers in the regional form,
    /// booleans as "Verdadero"/"Falso"; null and objects have none (errors 94 and 13).
    Text toText() const;
    /// The object held; error 13 for any other value (also for empty and null).
    std::shared_ptr<Object> toObject() const;
    /// The array held; error 13 for any other value.
    Array& toArray() const;
    /// This value converted to `type` (`Any` keeps it as it is).
    Variant convertedTo(ValueType type) const;

    /// Direct access to the stored value, for callers that know its type.
    const Storage& storage() const noexcept { return m_value; }
    /// The stored value, to change in place.
    Storage& storage() noexcept { return m_value; }

    /// Same type and same value (arrays and objects by identity).
    bool operator==(const Variant& other) const { return m_value == other.m_value; }

private:
    Storage m_value;
};

} // namespace Kor2_Sys
