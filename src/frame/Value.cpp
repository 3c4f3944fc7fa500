#include <Kor2_Sys/Object.h>
#include <Kor2_Sys/Value.h>

#include "frame/Errors.h"
#include "frame/Latin1.h"
#include "frame/NumberText.h"

#include <cmath>
#include <limits>

namespace Kor2_Sys {
namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;  // clang 14 needs the guide spelled out

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (latin1::toLower(a[i]) != latin1::toLower(b[i]))
            return false;
    return true;
}

std::u16string_view trimmed(std::u16string_view text)
{
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    return text;
}

Double textToDouble(const Text& text)
{
    const auto value = numtext::parseRegional(text);
    if (!value)
        throw errors::typeMismatch();
    return *value;
}

// Fractions become whole numbers with halves going to the even neighbour (banker's rounding),
// the rule of every automation conversion from a floating value to an integer type.
template <class Int> Int toWhole(Double value)
{
    if (std::isnan(value))
        throw errors::overflow();
    const Double whole = std::nearbyint(value);  // default rounding mode: to nearest, ties to even
    if (whole < static_cast<Double>(std::numeric_limits<Int>::min()) ||
        whole > static_cast<Double>(std::numeric_limits<Int>::max()))
        throw errors::overflow();
    return static_cast<Int>(whole);
}

} // namespace

std::string_view typeName(ValueType type) noexcept
{
    switch (type) {
    case ValueType::Empty: return "empty";
    case ValueType::Null: return "null";
    case ValueType::Integer: return "integer";
    case ValueType::Long: return "long";
    case ValueType::Single: return "single";
    case ValueType::Double: return "double";
    case ValueType::Boolean: return "boolean";
    case ValueType::Text: return "text";
    case ValueType::Array: return "array";
    case ValueType::Object: return "object";
    case ValueType::Byte: return "byte";
    case ValueType::Any: return "variant";
    }
    return "variant";
}

ValueType Variant::type() const noexcept
{
    return static_cast<ValueType>(m_value.index());
}

Double Variant::toDouble() const
{
    return std::visit(Overloaded{
        [](EmptyValue) -> Double { return 0; },
        [](NullValue) -> Double { throw errors::invalidUseOfNull(); },
        [](Boolean b) -> Double { return b ? -1 : 0; },
        [](const Text& t) -> Double { return textToDouble(t); },
        [](const std::shared_ptr<Array>&) -> Double { throw errors::typeMismatch(); },
        [](const std::shared_ptr<Object>&) -> Double { throw errors::typeMismatch(); },
        [](auto number) -> Double { return static_cast<Double>(number); },
    }, m_value);
}

Byte Variant::toByte() const
{
    if (auto* v = std::get_if<Byte>(&m_value))
        return *v;
    return toWhole<Byte>(toDouble());
}

Integer Variant::toInteger() const
{
    if (auto* v = std::get_if<Integer>(&m_value))
        return *v;
    return toWhole<Integer>(toDouble());
}

Long Variant::toLong() const
{
    if (auto* v = std::get_if<Long>(&m_value))
        return *v;
    return toWhole<Long>(toDouble());
}

Single Variant::toSingle() const
{
    if (auto* v = std::get_if<Single>(&m_value))
        return *v;
    const Double value = toDouble();
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<Single>::max())
        throw errors::overflow();
    return static_cast<Single>(value);
}

Boolean Variant::toBoolean() const
{
    if (auto* v = std::get_if<Boolean>(&m_value))
        return *v;
    if (auto* t = std::get_if<Text>(&m_value)) {
        const auto word = trimmed(*t);
        if (equalsIgnoringCase(word, u"Verdadero") || equalsIgnoringCase(word, u"True"))
            return true;
        if (equalsIgnoringCase(word, u"Falso") || equalsIgnoringCase(word, u"False"))
            return false;
    }
    return toDouble() != 0;
}

Text Variant::toText() const
{
    return std::visit(Overloaded{
        [](EmptyValue) -> Text { return {}; },
        [](NullValue) -> Text { throw errors::invalidUseOfNull(); },
        [](Boolean b) -> Text { return b ? u"Verdadero" : u"Falso"; },
        [](const Text& t) -> Text { return t; },
        [](const std::shared_ptr<Array>&) -> Text { throw errors::typeMismatch(); },
        [](const std::shared_ptr<Object>&) -> Text { throw errors::typeMismatch(); },
        [](Single s) -> Text { return numtext::regional(s); },
        [](Double d) -> Text { return numtext::regional(d); },
        [](auto whole) -> Text {
            const std::string digits = std::to_string(whole);
            return Text(digits.begin(), digits.end());
        },
    }, m_value);
}

std::shared_ptr<Object> Variant::toObject() const
{
    if (auto* v = std::get_if<std::shared_ptr<Object>>(&m_value); v && *v)
        return *v;
    throw errors::typeMismatch();
}

Array& Variant::toArray() const
{
    if (auto* v = std::get_if<std::shared_ptr<Array>>(&m_value); v && *v)
        return **v;
    throw errors::typeMismatch();
}

Variant Variant::convertedTo(ValueType type) const
{
    // Arrays are values: a converted argument must not share its items with the caller's variable.
    if (this->type() == ValueType::Array && (type == ValueType::Array || type == ValueType::Any))
        return Variant(Array(toArray()));
    if (type == this->type() || type == ValueType::Any)
        return *this;
    switch (type) {
    case ValueType::Byte: return toByte();
    case ValueType::Integer: return toInteger();
    case ValueType::Long: return toLong();
    case ValueType::Single: return toSingle();
    case ValueType::Double: return toDouble();
    case ValueType::Boolean: return toBoolean();
    case ValueType::Text: return toText();
    case ValueType::Object: return toObject();
    case ValueType::Array:
        if (isEmpty())
            return Array{};
        return Variant(Array(toArray()));
    case ValueType::Empty: return Variant{};
    case ValueType::Null: return Variant::null();
    case ValueType::Any: break;
    }
    return *this;
}

} // namespace Kor2_Sys
