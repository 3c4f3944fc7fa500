#include "platform/Form.h"

#include <Kor2_Sys/Error.h>

#include "frame/Utf.h"

#include <algorithm>

namespace Kor2_Sys::platform {
namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kBackspace = 8;

Error missingControl(const std::string& form, std::string_view control)
{
    return Error(errors::invalidCall().number(),
                 errors::invalidCall().description() + u": la ventana " + utf::fromUtf8(form) +
                     u" no tiene el control " + utf::fromUtf8(control));
}

} // namespace

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

Form::Form(std::string name, FormEvents& events) : m_name(std::move(name)), m_events(events) {}

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

const Control& Form::control(std::string_view name) const
{
    for (const Control& c : m_controls)
        if (c.name == name)
            return c;
    throw missingControl(m_name, name);
}

Control& Form::mutableControl(std::string_view name)
{
    return const_cast<Control&>(control(name));
}

void Form::changed(const std::string& control)
{
    if (m_observer)
        m_observer->controlChanged(control);
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

void Form::userClick(std::string_view control)
{
    m_events.onClick(this->control(control).name);
}

void Form::userDoubleClick(std::string_view control)
{
    m_events.onDoubleClick(this->control(control).name);
}

void Form::userMouseDown(std::string_view control, int button, int shift, double x, double y)
{
    m_events.onMouseDown(this->control(control).name, button, shift, x, y);
}

void Form::insertTyped(Control& box, char16_t key)
{
    const auto start = static_cast<std::size_t>(std::clamp<Long>(box.selStart, 0, static_cast<Long>(box.caption.size())));
    const auto length = std::min(static_cast<std::size_t>(std::max<Long>(box.selLength, 0)), box.caption.size() - start);
    if (key == kBackspace) {
        if (length > 0)
            box.caption.erase(start, length);
        else if (start > 0)
            box.caption.erase(start - 1, 1);
        box.selStart = static_cast<Long>(length > 0 ? start : (start > 0 ? start - 1 : 0));
    } else {
        box.caption.replace(start, length, 1, key);
        box.selStart = static_cast<Long>(start + 1);
    }
    box.selLength = 0;
}

void Form::userKey(std::string_view controlName, int key)
{
    const std::string name = control(controlName).name;
    if (key == kEnter && !m_defaultButton.empty()) {
        userClick(m_defaultButton);
        return;
    }
    if (key == kEscape && !m_cancelButton.empty()) {
        userClick(m_cancelButton);
        return;
    }
    m_events.onKeyPress(name, key);
    Control& c = mutableControl(name);
    if (c.kind != ControlKind::TextBox || key == 0 || (key < 32 && key != kBackspace) || key > 0xFFFF)
        return;
    insertTyped(c, static_cast<char16_t>(key));
    changed(name);
    m_events.onChange(name);
}

void Form::userType(std::string_view controlName, std::u16string_view text)
{
    const std::string name = control(controlName).name;
    update(name, [](Control& c) {
        c.selStart = 0;
        c.selLength = static_cast<Long>(c.caption.size());
    });
    if (text.empty()) {
        update(name, [](Control& c) {
            c.caption.clear();
            c.selStart = c.selLength = 0;
        });
        m_events.onChange(name);
        return;
    }
    for (char16_t ch : text)
        userKey(name, ch);
}

void Form::userEdited(std::string_view controlName, Text text)
{
    setText(controlName, std::move(text));
}

void Form::userSelected(std::string_view controlName, Long start, Long length)
{
    Control& c = mutableControl(controlName);
    c.selStart = start;
    c.selLength = length;
}

} // namespace Kor2_Sys::platform
