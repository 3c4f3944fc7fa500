// Writes the interface definition of the library's component binding from the dispatch tables:
// one dual interface and one class per library class, identifiers as the tables compute them,
// the enumerations, and the fixed identifiers of the binding; and the C++ vtables that serve the
// dual interfaces through the same late-bound call as IDispatch; and the assembly manifest that
// stands in for registration (Manifest.cpp). Built for the build machine and run while building the
// Windows library; the IDL compiler turns its output into the type library.

#include <Kor2_Sys/Object.h>

#include "Manifest.h"
#include "Package.h"
#include "classes/Classes.h"
#include "com/NameUuid.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

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

// How a parameter is declared, in the type library and in the vtable that serves it.
struct Declared {
    std::string type;        // the IDL and C++ type as passed, e.g. "short*"
    std::string attributes;  // "in, out, optional, defaultvalue(0)"
    std::string variantType; // the VARTYPE the argument travels as, e.g. "VT_I2"
    bool pointer;
};

std::string variantTypeOf(const std::string& type)
{
    if (type == "short") return "VT_I2";
    if (type == "long") return "VT_I4";
    if (type == "float") return "VT_R4";
    if (type == "double") return "VT_R8";
    if (type == "VARIANT_BOOL") return "VT_BOOL";
    if (type == "BSTR") return "VT_BSTR";
    if (type == "unsigned char") return "VT_UI1";
    if (type == "IDispatch*") return "VT_DISPATCH";
    return "VT_VARIANT";
}

Declared declare(const ParamInfo& p)
{
    Declared d{typeOf(p.type), p.byRef ? "in, out" : "in", "", p.byRef};
    if (p.optional) {
        d.attributes += ", optional";
        if (d.type != "VARIANT" && d.type != "IDispatch*")
            d.attributes += ", defaultvalue(" + defaultOf(p) + ")";
        else
            d.type = "VARIANT";
    }
    d.variantType = variantTypeOf(d.type);
    if (p.byRef)
        d.type += "*";
    return d;
}

std::string paramOf(const ParamInfo& p)
{
    const Declared d = declare(p);
    return "[" + d.attributes + "] " + d.type + " " + asciiName(p.name);
}

// The vtable members of a class: fields become a property read and write pair. Each entry is
// what both the type library and the generated vtable need.
struct Slot {
    const MemberInfo* member;
    enum Kind { Method, Get, Put, PutRef } kind;
};

std::vector<Slot> slotsOf(const ClassInfo& info)
{
    std::vector<Slot> slots;
    for (const MemberInfo& m : info.members) {
        switch (m.shape) {
        case MemberShape::Field:
            slots.push_back({&m, Slot::Get});
            slots.push_back({&m, m.result == ValueType::Object ? Slot::PutRef : Slot::Put});
            break;
        case MemberShape::PropertyGet: slots.push_back({&m, Slot::Get}); break;
        case MemberShape::PropertyPut:
            slots.push_back({&m, m.result == ValueType::Object ? Slot::PutRef : Slot::Put});
            break;
        default: slots.push_back({&m, Slot::Method}); break;
        }
    }
    return slots;
}

std::string hexId(DispId id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(id));
    return text;
}

// The written value of a property: its type as the table gives it.
std::string valueTypeOf(const MemberInfo& m)
{
    return m.result == ValueType::Object ? "IDispatch*" : typeOf(m.result);
}

bool hasResult(const Slot& s)
{
    return s.kind == Slot::Get || (s.kind == Slot::Method && s.member->result != ValueType::Empty);
}

void writeClass(std::ostream& out, const ClassInfo& info)
{
    out << "    [uuid(" << com::interfaceUuid(info.name) << "), dual, oleautomation, nonextensible, hidden]\n";
    out << "    interface " << info.interfaceName() << " : IDispatch {\n";
    for (const Slot& s : slotsOf(info)) {
        const MemberInfo& m = *s.member;
        std::string attributes = "id(" + hexId(m.id) + ")";
        std::vector<std::string> params;
        if (m.acceptsAnyArguments) {
            attributes += ", vararg";
            params.push_back("[in, out] SAFEARRAY(VARIANT)* args");
        } else if (m.shape != MemberShape::Field) {
            for (const ParamInfo& p : m.params)
                params.push_back(paramOf(p));
        }
        if (s.kind == Slot::Get)
            attributes += ", propget";
        else if (s.kind == Slot::Put)
            attributes += ", propput";
        else if (s.kind == Slot::PutRef)
            attributes += ", propputref";
        if (s.kind == Slot::Put || s.kind == Slot::PutRef)
            params.push_back("[in] " + valueTypeOf(m) + " rhs");
        if (hasResult(s))
            params.push_back("[out, retval] " + typeOf(m.result) + "* result");
        std::string list;
        for (const std::string& p : params)
            list += (list.empty() ? "" : ", ") + p;
        out << "        [" << attributes << "] HRESULT " << asciiName(m.name) << "(" << list << ");\n";
    }
    out << "    };\n\n";
    out << "    [uuid(" << com::classUuid(info.name) << ")]\n";
    out << "    coclass " << info.name << " {\n        [default] interface " << info.interfaceName() << ";\n    };\n\n";
}

// --- the vtable: one thunk per slot, each handing its arguments to the late-bound call --------

std::string thunkName(const Slot& s)
{
    const std::string name = asciiName(s.member->name);
    switch (s.kind) {
    case Slot::Get: return "get_" + name;
    case Slot::Put: return "put_" + name;
    case Slot::PutRef: return "putref_" + name;
    default: return name;
    }
}

void writeThunks(std::ostream& out, const ClassInfo& info)
{
    const std::string iface = info.interfaceName();
    out << "class Dual" << iface << " final : public DualTearOff<::" << iface << "> {\npublic:\n"
        << "    using DualTearOff::DualTearOff;\n";
    for (const Slot& s : slotsOf(info)) {
        const MemberInfo& m = *s.member;
        std::vector<std::string> signature;
        std::vector<std::string> packing;
        const bool put = s.kind == Slot::Put || s.kind == Slot::PutRef;
        if (m.acceptsAnyArguments) {
            signature.push_back("SAFEARRAY** a0");
            packing.push_back("args.spread(a0)");
        } else if (m.shape != MemberShape::Field) {
            for (std::size_t i = 0; i < m.params.size(); ++i) {
                const Declared d = declare(m.params[i]);
                const std::string arg = "a" + std::to_string(i);
                signature.push_back(d.type + " " + arg);
                packing.push_back(d.pointer ? "args.ref(" + d.variantType + ", " + arg + ")"
                                            : "args.value(" + d.variantType + ", " + arg + ")");
            }
        }
        if (put) {
            signature.push_back(valueTypeOf(m) + " rhs");
            packing.push_back("args.value(" + variantTypeOf(valueTypeOf(m)) + ", rhs)");
        }
        if (hasResult(s))
            signature.push_back(typeOf(m.result) + "* result");
        std::string list;
        for (const std::string& p : signature)
            list += (list.empty() ? "" : ", ") + p;
        out << "    HRESULT STDMETHODCALLTYPE " << thunkName(s) << "(" << list << ") override\n    {\n";
        out << "        DualArgs args;\n";
        if (!packing.empty()) {
            out << "        if (";
            for (std::size_t i = 0; i < packing.size(); ++i)
                out << (i ? " ||\n            " : "") << "!" << packing[i];
            out << ")\n            return E_POINTER;\n";
        }
        const std::string flags = s.kind == Slot::Get      ? "DISPATCH_PROPERTYGET"
                                  : s.kind == Slot::Put    ? "DISPATCH_PROPERTYPUT"
                                  : s.kind == Slot::PutRef ? "DISPATCH_PROPERTYPUTREF"
                                                           : "DISPATCH_METHOD";
        out << "        return call(" << hexId(m.id) << ", " << flags << ", args";
        if (hasResult(s))
            out << ", " << variantTypeOf(typeOf(m.result)) << ", result";
        out << ");\n    }\n";
    }
    out << "};\n\n";
}

std::string vtables()
{
    std::ostringstream out;
    out << "// Generated from the library's dispatch tables by kor2-idlgen; do not edit.\n"
        << "// The dual interface of every class: each vtable member hands its arguments to the\n"
        << "// late-bound call of the same identifier.\n\n"
        << "#include \"com/Dual.h\"\n\n#include \"Kor2_Sys_h.h\"\n\n"
        << "namespace Kor2_Sys::com {\nnamespace {\n\n";
    for (const ClassInfo* info : libraryClasses())
        writeThunks(out, *info);
    out << "template <class T> DualInterface* make(Dispatch& owner) { return new T(owner); }\n\n"
        << "} // namespace\n\nDualInterface* makeDual(Dispatch& owner, std::string_view className)\n{\n";
    for (const ClassInfo* info : libraryClasses())
        out << "    if (className == \"" << info->name << "\")\n        return make<Dual" << info->interfaceName()
            << ">(owner);\n";
    out << "    return nullptr;\n}\n\n} // namespace Kor2_Sys::com\n";
    return out.str();
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

// The files made for one architecture and version: the option, the writer and what it accepts.
struct Versioned {
    std::string_view option;
    std::optional<std::string> (*write)(std::string_view architecture, std::string_view version);
    std::string_view expected;
};
constexpr Versioned kVersioned[] = {
    {"--manifest", Kor2_Sys::idlgen::assemblyManifest,
     "la arquitectura amd64 o x86 y una versión de cuatro números de hasta 65535"},
    {"--wix", Kor2_Sys::idlgen::installerSource,
     "la arquitectura x64 o x86 y una versión de tres números (hasta 255, 255 y 65535)"}};

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "--dual")
        return writeIfChanged(argv[2], vtables());
    // An option it does not know is not a file name.
    if (argc == 2 && !std::string_view(argv[1]).starts_with("--"))
        return writeIfChanged(argv[1], interfaceDefinition());
    if (argc == 3 && std::string_view(argv[1]) == "--ids")
        return writeIfChanged(argv[2], identifierList());
    for (const Versioned& file : kVersioned) {
        if (argc != 5 || std::string_view(argv[1]) != file.option)
            continue;
        const std::optional<std::string> text = file.write(argv[3], argv[4]);
        if (!text) {
            std::cerr << "kor2-idlgen: se espera " << file.expected << "\n";
            return 2;
        }
        return writeIfChanged(argv[2], *text);
    }
    std::cerr << "uso: kor2-idlgen ARCHIVO.idl | kor2-idlgen --ids ARCHIVO.txt | kor2-idlgen --dual ARCHIVO.cpp"
                 " | kor2-idlgen --manifest ARCHIVO.manifest amd64|x86 VERSIÓN"
                 " | kor2-idlgen --wix ARCHIVO.wxs x64|x86 VERSIÓN\n";
    return 2;
}
