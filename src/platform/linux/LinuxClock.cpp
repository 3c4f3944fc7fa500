#include "platform/Clock.h"

#include <cerrno>
#include <ctime>

namespace Kor2_Sys::platform {

std::uint32_t SystemClock::tickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Unsigned arithmetic folds the count into 32 bits exactly as a wrapping counter would.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

void SystemClock::sleep(Long milliseconds)
{
    if (milliseconds < 0)
        return;
    timespec left{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    // A signal cuts nanosleep short; what is left is slept after it.
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

} // namespace Kor2_Sys::platform
