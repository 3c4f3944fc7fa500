#pragma once
// The description of the library's classes: what each member is, its parameters and the code that
// runs it. Late binding, the C entry points, the component binding, the command-line tool and the
// printed interface listing all read it; hosts reach the members by name or identifier only.

#include <Kor2_Sys/Object.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace Kor2_Sys {

namespace dispatch { class CallArgs; }

/// What a member of a library class is.
enum class MemberShape : std::uint8_t {
    Function,     ///< procedure with a result (identifier 0x60030000 + procedure index)
    Sub,          ///< procedure without result (0x60030000 + procedure index)
    PropertyGet,  ///< property procedure, read (0x68030000 + procedure index)
    PropertyPut,  ///< property procedure, write (shares the identifier of its read half)
    Field,        ///< public data member exposed as a read/write property (0x40030000 + field index)
};

/// One named value of an enumeration.
struct EnumMember {
    std::string_view name;
    Long value;
};

/// An enumeration of the interface: its values travel as `Long`, its name documents them.
struct EnumInfo {
    std::string_view name;
    std::span<const EnumMember> members;
};

/// One declared parameter.
struct ParamInfo {
    std::string_view name;   ///< the interface's own name, UTF-8
    ValueType type;          ///< `Any` for a variant parameter
    bool byRef = true;       ///< by-reference parameters see the callee's changes
    bool optional = false;
    /// Value an omitted optional parameter takes (numbers only; text defaults are empty).
    double defaultValue = 0;
    /// The enumeration a `Long` parameter takes its values from, if any.
    const EnumInfo* enumeration = nullptr;
};

/// Implementation of one member: `self` is the class instance, the arguments already have the
/// declared types. Returns the result (empty for subs and property writes).
using MemberHandler = Variant (*)(void* self, dispatch::CallArgs& args);

/// One row of a class's dispatch table.
struct MemberInfo {
    std::string_view name;  ///< UTF-8, letter for letter as the interface spells it
    MemberShape shape;
    ValueType result;       ///< `Empty` for subs and property writes
    std::span<const ParamInfo> params;
    MemberHandler handler;  ///< null while the member is not built: calling it is error 438
    DispId id = 0;          ///< filled from the row's position (see `makeTable`)
    bool acceptsAnyArguments = false;  ///< parameter list not declared: any arguments are taken
    /// A procedure whose parameters are all by reference and scalar or text: a call giving each in
    /// its declared type hands the caller's own variables over (filled by `makeTable`).
    bool takesInPlace = false;
};

/// Creation kind of a library class.
enum class Creation : std::uint8_t { Creatable, Global };

/// Description of a library class: the source of invocation, identifiers and the printed listing.
struct ClassInfo {
    std::string_view name;               ///< class name, e.g. "CColores"
    Creation creation;
    std::span<const MemberInfo> members; ///< in interface order
    std::shared_ptr<Object> (*create)(); ///< a fresh instance
    std::shared_ptr<Object> (*shared)(); ///< the implicit shared instance (global classes; else null)

    /// "Kor2_Sys." + name.
    std::string progId() const;
    /// Interface name: "_" + class name.
    std::string interfaceName() const;
    /// The row with this name (case-insensitive) or identifier and shape compatible with
    /// `kind`; null when there is none.
    const MemberInfo* find(std::string_view member, InvokeKind kind) const noexcept;
    const MemberInfo* find(DispId id, InvokeKind kind) const noexcept;
};

/// A library class instance, which knows its class.
class Described : public Object {
public:
    virtual const ClassInfo& classInfo() const noexcept = 0;
};

/// The class description of a library class instance; null for a host object.
inline const ClassInfo* classOf(const Object& object) noexcept
{
    const auto* described = dynamic_cast<const Described*>(&object);
    return described != nullptr ? &described->classInfo() : nullptr;
}

} // namespace Kor2_Sys
