#include "CallError.h"

#include "Describe.h"
#include "JsonReader.h"
#include "JsonWriter.h"

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

// The declared name and type of one argument slot, as `kor2 describe` writes them.
struct Slot {
    std::string name;
    std::string type;
};

std::string ordinal(std::size_t position) { return "el argumento " + std::to_string(position + 1); }

std::string slotText(const Slot& slot) { return slot.name + ", que espera " + slot.type; }

Slot slotOf(const MemberInfo& member, std::size_t i, InvokeKind kind)
{
    if (kind == InvokeKind::Put || i >= member.params.size())
        return {std::string(member.name), std::string(typeName(member.result))};
    const ParamInfo& p = member.params[i];
    return {std::string(p.name), std::string(parameterType(p))};
}

std::size_t slotCount(const MemberInfo& member, InvokeKind kind)
{
    if (member.shape == MemberShape::Field || member.shape == MemberShape::PropertyGet ||
        member.shape == MemberShape::PropertyPut)
        return kind == InvokeKind::Put ? 1 : 0;
    return member.params.size();
}

// The first argument whose conversion to its declared type fails with this very error: the
// library converts before the member runs, so that is the argument it refused.
std::string refusedArgument(const MemberInfo& member, std::span<const Variant> args, InvokeKind kind, Long number)
{
    const std::size_t slots = slotCount(member, kind);
    for (std::size_t i = 0; i < args.size() && i < slots && !member.acceptsAnyArguments; ++i) {
        const ValueType declared = kind == InvokeKind::Put ? member.result : member.params[i].type;
        if (declared == ValueType::Object || declared == ValueType::Any)
            continue;
        try {
            (void)args[i].convertedTo(declared);
        } catch (const Error& e) {
            if (e.number() == number)
                return ordinal(i) + ", " + slotText(slotOf(member, i, kind));
        }
    }
    return {};
}

std::string argumentAtFault(const MemberInfo& member, std::span<const Variant> args, InvokeKind kind, const Error& error)
{
    const std::size_t slots = slotCount(member, kind);
    if (error.number() == errors::argumentNotOptional().number()) {
        for (std::size_t i = args.size(); i < member.params.size(); ++i)
            if (!member.params[i].optional)
                return "falta " + ordinal(i) + ", " + slotText(slotOf(member, i, kind));
        return {};
    }
    if (error.number() == errors::wrongArgumentCount().number() && !member.acceptsAnyArguments)
        return "admite " + std::string(slots == 1 ? "1 argumento" : std::to_string(slots) + " argumentos") +
               (kind == InvokeKind::Put || slots == 0 ? "" : " como mucho") + " y recibió " + std::to_string(args.size());
    return refusedArgument(member, args, kind, error.number());
}

} // namespace

std::string callErrorLine(const ClassInfo& info, std::string_view member, std::span<const Variant> args,
                          const Error& error)
{
    const bool put = !member.empty() && member.back() == '=';
    const InvokeKind kind = put ? InvokeKind::Put : InvokeKind::Method;
    const std::string_view name = put ? member.substr(0, member.size() - 1) : member;
    const MemberInfo* row = info.find(name, kind);
    const std::string shownMember = (row != nullptr ? std::string(row->name) : excerpt(name)) + (put ? "=" : "");
    std::string line = "kor2: error " + std::to_string(error.number()) + " en " + std::string(info.name) + "." +
                       shownMember + ": " + displayText(error.description());
    if (row != nullptr)
        if (const std::string fault = argumentAtFault(*row, args, kind, error); !fault.empty())
            line += "; " + fault;
    return line + " (véase kor2 describe " + std::string(info.name) + ")";
}

} // namespace kor2cli
