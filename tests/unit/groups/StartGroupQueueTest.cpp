// The queue of a running group on a clock of its own: when each file starts at a fixed pace and
// when the group waits for each program, with looks that come late, files that go, and where the
// run stands.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "groups/StartGroupQueue.h"

namespace {
constexpr std::uint64_t kNever = UINT64_MAX;

struct Launch {
    std::uint64_t at;
    std::wstring file;
    int position;
    bool operator==(const Launch&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Launch& launch)
{
    return out << std::string(launch.file.begin(), launch.file.end()) << "@" << launch.at << "#" << launch.position;
}
using Launches = std::vector<Launch>;

struct Scenario {
    GroupPace pace;
    // Files gone from this time on (0: missing from the start).
    std::map<std::wstring, std::uint64_t> removedAt = {};
    // How long after its start each program becomes ready (missing: at once).
    std::map<std::wstring, std::uint64_t> readyAfter = {};
    // When a look asked for at `look` comes (the timer waits behind other messages).
    std::function<std::uint64_t(std::uint64_t look)> comes = [](std::uint64_t look) { return look; };
};

// Runs the group A, B, C from time 0 the way the runner does, looking when the queue asks, and
// returns what started when (the first file included) and at which place of the group's list.
Launches RunGroup(const Scenario& s)
{
    std::uint64_t now = 0;
    const auto exists = [&](const std::wstring& f) {
        const auto removal = s.removedAt.find(f);
        return removal == s.removedAt.end() || now < removal->second;
    };
    std::wstring last;
    std::uint64_t lastAt = 0;
    const auto ready = [&] {
        const auto after = s.readyAfter.find(last);
        if (last.empty() || after == s.readyAfter.end()) return true;
        return after->second != kNever && now >= lastAt + after->second;
    };
    StartGroupQueue queue;
    Launches launches;
    if (const auto first = queue.Start({L"A", L"B", L"C"}, exists, s.pace, now)) {
        launches.push_back({now, *first, queue.Position()});
        last = *first;
    }
    for (int looks = 0; queue.Running() && looks < 10000; ++looks) {
        const std::uint64_t look = queue.NextLook(now, ready());
        EXPECT_GE(look, now) << "a look is never asked for in the past of the last one";
        now = std::max(now, s.comes(look));
        if (const auto file = queue.TakeDue(now, ready(), exists)) {
            launches.push_back({now, *file, queue.Position()});
            last = *file;
            lastAt = now;
        }
    }
    EXPECT_FALSE(queue.Running());
    return launches;
}
} // namespace

TEST(StartGroupQueueRules, AtAFixedPaceEachFileKeepsToTheGridFromTheStart)
{
    const GroupPace pace = GroupPaceOf(2, false);
    EXPECT_EQ(RunGroup({pace}), (Launches{{0, L"A", 1}, {2000, L"B", 2}, {4000, L"C", 3}}));
    // A look held back 1.2 s (a busy thread) loses nothing for the file after it.
    Scenario late{pace};
    late.comes = [](std::uint64_t look) { return look == 2000 ? 3200 : look; };
    EXPECT_EQ(RunGroup(late), (Launches{{0, L"A", 1}, {3200, L"B", 2}, {4000, L"C", 3}}));
    // More than an interval late: the grid starts again there, so B and C do not come together.
    late.comes = [](std::uint64_t look) { return look == 2000 ? 4500 : look; };
    EXPECT_EQ(RunGroup(late), (Launches{{0, L"A", 1}, {4500, L"B", 2}, {6500, L"C", 3}}));
    // Missing at the start: not queued, so C takes B's time; gone when its turn comes: the turn
    // passes with nothing started and C keeps its time.
    EXPECT_EQ(RunGroup({pace, {{L"B", 0}}}), (Launches{{0, L"A", 1}, {2000, L"C", 3}}));
    EXPECT_EQ(RunGroup({pace, {{L"B", 1000}}}), (Launches{{0, L"A", 1}, {4000, L"C", 3}}));
    EXPECT_EQ(RunGroup({pace, {{L"A", 0}}}), (Launches{{2000, L"B", 2}, {4000, L"C", 3}}));
    // "Interval" 0 and negative values are a second; a fixed pace never waits for readiness.
    EXPECT_EQ(GroupPaceOf(0, false).intervalMs, 1000u);
    EXPECT_EQ(GroupPaceOf(-5, false).intervalMs, 1000u);
    EXPECT_EQ(RunGroup({GroupPaceOf(1, false), {}, {{L"A", kNever}}}),
              (Launches{{0, L"A", 1}, {1000, L"B", 2}, {2000, L"C", 3}}));
}

TEST(StartGroupQueueRules, AWaitingGroupStartsTheNextWhenTheLastIsReadyWithinTheIntervalAndTheCeiling)
{
    const GroupPace wait = GroupPaceOf(1, true);
    // Ready after 2.5 s: B then, found by the poll; B ready at once: C an interval after B.
    EXPECT_EQ(RunGroup({wait, {}, {{L"A", 2500}}}), (Launches{{0, L"A", 1}, {2500, L"B", 2}, {3500, L"C", 3}}));
    // Ready sooner than the interval (or nothing to wait for): the interval holds.
    EXPECT_EQ(RunGroup({wait, {}, {{L"A", 200}}}), (Launches{{0, L"A", 1}, {1000, L"B", 2}, {2000, L"C", 3}}));
    // Never ready: the ceiling; an interval beyond the ceiling is still the least wait.
    EXPECT_EQ(RunGroup({wait, {}, {{L"A", kNever}, {L"B", kNever}}}),
              (Launches{{0, L"A", 1}, {kReadyCeilingMs, L"B", 2}, {2 * kReadyCeilingMs, L"C", 3}}));
    EXPECT_EQ(RunGroup({GroupPaceOf(40, true), {}, {{L"A", kNever}}}),
              (Launches{{0, L"A", 1}, {40000, L"B", 2}, {80000, L"C", 3}}));
    // A file gone at its turn is passed over for the next in the same turn; a first file missing
    // gives nothing to wait for.
    EXPECT_EQ(RunGroup({wait, {{L"B", 1000}}, {{L"A", 1500}}}), (Launches{{0, L"A", 1}, {1500, L"C", 3}}));
    EXPECT_EQ(RunGroup({wait, {{L"A", 0}}}), (Launches{{1000, L"B", 2}, {2000, L"C", 3}}));
}

TEST(StartGroupQueueRules, OneGroupAtATimeAndAStoppedRunIsOver)
{
    StartGroupQueue queue;
    const auto exists = [](const std::wstring&) { return true; };
    const GroupPace pace = GroupPaceOf(1, false);
    EXPECT_EQ(queue.Start({L"A", L"B", L"C"}, exists, pace, 0), std::optional<std::wstring>(L"A"));
    EXPECT_EQ(queue.Start({L"X", L"Y"}, exists, pace, 10), std::nullopt);
    EXPECT_EQ(queue.TakeDue(999, true, exists), std::nullopt) << "not due yet";
    queue.Clear();
    EXPECT_FALSE(queue.Running());
    EXPECT_EQ(queue.TakeDue(5000, true, exists), std::nullopt);
    EXPECT_EQ(queue.Start({L"X", L"Y"}, exists, pace, 6000), std::optional<std::wstring>(L"X"));
    // A group of one file leaves the runner free at once.
    StartGroupQueue single;
    EXPECT_EQ(single.Start({L"A"}, exists, pace, 0), std::optional<std::wstring>(L"A"));
    EXPECT_FALSE(single.Running());
}

TEST(StartGroupQueueRules, TheTipNamesTheGroupAndWhereItStandsAndFitsTheTray)
{
    EXPECT_EQ(GroupProgressTip(L"Orvo Launcher", {L"Work", 3, 7}, 127), L"Orvo Launcher: Work (3 of 7)");
    // A long caption gives way with "...", the count stays.
    const std::wstring tip = GroupProgressTip(L"Orvo Launcher", {std::wstring(200, L'x'), 12, 140}, 127);
    EXPECT_EQ(tip.size(), 127u);
    EXPECT_EQ(tip.substr(0, 16), L"Orvo Launcher: x");
    EXPECT_EQ(tip.substr(tip.size() - 15), L"... (12 of 140)");
    // No room for any caption: the title alone.
    EXPECT_EQ(GroupProgressTip(L"Orvo Launcher", {L"Work", 3, 7}, 20), L"Orvo Launcher");
}
