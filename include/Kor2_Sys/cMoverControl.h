#pragma once
/// \file cMoverControl.h
/// Drags a host control with the mouse: the host calls the grab from the control's mouse-down event
/// and the drag step from its mouse-move event. A global class: free calls share one grab offset.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// Drags a host control with the mouse.
class KOR2_SYS_EXPORT cMoverControl {
public:
    /// With the left button (bit 1 of `Button`): remembers where inside `Control` the cursor grabbed
    /// it and brings it in front of its siblings. Errors: the common error report, tag "M_mueve1".
    void Mueve_CtrlSeleccionar(const Integer& Button, const Variant& Control);
    /// With the left button and Ctrl (bit 2 of `Shift`) held: moves `Control` so that the grab point
    /// stays under the cursor. With the left button held, pending window events run before it
    /// returns. Errors: the common error report, tag "M_mueve2".
    void Mueve_CtrlMover(const Integer& Button, const Integer& Shift, const Variant& Control);

private:
    Long m_grabX = 0;  ///< twips: cursor minus the control's Left at the grab
    Long m_grabY = 0;
};

/// The shared instance that free calls use: `global<cMoverControl>().Member(...)`.
template <> KOR2_SYS_EXPORT cMoverControl& global<cMoverControl>();

} // namespace Kor2_Sys
