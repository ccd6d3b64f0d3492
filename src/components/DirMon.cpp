#include "components/DirMon.h"

#include <atomic>

#include "base/LauncherError.h"
#include "base/Window.h"

// The worker's block: written completely before the worker exists and only read by it afterwards,
// except for `abandoned`. Owner and worker share it, so a worker that outlives Stop (see
// kWorkerEndWaitMs) still reads valid memory and handles; the last one to let go frees it.
struct TDirMonThreadData {
    HWND window = nullptr;
    UniqueHandle stopMutex;
    // Set by the worker once the notification is open (or could not be opened).
    UniqueHandle ready;
    std::wstring path;
    std::uint32_t notifyMask = 0;
    bool nested = false;
    // Set when the owner stopped waiting for this worker: it must post nothing more.
    std::atomic<bool> abandoned{false};
};

namespace {
// A worker wakes at once when the stop mutex is released. It can only be slow when the system
// itself blocks it (opening a folder on a share that no longer answers). The owner waits this
// long and then leaves the worker to end on its own, so stopping never hangs the program.
constexpr DWORD kWorkerEndWaitMs = 2000;
// Start returns once the worker has opened its notification, so a change made right after Start
// is seen; bounded for the same reason as above.
constexpr DWORD kWorkerReadyWaitMs = 2000;

constexpr wchar_t kWindowClassName[] = L"TDirMonNotifyWindow";

void PostToOwner(const TDirMonThreadData& data, UINT message) noexcept
{
    if (!data.abandoned.load()) ::PostMessageW(data.window, message, 0, 0);
}

bool FolderStillThere(const std::wstring& path) noexcept
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD WINAPI WorkerRoutine(void* parameter) noexcept
{
    if (!parameter) return 1;
    const std::unique_ptr<std::shared_ptr<TDirMonThreadData>> holder(
        static_cast<std::shared_ptr<TDirMonThreadData>*>(parameter));
    const TDirMonThreadData& data = **holder;

    UniqueChangeNotification change(
        ::FindFirstChangeNotificationW(data.path.c_str(), data.nested ? TRUE : FALSE, data.notifyMask));
    const DWORD openError = ::GetLastError();
    ::SetEvent(data.ready.get());
    if (!change) {
        PostToOwner(data, kDirMonWatchFailedMessage);
        return openError;
    }

    const HANDLE handles[2] = {change.get(), data.stopMutex.get()};
    for (;;) {
        const DWORD result = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) {
            PostToOwner(data, kDirMonChangeMessage);
            // A deleted watched folder stays pending deletion, unusable and impossible to create
            // again, for as long as this notification keeps it open; a renamed one is no longer
            // the folder asked for. Either way let it go (the change just posted reports it).
            if (!FolderStillThere(data.path)) return ERROR_PATH_NOT_FOUND;
            if (!::FindNextChangeNotification(change.get())) return ::GetLastError();
        } else if (result == WAIT_OBJECT_0 + 1 || result == WAIT_ABANDONED_0 + 1) {
            // The owner gave up the mutex: stop requested. This thread owns it now and hands it back.
            change.reset();
            ::ReleaseMutex(data.stopMutex.get());
            return 0;
        } else {
            // The wait itself failed (a handle became invalid): waiting again would only spin.
            return ::GetLastError();
        }
    }
}

// Relative names are resolved against the current folder at Start, on the owner's thread.
std::wstring WatchPath(const std::wstring& directory)
{
    if (directory.empty()) return directory;
    const DWORD size = ::GetFullPathNameW(directory.c_str(), 0, nullptr, nullptr);
    if (size == 0) return directory;
    std::wstring full(size, L'\0');
    const DWORD written = ::GetFullPathNameW(directory.c_str(), size, full.data(), nullptr);
    if (written == 0 || written >= size) return directory;
    full.resize(written);
    return ExtendedLengthPath(full);
}
} // namespace

class TDirMon::NotifyWindow final : public ::Window {
public:
    explicit NotifyWindow(TDirMon& owner) : m_owner(owner)
    {
        RegisterWindowClass(kWindowClassName, 0);
        CreateWindowInstance(0, kWindowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case kDirMonChangeMessage:
            m_owner.ReceiveChange();
            return 0;
        case kDirMonWatchFailedMessage:
            m_owner.ReceiveWatchFailure();
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
        }
    }

private:
    TDirMon& m_owner;
};

TDirMon::TDirMon() : m_window(std::make_unique<NotifyWindow>(*this)) {}

TDirMon::~TDirMon()
{
    if (m_thread) EndWorker();
}

void TDirMon::SetDirectory(const std::wstring& directory)
{
    if (directory == m_directory) return;
    if (Running()) throw LauncherError(L"Unable to change Directory when DirMon is running");
    m_directory = directory;
}

void TDirMon::SetNotifyFilter(TDirMonTypes filter)
{
    if (Running()) throw LauncherError(L"Unable to change NotifyFilter when DirMon is running");
    m_notifyMask = NotifyMaskFromTypes(filter);
}

bool TDirMon::Watching() const noexcept
{
    return m_thread && ::WaitForSingleObject(m_thread.get(), 0) == WAIT_TIMEOUT;
}

bool TDirMon::FolderGone() const noexcept
{
    DWORD code = 0;
    if (!m_thread || ::WaitForSingleObject(m_thread.get(), 0) != WAIT_OBJECT_0 ||
        !::GetExitCodeThread(m_thread.get(), &code))
        return false;
    return code == ERROR_PATH_NOT_FOUND || code == ERROR_FILE_NOT_FOUND;
}

HWND TDirMon::NotificationWindow() const noexcept { return m_window->Handle(); }

void TDirMon::Start()
{
    if (m_thread) throw LauncherError(L"DirMon already started");
    auto data = std::make_shared<TDirMonThreadData>();
    // Created owned by this thread: holding it is what keeps the worker running.
    data->stopMutex.reset(::CreateMutexW(nullptr, TRUE, nullptr));
    if (!data->stopMutex) throw LauncherError(L"CreateMutex failed");
    data->ready.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    data->window = m_window->Handle();
    data->path = WatchPath(m_directory);
    data->notifyMask = m_notifyMask;
    data->nested = m_nested;

    auto parameter = std::make_unique<std::shared_ptr<TDirMonThreadData>>(data);
    DWORD threadId = 0;
    HANDLE thread = ::CreateThread(nullptr, 0, &WorkerRoutine, parameter.get(), 0, &threadId);
    if (!thread) {
        ::ReleaseMutex(data->stopMutex.get());
        throw LauncherError(L"CreateThread failed");
    }
    parameter.release(); // the worker owns its reference now
    m_thread.reset(thread);
    m_threadId = threadId;
    m_threadData = std::move(data);
    if (m_threadData->ready) ::WaitForSingleObject(m_threadData->ready.get(), kWorkerReadyWaitMs);
    DoStart();
}

void TDirMon::Stop()
{
    if (!m_thread) throw LauncherError(L"DirMon not started");
    EndWorker();
    DoStop();
}

void TDirMon::EndWorker() noexcept
{
    // Giving up the mutex is the stop signal; the worker's wait returns with it at once.
    ::ReleaseMutex(m_threadData->stopMutex.get());
    if (::WaitForSingleObject(m_thread.get(), kWorkerEndWaitMs) != WAIT_OBJECT_0) m_threadData->abandoned.store(true);
    m_thread.reset();
    m_threadId = 0;
    m_threadData.reset();
}

void TDirMon::ReceiveChange()
{
    // A notification the worker posted before Stop may arrive afterwards; it reports a real change,
    // so it is raised all the same (a reload that stops, rebuilds and restarts relies on it).
    DoDirChange();
}

void TDirMon::ReceiveWatchFailure()
{
    if (Running()) DoWatchFailed();
}

void TDirMon::DoDirChange()
{
    try {
        if (OnDirChange) OnDirChange(*this);
    } catch (...) {
        // A failing handler must not end the message loop; the next change calls it again.
    }
}

void TDirMon::DoStart()
{
    if (OnStart) OnStart(*this);
}

void TDirMon::DoStop()
{
    if (OnStop) OnStop(*this);
}

void TDirMon::DoWatchFailed()
{
    try {
        if (OnWatchFailed) {
            OnWatchFailed(*this);
        } else if (!m_warningOpen) {
            // The box runs its own message loop: a reload that restarts this monitor in the
            // meantime and fails again must not stack a second box on the first.
            m_warningOpen = true;
            ::MessageBoxW(nullptr, L"FindFirstChangeNotification() failed", L"Warning", MB_OK | MB_SETFOREGROUND);
            m_warningOpen = false;
        }
    } catch (...) {
        m_warningOpen = false;
    }
}
