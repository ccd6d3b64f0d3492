#pragma once
// Runs one start group at a time: the first file at once, each further one a delay later, on a
// window timer (TimerGroup) so launches happen between other messages and never overlap.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Window.h"
#include "groups/StartGroupRules.h"

class StartGroupRunner : public Window {
public:
    using Launcher = std::function<void(const std::wstring& path)>;
    using FileProbe = StartGroupQueue::FileProbe;

    // `launch` starts a file; `exists` tells whether a file is there.
    StartGroupRunner(Launcher launch, FileProbe exists);
    ~StartGroupRunner() override;

    void Create();
    // True while a group runs (TimerGroup is enabled exactly then).
    bool Running() const noexcept { return m_queue.Running(); }
    // Starts a group whose files are in launch order; `delaySeconds` apart. False when another
    // group runs (nothing is started then).
    bool Run(const std::vector<std::wstring>& files, int delaySeconds);
    std::size_t Pending() const noexcept { return m_queue.Pending(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void TimerGroupTimer();

    Launcher m_launch;
    FileProbe m_exists;
    StartGroupQueue m_queue;
    bool m_timerEnabled = false;
};
