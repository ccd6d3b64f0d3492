#pragma once
// TDirMon: watches one folder and raises OnDirChange on the thread that owns it, once per change
// notification the system delivers. One worker thread per running monitor waits on the change
// notification and the stop mutex and reaches the owner only by posting to a hidden window.
//
// Start, Stop, the setters and the destructor belong to the thread that created the monitor: the
// stop mutex is owned by the thread that called Start, and only that thread can release it.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Handles.h"
#include "components/DirMonRules.h"

class TDirMon;
struct TDirMonThreadData;
using TDirMonEvent = std::function<void(TDirMon& sender)>;

// Posted by the worker for each signalled change notification; both parameters are 0.
inline constexpr UINT kDirMonChangeMessage = WM_USER + 1;
// Posted by the worker when it cannot watch the folder at all; both parameters are 0.
inline constexpr UINT kDirMonWatchFailedMessage = WM_USER + 2;

class TDirMon {
public:
    TDirMon();
    TDirMon(const TDirMon&) = delete;
    TDirMon& operator=(const TDirMon&) = delete;
    // Ends a running worker without raising OnStop.
    virtual ~TDirMon();

    const std::wstring& Directory() const noexcept { return m_directory; }
    // Throws "Unable to change Directory when DirMon is running" for a different value while running.
    void SetDirectory(const std::wstring& directory);

    TDirMonTypes NotifyFilter() const noexcept { return TypesFromNotifyMask(m_notifyMask); }
    // Throws "Unable to change NotifyFilter when DirMon is running" while running, whatever the value.
    void SetNotifyFilter(TDirMonTypes filter);
    std::uint32_t NotifyMask() const noexcept { return m_notifyMask; }

    // Watch the whole subtree; a change while running takes effect at the next Start.
    bool Nested() const noexcept { return m_nested; }
    void SetNested(bool nested) noexcept { m_nested = nested; }

    // Throws "DirMon already started", "CreateMutex failed" or "CreateThread failed". A folder that
    // cannot be watched does not fail Start: the worker reports it (OnWatchFailed) and ends.
    void Start();
    // Throws "DirMon not started". Always completes: see DirMon.cpp for the bound on the wait.
    void Stop();

    // Between Start and Stop, also after the worker has ended on its own.
    bool Running() const noexcept { return static_cast<bool>(m_thread); }
    // The worker is still waiting for changes (false once it has ended on its own, or when stopped).
    bool Watching() const noexcept;
    // The worker has ended because the folder is not there (gone while watched, or missing at Start).
    bool FolderGone() const noexcept;

    HWND NotificationWindow() const noexcept;

    TDirMonEvent OnDirChange;
    TDirMonEvent OnStart;
    TDirMonEvent OnStop;
    // The worker could not watch Directory (missing, no access, empty). Unassigned, the monitor
    // shows the "Warning" box; assign it to report the failure differently.
    TDirMonEvent OnWatchFailed;

protected:
    // Raises OnDirChange; an exception from the handler is caught and discarded.
    virtual void DoDirChange();
    virtual void DoStart();
    virtual void DoStop();
    // Raises OnWatchFailed, or shows the "Warning" box when it is unassigned (one at a time);
    // guarded like DoDirChange.
    virtual void DoWatchFailed();

private:
    class NotifyWindow;

    void ReceiveChange();
    void ReceiveWatchFailure();
    void EndWorker() noexcept;

    std::wstring m_directory;
    std::uint32_t m_notifyMask = 0x001;
    std::unique_ptr<NotifyWindow> m_window;
    std::shared_ptr<TDirMonThreadData> m_threadData;
    bool m_nested = false;
    bool m_warningOpen = false;  // the "Warning" box is up
    UniqueHandle m_thread;
    DWORD m_threadId = 0;
};
