#pragma once
// Drives the real Launcher.exe from outside: starts it with its own settings file, finds its
// windows, sends it what the shell and the user would, and always stops what it started.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The program under test and the test tools, found beside this test program's build folder.
std::wstring LauncherExePath();
std::wstring RecordLaunchExePath();
// The per-user settings folder the program chooses: %APPDATA%\Orvo Solution\Orvo Launcher.
std::wstring PerUserSettingsFolder();

// Polls a condition until it holds or the time-out passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs = 20);

// Ends every Launcher.exe left over from an earlier, failed test.
void KillStrayLaunchers();

// A top-level window of a process, by class and (optional) title; null when there is none.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title = nullptr);
std::vector<HWND> FindProcessWindows(DWORD processId, const wchar_t* className, const wchar_t* title = nullptr);
// A child window (any depth) whose text is exactly `text`.
HWND FindChildByText(HWND parent, const std::wstring& text);
// The texts of all child windows, in order.
std::vector<std::wstring> ChildTexts(HWND parent);
// Waits for a child with that text (a dialog fills itself in after its window exists).
HWND WaitForChildByText(HWND parent, const std::wstring& text, DWORD timeoutMs = 10000);
std::wstring TextOf(HWND window);

class LauncherProcess {
public:
    // `program`: another build of Launcher.exe than the one in bin (empty: that one).
    explicit LauncherProcess(std::vector<std::wstring> arguments = {}, std::wstring program = {});
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    // A program's first start on a newly made Wine prefix can take well over ten seconds.
    static constexpr DWORD kStartWaitMs = 30000;

    bool Start();
    // Starts the program and returns its main window (null when either failed).
    HWND StartAndWaitForMainWindow(DWORD timeoutMs = kStartWaitMs);
    DWORD Id() const noexcept { return m_info.dwProcessId; }
    bool IsRunning() const;
    // True when the process ended in time; `exitCode` receives its code.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Terminate();

    // The main window (it exists, hidden, once start-up has run).
    HWND WaitForMainWindow(DWORD timeoutMs = kStartWaitMs);
    HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs = 10000);
    // Invokes a main-window command as a menu, button or hotkey would.
    void PostCommand(unsigned commandId);

private:
    std::vector<std::wstring> m_arguments;
    std::wstring m_program;
    PROCESS_INFORMATION m_info{};
    HWND m_mainWindow = nullptr;
};

// Starts the program, waits for it to end and returns its exit code (or -1 on a time-out).
long RunToEnd(const std::vector<std::wstring>& arguments, DWORD timeoutMs = 15000);

} // namespace e2e
