#pragma once
// The queue of a running group and the pace of its launches, decided from a clock: at each look
// the runner asks what is due now and when to look again. Only a clock reading decides, so a look
// that comes late (a window timer is the lowest of messages, and a launch or a busy moment of the
// thread holds it back) takes no time from the launches after it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A group that waits for each program starts the next one no later than this after the last,
// ready or not.
inline constexpr std::uint64_t kReadyCeilingMs = 30000;
// How often a waiting group asks whether the last program is ready.
inline constexpr std::uint64_t kReadyPollMs = 100;

struct GroupPace {
    std::uint64_t intervalMs = 1000;
    bool waitReady = false;  // "Wait until each program is ready"
};
// The pace of a stored "Interval" (0 and negative count as one second) and "WaitReady".
GroupPace GroupPaceOf(int storedInterval, bool waitReady);

// Where a running group stands.
struct GroupProgress {
    std::wstring caption;
    int position = 0;  // the file whose turn came last, counted from 1 in the group's list
    int total = 0;     // the files of the group's list
    bool operator==(const GroupProgress&) const = default;
};
// "Work (3 of 7)".
std::wstring GroupProgressText(const GroupProgress& progress);
// "<title>: Work (3 of 7)" in at most `maxLength` characters, a long caption cut short with "...".
std::wstring GroupProgressTip(std::wstring_view title, const GroupProgress& progress, std::size_t maxLength);

// The files of a running group still to launch. One group runs at a time: it runs from its start
// until the turn that takes its last queued file, and only while something is queued.
//
// At a fixed pace the k-th file is due (k - 1) intervals after the start, on that grid even after
// a late turn; a turn more than an interval late starts the grid afresh, so files never follow
// one another at once. A file gone when its turn comes takes its turn with it.
//
// A group that waits for each program starts the next file when the last started one is ready for
// input (or gave nothing to wait for), no earlier than an interval and no later than
// kReadyCeilingMs after it (never earlier than the interval, where that is longer). A file gone
// when its turn comes is passed over for the next one.
class StartGroupQueue {
public:
    using FileProbe = std::function<bool(const std::wstring&)>;

    bool Running() const noexcept { return !m_files.empty(); }
    // Starts a group of `files` (in launch order) at `now`: returns the first file when it exists
    // (to be launched now) and queues the others that exist. Nothing starts while a group runs.
    std::optional<std::wstring> Start(const std::vector<std::wstring>& files, const FileProbe& exists,
                                      const GroupPace& pace, std::uint64_t now);
    // The file to launch at `now`, if one is due and there; `lastReady` tells whether the last
    // started program is ready (true when there was none to wait for).
    std::optional<std::wstring> TakeDue(std::uint64_t now, bool lastReady, const FileProbe& exists);
    // When to look next, while running.
    std::uint64_t NextLook(std::uint64_t now, bool lastReady) const;
    int Position() const noexcept { return m_position; }
    int Total() const noexcept { return m_total; }
    std::size_t Pending() const noexcept { return m_files.size(); }
    // Gives up what is left (the run was stopped, or its timer could not be started).
    void Clear() noexcept { m_files.clear(); }

private:
    struct Queued {
        std::wstring path;
        int position = 0;
    };
    bool Due(std::uint64_t now, bool lastReady) const;
    std::uint64_t Earliest() const;
    std::uint64_t Latest() const;

    std::deque<Queued> m_files;
    GroupPace m_pace;
    std::uint64_t m_lastTurn = 0;   // when the last turn was due (a fixed pace keeps to this grid)
    std::uint64_t m_lastStart = 0;  // when the last file was started (a waiting group)
    int m_position = 0;
    int m_total = 0;
};
