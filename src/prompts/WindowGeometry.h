#pragma once
// Position and size of a resizable prompt window, kept per title in the settings store: four keys
// read and written one by one, each failing step skipped.

#include <Kor2_Sys/Value.h>

#include "platform/Form.h"

#include <array>

namespace Kor2_Sys::prompts {

/// Defaults for Left, Top, Width and Height, in twips.
using GeometryDefaults = std::array<double, 4>;

/// Reads Left, Top, Width and Height of `section` (regional number text, single precision) and
/// applies each to the window; a missing key takes its default, an unreadable one is skipped.
/// A window that would then lie entirely outside every screen is brought onto the primary one.
void loadGeometry(platform::Form& form, const Text& section, const GeometryDefaults& defaults);
/// Writes the window's Left, Top, Width and Height under `section`; a failing write is skipped.
void saveGeometry(const platform::Form& form, const Text& section);

} // namespace Kor2_Sys::prompts
