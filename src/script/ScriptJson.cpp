#include "script/ScriptJson.h"

#include "frame/Utf.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>
#include <optional>
#include <stdexcept>

namespace Kor2_Sys::script {
namespace {

constexpr std::int64_t kLongMin = std::numeric_limits<Long>::min(), kLongMax = std::numeric_limits<Long>::max();

// The n-th element of an action's list argument, e.g. ["TX_color", "12"].
const JsonNode& at(const JsonNode& list, std::size_t n, std::string_view verb)
{
    const auto& items = arrayOf(list, verb);
    if (n >= items.size())
        throw std::invalid_argument(std::string(verb) + " necesita " + std::to_string(n + 1) + " elementos");
    return items[n];
}

Action controlAction(Action::Kind kind, const JsonNode& control)
{
    Action action;
    action.kind = kind;
    action.control = nameOf(control, "el control");
    return action;
}

// `{"type": ["TX_color", "12"]}`: a control and a text.
Action textAction(Action::Kind kind, const JsonNode& pair, std::string_view verb)
{
    Action action = controlAction(kind, at(pair, 0, verb));
    action.text = textOf(at(pair, 1, verb), verb);
    return action;
}

// A character code, or the name of a key that types none.
int keyOf(const JsonNode& key)
{
    if (key.kind != JsonNode::Kind::String)
        return static_cast<int>(integerOf(key, "la tecla", 0, 0xFFFF));
    const std::string name = utf::toUtf8(key.string);
    for (const NamedKey& named : kNamedKeys)
        if (named.name == name)
            return named.key;
    throw std::invalid_argument("tecla desconocida: " + excerpt(name));
}

Action parseAction(const JsonNode& json)
{
    if (json.kind != JsonNode::Kind::Object || json.members.size() != 1)
        throw std::invalid_argument("cada acción es un objeto con una sola clave");
    const std::string verb = utf::toUtf8(json.members[0].name);
    const JsonNode& arg = json.members[0].value;
    const std::optional<Action::Kind> kind = actionOfVerb(verb);
    if (!kind)
        throw std::invalid_argument("acción desconocida: " + excerpt(verb));
    Action action;
    action.kind = *kind;
    switch (*kind) {
    case Action::Kind::Click:
    case Action::Kind::DoubleClick: return controlAction(*kind, arg);
    case Action::Kind::Type:
    case Action::Kind::Set: return textAction(*kind, arg, verb);
    case Action::Kind::Key:
        action = controlAction(*kind, at(arg, 0, verb));
        action.key = keyOf(at(arg, 1, verb));
        // An optional third element is the shift state: 1 for Shift (Shift+Tab goes back), 4 for Alt
        // (Alt+C is an access key).
        if (arrayOf(arg, verb).size() > 2)
            action.shift = static_cast<int>(integerOf(at(arg, 2, verb), "el estado de mayúsculas", 0, 7));
        break;
    case Action::Kind::MouseDown:
        action = controlAction(*kind, at(arg, 0, verb));
        action.x = numberOf(at(arg, 1, verb), "x");
        action.y = numberOf(at(arg, 2, verb), "y");
        break;
    case Action::Kind::Move:
        action.left = static_cast<Long>(integerOf(at(arg, 0, verb), "la izquierda", kLongMin, kLongMax));
        action.top = static_cast<Long>(integerOf(at(arg, 1, verb), "el borde superior", kLongMin, kLongMax));
        break;
    case Action::Kind::Resize:
        action.width = static_cast<Long>(integerOf(at(arg, 0, verb), "el ancho", kLongMin, kLongMax));
        action.height = static_cast<Long>(integerOf(at(arg, 1, verb), "el alto", kLongMin, kLongMax));
        break;
    case Action::Kind::Close: {
        const auto from = nameOf(arg, verb);
        if (from != "user" && from != "code")
            throw std::invalid_argument("close admite \"user\" o \"code\"");
        action.fromUser = from == "user";
        break;
    }
    case Action::Kind::Answer: {
        const auto answer = nameOf(arg, verb);
        if (answer != "ok" && answer != "cancel")
            throw std::invalid_argument("answer admite \"ok\" o \"cancel\"");
        action.answer = answer == "ok" ? MessageAnswer::Ok : MessageAnswer::Cancel;
        break;
    }
    case Action::Kind::File:
        action.text = textOf(arg, verb);
        break;
    case Action::Kind::Cancel: break;
    }
    return action;
}

} // namespace

std::vector<WindowScript> scriptsFromJson(const JsonNode& json)
{
    if (json.kind != JsonNode::Kind::Array)
        throw std::invalid_argument("los guiones de ventanas son una lista JSON");
    std::vector<WindowScript> scripts;
    for (std::size_t i = 0; i < json.items.size(); ++i) {
        const auto& entry = json.items[i];
        try {
            WindowScript script;
            script.window = nameOf(need(entry, u"window", "el guion"), "\"window\"");
            const auto& actions = arrayOf(need(entry, u"do", "el guion"), "\"do\"");
            for (std::size_t a = 0; a < actions.size(); ++a) {
                try {
                    script.actions.push_back(parseAction(actions[a]));
                } catch (const std::invalid_argument& e) {
                    throw std::invalid_argument("acción " + std::to_string(a + 1) + ": " + e.what());
                }
            }
            scripts.push_back(std::move(script));
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument("guion " + std::to_string(i + 1) + ": " + e.what());
        }
    }
    return scripts;
}

namespace {

// JSON text of UTF-16 units: every unit outside printable ASCII is escaped, so that a lone
// surrogate survives the trip as the reader keeps it.
void quote(std::string& out, std::u16string_view text)
{
    out += '"';
    for (char16_t unit : text) {
        if (unit == u'"' || unit == u'\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(unit));
            out += escaped;
        }
    }
    out += '"';
}

void quote(std::string& out, std::string_view name) { quote(out, utf::fromUtf8(std::string(name))); }

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

void writeAction(std::string& out, const Action& a)
{
    out += '{';
    quote(out, verbOf(a.kind));
    out += ':';
    switch (a.kind) {
    case Action::Kind::Click:
    case Action::Kind::DoubleClick: quote(out, a.control); break;
    case Action::Kind::Type:
    case Action::Kind::Set:
        out += '[';
        quote(out, a.control);
        out += ',';
        quote(out, a.text);
        out += ']';
        break;
    case Action::Kind::Key:
        out += '[';
        quote(out, a.control);
        out += ',';
        if (const auto named = std::find_if(std::begin(kNamedKeys), std::end(kNamedKeys),
                                            [&](const NamedKey& k) { return k.key == a.key; });
            named != std::end(kNamedKeys))
            quote(out, named->name);
        else
            out += std::to_string(a.key);
        out += ',' + std::to_string(a.shift) + ']';
        break;
    case Action::Kind::MouseDown:
        out += '[';
        quote(out, a.control);
        out += ',' + number(a.x) + ',' + number(a.y) + ']';
        break;
    case Action::Kind::Move: out += '[' + std::to_string(a.left) + ',' + std::to_string(a.top) + ']'; break;
    case Action::Kind::Resize: out += '[' + std::to_string(a.width) + ',' + std::to_string(a.height) + ']'; break;
    case Action::Kind::Close: quote(out, std::string_view(a.fromUser ? "user" : "code")); break;
    case Action::Kind::Answer: quote(out, std::string_view(a.answer == MessageAnswer::Ok ? "ok" : "cancel")); break;
    case Action::Kind::File: quote(out, a.text); break;
    case Action::Kind::Cancel: out += "true"; break;
    }
    out += '}';
}

} // namespace

std::string scriptsToJson(const std::vector<WindowScript>& scripts)
{
    std::string out = "[";
    for (const WindowScript& script : scripts) {
        if (out.size() > 1)
            out += ',';
        out += "{\"window\":";
        quote(out, script.window);
        out += ",\"do\":[";
        for (std::size_t i = 0; i < script.actions.size(); ++i) {
            if (i)
                out += ',';
            writeAction(out, script.actions[i]);
        }
        out += "]}";
    }
    return out + ']';
}

} // namespace Kor2_Sys::script
