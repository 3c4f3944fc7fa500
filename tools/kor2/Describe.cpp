#include "Describe.h"

#include "JsonWriter.h"

#include <cstdio>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

std::string_view shapeName(MemberShape shape)
{
    switch (shape) {
    case MemberShape::Function: return "function";
    case MemberShape::Sub: return "sub";
    case MemberShape::PropertyGet: return "property get";
    case MemberShape::PropertyPut: return "property put";
    case MemberShape::Field: return "field";
    }
    return "?";
}

std::string hexId(DispId id)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(id));
    return buffer;
}

std::string signature(const MemberInfo& m)
{
    std::string out(m.name);
    if (m.shape == MemberShape::Field || m.shape == MemberShape::PropertyGet || m.shape == MemberShape::PropertyPut)
        return out + ": " + std::string(typeName(m.result));
    out += "(";
    if (m.acceptsAnyArguments)
        out += "...";
    for (std::size_t i = 0; i < m.params.size(); ++i) {
        const ParamInfo& p = m.params[i];
        out += (i ? ", " : "") + std::string(p.optional ? "[" : "") + (p.byRef ? "byref " : "byval ") +
               std::string(p.name) + ": " + std::string(parameterType(p)) + (p.optional ? "]" : "");
    }
    out += ")";
    if (m.shape == MemberShape::Function)
        out += ": " + std::string(typeName(m.result));
    return out;
}

} // namespace

std::string_view parameterType(const ParamInfo& param)
{
    return param.enumeration != nullptr ? param.enumeration->name : typeName(param.type);
}

namespace {

std::string describeJson(const ClassInfo& info)
{
    JsonWriter json;
    json.beginObject()
        .key("class").utf8(info.name)
        .key("progid").utf8(info.progId())
        .key("interface").utf8(info.interfaceName())
        .key("creation").utf8(info.creation == Creation::Global ? "global" : "creatable")
        .key("members").beginArray();
    for (const MemberInfo& m : info.members)
        json.beginObject()
            .key("id").number(m.id)
            .key("hex").utf8(hexId(m.id))
            .key("kind").utf8(shapeName(m.shape))
            .key("name").utf8(m.name)
            .key("signature").utf8(signature(m))
            .key("implemented").boolean(m.handler != nullptr)
            .endObject();
    json.endArray().endObject();
    return json.take();
}

} // namespace

std::string describe(const EnumInfo& info, bool json)
{
    if (json) {
        JsonWriter writer;
        writer.beginObject().key("enum").utf8(info.name).key("members").beginArray();
        for (const EnumMember& m : info.members)
            writer.beginObject().key("name").utf8(m.name).key("value").number(m.value).endObject();
        writer.endArray().endObject();
        return writer.take() + "\n";
    }
    std::string out = std::string(info.name) + " (enumeración)\n";
    for (const EnumMember& m : info.members)
        out += "  " + std::string(m.name) + " = " + std::to_string(m.value) + "\n";
    return out;
}

std::string describe(const ClassInfo& info, bool json)
{
    if (json)
        return describeJson(info) + "\n";
    std::string out = info.progId() + " (" + (info.creation == Creation::Global ? "global" : "creable") +
                      "), interfaz " + info.interfaceName() + "\n";
    for (const MemberInfo& m : info.members) {
        std::string kind(shapeName(m.shape));
        kind.resize(13, ' ');
        out += "  " + hexId(m.id) + "  " + kind + signature(m) + (m.handler ? "" : "  [sin implementar]") + "\n";
    }
    return out;
}

} // namespace kor2cli
