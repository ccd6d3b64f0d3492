// The reload deadline: which tick rebuilds, and when a rebuild comes after a pattern of changes.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "items/ReloadRules.h"

namespace {
struct Step {
    enum Kind { Change, Tick, Cancel } kind;
    std::int64_t atMs;
    // Change: whether the timer must be started. Tick: the expected action.
    bool startsTimer = false;
    ReloadTick tick = ReloadTick::Wait;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
};

Step ChangeAt(std::int64_t ms, bool startsTimer) { return {Step::Change, ms, startsTimer}; }
Step TickAt(std::int64_t ms, ReloadTick expected) { return {Step::Tick, ms, false, expected}; }
Step CancelAt(std::int64_t ms) { return {Step::Cancel, ms}; }

// The window timer as the program runs it: started by the change that finds the collection idle,
// a tick that waits sets the next one just past the deadline, and a tick that reloads or finds
// nothing pending stops it.
// Returns the time of each rebuild for changes at the given times (ascending).
std::vector<std::int64_t> SimulateTimer(const std::vector<std::int64_t>& changes, std::int64_t untilMs)
{
    ReloadDeadline deadline;
    std::vector<std::int64_t> rebuilds;
    bool ticking = false;
    std::int64_t nextTick = 0;
    std::size_t next = 0;
    for (std::int64_t now = 0; now <= untilMs; ++now) {
        for (; next < changes.size() && changes[next] == now; ++next)
            if (deadline.Change(now) && !ticking) {
                ticking = true;
                nextTick = now + kReloadTimerIntervalMs;
            }
        if (ticking && nextTick == now) {
            const ReloadTick action = deadline.Tick(now);
            if (action == ReloadTick::Wait) {
                nextTick = now + NextTickInMs(deadline.DeadlineMs(), now);
            } else {
                ticking = false;
                if (action == ReloadTick::Reload) rebuilds.push_back(now);
            }
        }
    }
    return rebuilds;
}
} // namespace

TEST(ReloadRulesTest, TicksReloadOnlyPastTheDeadline)
{
    using enum ReloadTick;
    const Case cases[] = {
        {"a tick exactly at the deadline waits", {ChangeAt(0, true), TickAt(1000, Wait), TickAt(1001, Reload)}},
        {"a tick before the deadline waits", {ChangeAt(500, true), TickAt(1000, Wait), TickAt(2000, Reload)}},
        {"after the reload the collection is idle", {ChangeAt(0, true), TickAt(2000, Reload), TickAt(3000, Idle)}},
        {"a tick with nothing pending", {TickAt(0, Idle), TickAt(5000, Idle)}},
        {"a change while pending moves the deadline, timer untouched",
         {ChangeAt(0, true), ChangeAt(400, false), TickAt(1000, Wait), TickAt(1400, Wait), TickAt(1401, Reload)}},
        {"changes less than a second apart postpone for as long as they come",
         {ChangeAt(0, true), ChangeAt(900, false), TickAt(1000, Wait), ChangeAt(1800, false), TickAt(2000, Wait),
          TickAt(2800, Wait), TickAt(2801, Reload)}},
        {"the next change after a reload starts the timer again",
         {ChangeAt(0, true), TickAt(1500, Reload), ChangeAt(1600, true), TickAt(2600, Wait), TickAt(2601, Reload)}},
        {"a cancelled reload never fires and the next change starts afresh",
         {ChangeAt(0, true), CancelAt(300), TickAt(1500, Idle), ChangeAt(2000, true), TickAt(3001, Reload)}},
        {"the clock may start anywhere, even below zero",
         {ChangeAt(-5000, true), TickAt(-4000, Wait), TickAt(-3999, Reload)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReloadDeadline deadline;
        for (const Step& step : c.steps) {
            switch (step.kind) {
            case Step::Change:
                EXPECT_EQ(deadline.Change(step.atMs), step.startsTimer) << "change at " << step.atMs;
                EXPECT_TRUE(deadline.Pending());
                EXPECT_EQ(deadline.DeadlineMs(), step.atMs + kReloadDelayMs);
                break;
            case Step::Tick:
                EXPECT_EQ(deadline.Tick(step.atMs), step.tick) << "tick at " << step.atMs;
                break;
            case Step::Cancel:
                deadline.Cancel();
                EXPECT_FALSE(deadline.Pending());
                break;
            }
        }
    }
}

TEST(ReloadRulesTest, BurstRebuildsOnceASecondAfterItsLastChange)
{
    // Bursts of up to ten changes within half a second, starting at every phase of the timer.
    for (std::int64_t start = 0; start < 1000; start += 37) {
        for (std::int64_t spacing : {0, 1, 20, 55}) {
            std::vector<std::int64_t> changes;
            for (int i = 0; i < 10; ++i) changes.push_back(start + i * spacing);
            const auto rebuilds = SimulateTimer(changes, start + 5000);
            ASSERT_EQ(rebuilds.size(), 1u) << "start " << start << " spacing " << spacing;
            const std::int64_t delay = rebuilds[0] - changes.back();
            EXPECT_GT(delay, 1000) << "start " << start << " spacing " << spacing;
            EXPECT_LE(delay, 1016) << "start " << start << " spacing " << spacing;
        }
    }
}

TEST(ReloadRulesTest, SteadyChangesPostponeAndSeparateBurstsRebuildEach)
{
    // A change every 800 ms for six seconds: nothing until a second after the last one.
    std::vector<std::int64_t> steady;
    for (std::int64_t t = 0; t <= 6000; t += 800) steady.push_back(t);
    const auto postponed = SimulateTimer(steady, 10000);
    ASSERT_EQ(postponed.size(), 1u);
    EXPECT_GT(postponed[0] - steady.back(), 1000);
    EXPECT_LE(postponed[0] - steady.back(), 1016);

    // Two bursts three seconds apart: two rebuilds.
    const auto twice = SimulateTimer({0, 100, 3100, 3200}, 8000);
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_LT(twice[0], 3100);
    EXPECT_GT(twice[1], 3200 + 1000);
}
