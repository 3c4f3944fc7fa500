#pragma once
// The window-script vocabulary: what a person does in a window, as data. The headless window
// system plays it, kor2 and the Windows services read it from JSON, and the tests play the same
// scripts on every window system. It knows the seam's words (answers, keys) and no window system.

#include <Kor2_Sys/Value.h>

#include "platform/Form.h"
#include "platform/WindowSystem.h"

#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Kor2_Sys::script {

using platform::MessageAnswer;

/// One scripted user action (see the window scripts of `kor2 --actions`).
struct Action {
    enum class Kind : std::uint8_t { Click, DoubleClick, Type, Set, Key, MouseDown, Move, Resize, Close, Answer, File, Cancel };
    Kind kind = Kind::Click;
    std::string control{};
    Text text{};             ///< Type, Set, File
    int key = 0;             ///< Key: character code (9 Tab, 13 Enter, 27 Escape, 8 Backspace) or `kNamedKeys`
    int shift = 0;           ///< Key: shift state, `keys::ShiftDown` for Shift+Tab, `keys::AltDown` for Alt+C
    double x = 0, y = 0;     ///< MouseDown: fractions of the scale width and height
    Long left = 0, top = 0;      ///< Move: the outer position in twips, as the user drags the window
    Long width = 0, height = 0;  ///< Resize: the outer size in twips
    bool fromUser = true;    ///< Close
    MessageAnswer answer = MessageAnswer::Ok;  ///< Answer

    /// Short description for error texts, e.g. `click BT_aceptar`.
    std::string describe() const;
};

/// How a window script spells each action: one row per `Action::Kind`, in its order, read both by
/// `Action::describe()` and by the script parser, so that a verb is written once.
struct ActionVerb {
    std::string_view verb;
    Action::Kind kind;
};
inline constexpr ActionVerb kActionVerbs[] = {
    {"click", Action::Kind::Click}, {"dblclick", Action::Kind::DoubleClick}, {"type", Action::Kind::Type},
    {"set", Action::Kind::Set},     {"key", Action::Kind::Key},              {"mousedown", Action::Kind::MouseDown},
    {"move", Action::Kind::Move},   {"resize", Action::Kind::Resize}, {"close", Action::Kind::Close},        {"answer", Action::Kind::Answer},
    {"file", Action::Kind::File},   {"cancel", Action::Kind::Cancel},
};
static_assert(std::size(kActionVerbs) == static_cast<std::size_t>(Action::Kind::Cancel) + 1, "one verb per action");
static_assert([] {
    for (std::size_t i = 0; i < std::size(kActionVerbs); ++i)
        if (static_cast<std::size_t>(kActionVerbs[i].kind) != i)
            return false;
    return true;
}(), "verbs in the order of Action::Kind");

constexpr std::string_view verbOf(Action::Kind kind) { return kActionVerbs[static_cast<std::size_t>(kind)].verb; }

/// The action a script verb names; none for a verb that is no action.
constexpr std::optional<Action::Kind> actionOfVerb(std::string_view verb)
{
    for (const ActionVerb& row : kActionVerbs)
        if (row.verb == verb)
            return row.kind;
    return std::nullopt;
}

/// Keys that type no character, as a script names them: `{"key": ["Pc_color_normal", "Right"]}`.
struct NamedKey {
    std::string_view name;
    int key;
};
inline constexpr NamedKey kNamedKeys[] = {
    {"Left", platform::keys::Left}, {"Right", platform::keys::Right}, {"Up", platform::keys::Up},
    {"Down", platform::keys::Down}, {"Home", platform::keys::Home},   {"End", platform::keys::End},
};

/// The actions played in one window: `window` is the form's name, "file" for the file dialog or
/// "msgbox" for message boxes raised while no window is playing.
struct WindowScript {
    std::string window;
    std::vector<Action> actions;
};

} // namespace Kor2_Sys::script
