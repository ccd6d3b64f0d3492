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

bool StartGroupRunner::Run(const std::vector<std::wstring>& files, int delaySeconds)
{
    if (Running()) return false;
    const auto first = m_queue.Start(files, m_exists);
    if (m_queue.Running()) {
        const int delay = GroupDelaySeconds(delaySeconds);
        // A delay of up to 31 minutes fits the timer; a longer one typed into the file is capped
        // at the timer's limit (about 24 days).
        const UINT interval = delay > static_cast<int>(USER_TIMER_MAXIMUM / 1000) ? USER_TIMER_MAXIMUM
                                                                                   : static_cast<UINT>(delay) * 1000u;
        m_timerEnabled = ::SetTimer(Handle(), kTimerGroup, interval, nullptr) != 0;
        // Without its timer the group would hold the runner for good: only the first file runs.
        if (!m_timerEnabled) m_queue.Clear();
    }
    if (first) m_launch(*first);
    return true;
}

void StartGroupRunner::TimerGroupTimer()
{
    const auto next = m_queue.Tick(m_exists);
    if (!m_queue.Running() && m_timerEnabled) {
        ::KillTimer(Handle(), kTimerGroup);
        m_timerEnabled = false;
    }
    if (next) m_launch(*next);
}

LRESULT StartGroupRunner::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kTimerGroup) {
        TimerGroupTimer();
        return 0;
    }
    return DefaultHandling(message, wParam, lParam);
}
