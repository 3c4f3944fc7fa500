#include "platform/Clock.h"

#include <cerrno>
#include <ctime>
#include <mutex>
#include <utility>

namespace Kor2_Sys::platform {
namespace {

struct Installed {
    std::mutex mutex;
    std::shared_ptr<Clock> current;
};

Installed& installed()
{
    static Installed state;
    return state;
}

SystemClock& systemClock()
{
    static SystemClock instance;
    return instance;
}

} // namespace

Clock::~Clock() = default;

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

void VirtualClock::sleep(Long milliseconds)
{
    ++m_sleeps;
    m_lastSleep = milliseconds;
    if (milliseconds > 0)
        advance(milliseconds);
}

Clock& clock()
{
    auto& state = installed();
    const std::lock_guard lock(state.mutex);
    return state.current ? *state.current : systemClock();
}

std::shared_ptr<Clock> installClock(std::shared_ptr<Clock> c)
{
    auto& state = installed();
    const std::lock_guard lock(state.mutex);
    return std::exchange(state.current, std::move(c));
}

} // namespace Kor2_Sys::platform
