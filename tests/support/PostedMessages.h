#pragma once
// What every test that drives the platform's own windows does between its steps.
#include <windows.h>

namespace kor2test {

/// Runs what was posted to this thread, as a modal loop would.
inline void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace kor2test
