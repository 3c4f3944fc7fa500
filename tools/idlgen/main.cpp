// Writes the interface definition of the library's component binding from the dispatch tables:
// one dispatch interface and one class per library class, identifiers as the tables compute them,
// the enumerations, and the fixed identifiers of the binding. Built for the build machine and run
// while building the Windows library; the IDL compiler turns its output into the type library.

#include <Kor2_Sys/Object.h>

#include "com/NameUuid.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

using namespace Kor2_Sys;

std::string typeOf(ValueType type)
{
    switch (type) {
    case ValueType::Integer: return "short";
    case ValueType::Long: return "long";
    case ValueType::Single: return "float";
    case ValueType::Double: return "double";
    case ValueType::Boolean: return "VARIANT_BOOL";
    case ValueType::Text: return "BSTR";
    case ValueType::Byte: return "unsigned char";
    case ValueType::Object: return "IDispatch*";
    case ValueType::Empty: return "void";
    default: return "VARIANT";  // Any, Array, Null
    }
}

// The IDL compiler takes ASCII names only: a letter outside it is written as its nearest ASCII
// letter there (tamaño -> tamano). Late binding by the real name is not affected, it is served from
// the tables.
std::string asciiName(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == 0xC3 && i + 1 < name.size()) {
            const unsigned char next = static_cast<unsigned char>(name[++i]);
            out += next == 0xB1 ? 'n' : next == 0x91 ? 'N' : '_';
        } else {
            out += '_';
        }
    }
    return out;
}

std::string defaultOf(const ParamInfo& p)
{
    if (p.type == ValueType::Text)
        return "\"\"";
    std::ostringstream text;
    text << p.defaultValue;
    return text.str();
}

std::string paramOf(const ParamInfo& p)
{
    std::string attributes = p.byRef ? "in, out" : "in";
    std::string type = typeOf(p.type);
    if (p.optional) {
        attributes += ", optional";
        if (type != "VARIANT" && type != "IDispatch*")
            attributes += ", defaultvalue(" + defaultOf(p) + ")";
        else
            type = "VARIANT";
    }
    if (p.byRef)
        type += "*";
    return "[" + attributes + "] " + type + " " + asciiName(p.name);
}

void writeClass(std::ostream& out, const ClassInfo& info)
{
    char id[16];
    out << "    [uuid(" << com::interfaceUuid(info.name) << "), hidden]\n";
    out << "    dispinterface " << info.interfaceName() << " {\n    properties:\n";
    for (const MemberInfo& m : info.members)
        if (m.shape == MemberShape::Field) {
            std::snprintf(id, sizeof id, "0x%08X", static_cast<unsigned>(m.id));
            out << "        [id(" << id << ")] " << typeOf(m.result) << " " << asciiName(m.name) << ";\n";
        }
    out << "    methods:\n";
    for (const MemberInfo& m : info.members) {
        if (m.shape == MemberShape::Field)
            continue;
        std::snprintf(id, sizeof id, "0x%08X", static_cast<unsigned>(m.id));
        std::string attributes = std::string("id(") + id + ")";
        std::string result = typeOf(m.result);
        std::string params;
        for (const ParamInfo& p : m.params)
            params += (params.empty() ? "" : ", ") + paramOf(p);
        if (m.shape == MemberShape::PropertyGet) {
            attributes += ", propget";
        } else if (m.shape == MemberShape::PropertyPut) {
            attributes += ", propput";
            params += (params.empty() ? "" : ", ") + std::string("[in] ") + typeOf(m.result) + " rhs";
            result = "void";
        }
        if (m.acceptsAnyArguments)
            attributes += ", vararg";
        if (m.acceptsAnyArguments)
            params = "[in, out] SAFEARRAY(VARIANT)* args";
        out << "        [" << attributes << "] " << result << " " << asciiName(m.name) << "(" << params << ");\n";
    }
    out << "    };\n\n";
    out << "    [uuid(" << com::classUuid(info.name) << ")]\n";
    out << "    coclass " << info.name << " {\n        [default] dispinterface " << info.interfaceName()
        << ";\n    };\n\n";
}

// Rewritten only when it changes, so that what is built from it is not rebuilt for nothing.
int writeIfChanged(const char* path, const std::string& text)
{
    {
        std::ifstream old(path, std::ios::binary);
        std::ostringstream before;
        before << old.rdbuf();
        if (old && before.str() == text)
            return 0;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.flush();
    if (!file) {
        std::cerr << "kor2-idlgen: no se puede escribir " << path << "\n";
        return 1;
    }
    return 0;
}

std::string interfaceDefinition()
{
    std::ostringstream out;
    out << "// Generated from the library's dispatch tables by kor2-idlgen; do not edit.\n\n";
    out << "import \"oaidl.idl\";\n\n";
    out << "[uuid(" << com::libraryUuid() << "), version(1.0), helpstring(\"Kor2_Sys\")]\n";
    out << "library Kor2_Sys\n{\n    importlib(\"stdole2.tlb\");\n\n";
    for (const EnumInfo* e : libraryEnums()) {
        out << "    [uuid(" << com::uuidText(com::nameUuid("Kor2_Sys." + std::string(e->name))) << ")]\n";
        out << "    typedef enum " << e->name << " {\n";
        for (std::size_t i = 0; i < e->members.size(); ++i)
            out << "        " << asciiName(e->members[i].name) << " = " << e->members[i].value
                << (i + 1 < e->members.size() ? ",\n" : "\n");
        out << "    } " << e->name << ";\n\n";
    }
    for (const ClassInfo* info : libraryClasses())
        writeClass(out, *info);
    out << "}\n";
    return out.str();
}

// One line per member, "ProgID<tab>name<tab>identifier" with the names in UTF-8 letter for letter:
// what a client of the binding must find through GetIDsOfNames.
std::string identifierList()
{
    std::ostringstream out;
    for (const ClassInfo* info : libraryClasses()) {
        std::string last;
        for (const MemberInfo& m : info->members) {
            if (m.name == last)
                continue;  // a property's get and put share their identifier
            last = m.name;
            out << info->progId() << '\t' << m.name << '\t' << static_cast<unsigned>(m.id) << '\n';
        }
    }
    return out.str();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2)
        return writeIfChanged(argv[1], interfaceDefinition());
    if (argc == 3 && std::string_view(argv[1]) == "--ids")
        return writeIfChanged(argv[2], identifierList());
    std::cerr << "uso: kor2-idlgen ARCHIVO.idl | kor2-idlgen --ids ARCHIVO.txt\n";
    return 2;
}
