#pragma once
// kor2 reads its JSON with the library's reader, the one that also reads window scripts.

#include "script/JsonReader.h"

namespace kor2cli {

using Kor2_Sys::script::arrayOf;
using Kor2_Sys::script::booleanOf;
using Kor2_Sys::script::excerpt;
using Kor2_Sys::script::integerOf;
using Kor2_Sys::script::JsonMember;
using Kor2_Sys::script::JsonNode;
using Kor2_Sys::script::kindName;
using Kor2_Sys::script::kJsonMaxBytes;
using Kor2_Sys::script::kJsonMaxDepth;
using Kor2_Sys::script::kJsonMaxValues;
using Kor2_Sys::script::nameOf;
using Kor2_Sys::script::need;
using Kor2_Sys::script::numberOf;
using Kor2_Sys::script::parseJson;
using Kor2_Sys::script::textOf;

} // namespace kor2cli
