#pragma once
// When a watched collection is rebuilt: every change pushes the collection's deadline one second
// ahead, and its reload timer, running while a reload is pending, rebuilds at the first tick past
// the deadline; a tick that finds the deadline moved comes again just after it. So a burst of
// changes gives one rebuild, a second after the last change. No Windows headers.
//
// Times are milliseconds of a monotonic clock. A wall-clock deadline would hold a rebuild back for
// as long as the clock is set back (an hour at the end of summer time) and fire early when it is
// set forward.

#include <cstdint>

// How far a change pushes the deadline.
inline constexpr std::int64_t kReloadDelayMs = 1000;
// The reload timer's interval while a reload is pending. A tick that comes exactly on time finds
// the deadline not yet passed and waits a whole second more. Windows timers come late by up to one
// clock tick (15.6 ms), so there the first tick falls past the deadline; Wine fires them on the
// millisecond. One clock tick more gives a single change its rebuild a second after it on both.
inline constexpr unsigned kReloadTimerIntervalMs = 1016;

// The delay of the tick after one that found the deadline moved on: just past the deadline, by the
// clock tick that Windows timers may come early or late by, and never more than an interval.
constexpr unsigned NextTickInMs(std::int64_t deadlineMs, std::int64_t nowMs) noexcept
{
    constexpr std::int64_t kClockTickMs = 16;
    const std::int64_t wait = deadlineMs - nowMs + kClockTickMs;
    if (wait < kClockTickMs) return static_cast<unsigned>(kClockTickMs);
    if (wait > kReloadTimerIntervalMs) return kReloadTimerIntervalMs;
    return static_cast<unsigned>(wait);
}

enum class ReloadTick {
    Wait,    // the deadline has not passed: the timer keeps ticking
    Reload,  // the deadline has passed: stop the timer and rebuild
    Idle,    // nothing is pending (a tick that was already on its way): stop the timer
};

class ReloadDeadline {
public:
    // A change (or a reload command) at `nowMs`. True when the collection was idle, so the caller
    // starts its timer; a timer that already runs keeps its one-second rhythm.
    constexpr bool Change(std::int64_t nowMs) noexcept
    {
        const bool wasIdle = !m_pending;
        m_pending = true;
        m_deadlineMs = nowMs + kReloadDelayMs;
        return wasIdle;
    }

    // A tick of the reload timer at `nowMs`. Only a time later than the deadline reloads; the
    // collection is idle again after it.
    constexpr ReloadTick Tick(std::int64_t nowMs) noexcept
    {
        if (!m_pending) return ReloadTick::Idle;
        if (nowMs <= m_deadlineMs) return ReloadTick::Wait;
        m_pending = false;
        return ReloadTick::Reload;
    }

    // Drops a pending reload (watching stopped, or everything was just rebuilt).
    constexpr void Cancel() noexcept { m_pending = false; }

    constexpr bool Pending() const noexcept { return m_pending; }
    // Meaningful while pending.
    constexpr std::int64_t DeadlineMs() const noexcept { return m_deadlineMs; }

private:
    std::int64_t m_deadlineMs = 0;
    bool m_pending = false;
};
