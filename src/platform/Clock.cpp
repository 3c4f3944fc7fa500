#include "platform/Clock.h"

#include <utility>

namespace Kor2_Sys::platform {
namespace {

// The system clock unless a test or script installed another.
Installed<Clock>& slot()
{
    static Installed<Clock> installed([] { return std::shared_ptr<Clock>(std::make_shared<SystemClock>()); });
    return installed;
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
