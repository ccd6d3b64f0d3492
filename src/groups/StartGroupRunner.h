#pragma once
// Runs one start group at a time on a window timer (TimerGroup): the first file at once, each
// further one when the queue says it is due, so launches happen between other messages and never
// overlap. A group that waits for each program keeps the last one's process handle and asks it,
// at each look, whether it is ready; the user-interface thread never waits on it.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/Window.h"
#include "groups/StartGroupQueue.h"

class StartGroupRunner : public Window {
public:
    // Starts a file; for a group that waits, returns the process to wait for (null for none).
    using Launcher = std::function<UniqueHandle(const std::wstring& path, bool waitReady)>;
    using FileProbe = StartGroupQueue::FileProbe;
    // Where the run stands after each turn; nothing once it has ended or was stopped.
    using ProgressHandler = std::function<void(const std::optional<GroupProgress>&)>;

    StartGroupRunner(Launcher launch, FileProbe exists);
    ~StartGroupRunner() override;

    void Create();
    // True while a group runs (TimerGroup is enabled exactly then).
    bool Running() const noexcept { return m_queue.Running(); }
    // Starts a group whose files are in launch order. False when another group runs (nothing is
    // started then).
    bool Run(const std::wstring& caption, const std::vector<std::wstring>& files, const GroupPace& pace);
    // Ends the run: nothing more is started; what was started keeps running.
    void Stop();
    std::optional<GroupProgress> Progress() const;
    ProgressHandler OnProgress;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void TimerGroupTimer();
    bool LastReady();
    void Arm(std::uint64_t now);
    void Finish();
    void ReportProgress();

    Launcher m_launch;
    FileProbe m_exists;
    StartGroupQueue m_queue;
    std::wstring m_caption;
    UniqueHandle m_process;  // the last started program, until it is ready
    bool m_waitReady = false;
    bool m_timerEnabled = false;
    bool m_inTurn = false;
};
