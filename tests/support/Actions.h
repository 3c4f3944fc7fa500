#pragma once
// Window-script actions as a test writes them: `click("BT_aceptar")`, `type("TX_color", u"12")`.

#include "platform/Form.h"
#include "script/WindowScript.h"

#include <string>
#include <utility>
#include <vector>

namespace kor2test {

using Kor2_Sys::script::Action;
using Kor2_Sys::script::WindowScript;
using Actions = std::vector<Action>;

inline Action click(std::string control) { return {.kind = Action::Kind::Click, .control = std::move(control)}; }
inline Action dblclick(std::string control) { return {.kind = Action::Kind::DoubleClick, .control = std::move(control)}; }
/// As a person selects all of the box and types `text`.
inline Action type(std::string control, Kor2_Sys::Text text)
{
    return {.kind = Action::Kind::Type, .control = std::move(control), .text = std::move(text)};
}
/// The text set from code: one change, no key.
inline Action set(std::string control, Kor2_Sys::Text text)
{
    return {.kind = Action::Kind::Set, .control = std::move(control), .text = std::move(text)};
}
inline Action key(std::string control, int code, int shift = 0)
{
    return {.kind = Action::Kind::Key, .control = std::move(control), .key = code, .shift = shift};
}
inline Action tab(std::string control) { return key(std::move(control), Kor2_Sys::platform::keys::Tab); }
inline Action backTab(std::string control)
{
    return key(std::move(control), Kor2_Sys::platform::keys::Tab, Kor2_Sys::platform::keys::ShiftDown);
}
inline Action enter(std::string control) { return key(std::move(control), Kor2_Sys::platform::keys::Enter); }
inline Action escape(std::string control) { return key(std::move(control), Kor2_Sys::platform::keys::Escape); }
/// Alt and a character, pressed on the control that has the focus: an access key.
inline Action alt(std::string control, char16_t character)
{
    return key(std::move(control), character, Kor2_Sys::platform::keys::AltDown);
}
/// A press of the left button at fractions of the control's scale width and height.
inline Action mousedown(std::string control, double x, double y)
{
    return {.kind = Action::Kind::MouseDown, .control = std::move(control), .x = x, .y = y};
}
/// The user drags the window to an outer position in twips.
inline Action move(Kor2_Sys::Long left, Kor2_Sys::Long top) { return {.kind = Action::Kind::Move, .left = left, .top = top}; }
inline Action resize(Kor2_Sys::Long width, Kor2_Sys::Long height)
{
    return {.kind = Action::Kind::Resize, .width = width, .height = height};
}
inline Action closeBox() { return {.kind = Action::Kind::Close, .fromUser = true}; }
inline Action closeFromCode() { return {.kind = Action::Kind::Close, .fromUser = false}; }
inline Action answer(Kor2_Sys::platform::MessageAnswer a) { return {.kind = Action::Kind::Answer, .answer = a}; }

/// The file dialog's scripts: a chosen file, or a cancel.
inline WindowScript pick(Kor2_Sys::Text path) { return {"file", {{.kind = Action::Kind::File, .text = std::move(path)}}}; }
inline WindowScript cancelFile() { return {"file", {{.kind = Action::Kind::Cancel}}}; }

} // namespace kor2test
