#include "platform/headless/HeadlessWindowSystem.h"

#include <Kor2_Sys/Error.h>

#include "frame/Utf.h"
#include "frame/Wipe.h"

#include <cmath>

namespace Kor2_Sys::platform {
namespace {

Error scriptError(const std::string& window, const std::string& what)
{
    return Error(errors::invalidCall().number(),
                 errors::invalidCall().description() + u": guion de ventanas, " + utf::fromUtf8(window) + u": " +
                     utf::fromUtf8(what));
}

// Restores a flag on every exit, including the exceptions a window's handlers may raise.
class PlayingGuard {
public:
    explicit PlayingGuard(bool& flag) : m_flag(flag), m_previous(flag) { flag = true; }
    ~PlayingGuard() { m_flag = m_previous; }
    PlayingGuard(const PlayingGuard&) = delete;
    PlayingGuard& operator=(const PlayingGuard&) = delete;

private:
    bool& m_flag;
    bool m_previous;
};

// Keys reach only a control that can have the focus: a person cannot type into a hidden,
// disabled or unfocusable control, so a script that does is wrong.
void requireFocus(const Form& form, const Action& action)
{
    if (!form.takesFocus(action.control))
        throw scriptError(form.name(), "la acción '" + action.describe() + "' va a un control que no puede tener el foco");
}

// A headless bitmap is its size: nothing is drawn without a screen.
class SizedBitmap final : public Bitmap {
public:
    SizedBitmap(Long width, Long height) : m_width(width), m_height(height) {}
    Long width() const override { return m_width; }
    Long height() const override { return m_height; }

private:
    Long m_width, m_height;
};

class HeadlessMemoryDrawing final : public MemoryDrawing {
public:
    std::unique_ptr<Bitmap> createBitmap(Long width, Long height) override
    {
        if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxBitmapPixels)
            return nullptr;
        return std::make_unique<SizedBitmap>(width, height);
    }
    void copySource(Bitmap&) override {}
};

// A typed text may be a password: once played, the script keeps no copy of it.
class WipedWhenPlayed {
public:
    explicit WipedWhenPlayed(WindowScript& script) : m_script(script) {}
    ~WipedWhenPlayed()
    {
        for (Action& action : m_script.actions)
            wipe::text(action.text);
    }
    WipedWhenPlayed(const WipedWhenPlayed&) = delete;
    WipedWhenPlayed& operator=(const WipedWhenPlayed&) = delete;

private:
    WindowScript& m_script;
};

} // namespace

void HeadlessWindowSystem::setTwipsPerPixel(double x, double y)
{
    if (!(x > 0) || !(y > 0) || !std::isfinite(x) || !std::isfinite(y))
        throw errors::invalidCall();
    m_twipsX = x;
    m_twipsY = y;
}

std::unique_ptr<MemoryDrawing> HeadlessWindowSystem::createMemoryDrawing(Long source)
{
    const RecordedHost* host = m_hosts.find(source);
    if (host == nullptr || !host->drawable())
        return nullptr;
    return std::make_unique<HeadlessMemoryDrawing>();
}

void HeadlessWindowSystem::clipboardSetBitmap(std::unique_ptr<Bitmap> bitmap)
{
    if (bitmap)
        m_clipboardBitmap = PixelPoint{bitmap->width(), bitmap->height()};
}

const Text& ShownForm::text(std::string_view control) const
{
    for (const Control& c : controls)
        if (c.name == control)
            return c.caption;
    throw scriptError(name, "no tiene el control " + std::string(control));
}

std::string Action::describe() const
{
    std::string text(verbOf(kind));
    switch (kind) {
    case Kind::Click:
    case Kind::DoubleClick:
    case Kind::Type:
    case Kind::Set:
    case Kind::MouseDown: return text + " " + control;
    case Kind::Key: return text + " " + control + " " + std::to_string(key) + ((shift & keys::ShiftDown) ? " shift" : "");
    case Kind::Close: return text + (fromUser ? " user" : " code");
    case Kind::Resize:
    case Kind::Answer:
    case Kind::File:
    case Kind::Cancel: return text;
    }
    return "?";
}

HeadlessWindowSystem::HeadlessWindowSystem(std::vector<WindowScript> scripts)
{
    queue(std::move(scripts));
}

void HeadlessWindowSystem::queue(std::vector<WindowScript> scripts)
{
    for (auto& script : scripts)
        m_scripts.push_back(std::move(script));
}

void HeadlessWindowSystem::clearRecords()
{
    m_messages.clear();
    m_shown.clear();
    m_beeps = 0;
    m_eventRuns = 0;
}

WindowScript HeadlessWindowSystem::takeScript(const std::string& window)
{
    if (m_scripts.empty())
        throw scriptError(window, "se muestra la ventana y no queda ningún guion");
    if (m_scripts.front().window != window)
        throw scriptError(window, "el siguiente guion es para la ventana " + m_scripts.front().window);
    WindowScript script = std::move(m_scripts.front());
    m_scripts.pop_front();
    return script;
}

// A password box is recorded as a person sees it: one password character per character.
void HeadlessWindowSystem::record(const Form& form)
{
    m_shown.push_back({form.name(), form.caption(), form.left(), form.top(), form.width(), form.height(), form.controls()});
    for (Control& c : m_shown.back().controls)
        if (c.passwordChar != 0)
            wipe::assign(c.caption, Text(c.caption.size(), c.passwordChar));
}

void HeadlessWindowSystem::showModal(Form& form)
{
    record(form);
    WindowScript script = takeScript(form.name());
    const WipedWhenPlayed wiped(script);
    form.markShown();
    PlayingGuard playing(m_playing);
    m_pendingAnswers.clear();
    for (const Action& action : script.actions) {
        if (!form.visible())
            throw scriptError(form.name(), "la acción '" + action.describe() + "' llega con la ventana ya oculta");
        play(form, action);
    }
    if (form.visible())
        throw scriptError(form.name(), "el guion termina con la ventana aún visible");
}

void HeadlessWindowSystem::showModeless(Form& form)
{
    record(form);
    form.markShown();
}

void HeadlessWindowSystem::play(Form& form, const Action& action)
{
    using Kind = Action::Kind;
    switch (action.kind) {
    case Kind::Click: form.userClick(action.control); break;
    case Kind::DoubleClick: form.userDoubleClick(action.control); break;
    case Kind::Type:
        requireFocus(form, action);
        form.userType(action.control, action.text);
        break;
    case Kind::Set: form.setText(action.control, action.text); break;
    case Kind::Key:
        requireFocus(form, action);
        form.userKey(action.control, action.key, action.shift);
        break;
    case Kind::MouseDown: {
        const Control& c = form.control(action.control);
        const double scaleWidth = c.scaleWidth > 0 ? c.scaleWidth : c.width;
        const double scaleHeight = c.scaleHeight > 0 ? c.scaleHeight : c.height;
        form.userMouseDown(action.control, 1, 0, action.x * scaleWidth, action.y * scaleHeight);
        break;
    }
    case Kind::Resize: form.resize(action.width, action.height); break;
    case Kind::Close: form.requestClose(action.fromUser); break;
    case Kind::Answer: m_pendingAnswers.push_back(action.answer); break;
    case Kind::File:
    case Kind::Cancel:
        throw scriptError(form.name(), "la acción '" + action.describe() + "' sólo vale para el diálogo de archivos");
    }
}

MessageAnswer HeadlessWindowSystem::messageBox(const MessageBoxRequest& request)
{
    MessageAnswer answer = MessageAnswer::Ok;
    bool scripted = false;
    if (m_playing) {
        if (!m_pendingAnswers.empty()) {
            answer = m_pendingAnswers.front();
            m_pendingAnswers.pop_front();
            scripted = true;
        }
    } else if (!m_scripts.empty() && m_scripts.front().window == "msgbox") {
        auto& actions = m_scripts.front().actions;
        if (!actions.empty() && actions.front().kind == Action::Kind::Answer) {
            answer = actions.front().answer;
            actions.erase(actions.begin());
            scripted = true;
        }
        if (actions.empty())
            m_scripts.pop_front();
    }
    // A question the script has no answer for is answered OK; a caller that asks the same one again
    // and again for as long as OK is the answer would then ask for ever, and the run ends instead.
    if (request.buttons == MessageButtons::OkCancel && !scripted) {
        m_unansweredRepeats = !m_messages.empty() && m_messages.back().text == request.text ? m_unansweredRepeats + 1 : 1;
        if (m_unansweredRepeats > kMaxUnansweredRepeats)
            throw Error(errors::invalidCall().number(),
                        errors::invalidCall().description() + u": el guion no tiene más respuestas para «" +
                            request.text + u"», que se ha preguntado " +
                            utf::fromUtf8(std::to_string(kMaxUnansweredRepeats)) + u" veces seguidas");
    } else {
        m_unansweredRepeats = 0;
    }
    if (request.buttons == MessageButtons::Ok)
        answer = MessageAnswer::Ok;
    m_messages.push_back({request.text, request.title.value_or(applicationTitle()), request.buttons, request.icon, answer});
    return answer;
}

Text HeadlessWindowSystem::fileDialog(const FileDialogRequest& request)
{
    m_fileRequests.push_back(request);
    const WindowScript script = takeScript("file");
    if (script.actions.size() != 1)
        throw scriptError("file", "el diálogo de archivos espera una sola acción");
    const Action& action = script.actions.front();
    if (action.kind == Action::Kind::Cancel)
        throw fileDialogCancelled();
    if (action.kind != Action::Kind::File)
        throw scriptError("file", "la acción '" + action.describe() + "' no vale para el diálogo de archivos");
    return action.text;
}

} // namespace Kor2_Sys::platform
