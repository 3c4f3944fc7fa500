#pragma once
// What every renderer of a form model does the same way, whatever its toolkit: twips to pixels,
// which native keys belong to the model, how a typed character is mirrored into the native box,
// the tab and stacking order, a picture's scale, the caption-fit rule and the echo protocol. A
// renderer keeps only the calls into its toolkit.

#include "platform/Form.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Kor2_Sys::platform::view {

/// Pixels of a length in twips: whole-number division, except that a value within rounding noise
/// of a whole pixel is that pixel (twips computed from pixels by the same factor come back to the
/// same pixels). A factor of 0 or less counts as 15.
int toPixels(double twips, double twipsPerPixel);

/// The keys a toolkit reports that the model may answer.
enum class NativeKey : std::uint8_t { Tab, BackTab, Enter, Escape, Space, Left, Right, Up, Down, Home, End, Other };

/// The model's key (code and shift state) for a native key pressed on `control`, or none when the
/// native control keeps it: Enter in a box of several lines without a default button is a new
/// line, Space is a button's or a swatch picture's only, the arrows, Home and End a swatch
/// picture's only, and any key with Control or Alt held is the toolkit's.
struct ModelKey {
    int key = 0;
    int shift = 0;
};
std::optional<ModelKey> modelKey(const Form& form, const Control& control, NativeKey key,
                                                 bool shiftHeld, bool controlOrAltHeld);

/// The model's key for a character pressed with Alt held: an access key (`Form::userAccessKey`),
/// which the model answers wherever the focus is and which never reaches a native control. None
/// when the toolkit keeps it: without Alt, with Control too (Control+Alt types characters on many
/// keyboards), and for Space (Alt+Space opens the window's menu) and other characters that print
/// nothing.
std::optional<ModelKey> accessKey(char32_t character, bool altHeld, bool controlHeld);

/// Whether a character a native text box received is one the model types (a printable character
/// or backspace, no Control or Alt held).
bool typedByModel(char32_t character, bool controlOrAltHeld);

/// The edit that brings a native single-line box up to the model after the model took one typed
/// character: `before` and `selected` are the box's length and selection before the key.
struct TypedMirror {
    enum class Kind : std::uint8_t { Insert, Backspace } kind = Kind::Insert;
    char16_t character = 0;  ///< for Insert: what goes where the selection was
};
TypedMirror mirrorTyped(const Control& box, std::size_t before, std::size_t selected);
/// Whether the native box, after the mirrored edit, shows what the model holds around the caret
/// (its length, caret and the character before it); false: it needs a full sync.
bool mirrored(const Control& box, std::u16string_view shown, std::size_t caret);

/// The controls that take a place in the tab order and that `rendered` accepts, in that order (ties
/// in the order the controls were added).
std::vector<const Control*> tabOrder(const Form& form,
                                                     const std::function<bool(const Control&)>& rendered);
/// The control that `control` must be stacked under: the first later sibling (same container) that
/// `rendered` accepts, so that a later control is drawn over an earlier one; null when none.
const Control* stackedAbove(const Form& form, const Control& control,
                                            const std::function<bool(const Control&)>& rendered);

/// A picture's scale units per pixel, horizontally and vertically, for a control shown `width` ×
/// `height` pixels (a scale of 0 means the control's size in twips).
struct PictureScale {
    double unitsX = 1, unitsY = 1;
};
PictureScale pictureScale(const Control& picture, int width, int height);
/// A position in a picture's pixels as the picture's scale units (what mouse events report).
std::pair<double, double> pictureUnits(const Control& picture, int width, int height, double x,
                                                       double y);

/// A rectangle in a control's pixels.
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
};
/// The cell of a swatch picture shown `width` × `height` pixels that has the focus ring; none for a
/// picture without swatches.
std::optional<PixelRect> ringCell(const Control& picture, int width, int height);
/// The rectangle of cell `index` of a swatch picture in its pixels (cells row by row).
PixelRect swatchCell(const Swatches& swatches, int index, int width, int height);

/// How a renderer measures text in a candidate dialog font, in pixels.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual int advance(std::u16string_view text, bool bold) const = 0;
    /// Height of `text` wrapped at word breaks into `width` pixels.
    virtual int wrappedHeight(std::u16string_view text, int width, bool bold) const = 0;
    virtual int lineSpacing() const = 0;
};

/// Whether a control's caption fits its size in pixels in the measured font: a label on one line,
/// or in as many lines as its height holds; a button with its margins; a frame with its title's.
/// Text boxes and pictures fit any caption.
bool captionFits(const Control& control, const TextMeasure& measure, int width, int height);

/// The windows are laid out in twips for an 8-point dialog font of the narrow kind their captions
/// were measured in: the first candidate (the renderer lists the desktop's own, then narrower
/// families and smaller sizes) in which every caption fits; none when no candidate fits them all.
/// The choice is kept per window, factors and captions, as font lookups are the slowest part of
/// building a dialog.
std::optional<std::size_t> chooseFont(const Form& form, double twipsPerPixelX,
                                                      double twipsPerPixelY, std::string_view renderer,
                                                      std::size_t candidates,
                                                      const std::function<const TextMeasure&(std::size_t)>& measure);

/// The echo protocol between a form model and its rendering. What the renderer applies to its
/// toolkit (geometry, focus, text) comes back as toolkit events; what the user edited in a native
/// control comes back as model notices. Both are echoes and must not travel back again.
class Echo {
public:
    /// While alive, toolkit events are echoes of the model being applied.
    class Applying {
    public:
        explicit Applying(Echo& echo) : m_echo(echo), m_was(echo.m_applying) { echo.m_applying = true; }
        ~Applying() { m_echo.m_applying = m_was; }
        Applying(const Applying&) = delete;
        Applying& operator=(const Applying&) = delete;

    private:
        Echo& m_echo;
        bool m_was;
    };
    /// Whether the model is being applied now: a toolkit event is its echo.
    bool applying() const noexcept { return m_applying; }
    /// Runs an edit the user made in `control`'s native control through the model; returns how
    /// many times the model told of a change to that control meanwhile. The first is the edit
    /// itself, already shown; more mean the window's handlers changed the control too.
    int userEdit(const std::string& control, const std::function<void()>& edit);
    /// Called for each model notice about `control`: true when it is the echo of the user's edit
    /// under way (counted, not to be synced).
    bool absorbed(const std::string& control);

private:
    bool m_applying = false;
    const std::string* m_editing = nullptr;
    int m_notices = 0;
};

} // namespace Kor2_Sys::platform::view
