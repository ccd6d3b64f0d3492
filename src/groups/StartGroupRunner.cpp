#include "groups/StartGroupRunner.h"

namespace {
constexpr const wchar_t* kClassName = L"TStartGroupRunner";
constexpr UINT_PTR kTimerGroup = 1;
} // namespace

StartGroupRunner::StartGroupRunner(Launcher launch, FileProbe exists)
    : m_launch(std::move(launch)), m_exists(std::move(exists))
{
}

StartGroupRunner::~StartGroupRunner() { Destroy(); }

void StartGroupRunner::Create()
{
    RegisterWindowClass(kClassName, 0);
    CreateWindowInstance(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
}

bool StartGroupRunner::Run(const std::wstring& caption, const std::vector<std::wstring>& files, const GroupPace& pace)
{
    if (Running()) return false;
    m_caption = caption;
    m_waitReady = pace.waitReady;
    const std::uint64_t now = ::GetTickCount64();
    const auto first = m_queue.Start(files, m_exists, pace, now);
    if (m_queue.Running()) Arm(now);
    if (first) {
        m_inTurn = true;
        UniqueHandle process = m_launch(*first, pace.waitReady);
        m_inTurn = false;
        if (m_queue.Running()) m_process = std::move(process);
    }
    if (m_queue.Running()) ReportProgress();
    return true;
}

void StartGroupRunner::Stop()
{
    if (!m_queue.Running() && !m_timerEnabled) return;
    m_queue.Clear();
    Finish();
}

std::optional<GroupProgress> StartGroupRunner::Progress() const
{
    if (!m_queue.Running()) return std::nullopt;
    return GroupProgress{m_caption, m_queue.Position(), m_queue.Total()};
}

bool StartGroupRunner::LastReady()
{
    if (!m_process) return true;
    // Ended, ready for input, or no program that could say (a console program): its wait is over,
    // and its handle is no longer needed.
    if (::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT &&
        ::WaitForInputIdle(m_process.get(), 0) == WAIT_TIMEOUT)
        return false;
    m_process.reset();
    return true;
}

void StartGroupRunner::Arm(std::uint64_t now)
{
    const std::uint64_t look = m_queue.NextLook(now, LastReady());
    const std::uint64_t wait = look > now ? look - now : 1;
    const UINT interval = wait > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM : static_cast<UINT>(wait);
    // The same id re-arms the one timer; a long wait is looked at again when the timer's limit ends.
    m_timerEnabled = ::SetTimer(Handle(), kTimerGroup, interval, nullptr) != 0;
    if (!m_timerEnabled) {
        // Without its timer the group would hold the runner for good.
        m_queue.Clear();
        Finish();
    }
}

void StartGroupRunner::TimerGroupTimer()
{
    // A launch that pumps messages (the shell may) lets a look in; the turn under way arms the next.
    if (m_inTurn || !m_queue.Running()) return;
    m_inTurn = true;
    const int before = m_queue.Position();
    const auto next = m_queue.TakeDue(::GetTickCount64(), LastReady(), m_exists);
    UniqueHandle process;
    if (next) {
        // The last one's wait is over whether or not it became ready.
        m_process.reset();
        process = m_launch(*next, m_waitReady);
    }
    m_inTurn = false;
    if (!m_queue.Running()) {
        Finish();
        return;
    }
    if (next) m_process = std::move(process);
    Arm(::GetTickCount64());
    if (m_queue.Position() != before) ReportProgress();
}

void StartGroupRunner::Finish()
{
    if (m_timerEnabled) ::KillTimer(Handle(), kTimerGroup);
    m_timerEnabled = false;
    m_process.reset();
    if (OnProgress) OnProgress(std::nullopt);
}

void StartGroupRunner::ReportProgress()
{
    if (OnProgress) OnProgress(Progress());
}

LRESULT StartGroupRunner::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kTimerGroup) {
        TimerGroupTimer();
        return 0;
    }
    return DefaultHandling(message, wParam, lParam);
}
