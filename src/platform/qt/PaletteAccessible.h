#pragma once
// A palette (a picture of swatches) as a screen reader meets it on Qt: a list whose items are its
// cells, each read by its name, the ringed one focused and the window's choice selected.

#include "platform/Form.h"

class QWidget;

namespace Kor2_Sys::platform::qt {

/// Makes the palettes of form dialogs readable as lists of cells (once per process).
void readPalettesAsLists();

/// Tells a screen reader that the ring of the focused palette `widget` of `picture` moved.
void announceRing(QWidget* widget, const Control& picture);

} // namespace Kor2_Sys::platform::qt
