#pragma once
// Scripted windows, a test mode of the component server chosen explicitly: with KOR2_ACTIONS
// naming a file of window scripts, the headless window system plays them instead of showing the
// platform's windows.

namespace Kor2_Sys::com {

/// When KOR2_ACTIONS names a file of window scripts, makes the headless window system that plays
/// them the one loaded on first need; otherwise the platform's own window system stays the default.
void chooseWindowSystem();

} // namespace Kor2_Sys::com
