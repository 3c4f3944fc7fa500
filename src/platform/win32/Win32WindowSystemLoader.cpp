#include "platform/WindowSystem.h"

#include "frame/Errors.h"
#include "platform/win32/Win32WindowSystem.h"

#include <windows.h>

namespace Kor2_Sys::platform {

// A process without a window station (a service, a session without a desktop) can make no window:
// the first window it asks for says so instead.
std::shared_ptr<WindowSystem> loadDefaultWindowSystem()
{
    // The first window of a process connects it to its window station: a window made and destroyed
    // at once tells whether there is one.
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr)
        throw errors::deviceUnavailable(u"este proceso no tiene estación de ventanas ni escritorio donde mostrarlas");
    DestroyWindow(probe);
    return std::make_shared<win32::Win32WindowSystem>();
}

} // namespace Kor2_Sys::platform
