#include "platform/Clock.h"

#include "frame/NeverDestroyed.h"

#include <utility>

namespace Kor2_Sys::platform {
namespace {

// The system clock unless a test or script installed another. Never destroyed, with the clock in
// it: a host may time something from its own exit handlers.
Installed<Clock>& slot()
{
    static NeverDestroyed<Installed<Clock>> installed(
        [] { return std::shared_ptr<Clock>(std::make_shared<SystemClock>()); });
    return *installed;
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
    return *slot().get();
}

std::shared_ptr<Clock> installClock(std::shared_ptr<Clock> c)
{
    return slot().install(std::move(c));
}

} // namespace Kor2_Sys::platform
