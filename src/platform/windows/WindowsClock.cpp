#include "platform/Clock.h"

#include <windows.h>

namespace Kor2_Sys::platform {

std::uint32_t SystemClock::tickCount()
{
    return GetTickCount();
}

void SystemClock::sleep(Long milliseconds)
{
    if (milliseconds > 0)
        Sleep(static_cast<DWORD>(milliseconds));
}

} // namespace Kor2_Sys::platform
