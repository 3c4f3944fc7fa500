#include "platform/Clock.h"

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
