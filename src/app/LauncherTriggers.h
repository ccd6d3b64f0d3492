#pragma once
// The main window's side of the system-wide triggers: the watch component that receives the hook
// library's mouse and key events.

#include <memory>

class TOrvoLauncherClass;
class TWatch;

class LauncherTriggers {
public:
    explicit LauncherTriggers(TOrvoLauncherClass& main);
    ~LauncherTriggers();
    LauncherTriggers(const LauncherTriggers&) = delete;
    LauncherTriggers& operator=(const LauncherTriggers&) = delete;

    // Start-up: watching the mouse, then the keyboard; each on its own, failures ignored.
    void Start();
    // Shutdown: the mouse kind, then the keyboard kind.
    void Stop();

private:
    TOrvoLauncherClass& m_main;
    std::unique_ptr<TWatch> m_watch;
};
