#pragma once
// Dispatch tables: one constexpr table per class drives invocation by name and by identifier, the
// C entry points, the command-line tool and the printed interface listing.

#include "frame/ClassInfo.h"
#include "frame/Errors.h"
#include "frame/NeverDestroyed.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace Kor2_Sys::dispatch {

constexpr DispId kProcedureBase = 0x60030000;
constexpr DispId kPropertyBase = 0x68030000;
constexpr DispId kFieldBase = 0x40030000;

/// The arguments of one call, already converted to the declared parameter types.
class CallArgs {
public:
    CallArgs(std::span<Variant> values, std::size_t given, InvokeKind kind)
        : m_values(values), m_given(given), m_kind(kind) {}

    /// Whether the caller passed argument `i` (omitted optional arguments hold their default).
    bool given(std::size_t i) const noexcept { return i < m_given; }
    std::size_t size() const noexcept { return m_values.size(); }
    /// Argument `i`; error 5 past the last one.
    Variant& operator[](std::size_t i)
    {
        if (i >= m_values.size())
            throw errors::invalidCall();
        return m_values[i];
    }
    /// Argument `i` as its declared type; changes reach by-reference arguments.
    template <class T> T& as(std::size_t i) { return std::get<T>((*this)[i].storage()); }
    Integer& integer(std::size_t i) { return as<Integer>(i); }
    Long& longValue(std::size_t i) { return as<Long>(i); }
    Double& doubleValue(std::size_t i) { return as<Double>(i); }
    Boolean& boolean(std::size_t i) { return as<Boolean>(i); }
    Text& text(std::size_t i) { return as<Text>(i); }
    Array& array(std::size_t i) { return (*this)[i].toArray(); }
    std::span<Variant> all() { return m_values; }

    bool isPut() const noexcept { return m_kind == InvokeKind::Put; }
    /// Reads or assigns a data member, whichever this call is.
    template <class T> Variant field(T& member)
    {
        if (!isPut())
            return Variant(member);
        member = as<T>(0);
        return {};
    }

private:
    std::span<Variant> m_values;
    std::size_t m_given;
    InvokeKind m_kind;
};

/// Builds a handler from a captureless lambda taking the class and the arguments; a lambda that
/// returns nothing gives an empty result.
template <class T, class F> constexpr MemberHandler on(F)
{
    static_assert(std::is_empty_v<F>, "handlers capture nothing");
    return [](void* self, CallArgs& args) -> Variant {
        T& object = *static_cast<T*>(self);
        if constexpr (std::is_void_v<std::invoke_result_t<F, T&, CallArgs&>>) {
            F{}(object, args);
            return {};
        } else {
            return Variant(F{}(object, args));
        }
    };
}

constexpr bool isPropertyProcedure(MemberShape shape)
{
    return shape == MemberShape::PropertyGet || shape == MemberShape::PropertyPut;
}

constexpr bool takesArgumentsInPlace(const MemberInfo& row)
{
    if (row.acceptsAnyArguments || (row.shape != MemberShape::Function && row.shape != MemberShape::Sub))
        return false;
    for (const ParamInfo& param : row.params)
        if (!param.byRef || param.type == ValueType::Any || param.type == ValueType::Array || param.type == ValueType::Object)
            return false;
    return true;
}

/// Fills the identifiers and `takesInPlace` from the rows: procedures (functions, subs, property procedures)
/// count one index each, the read and write halves of one property sharing theirs; data members
/// count separately.
template <std::size_t N> constexpr std::array<MemberInfo, N> makeTable(std::array<MemberInfo, N> rows)
{
    DispId procedure = 0;
    DispId field = 0;
    for (std::size_t i = 0; i < N; ++i) {
        rows[i].takesInPlace = takesArgumentsInPlace(rows[i]);
        if (rows[i].shape == MemberShape::Field) {
            rows[i].id = kFieldBase + field++;
            continue;
        }
        bool shared = false;
        for (std::size_t j = 0; j < i && isPropertyProcedure(rows[i].shape); ++j) {
            if (isPropertyProcedure(rows[j].shape) && rows[j].name == rows[i].name) {
                rows[i].id = rows[j].id;
                shared = true;
            }
        }
        if (!shared)
            rows[i].id = (isPropertyProcedure(rows[i].shape) ? kPropertyBase : kProcedureBase) + procedure++;
    }
    return rows;
}

/// Row helpers, so that a table reads like the interface it describes.
constexpr MemberInfo function(std::string_view name, ValueType result, std::span<const ParamInfo> params,
                              MemberHandler handler = nullptr)
{
    return {name, MemberShape::Function, result, params, handler};
}
constexpr MemberInfo sub(std::string_view name, std::span<const ParamInfo> params, MemberHandler handler = nullptr)
{
    return {name, MemberShape::Sub, ValueType::Empty, params, handler};
}
constexpr MemberInfo field(std::string_view name, ValueType type, MemberHandler handler = nullptr)
{
    return {name, MemberShape::Field, type, {}, handler};
}
constexpr MemberInfo propertyGet(std::string_view name, ValueType type, MemberHandler handler = nullptr)
{
    return {name, MemberShape::PropertyGet, type, {}, handler};
}
constexpr MemberInfo propertyPut(std::string_view name, ValueType type, MemberHandler handler = nullptr)
{
    return {name, MemberShape::PropertyPut, type, {}, handler};
}

/// The rows of one table by name. Each name is folded once (ASCII and Latin-1 letters to lower
/// case, the comparison of `utf::equalNames`) and hashed into an open-addressing table, so a call
/// folds only the name it is given and compares it with one row, not the whole table.
class NameIndex {
public:
    explicit NameIndex(std::span<const MemberInfo> members);
    /// As `ClassInfo::find` by name: the first row in table order with this name in any letter
    /// case whose shape answers `kind`; null when there is none.
    const MemberInfo* find(std::string_view name, InvokeKind kind) const noexcept;
    /// As `ClassInfo::find` by identifier, without walking the table: identifiers are dense
    /// from their three bases.
    const MemberInfo* find(DispId id, InvokeKind kind) const noexcept;

private:
    static constexpr std::uint32_t kFree = UINT32_MAX;
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t row = kFree;
    };
    std::span<const MemberInfo> m_members;
    std::vector<std::string> m_folded;  ///< per row
    std::vector<Slot> m_slots;          ///< a power of two, at most half full
    std::size_t m_longest = 0;          ///< bytes: no longer name can match
    /// First row of each identifier, per base (procedures, properties, fields); kFree for none.
    std::array<std::vector<std::uint32_t>, 3> m_byId;
    /// The row each call kind found last, tried before hashing: a host calling a member in a loop
    /// spells it alike each time. Atomic, as objects of one class are called from any thread.
    mutable std::array<std::atomic<std::uint32_t>, 3> m_recent{{kFree, kFree, kFree}};
};

/// The name index of one class table, built on its first call and never destroyed: objects made
/// during the host's exit still look their members up in it.
template <const ClassInfo& Info> const NameIndex& namesOf()
{
    static const NeverDestroyed<NameIndex> index(Info.members);
    return *index;
}

/// Runs one row against an instance: checks the argument count, converts the arguments to the
/// declared types, calls the handler and writes by-reference arguments back.
Variant invokeMember(const MemberInfo& member, void* self, InvokeKind kind, std::span<Variant> args);

/// A library class instance reached by late binding.
template <class T> class Dispatched final : public Described {
public:
    Dispatched(std::shared_ptr<T> self, const ClassInfo& info, const NameIndex& names)
        : m_self(std::move(self)), m_info(info), m_names(names) {}

    Variant invoke(std::string_view member, InvokeKind kind, std::span<Variant> args) override
    {
        const MemberInfo* row = m_names.find(member, kind);
        if (row == nullptr)
            throw errors::memberNotSupported();
        return invokeMember(*row, m_self.get(), kind, args);
    }
    Variant invoke(DispId id, InvokeKind kind, std::span<Variant> args) override
    {
        const MemberInfo* row = m_names.find(id, kind);
        if (row == nullptr)
            throw errors::memberNotSupported();
        return invokeMember(*row, m_self.get(), kind, args);
    }
    const ClassInfo& classInfo() const noexcept override { return m_info; }
    T& instance() noexcept { return *m_self; }

private:
    std::shared_ptr<T> m_self;
    const ClassInfo& m_info;
    const NameIndex& m_names;
};

/// Factory for `ClassInfo::create`.
template <class T, const ClassInfo& Info> std::shared_ptr<Object> create()
{
    return std::make_shared<Dispatched<T>>(std::make_shared<T>(), Info, namesOf<Info>());
}

/// Factory for `ClassInfo::shared`: wraps the class's one implicit instance, `global<T>()`. The
/// wrapper is never destroyed, as the instance is not, so that it serves the host's exit too.
template <class T, const ClassInfo& Info> std::shared_ptr<Object> shared()
{
    static const NeverDestroyed<std::shared_ptr<Object>> object(
        std::make_shared<Dispatched<T>>(std::shared_ptr<T>(&global<T>(), [](T*) {}), Info, namesOf<Info>()));
    return *object;
}

} // namespace Kor2_Sys::dispatch

