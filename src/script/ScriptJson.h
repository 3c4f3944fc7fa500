#pragma once
// Window scripts as JSON, read and written:
// [{"window": "F_color", "do": [{"click": "BT_aceptar"}, ...]}, ...]

#include "script/WindowScript.h"
#include "script/JsonReader.h"

#include <string>
#include <vector>

namespace Kor2_Sys::script {

/// Throws std::invalid_argument with a message naming the script and action at fault.
std::vector<WindowScript> scriptsFromJson(const JsonNode& json);

/// The scripts as the JSON text `scriptsFromJson` reads back to the same actions (texts unit for
/// unit, lone surrogates included), for handing scripts to another process.
std::string scriptsToJson(const std::vector<WindowScript>& scripts);

} // namespace Kor2_Sys::script
