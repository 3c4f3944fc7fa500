#pragma once
// `kor2 describe`: the interface listing of a class or an enumeration, as text or JSON.

#include <Kor2_Sys/Object.h>

#include "frame/ClassInfo.h"

#include <string>

namespace kor2cli {

/// The members of `info` with their identifiers, kinds and signatures; members the library does
/// not implement are marked. Ends with a line break.
std::string describe(const Kor2_Sys::ClassInfo& info, bool json);
/// The values of an enumeration with their names. Ends with a line break.
std::string describe(const Kor2_Sys::EnumInfo& info, bool json);
/// The type the listing shows for a parameter: an enumerated one travels as a long, and its
/// enumeration's name says which values mean what.
std::string_view parameterType(const Kor2_Sys::ParamInfo& param);

} // namespace kor2cli
