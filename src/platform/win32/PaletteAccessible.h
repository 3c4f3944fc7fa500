#pragma once
// A palette (a picture with swatches) as screen readers walk it on Windows: a list whose items are
// its cells, answered for the picture's client area, and the events that tell readers where the
// ring went and which cell was chosen.

#include "platform/Form.h"

#include <windows.h>

#include <string>

namespace Kor2_Sys::platform::win32 {

/// Answers `WM_GETOBJECT` for the window `picture` of the control `control` of a form window:
/// for the client area, a list object with one item per cell (child id = cell + 1). Returns 0
/// when it has nothing to answer (another object asked for, or the object could not be made);
/// the window's default answer then applies.
LRESULT answerPaletteObject(HWND picture, const std::string& control, WPARAM flags, LPARAM objectId);

/// Tells readers what changed in a palette since the last call for its window: a selection event
/// for a new choice and, while the palette has the focus, a focus event for the ringed cell when
/// the ring moved or a choice was made. The first call for a window only learns where it starts.
void announcePalette(HWND picture, const Swatches& swatches);

} // namespace Kor2_Sys::platform::win32
