#pragma once
// The window-system seam: everything the library asks of the platform's user interface.
// Implementations: the scripted headless one (tests, `kor2 --headless`), the Qt module and the
// Win32 one.

#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/Value.h>

#include "platform/Form.h"
#include "platform/Installed.h"

#include <memory>
#include <optional>
#include <vector>

namespace Kor2_Sys::platform {

enum class MessageButtons : std::uint8_t { Ok, OkCancel };
enum class MessageIcon : std::uint8_t { None, Information, Warning, Stop };
enum class MessageAnswer : std::uint8_t { Ok, Cancel };

struct MessageBoxRequest {
    Text text{};
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    std::optional<Text> title{};  ///< none: the library's application title
};

/// The title of every message box that brings none of its own.
const Text& applicationTitle();

enum class FileDialogMode : std::uint8_t { Open, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    Text title;
    Text filter;          ///< "description|pattern|description|pattern"
    Integer filterIndex = 0;
    Text initialDirectory;
    Text fileName;
};

/// One screen of the desktop, in twips of the virtual desktop.
struct ScreenArea {
    double left = 0, top = 0, width = 0, height = 0;
};

/// A rectangle in a window's client pixels as the platform reports one: right and bottom lie just
/// past the last pixel.
struct PixelRect {
    Long left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

/// A point in screen pixels.
struct PixelPoint {
    Long x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

/// The most pixels a bitmap may have: a larger one cannot be made, as the platform's own requests
/// fail for lack of memory. Both window systems keep to it, so a script behaves alike on both.
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 26;

/// Pixels that the platform keeps: made for a drawing context, handed on to the clipboard.
class Bitmap {
public:
    virtual ~Bitmap();
    virtual Long width() const = 0;
    virtual Long height() const = 0;
};

/// An off-screen drawing context compatible with a window's drawing context; it is released when
/// destroyed.
class MemoryDrawing {
public:
    virtual ~MemoryDrawing();
    /// A bitmap of `width` × `height` pixels compatible with the source; null when it cannot be made
    /// (a side of 0 or less, more than `kMaxBitmapPixels`, or no memory).
    virtual std::unique_ptr<Bitmap> createBitmap(Long width, Long height) = 0;
    /// Selects `bitmap`, copies into it the source's area of its size from (0, 0) as the source
    /// shows it now, and selects the previous object back.
    virtual void copySource(Bitmap& bitmap) = 0;
};

/// Flags of the menu calls, as the platform's menu functions take them.
namespace menuflags {
inline constexpr Long kString = 0;          ///< a text item
inline constexpr Long kByPosition = 0x400;  ///< the item is named by its position, from 0
inline constexpr Long kSeparator = 0x800;   ///< a separator line
} // namespace menuflags

/// The platform's window services, all called on the host's user-interface thread.
class WindowSystem {
public:
    virtual ~WindowSystem();

    /// Shows a form modally; returns once it is hidden or unloaded.
    virtual void showModal(Form& form) = 0;
    /// Shows a form without modality.
    virtual void showModeless(Form& form) = 0;
    /// Modal message box on the calling thread; returns the button pressed.
    virtual MessageAnswer messageBox(const MessageBoxRequest& request) = 0;
    /// The system's default sound.
    virtual void beep() = 0;
    /// Lets the pending window events of the thread run, then returns.
    virtual void doEvents() = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    /// Screen size in twips.
    virtual Long screenWidth() const = 0;
    virtual Long screenHeight() const = 0;
    /// Every screen of the desktop, the primary one first.
    virtual std::vector<ScreenArea> screens() const { return {{0, 0, double(screenWidth()), double(screenHeight())}}; }
    virtual void clipboardClear() = 0;
    virtual void clipboardSetText(const Text& text) = 0;
    /// The common file dialog: the chosen full path, or error 32755 when the user cancels.
    virtual Text fileDialog(const FileDialogRequest& request) = 0;

    // Native operations on the host's own windows, which the library knows by the handles their
    // host objects give (`hWnd`, `hdc`). As with the platform's own calls, a handle that names no
    // live window makes the call fail without a word: nothing changes, nothing is raised.

    /// Asks status bar `statusBar` for the rectangle of its part `part` (from 0) in its client
    /// pixels. When the handle is no status bar or the part does not exist, `rect` stays as it was.
    virtual void statusBarPartRect(Long statusBar, Long part, PixelRect& rect);
    /// Makes window `child` a child of window `parent`, keeping its position numbers.
    virtual void setParent(Long child, Long parent);
    /// An off-screen drawing context compatible with drawing context `source`; null when it
    /// cannot be created.
    virtual std::unique_ptr<MemoryDrawing> createMemoryDrawing(Long source);
    /// Opens the clipboard, puts `bitmap` on it as a bitmap, and closes it; the clipboard owns the
    /// bitmap from then on.
    virtual void clipboardSetBitmap(std::unique_ptr<Bitmap> bitmap);
    /// The mouse cursor's position on the screen, in pixels.
    virtual PixelPoint cursorPosition() const;

    /// The menu bar of window `window`; 0 when it has none.
    virtual Long menuBar(Long window);
    /// The drop-down menu at `position` (from 0) of menu `menu`; 0 when there is none.
    virtual Long subMenu(Long menu, Long position);
    /// Sets the bitmaps (by handle) shown beside an item of `menu` when it is not checked and when
    /// it is; `flags` holds `kByPosition` when `item` is a position (from 0, separators counting).
    /// An item that does not exist changes nothing.
    virtual void setMenuItemBitmaps(Long menu, Long item, Long flags, Long unchecked, Long checked);
    /// The window's own modifiable copy of its system menu (the menu of its title bar); 0 when
    /// `window` is no window.
    virtual Long systemMenu(Long window);
    /// Appends an item to `menu`: a separator when `flags` holds `kSeparator`, else a text item
    /// `text` that delivers command `command` to the menu's window when chosen.
    virtual void appendMenuItem(Long menu, Long flags, Long command, const Text& text);
};

/// The window system in use. When none was installed, the platform's own is loaded (the Qt module,
/// or the Win32 one); if it cannot be (no display, no Qt, no window station), error 68 says why. The window system belongs to the thread that installed
/// or loaded it: from any other thread this is error 5.
WindowSystem& windowSystem();
/// Loads the platform's own window system (the Qt module); error 68 when it cannot be had.
std::shared_ptr<WindowSystem> loadDefaultWindowSystem();
/// What loads the window system when none was installed (null: `loadDefaultWindowSystem`). A test
/// mode chosen at start-up (scripted windows) sets it before any window is asked for.
using WindowSystemLoader = std::shared_ptr<WindowSystem> (*)();
void setWindowSystemLoader(WindowSystemLoader loader) noexcept;
/// Installs a window system (null: back to loading the default) for the calling thread; returns
/// the previous one. Safe from any thread.
std::shared_ptr<WindowSystem> installWindowSystem(std::shared_ptr<WindowSystem> ws);

/// Installs a window system for the guard's lifetime.
using ScopedWindowSystem = ScopedInstall<WindowSystem, &installWindowSystem>;

/// Error 32755, raised by the file dialog when the user cancels.
Error fileDialogCancelled();

} // namespace Kor2_Sys::platform
