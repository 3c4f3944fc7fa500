#include "Scripts.h"

#include "frame/Utf.h"

#include <stdexcept>

using namespace Kor2_Sys;
using platform::Action;

namespace kor2cli {
namespace {

Action controlAction(Action::Kind kind, const nlohmann::json& control)
{
    Action action;
    action.kind = kind;
    action.control = control.get<std::string>();
    return action;
}

// `{"type": ["TX_color", "12"]}`: a control and a text.
Action textAction(Action::Kind kind, const nlohmann::json& pair)
{
    Action action = controlAction(kind, pair.at(0));
    action.text = utf::fromUtf8(pair.at(1).get<std::string>());
    return action;
}

Action parseAction(const nlohmann::json& json)
{
    if (!json.is_object() || json.size() != 1)
        throw std::invalid_argument("cada acción es un objeto con una sola clave");
    const auto entry = json.begin();
    const std::string& verb = entry.key();
    const nlohmann::json& arg = entry.value();
    if (verb == "click") return controlAction(Action::Kind::Click, arg);
    if (verb == "dblclick") return controlAction(Action::Kind::DoubleClick, arg);
    if (verb == "type") return textAction(Action::Kind::Type, arg);
    if (verb == "set") return textAction(Action::Kind::Set, arg);
    Action action;
    if (verb == "key") {
        action = controlAction(Action::Kind::Key, arg.at(0));
        action.key = arg.at(1).get<int>();
    } else if (verb == "mousedown") {
        action = controlAction(Action::Kind::MouseDown, arg.at(0));
        action.x = arg.at(1).get<double>();
        action.y = arg.at(2).get<double>();
    } else if (verb == "resize") {
        action.kind = Action::Kind::Resize;
        action.width = arg.at(0).get<Long>();
        action.height = arg.at(1).get<Long>();
    } else if (verb == "close") {
        action.kind = Action::Kind::Close;
        const auto from = arg.get<std::string>();
        if (from != "user" && from != "code")
            throw std::invalid_argument("close admite \"user\" o \"code\"");
        action.fromUser = from == "user";
    } else if (verb == "answer") {
        action.kind = Action::Kind::Answer;
        const auto answer = arg.get<std::string>();
        if (answer != "ok" && answer != "cancel")
            throw std::invalid_argument("answer admite \"ok\" o \"cancel\"");
        action.answer = answer == "ok" ? platform::MessageAnswer::Ok : platform::MessageAnswer::Cancel;
    } else if (verb == "file") {
        action.kind = Action::Kind::File;
        action.text = utf::fromUtf8(arg.get<std::string>());
    } else if (verb == "cancel") {
        action.kind = Action::Kind::Cancel;
    } else {
        throw std::invalid_argument("acción desconocida: " + verb);
    }
    return action;
}

} // namespace

std::vector<platform::WindowScript> scriptsFromJson(const nlohmann::json& json)
{
    if (!json.is_array())
        throw std::invalid_argument("los guiones de ventanas son una lista JSON");
    std::vector<platform::WindowScript> scripts;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const auto& entry = json[i];
        try {
            platform::WindowScript script;
            script.window = entry.at("window").get<std::string>();
            for (const auto& action : entry.at("do"))
                script.actions.push_back(parseAction(action));
            scripts.push_back(std::move(script));
        } catch (const nlohmann::json::exception& e) {
            throw std::invalid_argument("guion " + std::to_string(i + 1) + ": " + e.what());
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument("guion " + std::to_string(i + 1) + ": " + e.what());
        }
    }
    return scripts;
}

} // namespace kor2cli
