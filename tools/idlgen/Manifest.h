#pragma once
// The side-by-side assembly of the Windows module, from the class tables.

#include <optional>
#include <string>
#include <string_view>

namespace Kor2_Sys::idlgen {

/// The assembly manifest that lets a host create every library class without registration:
/// `architecture` is "amd64" or "x86", `version` four dotted numbers ("1.0.0.0"). Empty when
/// either is not one the loader accepts.
std::optional<std::string> assemblyManifest(std::string_view architecture, std::string_view version);

} // namespace Kor2_Sys::idlgen
