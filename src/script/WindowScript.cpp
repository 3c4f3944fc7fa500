#include "script/WindowScript.h"

namespace Kor2_Sys::script {

std::string Action::describe() const
{
    std::string text(verbOf(kind));
    switch (kind) {
    case Kind::Click:
    case Kind::DoubleClick:
    case Kind::Type:
    case Kind::Set:
    case Kind::MouseDown: return text + " " + control;
    case Kind::Key:
        return text + " " + control + " " + std::to_string(key) + ((shift & platform::keys::ShiftDown) ? " shift" : "") +
               ((shift & platform::keys::AltDown) ? " alt" : "");
    case Kind::Close: return text + (fromUser ? " user" : " code");
    case Kind::Move:
    case Kind::Resize:
    case Kind::Answer:
    case Kind::File:
    case Kind::Cancel: return text;
    }
    return "?";
}

} // namespace Kor2_Sys::script
