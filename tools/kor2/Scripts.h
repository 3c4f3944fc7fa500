#pragma once
// Window scripts for the headless window system, read from JSON:
// [{"window": "F_color", "do": [{"click": "BT_aceptar"}, ...]}, ...]

#include "JsonReader.h"

#include "platform/headless/HeadlessWindowSystem.h"

#include <vector>

namespace kor2cli {

/// Throws std::invalid_argument with a message naming the script and action at fault.
std::vector<Kor2_Sys::platform::WindowScript> scriptsFromJson(const JsonNode& json);

} // namespace kor2cli
