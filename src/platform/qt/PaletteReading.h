#pragma once
// What a screen reader hears of a palette (a picture with swatches) beyond its cells' names: the
// ringed cell as the focus enters it, and each new choice as it is made.

#include "platform/Form.h"

#include <QString>

#include <optional>

class QWidget;

namespace Kor2_Sys::platform::qt {

/// The palette's name while it has the focus: its own name and the ringed cell's ("Colores
/// normales: rojo, 1"), so that a reader entering it says where the ring is; `own` alone otherwise.
QString paletteEntryName(const QString& own, const Swatches& swatches, bool focused);

/// Tells readers of a choice the window's logic made in a palette: the list's selection event on
/// the chosen cell and a `selected` state change on it and on the cell it replaced. `heard` is the
/// choice readers last heard of, kept by the palette's widget; while it is empty (the first call)
/// the call only learns the choice the palette starts with.
void announceChoice(QWidget* palette, std::optional<int>& heard, const Swatches& swatches);

} // namespace Kor2_Sys::platform::qt
