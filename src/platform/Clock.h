#pragma once
// The clock seam: the system's millisecond tick and a blocking sleep. The stopwatch reads the
// tick through it, so tests and scripts can put a virtual clock in its place.

#include <Kor2_Sys/Value.h>

#include "platform/Installed.h"

#include <cstdint>
#include <memory>

namespace Kor2_Sys::platform {

/// The system's millisecond tick and a blocking sleep.
class Clock {
public:
    virtual ~Clock();
    /// Milliseconds since the system started, as an unsigned 32-bit counter that wraps after
    /// about 49.7 days.
    virtual std::uint32_t tickCount() = 0;
    /// Blocks the calling thread for `milliseconds` (0 or more) without letting window events run.
    virtual void sleep(Long milliseconds) = 0;
};

/// `CLOCK_MONOTONIC` milliseconds folded into 32 bits; `nanosleep`, resumed after signals.
class SystemClock final : public Clock {
public:
    std::uint32_t tickCount() override;
    void sleep(Long milliseconds) override;
};

/// A tick that only moves when told: by `sleep` (at once, without blocking) and by `advance`.
/// With it a pass of the tick through 2147483647 or 0xFFFFFFFF takes no real time.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::uint32_t tick = 0) : m_tick(tick) {}
    std::uint32_t tickCount() override { return m_tick; }
    void sleep(Long milliseconds) override;
    void set(std::uint32_t tick) noexcept { m_tick = tick; }
    void advance(Long milliseconds) noexcept { m_tick += static_cast<std::uint32_t>(milliseconds); }
    /// How often `sleep` was called, and with what the last time.
    int sleeps() const noexcept { return m_sleeps; }
    Long lastSleep() const noexcept { return m_lastSleep; }

private:
    std::uint32_t m_tick;
    int m_sleeps = 0;
    Long m_lastSleep = 0;
};

/// The clock in use: the system clock unless another was installed.
Clock& clock();
/// Installs a clock (null: back to the system clock); returns the previous one.
std::shared_ptr<Clock> installClock(std::shared_ptr<Clock> clock);

/// Installs a clock for the guard's lifetime.
using ScopedClock = ScopedInstall<Clock, &installClock>;

} // namespace Kor2_Sys::platform
