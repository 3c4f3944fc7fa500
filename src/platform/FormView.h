#pragma once
// What every renderer of a form model does the same way, whatever its toolkit: twips to pixels,
// which native keys and characters belong to the model, how a typed character is mirrored into the
// native box, the tab and stacking order, a picture's scale, what pictures and filled rectangles
// paint (through a small painter each renderer implements), the focus ring and what a screen
// reader hears of a palette, the caption-fit and label-fitting rules, the adopted frame, the mouse
// codes, the window state and the echo protocol. A renderer keeps only the calls into its toolkit.

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

/// Whether a character a control received is the trace of a key the model already answered on its
/// way down (`modelKey` for the key that types it: Tab, Escape, Enter as carriage return, Space),
/// which a native control must not take again: Enter in a box of several lines of a window with a
/// default button pressed the button and is no line break.
bool answeredOnItsWayDown(const Form& form, const Control& control, char32_t character);

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

/// A width and a height in a picture's scale units.
struct Extent {
    double width = 1, height = 1;
};
/// How many scale units a picture (or a button that draws one) spans across and down: its scale,
/// where the scale is 0 (or less) its size in twips, and never less than one unit, so that a picture
/// of no size still divides.
Extent scaleUnits(const Control& picture);

/// A picture's scale units per pixel, horizontally and vertically, for a control shown `width` ×
/// `height` pixels (see `scaleUnits`).
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
/// The cell of a swatch picture shown `width` × `height` pixels that has the focus ring
/// (`Swatches::ringed`); none for a picture without swatches.
std::optional<PixelRect> ringCell(const Control& picture, int width, int height);
/// The rectangle of cell `index` of a swatch picture in its pixels (cells row by row).
PixelRect swatchCell(const Swatches& swatches, int index, int width, int height);

/// What a screen reader meets in cell `cell` of a palette whose picture has the focus or not: the
/// cell's name (empty past the cells), whether it is the ringed cell and whether it is the window's
/// choice.
struct SwatchReading {
    Text name{};
    bool focused = false;
    bool selected = false;
};
SwatchReading readSwatch(const Swatches& swatches, int cell, bool pictureFocused);
/// A picture's name with its ringed cell after it ("Colores normales: verde (elegido)"), for a
/// toolkit whose palettes have no cells of their own; its own name for a picture without cells.
Text paletteReading(const Form& form, const Control& picture);

/// What a renderer draws with, in a control's pixels; colours are colour numbers (red in the
/// lowest byte). The drawing itself is the renderer's: pens, brushes, rounding and text baseline.
class Painter {
public:
    virtual ~Painter() = default;
    /// Fills the rectangle between two corners.
    virtual void rectangle(double x1, double y1, double x2, double y2, Long colour) = 0;
    /// A line one pixel wide from the first point to the second.
    virtual void line(double x1, double y1, double x2, double y2, Long colour) = 0;
    /// `text` in the control's font, its baseline starting at the point.
    virtual void text(double x, double y, const Text& text, Long colour) = 0;
};

/// The fill of a filled rectangle that has no colour of its own: light grey.
constexpr Long kDefaultFill = 0xC0C0C0;

/// Paints a display list on a control shown `width` × `height` pixels, in the control's scale.
void paintDisplayList(Painter& painter, const Control& control, int width, int height);
/// Paints a rectangle's one-pixel outline in `colour`, inside it.
void paintOutline(Painter& painter, const PixelRect& rect, Long colour);
/// Paints what a picture or filled rectangle shows of its own, over whatever background the
/// renderer gave it: a filled rectangle its fill and a black outline; a picture its display list
/// and, while it has the focus, the focus ring on its ringed cell, white outside black so that it
/// shows on every colour of a palette, the palest too.
void paintControl(Painter& painter, const Control& control, int width, int height, bool focused);

/// The buttons of a mouse event, as the window's logic numbers them.
enum class MouseButton : std::uint8_t { Left, Right, Middle };
/// The number of `button` in a mouse event: 1 left, 2 right, 4 middle.
int buttonCode(MouseButton button);
/// The shift state of a mouse event: `keys::ShiftDown`, `keys::ControlDown`, `keys::AltDown`.
int shiftCode(bool shiftHeld, bool controlHeld, bool altHeld);

/// The number a host reads and writes as a window's state (0 normal, 1 minimised, 2 maximised)
/// for a window its toolkit shows minimised or maximised or neither.
int windowStateNumber(bool minimised, bool maximised);
/// The state a host's number asks for; any number but 1 and 2 is the normal state.
WindowState windowStateOf(Long number);

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

/// Whether a label `height` pixels high wraps its caption: it holds two lines or more.
bool labelWraps(int height, int lineSpacing);
/// The width a label `width` × `height` pixels needs so that its caption is never clipped: its own
/// when the caption fits (`captionFits`); else, on one line, the caption's advance and a margin;
/// on several, the narrowest width, in steps of 4 pixels and at most four times its own and 200
/// more, in which the wrapped caption fits its height.
int fittedLabelWidth(const Control& label, const TextMeasure& measure, int width, int height);

/// Takes the real frame around a sizeable window's inner area once the toolkit knows it, from the
/// window's outer and inner size in pixels: the window keeps its outer size and runs its layout
/// for the inner size the frame leaves. A fixed window, or one whose frame is already the model's,
/// is left alone.
void adoptFrame(Form& form, int outerWidth, int outerHeight, int innerWidth, int innerHeight, double twipsPerPixelX,
                double twipsPerPixelY);

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
