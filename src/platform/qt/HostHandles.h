#pragma once
// What the Qt host objects and the Qt window system share: the library's own handles for the
// host's live widgets (menus and menu bars among them) and pictures, which host objects give as
// `hWnd`, `hdc` or a picture's default value and the native window operations take back, and the
// screen's twips per pixel.

#include <Kor2_Sys/Value.h>

class QIcon;
class QWidget;

namespace Kor2_Sys::platform::qt {

/// The handle of `widget`: given on the first request and the same for the widget's whole life;
/// never 0, and not given to another widget while this one lives. 0 for no widget.
Long handleOf(QWidget* widget);

/// The live widget a handle names; null when it names none, or none any more.
QWidget* widgetOf(Long handle);

/// A new handle for a picture, which names it until released; never 0 and never a widget's.
Long holdBitmap(const QIcon& picture);

/// Frees the handle of a picture; a handle that names none is left alone.
void releaseBitmap(Long handle);

/// The picture a handle names; a null icon when it names none.
QIcon bitmapOf(Long handle);

/// The widget's own visibility flag, as a control's `Visible` reads: a child never shown nor hidden
/// is visible (it appears with its parent, also inside a hidden window), a window only once shown.
bool ownVisible(const QWidget& widget);

/// The primary screen's twips per pixel, from its logical resolution (96 dots per inch when it
/// reports none): the device-independent pixels in which Qt places widgets.
double twipsPerPixel(bool horizontal);

} // namespace Kor2_Sys::platform::qt
