#pragma once
// What `kor2 call` says on standard error when the library refuses a call: the JSON answer on
// standard output is for programs, this line is for the person who typed the command.

#include <Kor2_Sys/Object.h>

#include "frame/ClassInfo.h"
#include "frame/Errors.h"

#include <span>
#include <string>
#include <string_view>

namespace kor2cli {

/// One Spanish line: the class and member, the error's number and description, the argument at
/// fault when the error is about one (its position, name and expected type), and the pointer to
/// `kor2 describe CLASS`. `member` is as typed ("Prop=" for an assignment); `args` as passed.
std::string callErrorLine(const Kor2_Sys::ClassInfo& info, std::string_view member,
                          std::span<const Kor2_Sys::Variant> args, const Kor2_Sys::Error& error);

} // namespace kor2cli
