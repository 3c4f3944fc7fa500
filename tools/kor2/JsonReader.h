#pragma once
// kor2 reads its JSON with the library's reader, the one that also reads window scripts.

#include "platform/headless/JsonReader.h"

namespace kor2cli {

using Kor2_Sys::platform::arrayOf;
using Kor2_Sys::platform::booleanOf;
using Kor2_Sys::platform::excerpt;
using Kor2_Sys::platform::integerOf;
using Kor2_Sys::platform::JsonMember;
using Kor2_Sys::platform::JsonNode;
using Kor2_Sys::platform::kindName;
using Kor2_Sys::platform::kJsonMaxBytes;
using Kor2_Sys::platform::kJsonMaxDepth;
using Kor2_Sys::platform::kJsonMaxValues;
using Kor2_Sys::platform::nameOf;
using Kor2_Sys::platform::need;
using Kor2_Sys::platform::numberOf;
using Kor2_Sys::platform::parseJson;
using Kor2_Sys::platform::textOf;

} // namespace kor2cli
