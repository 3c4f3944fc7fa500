#pragma once
/// \file Object.h
/// Late binding: every library class and every host object is an `Object` whose members are
/// reached by name or by numeric identifier.

#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/Value.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace Kor2_Sys {

/// How a member is invoked.
enum class InvokeKind : std::uint8_t {
    Method,  ///< call a function or sub
    Get,     ///< read a property (a function without arguments may be read too)
    Put,     ///< assign a property; the new value is the last argument
};

/// Late-binding identifier of a member.
using DispId = std::int32_t;

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
    std::string_view name;  ///< the value's name, UTF-8
    Long value;             ///< the number it stands for
};

/// An enumeration of the interface: its values travel as `Long`, its name documents them.
struct EnumInfo {
    std::string_view name;                ///< the enumeration's name, UTF-8
    std::span<const EnumMember> members;  ///< its values, in declared order
};

/// One declared parameter.
struct ParamInfo {
    std::string_view name;   ///< the interface's own name, UTF-8
    ValueType type;          ///< `Any` for a variant parameter
    bool byRef = true;       ///< by-reference parameters see the callee's changes
    bool optional = false;   ///< may be omitted (takes `defaultValue`)
    /// Value an omitted optional parameter takes (numbers only; text defaults are empty).
    double defaultValue = 0;
    /// The enumeration a `Long` parameter takes its values from, if any.
    const EnumInfo* enumeration = nullptr;
};

namespace dispatch { class CallArgs; }

/// Implementation of one member: `self` is the class instance, the arguments already have the
/// declared types. Returns the result (empty for subs and property writes).
using MemberHandler = Variant (*)(void* self, dispatch::CallArgs& args);

/// One row of a class's dispatch table.
struct MemberInfo {
    std::string_view name;  ///< UTF-8, letter for letter as the interface spells it
    MemberShape shape;      ///< how the member is reached
    ValueType result;       ///< `Empty` for subs and property writes
    std::span<const ParamInfo> params;  ///< declared parameters, in order
    MemberHandler handler;  ///< null while the member is not built: calling it is error 438
    DispId id = 0;          ///< filled from the row's position (see `makeTable`)
    bool acceptsAnyArguments = false;  ///< parameter list not declared: any arguments are taken
};

/// Creation kind of a library class.
enum class Creation : std::uint8_t { Creatable, Global };

/// Description of a library class: the source of invocation, identifiers and the printed listing.
struct KOR2_SYS_EXPORT ClassInfo {
    std::string_view name;               ///< class name, e.g. "CColores"
    Creation creation;                   ///< creatable, or global with a shared instance
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
    /// The row with this identifier and a shape compatible with `kind`; null when there is none.
    const MemberInfo* find(DispId id, InvokeKind kind) const noexcept;
};

/// A library class instance or a host object.
class KOR2_SYS_EXPORT Object {
public:
    virtual ~Object();

    /// Invokes a member by name (case-insensitive). Arguments are in declared order; by-reference
    /// arguments receive the callee's changes when they hold the declared type, or are empty.
    /// Unknown member: error 438.
    virtual Variant invoke(std::string_view member, InvokeKind kind, std::span<Variant> args) = 0;
    /// Invokes a member by identifier. Objects without identifiers answer error 438.
    virtual Variant invoke(DispId id, InvokeKind kind, std::span<Variant> args);
    /// The class description for library classes; null for host objects.
    virtual const ClassInfo* classInfo() const noexcept { return nullptr; }
};

/// Reads property `member` of `object`.
KOR2_SYS_EXPORT Variant getProperty(Object& object, std::string_view member);
/// Assigns property `member` of `object`.
KOR2_SYS_EXPORT void putProperty(Object& object, std::string_view member, Variant value);

/// The enumerations of the library's interfaces.
KOR2_SYS_EXPORT std::span<const EnumInfo* const> libraryEnums();
/// The enumeration with this name (case-insensitive); null when there is none.
KOR2_SYS_EXPORT const EnumInfo* findEnum(std::string_view name) noexcept;

/// All library classes, in the order of the class index.
KOR2_SYS_EXPORT std::span<const ClassInfo* const> libraryClasses();
/// The class with programmatic identifier "Kor2_Sys.<Class>" (or the bare class name),
/// case-insensitive; null when there is none.
KOR2_SYS_EXPORT const ClassInfo* findClass(std::string_view progIdOrName) noexcept;
/// A fresh instance of a class; error 429 for an unknown identifier.
KOR2_SYS_EXPORT std::shared_ptr<Object> createObject(std::string_view progIdOrName);
/// The implicit shared instance of a global class, created on first use and living until the
/// library is unloaded; error 429 for an unknown or creatable-only class.
KOR2_SYS_EXPORT std::shared_ptr<Object> sharedObject(std::string_view progIdOrName);

/// The implicit shared instance of a global class, for C++ hosts (`global<CColores>()`).
template <class T> T& global();

} // namespace Kor2_Sys
