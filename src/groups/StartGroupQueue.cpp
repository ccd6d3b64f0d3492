#include "groups/StartGroupQueue.h"

#include <algorithm>

#include "groups/StartGroupRules.h"

GroupPace GroupPaceOf(int storedInterval, bool waitReady)
{
    return {static_cast<std::uint64_t>(GroupDelaySeconds(storedInterval)) * 1000u, waitReady};
}

std::wstring GroupProgressText(const GroupProgress& progress)
{
    return progress.caption + L" (" + std::to_wstring(progress.position) + L" of " + std::to_wstring(progress.total) +
           L")";
}

std::wstring GroupProgressTip(std::wstring_view title, const GroupProgress& progress, std::size_t maxLength)
{
    std::wstring tip = std::wstring(title) + L": " + GroupProgressText(progress);
    if (tip.size() <= maxLength) return tip;
    // The caption gives way; the count is what tells the progress.
    const std::wstring count =
        L" (" + std::to_wstring(progress.position) + L" of " + std::to_wstring(progress.total) + L")";
    const std::wstring head = std::wstring(title) + L": ";
    constexpr std::wstring_view kEllipsis = L"...";
    const std::size_t fixed = head.size() + kEllipsis.size() + count.size();
    if (fixed >= maxLength) return std::wstring(title).substr(0, maxLength);
    return head + progress.caption.substr(0, maxLength - fixed) + std::wstring(kEllipsis) + count;
}

std::optional<std::wstring> StartGroupQueue::Start(const std::vector<std::wstring>& files, const FileProbe& exists,
                                                   const GroupPace& pace, std::uint64_t now)
{
    if (Running() || files.empty()) return std::nullopt;
    m_pace = pace;
    m_lastTurn = m_lastStart = now;
    m_position = 1;
    m_total = static_cast<int>(files.size());
    for (std::size_t i = 1; i < files.size(); ++i)
        if (exists(files[i])) m_files.push_back({files[i], static_cast<int>(i + 1)});
    if (exists(files.front())) return files.front();
    return std::nullopt;
}

std::uint64_t StartGroupQueue::Earliest() const
{
    return (m_pace.waitReady ? m_lastStart : m_lastTurn) + m_pace.intervalMs;
}

std::uint64_t StartGroupQueue::Latest() const
{
    return m_lastStart + std::max(m_pace.intervalMs, kReadyCeilingMs);
}

bool StartGroupQueue::Due(std::uint64_t now, bool lastReady) const
{
    if (now < Earliest()) return false;
    return !m_pace.waitReady || lastReady || now >= Latest();
}

std::optional<std::wstring> StartGroupQueue::TakeDue(std::uint64_t now, bool lastReady, const FileProbe& exists)
{
    if (!Running() || !Due(now, lastReady)) return std::nullopt;
    if (!m_pace.waitReady) {
        const std::uint64_t due = Earliest();
        m_lastTurn = now - due >= m_pace.intervalMs ? now : due;
        Queued next = std::move(m_files.front());
        m_files.pop_front();
        m_position = next.position;
        if (exists(next.path)) return std::move(next.path);
        return std::nullopt;
    }
    while (!m_files.empty()) {
        Queued next = std::move(m_files.front());
        m_files.pop_front();
        m_position = next.position;
        if (exists(next.path)) {
            m_lastStart = now;
            return std::move(next.path);
        }
    }
    return std::nullopt;
}

std::uint64_t StartGroupQueue::NextLook(std::uint64_t now, bool lastReady) const
{
    const std::uint64_t earliest = Earliest();
    if (!m_pace.waitReady || lastReady) return earliest;
    return std::min(Latest(), std::max(earliest, now + kReadyPollMs));
}
