#pragma once
// The list-text split behind CString::S_LeeTira: items separated by blanks and commas, quoted
// items kept whole, positions 16-bit as in the texts the hosts store.

#include <Kor2_Sys/Value.h>

#include <vector>

namespace Kor2_Sys::text {

/// Splits `tira` (already closed by its blank) into `items` (index 0 already present), counting
/// every stored item in `count`. Error 6 when a position passes 32,767; what was stored stays.
void splitList(std::u16string_view tira, std::vector<Text>& items, Long& count);

} // namespace Kor2_Sys::text
