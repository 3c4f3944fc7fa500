#include "platform/headless/HeadlessWindowSystem.h"

#include "frame/Errors.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"
#include "platform/FormView.h"

#include <cmath>

namespace Kor2_Sys::platform {

using script::Action;
using script::scriptError;
using script::WindowScript;
namespace {

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

HeadlessWindowSystem::HeadlessWindowSystem(std::vector<WindowScript> scripts)
{
    queue(std::move(scripts));
}

void HeadlessWindowSystem::queue(std::vector<WindowScript> scripts)
{
    m_scripts.queue(std::move(scripts));
}

void HeadlessWindowSystem::clearRecords()
{
    m_seen.clear();
    m_shown.clear();
    m_eventRuns = 0;
}

ShownForm ShownForm::of(const Form& form)
{
    ShownForm shown{form.name(), form.caption(), form.left(), form.top(), form.width(), form.height(), form.controls()};
    for (Control& c : shown.controls) {
        // What a screen reader would have read, however the window named the control.
        c.accessibleName = accessibleName(form, form.control(c.name));
        if (c.passwordChar != 0)
            wipe::assign(c.caption, Text(c.caption.size(), c.passwordChar));
    }
    return shown;
}

void HeadlessWindowSystem::record(const Form& form)
{
    m_shown.push_back(ShownForm::of(form));
}

void HeadlessWindowSystem::showModal(Form& form)
{
    record(form);
    WindowScript script = m_scripts.take(form.name());
    const script::WipedWhenPlayed wiped(script);
    form.markShown();
    const script::ScriptQueue::Playing playing(m_scripts);
    if (m_playedHook)
        m_playedHook(form, true);
    for (const Action& action : script.actions) {
        if (!form.visible())
            throw scriptError(form.name(), "la acción '" + action.describe() + "' llega con la ventana ya oculta");
        play(form, action);
        if (m_playedHook)
            m_playedHook(form, false);
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
        const view::Extent units = view::scaleUnits(form.control(action.control));
        form.userMouseDown(action.control, 1, 0, action.x * units.width, action.y * units.height);
        break;
    }
    case Kind::Move: form.userMoved(action.left, action.top); break;
    case Kind::Resize:  // a person can drag only a sizeable window's border
        if (form.resizable())
            form.resize(action.width, action.height);
        break;
    case Kind::Close: form.requestClose(action.fromUser); break;
    case Kind::Answer: m_scripts.answerNext(action.answer); break;
    case Kind::File:
    case Kind::Cancel:
        throw scriptError(form.name(), "la acción '" + action.describe() + "' sólo vale para el diálogo de archivos");
    }
}

MessageAnswer HeadlessWindowSystem::messageBox(const MessageBoxRequest& request)
{
    const MessageAnswer answer = m_scripts.answerFor(request);
    m_seen.shown(request, answer);
    return answer;
}

Text HeadlessWindowSystem::fileDialog(const FileDialogRequest& request)
{
    m_fileRequests.push_back(request);
    const Action action = m_scripts.takeFileAction();
    if (action.kind == Action::Kind::Cancel)
        throw fileDialogCancelled();
    return action.text;
}

} // namespace Kor2_Sys::platform
