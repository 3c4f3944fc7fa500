#include <Kor2_Sys/c_StatusBar.h>

#include "desktop/HostCalls.h"
#include "frame/Trap.h"
#include "platform/WindowSystem.h"

#include <array>

namespace Kor2_Sys {
namespace {

using desktop::handleOf;
using desktop::hostObject;
using desktop::nearest;

// Every step of Progreso stands alone: one that fails is skipped without a word and the next
// one runs, so a host object that lacks a member spoils only the steps that use it.
template <class F> void step(F&& fn)
{
    trap::silent("c_StatusBar.Progreso", fn);
}

// A kept reference is replaced as an object variable is assigned: a value that can be no object
// is refused and the reference stays as it was. Nothing (or nothing passed) is kept as nothing.
void keep(Variant& kept, const Variant& argument)
{
    if (!argument.isEmpty() && argument.type() != ValueType::Object)
        throw errors::objectRequired();
    kept = argument;
}

// The form is held as an object with a window handle: one without (a bitmap, a plain object)
// fails the step as the host's own typed assignment would, and the form kept before stays.
void keepForm(Variant& kept, const Variant& argument)
{
    if (const auto* object = std::get_if<std::shared_ptr<Object>>(&argument.storage()); object && *object)
        handleOf(argument);  // Nothing is a form variable's own value
    keep(kept, argument);
}

// The child's handle is read before the parent's, as the host's own call would read them.
void reparent(const Variant& child, const Variant& parent)
{
    const Long childWindow = handleOf(child);
    const Long parentWindow = handleOf(parent);
    platform::windowSystem().setParent(childWindow, parentWindow);
}

} // namespace

void c_StatusBar::Progreso(const Variant& Form1, const Variant& ProgressBar1, const Variant& StatusBar1,
                           const Integer& Panel, Boolean bShowProgressBar)
{
    step([&] { keepForm(m_form, Form1); });
    step([&] { keep(m_progressBar, ProgressBar1); });

    if (!bShowProgressBar) {
        // Back to the form where it lies now: the host places it again if it needs to.
        step([&] { reparent(m_progressBar, m_form); });
        step([&] { putProperty(*hostObject(m_progressBar), "Visible", Boolean{false}); });
        return;
    }

    // Zero until the status bar fills it: a part it does not have leaves the bar at its origin.
    platform::PixelRect rect;
    step([&] { platform::windowSystem().statusBarPartRect(handleOf(StatusBar1), Long{Panel}, rect); });
    // In place, top and left first: the height and width are taken from the far sides in twips
    // less the near sides already converted, so each is rounded once and the bar meets the part's
    // edges to the twip.
    step([&] { rect.top = nearest(rect.top * desktop::twipsPerPixelY()); });
    step([&] { rect.left = nearest(rect.left * desktop::twipsPerPixelX()); });
    step([&] { rect.bottom = nearest(rect.bottom * desktop::twipsPerPixelY() - rect.top); });
    step([&] { rect.right = nearest(rect.right * desktop::twipsPerPixelX() - rect.left); });

    step([&] { reparent(ProgressBar1, StatusBar1); });
    step([&] {
        std::array<Variant, 4> place{Single(rect.left), Single(rect.top), Single(rect.right), Single(rect.bottom)};
        hostObject(ProgressBar1)->invoke("Move", InvokeKind::Method, place);
    });
    step([&] { putProperty(*hostObject(ProgressBar1), "Visible", Boolean{true}); });
    step([&] { putProperty(*hostObject(ProgressBar1), "Value", Integer{0}); });
}

void c_StatusBar::ShowProgressInStatusBar(const Variant&, const Variant&, const Variant&, const Integer&)
{
}

} // namespace Kor2_Sys
