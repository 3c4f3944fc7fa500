#include "script/ScriptQueue.h"

#include "frame/Errors.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"

#include <optional>

namespace Kor2_Sys::script {

Error scriptError(const std::string& window, const std::string& what)
{
    return Error(errors::invalidCall().number(), errors::invalidCall().description() + u": guion de ventanas, " +
                                                     utf::fromUtf8(window) + u": " + utf::fromUtf8(what));
}

WipedWhenPlayed::~WipedWhenPlayed()
{
    for (Action& action : m_script.actions)
        wipe::text(action.text);
}

void ScriptQueue::queue(std::vector<WindowScript> scripts)
{
    for (auto& script : scripts)
        m_scripts.push_back(std::move(script));
}

WindowScript ScriptQueue::take(const std::string& window)
{
    if (m_scripts.empty())
        throw scriptError(window, "se muestra la ventana y no queda ningún guion");
    if (m_scripts.front().window != window)
        throw scriptError(window, "el siguiente guion es para la ventana " + m_scripts.front().window);
    WindowScript script = std::move(m_scripts.front());
    m_scripts.pop_front();
    return script;
}

Action ScriptQueue::takeFileAction()
{
    WindowScript script = take("file");
    const WipedWhenPlayed wiped(script);
    if (script.actions.size() != 1)
        throw scriptError("file", "el diálogo de archivos espera una sola acción");
    const Action& action = script.actions.front();
    if (action.kind != Action::Kind::Cancel && action.kind != Action::Kind::File)
        throw scriptError("file", "la acción '" + action.describe() + "' no vale para el diálogo de archivos");
    return action;
}

ScriptQueue::Playing::Playing(ScriptQueue& queue) : m_queue(queue), m_previous(queue.m_playing)
{
    // A window opened from another's handler has answers of its own; the outer ones wait.
    m_answers.swap(queue.m_answers);
    queue.m_playing = true;
}

ScriptQueue::Playing::~Playing()
{
    m_queue.m_playing = m_previous;
    m_queue.m_answers.swap(m_answers);
}

MessageAnswer ScriptQueue::answerFor(const platform::MessageBoxRequest& request)
{
    std::optional<MessageAnswer> scripted;
    if (m_playing) {
        if (!m_answers.empty()) {
            scripted = m_answers.front();
            m_answers.pop_front();
        }
    } else if (!m_scripts.empty() && m_scripts.front().window == "msgbox") {
        auto& actions = m_scripts.front().actions;
        if (!actions.empty() && actions.front().kind == Action::Kind::Answer) {
            scripted = actions.front().answer;
            actions.erase(actions.begin());
        }
        if (actions.empty())
            m_scripts.pop_front();
    }
    if (request.buttons == platform::MessageButtons::Ok || scripted) {
        m_unansweredRepeats = 0;
        return request.buttons == platform::MessageButtons::Ok ? MessageAnswer::Ok : *scripted;
    }
    m_unansweredRepeats = m_unanswered == request.text ? m_unansweredRepeats + 1 : 1;
    m_unanswered = request.text;
    if (m_unansweredRepeats > kMaxUnansweredRepeats)
        throw Error(errors::invalidCall().number(), errors::invalidCall().description() +
                                                        u": el guion no tiene más respuestas para «" + request.text +
                                                        u"», que se ha preguntado " +
                                                        utf::fromUtf8(std::to_string(kMaxUnansweredRepeats)) +
                                                        u" veces seguidas");
    return MessageAnswer::Ok;
}

} // namespace Kor2_Sys::script
