#pragma once
// Window scripts for the headless window system, read from JSON:
// [{"window": "F_color", "do": [{"click": "BT_aceptar"}, ...]}, ...]

#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/headless/JsonReader.h"

#include <vector>

namespace Kor2_Sys::platform {

/// Throws std::invalid_argument with a message naming the script and action at fault.
KOR2_SYS_EXPORT std::vector<WindowScript> scriptsFromJson(const JsonNode& json);

} // namespace Kor2_Sys::platform
