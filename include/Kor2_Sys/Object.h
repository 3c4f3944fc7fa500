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
};

/// Reads property `member` of `object`.
KOR2_SYS_EXPORT Variant getProperty(Object& object, std::string_view member);
/// Assigns property `member` of `object`.
KOR2_SYS_EXPORT void putProperty(Object& object, std::string_view member, Variant value);

/// A fresh instance of a class; error 429 for an unknown identifier.
KOR2_SYS_EXPORT std::shared_ptr<Object> createObject(std::string_view progIdOrName);
/// The implicit shared instance of a global class, created on first use and living until the
/// library is unloaded; error 429 for an unknown or creatable-only class.
KOR2_SYS_EXPORT std::shared_ptr<Object> sharedObject(std::string_view progIdOrName);

/// The implicit shared instance of a global class, for C++ hosts (`global<CColores>()`).
template <class T> T& global();

} // namespace Kor2_Sys
