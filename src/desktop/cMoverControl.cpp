#include <Kor2_Sys/cMoverControl.h>

#include "desktop/HostCalls.h"
#include "frame/Trap.h"
#include "platform/WindowSystem.h"

#include <array>
#include <cstdint>
#include <limits>

namespace Kor2_Sys {
namespace {

constexpr Integer kLeftButton = 1;
constexpr Integer kCtrl = 2;

// A difference of two 32-bit numbers that must itself fit 32 bits (error 6 otherwise).
Long difference(Long a, Long b)
{
    const std::int64_t d = std::int64_t{a} - b;
    if (d < std::numeric_limits<Long>::min() || d > std::numeric_limits<Long>::max())
        throw errors::overflow();
    return static_cast<Long>(d);
}

} // namespace

void cMoverControl::Mueve_CtrlSeleccionar(const Integer& Button, const Variant& Control)
{
    trap::report(u"M_mueve1", [&] {
        if ((Button & kLeftButton) == 0)
            return;
        const platform::PixelPoint cursor = platform::windowSystem().cursorPosition();
        const auto control = desktop::hostObject(Control);
        // Each offset is kept as soon as it is known: a failure on the second leaves the first.
        m_grabX = desktop::nearest(cursor.x * desktop::twipsPerPixelX() - getProperty(*control, "Left").toDouble());
        m_grabY = desktop::nearest(cursor.y * desktop::twipsPerPixelY() - getProperty(*control, "Top").toDouble());
        std::array<Variant, 1> front{Integer{0}};
        control->invoke("ZOrder", InvokeKind::Method, front);
    });
}

void cMoverControl::Mueve_CtrlMover(const Integer& Button, const Integer& Shift, const Variant& Control)
{
    trap::report(u"M_mueve2", [&] {
        if ((Button & kLeftButton) == 0)
            return;
        platform::WindowSystem& ws = platform::windowSystem();
        if (Shift & kCtrl) {
            const platform::PixelPoint cursor = ws.cursorPosition();
            const Long x = desktop::nearest(cursor.x * desktop::twipsPerPixelX());
            const Long y = desktop::nearest(cursor.y * desktop::twipsPerPixelY());
            // Left and top only: the control keeps its size.
            std::array<Variant, 2> place{difference(x, m_grabX), difference(y, m_grabY)};
            desktop::hostObject(Control)->invoke("Move", InvokeKind::Method, place);
        }
        // Every step with the button held lets the host repaint and take the next mouse move,
        // whether or not the control moved.
        ws.doEvents();
    });
}

template <> cMoverControl& global<cMoverControl>()
{
    static cMoverControl instance;
    return instance;
}

} // namespace Kor2_Sys
