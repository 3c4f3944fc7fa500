#include "platform/Form.h"

#include "frame/Errors.h"
#include "frame/Latin1.h"
#include "frame/NeverDestroyed.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"
#include "platform/FormView.h"

#include <algorithm>
#include <utility>

namespace Kor2_Sys::platform {
namespace {

Error controlError(const std::string& form, std::string_view control, std::u16string_view what)
{
    return Error(errors::invalidCall().number(), errors::invalidCall().description() + u": la ventana " +
                                                     utf::fromUtf8(form) + Text(what) + utf::fromUtf8(control));
}

const std::string& noControl()
{
    static const NeverDestroyed<std::string> none;
    return *none;
}

} // namespace

char16_t accessKeyOf(std::u16string_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1];
        ++i;  // "&&" is an ampersand shown
    }
    return 0;
}

Control makeControl(std::string_view name, ControlKind kind, std::u16string_view caption, double left, double top,
                    double width, double height, int tabIndex)
{
    Control c;
    c.name = std::string(name);
    c.kind = kind;
    c.caption = Text(caption);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    c.tabIndex = tabIndex;
    return c;
}

Control makeControl(const ControlRow& row)
{
    Control c = makeControl(row.name, row.kind, row.caption, row.left, row.top, row.width, row.height, row.tabIndex);
    c.container = std::string(row.container);
    return c;
}

Text accessibleName(const Form& form, const Control& control)
{
    const bool captioned = control.kind == ControlKind::Button || control.kind == ControlKind::Label ||
                           control.kind == ControlKind::Frame;
    const Text& named = !control.accessibleName.empty() ? control.accessibleName
                        : !control.labelledBy.empty() && form.has(control.labelledBy) ? form.control(control.labelledBy).caption
                        : captioned ? control.caption
                                    : control.accessibleName;
    // A single ampersand marks the next letter as the mnemonic; "&&" shows one.
    Text plain;
    for (std::size_t i = 0; i < named.size(); ++i) {
        if (named[i] == u'&' && i + 1 < named.size())
            ++i;
        plain += named[i];
    }
    return plain;
}

Form::Form(std::string name, FormEvents& events) : m_name(std::move(name)), m_events(events) {}

Form::~Form()
{
    for (Control& c : m_controls)
        if (c.passwordChar != 0)
            wipe::text(c.caption);
}

void Form::setCaption(Text caption)
{
    m_caption = std::move(caption);
    if (m_observer)
        m_observer->formChanged();
}

void Form::move(double left, double top)
{
    m_left = left;
    m_top = top;
    if (m_observer)
        m_observer->formChanged();
}

void Form::resize(double width, double height)
{
    m_width = width;
    m_height = height;
    if (m_observer)
        m_observer->formChanged();
    m_events.onResize();
}

void Form::setFrameSize(double horizontal, double vertical)
{
    m_frameWidth = horizontal;
    m_frameHeight = vertical;
}

void Form::setState(WindowState state)
{
    m_state = state;
    if (m_observer)
        m_observer->formChanged();
}

void Form::setIcon(std::string name)
{
    m_icon = std::move(name);
    if (m_observer)
        m_observer->formChanged();
}

Control& Form::add(Control control)
{
    if (has(control.name))
        throw errors::invalidCall();
    m_controls.push_back(std::move(control));
    return m_controls.back();
}

bool Form::has(std::string_view name) const noexcept
{
    return std::any_of(m_controls.begin(), m_controls.end(), [&](const Control& c) { return c.name == name; });
}

std::size_t Form::indexOf(std::string_view name) const
{
    for (std::size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i].name == name)
            return i;
    throw controlError(m_name, name, u" no tiene el control ");
}

const Control& Form::control(std::string_view name) const
{
    return m_controls[indexOf(name)];
}

Control& Form::mutableControl(std::string_view name)
{
    return m_controls[indexOf(name)];
}

void Form::notify(const std::string& control)
{
    if (m_observer)
        m_observer->controlChanged(control);
}

void Form::changed(const std::string& control)
{
    notify(control);
    // A control that is hidden or disabled, or whose frame is, hands the focus on.
    if (m_focus != kNone && !canFocus(m_focus))
        moveFocus(false);
}

void Form::update(std::string_view name, const std::function<void(Control&)>& change)
{
    Control& c = mutableControl(name);
    change(c);
    changed(c.name);
}

void Form::setText(std::string_view name, Text text)
{
    Control& c = mutableControl(name);
    // As on the desktop, only a real change of a text box's text is a change event.
    if (c.caption == text)
        return;
    if (c.passwordChar != 0)
        wipe::text(c.caption);
    c.caption = std::move(text);
    c.selStart = std::min<Long>(c.selStart, static_cast<Long>(c.caption.size()));
    c.selLength = 0;
    changed(c.name);
    if (c.kind == ControlKind::TextBox)
        m_events.onChange(c.name);
}

void Form::setVisible(std::string_view name, bool visible)
{
    update(name, [&](Control& c) { c.visible = visible; });
}

void Form::setPicture(std::string_view name, std::vector<DisplayItem> items)
{
    update(name, [&](Control& c) { c.picture = std::move(items); });
}

void Form::markShown()
{
    if (m_focus == kNone) {
        moveFocus(false);
    } else if (!canFocus(m_focus)) {
        focusOn(kNone);
        moveFocus(false);
    }
    m_everShown = true;
    m_visible = true;
    if (m_observer)
        m_observer->visibilityChanged(true);
}

void Form::hide()
{
    if (!m_visible)
        return;
    m_visible = false;
    if (m_observer)
        m_observer->visibilityChanged(false);
}

bool Form::requestClose(bool fromUser)
{
    if (m_unloaded)
        return true;
    bool cancel = false;
    m_events.onCloseRequest(fromUser, cancel);
    if (cancel)
        return false;
    m_unloaded = true;
    m_events.onUnload();
    hide();
    return true;
}

// --- focus ----------------------------------------------------------------------------------

const std::string& Form::focus() const noexcept
{
    return m_focus == kNone ? noControl() : m_controls[m_focus].name;
}

bool Form::reachable(std::size_t index) const
{
    const Control* c = &m_controls[index];
    // Frames hold frames; the bound stops a container cycle that a careless window could build.
    for (std::size_t depth = 0; depth <= m_controls.size(); ++depth) {
        if (!c->visible || !c->enabled)
            return false;
        if (c->container.empty())
            return true;
        const auto holder = std::find_if(m_controls.begin(), m_controls.end(),
                                         [&](const Control& other) { return other.name == c->container; });
        if (holder == m_controls.end())
            return true;
        c = &*holder;
    }
    return false;
}

bool Form::canFocus(std::size_t index) const
{
    return m_controls[index].tabIndex >= 0 && reachable(index);
}

bool Form::takesFocus(std::string_view control) const
{
    return canFocus(indexOf(control));
}

void Form::setFocus(std::string_view control)
{
    const std::size_t index = indexOf(control);
    if (!canFocus(index))
        throw controlError(m_name, control, u" no puede dar el foco al control ");
    focusOn(index);
}

void Form::focusOn(std::size_t index)
{
    if (index == m_focus)
        return;
    m_focus = index;
    if (m_observer)
        m_observer->focusChanged(focus());
}

void Form::focusIfAble(std::size_t index)
{
    if (index != m_focus && canFocus(index))
        focusOn(index);
}

// The next control in tab order (ties in the order the controls were added), round the end; with
// no control focused, the first one (the last one going backwards).
void Form::moveFocus(bool backwards)
{
    const auto before = [&](std::size_t a, std::size_t b) {
        return std::pair(m_controls[a].tabIndex, a) < std::pair(m_controls[b].tabIndex, b);
    };
    std::size_t next = kNone, round = kNone;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        if (i == m_focus || !canFocus(i))
            continue;
        if (round == kNone || (backwards ? before(round, i) : before(i, round)))
            round = i;
        const bool ahead = m_focus != kNone && (backwards ? before(i, m_focus) : before(m_focus, i));
        if (ahead && (next == kNone || (backwards ? before(next, i) : before(i, next))))
            next = i;
    }
    if (next == kNone)
        next = round;
    if (next != kNone)
        focusOn(next);
    else if (m_focus != kNone && !canFocus(m_focus))
        focusOn(kNone);
}

bool Form::pressable(const std::string& button) const
{
    if (button.empty())
        return false;
    const auto it = std::find_if(m_controls.begin(), m_controls.end(), [&](const Control& c) { return c.name == button; });
    return it != m_controls.end() && reachable(static_cast<std::size_t>(it - m_controls.begin()));
}

// --- user actions -----------------------------------------------------------------------------

void Form::userClick(std::string_view control)
{
    const std::size_t index = indexOf(control);
    if (!reachable(index))
        return;  // a hidden or disabled control, or one in such a frame, takes no mouse
    focusIfAble(index);
    const std::string name = m_controls[index].name;  // handlers may add controls
    m_events.onClick(name);
}

void Form::userDoubleClick(std::string_view control)
{
    const std::size_t index = indexOf(control);
    if (!reachable(index))
        return;  // a hidden or disabled control, or one in such a frame, takes no mouse
    focusIfAble(index);
    const std::string name = m_controls[index].name;
    m_events.onDoubleClick(name);
}

void Form::userMouseDown(std::string_view control, int button, int shift, double x, double y)
{
    const std::size_t index = indexOf(control);
    if (!reachable(index))
        return;  // a hidden or disabled control, or one in such a frame, takes no mouse
    focusIfAble(index);
    const std::string name = m_controls[index].name;
    m_events.onMouseDown(name, button, shift, x, y);
}

void Form::insertTyped(Control& box, char16_t key)
{
    const auto start = static_cast<std::size_t>(std::clamp<Long>(box.selStart, 0, static_cast<Long>(box.caption.size())));
    const auto length = std::min(static_cast<std::size_t>(std::max<Long>(box.selLength, 0)), box.caption.size() - start);
    if (key == keys::Backspace) {
        if (length > 0)
            box.caption.erase(start, length);
        else if (start > 0)
            box.caption.erase(start - 1, 1);
        box.selStart = static_cast<Long>(length > 0 ? start : (start > 0 ? start - 1 : 0));
    } else {
        // A password must not grow by reallocating: the old buffer would go back unwiped.
        if (box.passwordChar != 0)
            wipe::reserve(box.caption, box.caption.size() - length + 1);
        box.caption.replace(start, length, 1, key);
        box.selStart = static_cast<Long>(start + 1);
    }
    box.selLength = 0;
}

void Form::userKey(std::string_view controlName, int key, int shift)
{
    keyOn(indexOf(controlName), key, shift);
}

bool Form::userAccessKey(int key)
{
    // Access keys match in either case, as the library's text rules mean case.
    const char16_t wanted = key > 0 && key <= 0xFFFF ? latin1::toUpper(static_cast<char16_t>(key)) : 0;
    if (wanted == 0)
        return false;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const Control& c = m_controls[i];
        if ((c.kind != ControlKind::Button && c.kind != ControlKind::Frame) ||
            latin1::toUpper(accessKeyOf(c.caption)) != wanted || !reachable(i))
            continue;
        if (c.kind == ControlKind::Button) {
            focusIfAble(i);
            press(m_controls[i].name);
        } else if (const std::size_t inside = focusInFrame(i); inside != kNone) {
            focusOn(inside);
        }
        return true;
    }
    return false;
}

std::size_t Form::focusInFrame(std::size_t frame) const
{
    const std::string& name = m_controls[frame].name;
    std::size_t found = kNone;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const Control& c = m_controls[i];
        if ((c.labelledBy != name && c.container != name) || !canFocus(i))
            continue;
        if (found == kNone || c.tabIndex < m_controls[found].tabIndex)
            found = i;
    }
    return found;
}

// Nothing here may depend on the length of the text already in the box: typing a long text is
// one call per character.
void Form::keyOn(std::size_t index, int key, int shift)
{
    focusIfAble(index);
    if (shift & keys::AltDown) {
        userAccessKey(key);
        return;
    }
    if (key == keys::Tab) {
        moveFocus((shift & keys::ShiftDown) != 0);
        return;
    }
    const bool ringed = m_focus == index && m_controls[index].swatches && !m_controls[index].swatches->names.empty();
    if (keys::isNavigation(key)) {
        if (ringed)
            moveRing(index, key);
        return;
    }
    if ((key == keys::Enter || key == keys::Space) && ringed) {
        pressSwatch(index);
        return;
    }
    const bool focusedButton = m_focus == index && m_controls[index].kind == ControlKind::Button;
    if ((key == keys::Enter || key == keys::Space) && focusedButton) {
        press(m_controls[index].name);
        return;
    }
    if (key == keys::Enter && pressable(m_defaultButton)) {
        press(m_defaultButton);
        return;
    }
    if (key == keys::Escape && pressable(m_cancelButton)) {
        press(m_cancelButton);
        return;
    }
    const std::string name = m_controls[index].name;
    m_events.onKeyPress(name, key);
    Control& c = m_controls[index];
    if (c.kind != ControlKind::TextBox || key == 0 || (key < 32 && key != keys::Backspace) || key > 0xFFFF)
        return;
    insertTyped(c, static_cast<char16_t>(key));
    // An edit cannot change who may have the focus: the observer only.
    notify(name);
    m_events.onChange(name);
}

// The ring stops at the edges of the grid: a person walking a palette by ear must hear where it ends.
void Form::moveRing(std::size_t index, int key)
{
    Swatches& grid = *m_controls[index].swatches;
    const int columns = std::max(grid.columns, 1);
    const int cells = static_cast<int>(grid.names.size());
    const int at = grid.ringed();
    const int row = at / columns, column = at % columns;
    const int rowEnd = std::min(cells - 1, row * columns + columns - 1);
    int next = at;
    switch (key) {
    case keys::Left: next = column > 0 ? at - 1 : at; break;
    case keys::Right: next = std::min(at + 1, rowEnd); break;
    case keys::Up: next = row > 0 ? at - columns : at; break;
    case keys::Down: next = at + columns < cells ? at + columns : at; break;
    case keys::Home: next = row * columns; break;
    case keys::End: next = rowEnd; break;
    default: break;
    }
    if (next == grid.current)
        return;
    grid.current = next;
    notify(m_controls[index].name);
}

void Form::pressSwatch(std::size_t index)
{
    const Control& c = m_controls[index];
    const Swatches& grid = *c.swatches;
    const int columns = std::max(grid.columns, 1), rows = std::max(grid.rows, 1);
    const int at = grid.ringed();
    const view::Extent units = view::scaleUnits(c);
    const std::string name = c.name;
    m_events.onMouseDown(name, 1, 0, (at % columns + 0.5) * units.width / columns, (at / columns + 0.5) * units.height / rows);
}

void Form::press(std::string button)
{
    m_events.onClick(button);
}

void Form::userType(std::string_view controlName, std::u16string_view text)
{
    const std::size_t index = indexOf(controlName);
    const std::string name = m_controls[index].name;
    focusIfAble(index);
    Control& box = m_controls[index];
    box.selStart = 0;
    box.selLength = static_cast<Long>(box.caption.size());
    if (text.empty()) {
        if (box.passwordChar != 0)
            wipe::text(box.caption);
        else
            box.caption.clear();
        box.selLength = 0;
        notify(name);
        m_events.onChange(name);
        return;
    }
    notify(name);
    for (char16_t ch : text)
        keyOn(index, ch, 0);
}

void Form::userEdited(std::string_view controlName, Text text)
{
    setText(controlName, std::move(text));
}

void Form::userMoved(double left, double top)
{
    m_left = left;
    m_top = top;
}

void Form::userResized(double width, double height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    m_events.onResize();
}

void Form::userSelected(std::string_view controlName, Long start, Long length)
{
    Control& c = mutableControl(controlName);
    c.selStart = start;
    c.selLength = length;
}

} // namespace Kor2_Sys::platform
