#pragma once
// The installer package of the Windows module, from the class tables.

#include <optional>
#include <string>
#include <string_view>

namespace Kor2_Sys::idlgen {

/// The installer source (WiX) of the package for `architecture` ("x64" or "x86") at `version`
/// (the product's "major.minor.build"): the module, its type library, its assembly manifest, the
/// README and the licence, and every registry value of the classes as data, per machine by
/// default and per user when installed so. Empty when either argument is not one the installer
/// accepts.
std::optional<std::string> installerSource(std::string_view architecture, std::string_view version);

} // namespace Kor2_Sys::idlgen
