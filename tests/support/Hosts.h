#pragma once
// The host kit: a host program's own objects (forms with menu bars, status bars, progress bars,
// picture boxes, labels, menu pictures) on one backend, and what a person would see of them after
// the library drove them. On the headless window system they are recorded host objects; on Qt,
// real widgets handed over through the Qt module's adapters; on Win32, the platform's own windows
// and common controls. Geometry, visibility and values are read through the host objects
// themselves, the rest through the reads below, alike on all three.

#include "Player.h"
#include "platform/headless/HostObjects.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kor2test {

using Kor2_Sys::Variant;
using Kor2_Sys::platform::DropDown;
using Kor2_Sys::platform::PixelPoint;
using Kor2_Sys::platform::PixelRect;

/// Each object is named after its kind and a count ("Form1", "Label2"); on Qt it is its widget's
/// object name. Objects live as long as the kit.
class Hosts {
public:
    virtual ~Hosts() = default;
    /// A shown form of 400 × 300 pixels; `menus` lay out its menu bar (none: no menu bar).
    virtual Variant form(std::vector<DropDown> menus = {}) = 0;
    /// A status bar along the form's bottom whose parts are these many pixels wide, left to right.
    virtual Variant statusBar(const Variant& form, std::vector<int> widths) = 0;
    /// A hidden progress bar on the form, at 40.
    virtual Variant progressBar(const Variant& form) = 0;
    /// A picture box on the form, its inner size in twips (whole pixels on Qt and Win32), painting red.
    virtual Variant picture(const Variant& form, float width, float height) = 0;
    /// A label of 60 × 24 pixels at `at` in the form.
    virtual Variant control(const Variant& form, PixelPoint at) = 0;
    /// A picture for menus, the same one on every call.
    virtual Variant bitmap() = 0;

    /// Part `index` of the status bar in pixels, as the host laid it out.
    virtual PixelRect part(const Variant& statusBar, int index) = 0;
    /// The host widens part `index` of the status bar by `pixels`.
    virtual void widen(const Variant& statusBar, int index, int pixels) = 0;
    /// The name of the window that holds the object ("" for none).
    virtual std::string parentOf(const Variant& host) = 0;
    /// The host destroys the window; its host object stays and answers error 91.
    virtual void destroy(const Variant& host) = 0;
    /// The mouse cursor goes to these screen pixels.
    virtual void setCursor(PixelPoint at) = 0;
    /// The size of the bitmap on the clipboard; none when it holds no bitmap. On a screen, the test
    /// fails unless the bitmap's middle is the picture's red: the copy is what the picture shows.
    virtual std::optional<PixelPoint> clipboardBitmap() = 0;
    /// Per item of the form's drop-down menu `menu`: whether it shows `bitmap()` unchecked, checked.
    virtual std::vector<std::pair<bool, bool>> pictures(const Variant& form, int menu) = 0;
    /// The form's system menu: each item's caption ("-" for a separator) and command.
    virtual std::vector<std::pair<Kor2_Sys::Text, Kor2_Sys::Long>> systemMenu(const Variant& form) = 0;
};

/// The host kit of the player's backend.
std::unique_ptr<Hosts> makeHosts(Player& player);

/// A host object's window handle.
inline Kor2_Sys::Long handleOf(const Variant& host) { return Kor2_Sys::getProperty(*host.toObject(), "hWnd").toLong(); }

/// Left, Top, Width, Height in twips, read through the host object.
std::vector<float> twipsOf(const Variant& host);

} // namespace kor2test
