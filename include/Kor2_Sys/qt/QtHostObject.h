#pragma once
/// \file QtHostObject.h
/// Qt hosts hand their own windows and controls to the library as host objects: late-bound
/// objects whose members the library reads, assigns and calls as it would on the host's own
/// forms and controls. Link Kor2_Sys::Kor2_Sys_qt.
///
/// Common to every adapter:
/// - Member names are matched without regard to case (`hwnd` is `hWnd`).
/// - Positions and sizes are in twips (1/1440 inch). Pixels become twips by the screen's twips per
///   pixel, taken to the nearest whole number (halves to even); twips become pixels by whole-number
///   division.
/// - `hWnd` (and `hdc`, the same number) is the library's own handle for the widget, the same for
///   the widget's whole life, by which the library's native window operations (re-parenting, a
///   status bar's part rectangle, copying a drawing) find it again. It is not the native window id:
///   no widget is turned into a native window by being handed over.
/// - The adapter does not own its widget. Once the widget is destroyed every member is error 91
///   "Variable de objeto o bloque With no establecido", never a crash.
/// - A member the adapter does not have is error 438; assigning a read-only one is error 450.
/// - A property may also be read with a method call without arguments.

#include <Kor2_Sys/Object.h>
#include <Kor2_Sys/qt/Kor2_SysQtExport.h>

#include <QObject>

#include <memory>

class QIcon;
class QMenu;
class QMenuBar;
class QPixmap;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace Kor2_Sys::qt {

/// A form: a top-level QWidget, QMainWindow or QDialog. `Left`, `Top`, `Width`, `Height` are its
/// outer geometry on the screen, frame included; `Move` (left [, top [, width [, height]]]) sets
/// them at once; `ScaleWidth`, `ScaleHeight` (read only) the inner size; `WindowState` 0 normal,
/// 1 minimised, 2 maximised; `Visible`; `Caption`; `ZOrder` (0 or omitted: to the front, 1: to
/// the back); `hWnd`, `hdc` (read only).
KOR2_SYS_QT_EXPORT std::shared_ptr<Object> hostWindow(QWidget* widget);

/// A control: `Left`, `Top`, `Width`, `Height` relative to its parent widget, `Move` (left
/// [, top [, width [, height]]], the sides not given stay), `ZOrder` (0 or omitted: in front of
/// its siblings, 1: behind them, anything else error 5), `Visible` (the control's own flag:
/// true for a control shown inside a hidden window), `hWnd`.
KOR2_SYS_QT_EXPORT std::shared_ptr<Object> hostControl(QWidget* widget);

/// A progress bar: the members of a control (`hwnd`, `Move`, `Visible`, ...) and `Value`, in the
/// bar's own range (`minimum()` to `maximum()`, 0 to 100 unless the host set another): a value
/// is taken to the nearest whole number, and one outside the range is error 380 and changes
/// nothing. A bar that shows no value yet reads its minimum.
KOR2_SYS_QT_EXPORT std::shared_ptr<Object> hostProgressBar(QProgressBar* bar);

/// A status bar: `hwnd`. Its parts, for the library's part-rectangle request, are the widgets its
/// layout shows, left to right (normal ones, then permanent ones; the size grip is none).
KOR2_SYS_QT_EXPORT std::shared_ptr<Object> hostStatusBar(QStatusBar* bar);

/// A picture box: any widget that draws. The members of a control and `hdc`, `ScaleWidth`,
/// `ScaleHeight` (read only, its inner size). A copy of its drawing is what it paints.
KOR2_SYS_QT_EXPORT std::shared_ptr<Object> hostPicture(QWidget* widget);

/// A picture for the library's menu operations: its default value (the member with the empty
/// name) and `Handle` (both read only) are the handle of a bitmap holding a copy of the picture,
/// valid while the object lives; the handle names no window. The menu-icon operation takes it as
/// `Icono`. From a QIcon, every size it holds goes with it.
KOR2_SYS_QT_EXPORT std::shared_ptr<Object> hostBitmap(const QPixmap& pixmap);
/// As above, from a QIcon with every size it holds.
KOR2_SYS_QT_EXPORT std::shared_ptr<Object> hostBitmap(const QIcon& icon);

// Menus. A window's menu bar, for the library, is the bar the host registered for it (below), else
// a QMainWindow's own (`menuWidget()`, as long as it holds at least one entry), else the bar set on
// the window's layout (`QLayout::setMenuBar`). Positions count every action of a menu in order, hidden ones and
// separators included; on a menu bar a plain action (one that opens no drop-down menu) takes a
// position too, and asking for the drop-down menu there gets none.

/// Makes `bar` the menu bar of the plain window `window` for the library (null: none any more).
/// The registration ends by itself when the bar is destroyed.
KOR2_SYS_QT_EXPORT void registerMenuBar(QWidget* window, QMenuBar* bar);

/// The window's system menu. The window manager owns the menu of the title bar on Linux, so each
/// window gets a QMenu of its own that stands for it, made on first request and owned by the window:
/// "Restaurar", "Minimizar", "Maximizar", a separator and "Cerrar" (a close request from the user),
/// then whatever the library appends. It pops up
/// - on Alt+Space while the window is active, unless the window manager takes that key for its own
///   window menu (many do: then the key never reaches the window);
/// - on a right click on the window's frame where Qt receives clicks on the frame (platforms that
///   report them as non-client mouse events); on X11 and Wayland the frame is the window manager's,
///   whose own menu shows there.
/// The host may also show it from its own controls (`popup`). Null for a null widget; for a widget
/// that is no window, the menu of the window that holds it.
KOR2_SYS_QT_EXPORT QMenu* systemMenu(QWidget* window);

/// Hears the commands of the items that the library appends to a window's menus: choosing the
/// "&Informationen" item of the system menu emits `commandChosen(512)`. A Qt signal rather than a
/// callback, so that a host connects it like any of its own and the connection ends with either
/// side. Get the window's own one from `systemMenuNotifier`.
class KOR2_SYS_QT_EXPORT SystemMenuNotifier final : public QObject {
    Q_OBJECT
public:
    /// A notifier owned by `parent`.
    explicit SystemMenuNotifier(QObject* parent) : QObject(parent) {}

Q_SIGNALS:
    /// The command identifier of the item chosen.
    void commandChosen(int command);
};

/// The notifier of `window` (of the window that holds it, for a child widget), made on first
/// request and owned by the window; null for a null widget.
KOR2_SYS_QT_EXPORT SystemMenuNotifier* systemMenuNotifier(QWidget* window);

} // namespace Kor2_Sys::qt
