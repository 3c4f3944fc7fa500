#pragma once
// The form model: a private window of the library as data (the window, its controls and the
// pictures' display lists) plus the events the window's logic answers. The window classes own a
// Form and never see a toolkit; a window system renders the model and feeds user actions back
// through the same event paths, so a window behaves the same headless and on screen.

#include <Kor2_Sys/Value.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Kor2_Sys::platform {

/// What a control is. A renderer keeps one entry per kind in a table indexed by it, sized by `Count`.
enum class ControlKind : std::uint8_t {
    Label, Frame, TextBox, Button, Picture, FilledRect,
    Count  ///< not a kind: how many there are; new kinds go before it
};

/// Character codes of the keys the form model itself answers, and the shift state bit of a key.
namespace keys {
constexpr int Backspace = 8;
constexpr int Tab = 9;      ///< moves the focus; with `ShiftDown`, backwards
constexpr int Enter = 13;   ///< presses the focused button, else the default button
constexpr int Escape = 27;  ///< presses the cancel button
constexpr int Space = 32;   ///< presses the focused button
constexpr int ShiftDown = 1;  ///< bit of the shift state, as in mouse events
constexpr int ControlDown = 2;  ///< bit of the shift state of a mouse event
/// Bit of the shift state: with Alt held, a character is an access key (see `Form::userAccessKey`).
constexpr int AltDown = 4;
// Keys that type no character: past the last code point, so no typed character is ever taken for
// one, with the desktop's own key number in the low byte. They move the focus ring of a swatch
// picture and raise no key press event anywhere.
constexpr int End = 0x110023;
constexpr int Home = 0x110024;
constexpr int Left = 0x110025;
constexpr int Up = 0x110026;
constexpr int Right = 0x110027;
constexpr int Down = 0x110028;
/// Whether `key` is one of the arrows, Home or End.
constexpr bool isNavigation(int key) { return key >= End && key <= Down; }
} // namespace keys

/// One drawing instruction of a picture, in the picture's scale units.
struct DisplayItem {
    enum class Kind : std::uint8_t { FilledRect, Line, Text } kind = Kind::FilledRect;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  ///< rectangle corners or line ends
    Long colour = 0;                         ///< colour number
    Text text{};                             ///< for Text items, drawn at (x1, y1)
};

/// A picture made of equal cells that each stand for one choice (a palette): the keyboard walks them
/// and a screen reader reads each cell by its name.
struct Swatches {
    int columns = 0, rows = 0;
    std::vector<Text> names{};  ///< one per cell, row by row from the top left
    int current = 0;            ///< where the window's logic put the focus ring; see `ringed`
    int selected = -1;          ///< the cell of the choice the window holds now; -1: none

    /// The cell that has the focus ring: `current`, or the nearest cell when it lies past either
    /// end; -1 for a picture of no cells. Painting, picking and what a screen reader hears all
    /// take the ring from here, so that they never name different cells.
    int ringed() const noexcept
    {
        return names.empty() ? -1 : std::clamp(current, 0, static_cast<int>(names.size()) - 1);
    }
};

/// A control of a form. Geometry in twips relative to its container.
struct Control {
    std::string name{};
    ControlKind kind = ControlKind::Label;
    std::string container{};  ///< name of the frame that holds it; empty for the window itself
    Text caption{};         ///< caption, or the text of a text box
    bool visible = true;
    bool enabled = true;
    double left = 0, top = 0, width = 0, height = 0;  ///< twips; layouts may give fractions
    std::optional<Long> backColour{}, foreColour{}, fillColour{};
    int tabIndex = -1;      ///< place in the tab order; -1: takes no focus
    Long selStart = 0, selLength = 0;
    /// Non-zero: a password box. Every character shows as this one, input methods and clipboard
    /// history are kept away from it, its text is overwritten in memory before the model lets go of
    /// it, and a window system clears its own copy when the window goes.
    char16_t passwordChar = 0;
    bool bold = false;        ///< a bold caption (a frame's title only, not the controls it holds)
    bool multiline = false;   ///< a text box of several lines, with scroll bars and no wrapping
    bool fixedPitch = false;  ///< shown in a fixed-pitch font
    Text toolTip{};
    double scaleWidth = 0, scaleHeight = 0;  ///< picture scale; 0 means the size in twips
    std::vector<DisplayItem> picture{};
    /// What a screen reader says for the control; empty: the caption of `labelledBy`, else (a
    /// button, label or frame) its own caption. See `accessibleName`.
    Text accessibleName{};
    Text accessibleDescription{};
    std::string labelledBy{};  ///< the label or frame whose caption names the control
    std::optional<Swatches> swatches{};
};

/// The name a screen reader gives `control` in `form`, with the mnemonic marks of a caption taken
/// out ("&Cancelar" reads "Cancelar"); empty when nothing names it.
class Form;
Text accessibleName(const Form& form, const Control& control);

/// The character a caption marks as its access key: the one after a single ampersand ("&Cancelar"
/// marks C; "&&" shows one ampersand and marks nothing); 0 when the caption marks none.
char16_t accessKeyOf(std::u16string_view caption);

/// A control of `kind` placed at `left`, `top` with a size, in twips, with its caption or text and
/// its place in the tab order (-1: it takes no focus).
Control makeControl(std::string_view name, ControlKind kind, std::u16string_view caption, double left,
                                    double top, double width, double height, int tabIndex = -1);

/// One row of a window's table of controls: name, kind, the frame that holds it (empty: the window),
/// place in twips relative to that container, caption or text, and tab order (-1: takes no focus).
struct ControlRow {
    std::string_view name;
    ControlKind kind;
    std::string_view container;
    double left, top, width, height;
    std::u16string_view caption;
    int tabIndex;
};

/// The control a row of a window's table describes.
Control makeControl(const ControlRow& row);

/// What the window's logic answers. Every handler has a default that does nothing.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void onClick(const std::string& /*control*/) {}
    virtual void onDoubleClick(const std::string& /*control*/) {}
    /// Position in the control's scale units; button 1 left, 2 right; shift bit mask.
    virtual void onMouseDown(const std::string& /*control*/, int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
    virtual void onChange(const std::string& /*control*/) {}
    /// `key` may be changed; 0 swallows the key.
    virtual void onKeyPress(const std::string& /*control*/, int& /*key*/) {}
    virtual void onResize() {}
    /// Set `cancel` to refuse the close.
    virtual void onCloseRequest(bool /*fromUser*/, bool& /*cancel*/) {}
    virtual void onUnload() {}
};

/// Told about every change of the model, so that a window system can repaint what changed.
class FormObserver {
public:
    virtual ~FormObserver() = default;
    virtual void formChanged() {}
    virtual void controlChanged(const std::string& /*control*/) {}
    /// The window became hidden or unloaded: a modal show must end.
    virtual void visibilityChanged(bool /*visible*/) {}
    /// The focus moved to `control` (empty: no control has it).
    virtual void focusChanged(const std::string& /*control*/) {}
};

/// Window state: normal, minimised, maximised.
enum class WindowState : std::uint8_t { Normal = 0, Minimised = 1, Maximised = 2 };

/// A private window as data. Mutations go through members so that observers hear of them and
/// events fire where the window system would fire them (setting a text box's text from code
/// raises its change event).
class Form {
public:
    Form(std::string name, FormEvents& events);
    /// Wipes the text of every password box.
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const noexcept { return m_name; }

    // --- the window ---------------------------------------------------------------------
    const Text& caption() const noexcept { return m_caption; }
    void setCaption(Text caption);
    double left() const noexcept { return m_left; }
    double top() const noexcept { return m_top; }
    double width() const noexcept { return m_width; }
    double height() const noexcept { return m_height; }
    /// Moves the window (outer position, twips).
    void move(double left, double top);
    /// Sets the outer size in twips and raises the resize event.
    void resize(double width, double height);
    /// Width and height of the frame around the inner area (caption bar, borders), in twips. The
    /// window gives its design frame; a window system that knows the real one may put it instead.
    void setFrameSize(double horizontal, double vertical);
    double frameWidth() const noexcept { return m_frameWidth; }
    double frameHeight() const noexcept { return m_frameHeight; }
    double innerWidth() const noexcept { return m_width - m_frameWidth; }
    double innerHeight() const noexcept { return m_height - m_frameHeight; }
    WindowState state() const noexcept { return m_state; }
    void setState(WindowState state);
    bool resizable() const noexcept { return m_resizable; }
    void setResizable(bool resizable) { m_resizable = resizable; }
    bool toolWindow() const noexcept { return m_toolWindow; }
    void setToolWindow(bool tool) { m_toolWindow = tool; }
    /// The window's icon by its freedesktop name ("dialog-information"); empty: none of its own.
    const std::string& icon() const noexcept { return m_icon; }
    void setIcon(std::string name);
    bool visible() const noexcept { return m_visible; }
    bool unloaded() const noexcept { return m_unloaded; }

    // --- controls -----------------------------------------------------------------------
    /// Adds a control; its name must be new.
    Control& add(Control control);
    /// Room for `count` controls in all, so that a window adding its table moves none of them.
    void reserve(std::size_t count) { m_controls.reserve(count); }
    /// The control with this name; `Error` naming the window and control when there is none.
    const Control& control(std::string_view name) const;
    bool has(std::string_view name) const noexcept;
    const std::vector<Control>& controls() const noexcept { return m_controls; }
    /// Changes a control and tells the observer; the text-box change event is not raised.
    void update(std::string_view name, const std::function<void(Control&)>& change);
    /// Sets a caption or text box text from code; when a text box's text really changes, its
    /// change event follows.
    void setText(std::string_view name, Text text);
    void setVisible(std::string_view name, bool visible);
    void setPicture(std::string_view name, std::vector<DisplayItem> items);
    /// The button Enter presses when no button has the focus. A form without one (empty name)
    /// lets Enter press only a focused button.
    std::string defaultButton() const { return m_defaultButton; }
    /// The button Escape presses, wherever the focus is; empty: Escape is an ordinary key.
    std::string cancelButton() const { return m_cancelButton; }
    void setDefaultButton(std::string name) { m_defaultButton = std::move(name); }
    void setCancelButton(std::string name) { m_cancelButton = std::move(name); }

    // --- focus --------------------------------------------------------------------------
    /// The control that has the focus; empty before the window is first shown and while no
    /// control can take it.
    const std::string& focus() const noexcept;
    /// Whether a control can take the focus: it has a place in the tab order, and it and every
    /// frame that holds it are visible and enabled.
    bool takesFocus(std::string_view control) const;
    /// Puts the focus on a control, from code or because the user moved it there (a renderer
    /// calls this when its toolkit moved the focus). Error 5 when the control cannot take it.
    void setFocus(std::string_view control);

    // --- life ---------------------------------------------------------------------------
    /// Marks the window shown (the window system calls this when it shows it). The focus goes to
    /// the first control in tab order that can take it, unless code already put it on one.
    void markShown();
    /// Whether a window system has shown the window at least once.
    bool everShown() const noexcept { return m_everShown; }
    /// Hides the window; a modal show then returns.
    void hide();
    /// Asks to close: the close-request handler may refuse; otherwise the window unloads.
    /// Returns whether it unloaded.
    bool requestClose(bool fromUser);
    /// Unloads from code (close request from code, then the unload handler), once.
    void unload() { requestClose(false); }

    // --- user actions: the single path by which any window system delivers input ---------
    // A click, double click or mouse down on a control that can take the focus gives it the
    // focus before its event; one on a hidden or disabled control (or inside such a frame) reaches
    // nobody, as no person can click it.
    void userClick(std::string_view control);
    void userDoubleClick(std::string_view control);
    void userMouseDown(std::string_view control, int button, int shift, double x, double y);
    /// One key press on a control, which takes the focus first when it can. Tab moves the focus
    /// (backwards with `keys::ShiftDown` in `shift`); Enter presses the focused button, else the
    /// default button; Space presses the focused button; Escape presses the cancel button. A key
    /// that moves the focus or presses a button raises no key press event; any other key does,
    /// and a printable key or backspace then edits a text box (change event after the key press).
    /// On a picture with swatches that has the focus, the arrows move its focus ring (Home and End
    /// to the ends of the row) and Enter or Space are a mouse down in the middle of the ringed cell,
    /// as a click there would be. With `keys::AltDown` in `shift` the key is an access key
    /// (`userAccessKey`) and nothing else: no key press event, no edit.
    void userKey(std::string_view control, int key, int shift = 0);
    /// A character pressed with Alt, in either case. The first control, in the order they were
    /// added, whose caption marks it as its access key and that a person can reach answers it: a
    /// button is pressed (taking the focus first, as a click does); a frame hands the focus to the
    /// first control in tab order that it names or holds. A label's caption shows as written and
    /// marks nothing. Returns whether a control answered.
    bool userAccessKey(int key);
    /// As a user who selects all of a text box and types `text` (see the window scripts); each
    /// character costs the same however long the text already is.
    void userType(std::string_view control, std::u16string_view text);
    /// A text box edited by other means than a typed character (delete key, paste): the new text,
    /// then the change event when it differs.
    void userEdited(std::string_view control, Text text);
    /// Where the user left the caret and selection of a text box; no event.
    void userSelected(std::string_view control, Long start, Long length);
    /// The user (or the window manager) moved the window: its outer position in twips. The window
    /// system that reports it already shows it, so the observer is not told back.
    void userMoved(double left, double top);
    /// The user sized the window: its outer size in twips; the resize event follows, as for a
    /// size set from code, but the observer is not told of the window's own change.
    void userResized(double width, double height);

    void setObserver(FormObserver* observer) noexcept { m_observer = observer; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::size_t indexOf(std::string_view name) const;
    Control& mutableControl(std::string_view name);
    /// Tells the observer about a control; `changed` also hands the focus on when the change took
    /// it from the focused control.
    void notify(const std::string& control);
    void changed(const std::string& control);
    void insertTyped(Control& box, char16_t key);
    /// Visible and enabled, and so is every frame that holds it.
    bool reachable(std::size_t index) const;
    bool canFocus(std::size_t index) const;
    void focusOn(std::size_t index);
    void focusIfAble(std::size_t index);
    /// The first control in tab order that can take the focus and that the frame at `index` names
    /// or holds; kNone when there is none.
    std::size_t focusInFrame(std::size_t index) const;
    void moveFocus(bool backwards);
    bool pressable(const std::string& button) const;
    void press(std::string button);
    void keyOn(std::size_t index, int key, int shift);
    void moveRing(std::size_t index, int key);
    void pressSwatch(std::size_t index);

    std::string m_name;
    FormEvents& m_events;
    FormObserver* m_observer = nullptr;
    Text m_caption;
    double m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    double m_frameWidth = 0, m_frameHeight = 0;
    WindowState m_state = WindowState::Normal;
    bool m_resizable = false;
    bool m_toolWindow = false;
    std::string m_icon;
    bool m_visible = false;
    bool m_unloaded = false;
    bool m_everShown = false;
    std::vector<Control> m_controls;
    std::size_t m_focus = kNone;  ///< index into m_controls; controls are never removed
    std::string m_defaultButton, m_cancelButton;
};

} // namespace Kor2_Sys::platform
