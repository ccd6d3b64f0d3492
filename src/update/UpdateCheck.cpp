#include "update/UpdateCheck.h"

#include <mutex>

#include "base/LauncherError.h"
#include "items/ShellOperations.h"
#include "update/CheckNewVersion.h"

namespace {
constexpr const wchar_t* kWindowClass = L"TOrvoUpdateCheck";
constexpr UINT kMessageFinished = WM_APP + 1;
constexpr UINT_PTR kTimerDeadline = 1;
constexpr UINT_PTR kTimerAnswer = 2;
constexpr UINT kAnswerRetryMs = 200;
// The request aborts itself at its time-out; past this grace the check stops waiting for it.
constexpr std::chrono::milliseconds kDeadlineGrace{3000};
constexpr DWORD kShutdownWaitMs = 500;
} // namespace

// Shared by the user-interface thread and the worker; the worker reaches the window only through
// `notify`, which the user-interface thread clears under the lock when it stops waiting.
struct TUpdateCheck::Job {
    UpdateCheckSettings settings;
    TOrvoGetHttpText http;
    std::mutex lock;
    HWND notify = nullptr;
    UpdateAnswer answer;
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);

    ~Job()
    {
        if (done) ::CloseHandle(done);
    }
};

TUpdateCheck::TUpdateCheck(UpdateCheckHost& host, UpdateCheckSettings settings)
    : m_host(host), m_settings(std::move(settings))
{
}

TUpdateCheck::~TUpdateCheck()
{
    Abandon();
    Destroy();
}

void TUpdateCheck::EnsureWindow()
{
    if (Handle()) return;
    RegisterWindowClass(kWindowClass, 0);
    CreateWindowInstance(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
}

bool TUpdateCheck::Start()
{
    if (m_state != State::Idle) {
        ::MessageBeep(MB_ICONASTERISK);
        return false;
    }
    EnsureWindow();
    auto job = std::make_shared<Job>();
    job->settings = m_settings;
    job->http.TimeOut = m_settings.timeOut;
    job->notify = Handle();
    m_worker = std::thread(&TUpdateCheck::Work, job);
    m_job = std::move(job);
    m_state = State::Fetching;
    ::SetTimer(Handle(), kTimerDeadline, static_cast<UINT>((m_settings.timeOut + kDeadlineGrace).count()), nullptr);
    m_host.UpdateCheckChanged();
    return true;
}

void TUpdateCheck::Work(std::shared_ptr<Job> job) noexcept
{
    UpdateAnswer answer;
    try {
        answer = CheckNewVersion(job->settings.programFile, job->settings.agent, job->settings.url, job->http);
    } catch (...) {
        answer = AnswerOfFailure(FetchFailure::Other, 0);
    }
    {
        std::lock_guard<std::mutex> guard(job->lock);
        job->answer = std::move(answer);
        if (job->notify) ::PostMessageW(job->notify, kMessageFinished, 0, 0);
    }
    ::SetEvent(job->done);
}

void TUpdateCheck::Abandon() noexcept
{
    if (!m_job) return;
    {
        std::lock_guard<std::mutex> guard(m_job->lock);
        m_job->notify = nullptr;
    }
    m_job->http.Abort();
    // The worker owns its share of the job; one still stuck in the network is left to end by itself.
    if (m_worker.joinable()) {
        if (::WaitForSingleObject(m_job->done, kShutdownWaitMs) == WAIT_OBJECT_0) m_worker.join();
        else m_worker.detach();
    }
    m_job.reset();
    if (Handle()) ::KillTimer(Handle(), kTimerDeadline);
}

void TUpdateCheck::Collect()
{
    if (m_state != State::Fetching || !m_job) return;
    {
        std::lock_guard<std::mutex> guard(m_job->lock);
        m_answer = m_job->answer;
    }
    Abandon();  // the worker has posted its outcome: it is ending
    m_state = State::Answering;
    ShowAnswer();
}

void TUpdateCheck::GiveUp()
{
    if (m_state != State::Fetching) return;
    Abandon();
    m_answer = AnswerOfFailure(FetchFailure::NoAnswer, 0);
    m_state = State::Answering;
    ShowAnswer();
}

void TUpdateCheck::ShowAnswer()
{
    if (m_state != State::Answering) return;
    // A message box inside a menu's loop would leave the menu hanging: the answer waits for it.
    if (!m_host.CanShowUpdateAnswer()) {
        ::SetTimer(Handle(), kTimerAnswer, kAnswerRetryMs, nullptr);
        return;
    }
    ::KillTimer(Handle(), kTimerAnswer);
    HWND owner = m_host.UpdateAnswerOwner();
    // With its owner hidden (the About box was closed meanwhile) the answer comes forward by itself.
    const UINT foreground = owner && ::IsWindowVisible(owner) ? 0 : MB_SETFOREGROUND;
    ::MessageBeep(MB_ICONASTERISK);
    const wchar_t* caption = m_settings.caption.c_str();
    switch (m_answer.kind) {
    case UpdateAnswer::Kind::Newer:
        if (::MessageBoxW(owner, NewVersionQuestion(m_answer.text).c_str(), caption,
                          MB_YESNO | MB_ICONQUESTION | foreground) == IDYES)
            OpenUrlInBrowser(m_settings.homePage);
        break;
    case UpdateAnswer::Kind::Latest:
        ::MessageBoxW(owner, kLatestVersionMessage, caption, MB_OK | MB_ICONINFORMATION | foreground);
        break;
    case UpdateAnswer::Kind::Failed:
        ::MessageBoxW(owner, CannotCheckMessage(m_answer.text).c_str(), caption, MB_OK | MB_ICONWARNING | foreground);
        break;
    }
    m_state = State::Idle;
    m_host.UpdateCheckChanged();
}

LRESULT TUpdateCheck::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kMessageFinished:
        Collect();
        return 0;
    case WM_TIMER:
        if (wParam == kTimerDeadline) {
            ::KillTimer(Handle(), kTimerDeadline);
            GiveUp();
        } else if (wParam == kTimerAnswer) {
            ShowAnswer();
        }
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}
