#pragma once
// The class registry: every public class and the interface's enumerations by name, for late
// binding, the C entry points, the component binding and the command-line tool.

#include "frame/ClassInfo.h"

#include <span>
#include <string_view>

namespace Kor2_Sys {

/// The enumerations of the library's interfaces.
std::span<const EnumInfo* const> libraryEnums();
/// The enumeration with this name (case-insensitive); null when there is none.
const EnumInfo* findEnum(std::string_view name) noexcept;

/// All library classes, in the order of the class index.
std::span<const ClassInfo* const> libraryClasses();
/// The class with programmatic identifier "Kor2_Sys.<Class>" (or the bare class name),
/// case-insensitive; null when there is none.
const ClassInfo* findClass(std::string_view progIdOrName) noexcept;

} // namespace Kor2_Sys
