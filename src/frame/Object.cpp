#include <Kor2_Sys/Object.h>

#include "frame/Dispatch.h"
#include "frame/Utf.h"

namespace Kor2_Sys {
namespace {

bool shapeAnswers(MemberShape shape, InvokeKind kind)
{
    switch (shape) {
    case MemberShape::Function: return kind != InvokeKind::Put;
    case MemberShape::Sub: return kind == InvokeKind::Method;
    case MemberShape::PropertyGet: return kind != InvokeKind::Put;
    case MemberShape::PropertyPut: return kind == InvokeKind::Put;
    case MemberShape::Field: return true;
    }
    return false;
}

// The declared type an argument is converted to; a data member's written value takes the field's.
ValueType declaredType(const MemberInfo& member, std::size_t i)
{
    if (member.shape == MemberShape::Field || member.shape == MemberShape::PropertyPut)
        return member.result;
    return i < member.params.size() ? member.params[i].type : ValueType::Any;
}

bool writesBack(const MemberInfo& member, std::size_t i)
{
    if (member.acceptsAnyArguments)
        return true;
    return i < member.params.size() && member.params[i].byRef;
}

// An omitted optional parameter: its number default converted to the declared type; text and
// variants start empty.
Variant omitted(const ParamInfo& param)
{
    if (param.type == ValueType::Text)
        return Text{};
    if (param.type == ValueType::Any || param.type == ValueType::Array || param.type == ValueType::Object)
        return Variant{};
    return Variant(param.defaultValue).convertedTo(param.type);
}

void checkArity(const MemberInfo& member, InvokeKind kind, std::size_t count)
{
    if (member.acceptsAnyArguments)
        return;
    if (member.shape == MemberShape::Field || dispatch::isPropertyProcedure(member.shape)) {
        const std::size_t expected = kind == InvokeKind::Put ? 1 : 0;
        if (count != expected)
            throw errors::wrongArgumentCount();
        return;
    }
    if (count > member.params.size())
        throw errors::wrongArgumentCount();
    for (std::size_t i = count; i < member.params.size(); ++i)
        if (!member.params[i].optional)
            throw errors::argumentNotOptional();
}

} // namespace

Object::~Object() = default;

Variant Object::invoke(DispId, InvokeKind, std::span<Variant>)
{
    throw errors::memberNotSupported();
}

Variant getProperty(Object& object, std::string_view member)
{
    return object.invoke(member, InvokeKind::Get, {});
}

void putProperty(Object& object, std::string_view member, Variant value)
{
    object.invoke(member, InvokeKind::Put, std::span<Variant>(&value, 1));
}

std::string ClassInfo::progId() const
{
    std::string id = "Kor2_Sys.";
    id.append(name);
    return id;
}

std::string ClassInfo::interfaceName() const
{
    std::string interface(1, '_');
    interface.append(name);
    return interface;
}

const MemberInfo* ClassInfo::find(std::string_view member, InvokeKind kind) const noexcept
{
    for (const MemberInfo& row : members)
        if (utf::equalNames(row.name, member) && shapeAnswers(row.shape, kind))
            return &row;
    return nullptr;
}

const MemberInfo* ClassInfo::find(DispId id, InvokeKind kind) const noexcept
{
    for (const MemberInfo& row : members)
        if (row.id == id && shapeAnswers(row.shape, kind))
            return &row;
    return nullptr;
}

namespace dispatch {

Variant invokeMember(const MemberInfo& member, void* self, InvokeKind kind, std::span<Variant> args)
{
    if (member.handler == nullptr)
        throw errors::memberNotSupported();
    checkArity(member, kind, args.size());

    std::vector<Variant> values;
    const std::size_t count = member.acceptsAnyArguments ? args.size() : std::max(args.size(), member.params.size());
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(i < args.size() ? args[i].convertedTo(declaredType(member, i)) : omitted(member.params[i]));

    CallArgs call(values, args.size(), kind);
    Variant result = member.handler(self, call);

    // A by-reference argument sees the change when the caller's variable has the declared type
    // (or was empty, as an output variable is): a value of another type went in as a converted
    // temporary, as it does with any automation server.
    for (std::size_t i = 0; i < args.size(); ++i) {
        const ValueType declared = declaredType(member, i);
        if (writesBack(member, i) && (declared == ValueType::Any || args[i].isEmpty() || args[i].type() == declared))
            args[i] = std::move(values[i]);
    }
    return result;
}

} // namespace dispatch
} // namespace Kor2_Sys
