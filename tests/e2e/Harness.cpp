#include "e2e/Harness.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include "base/Strings.h"
#include "base/WinUtil.h"

namespace e2e {

namespace {
std::wstring BuildFolder()
{
    // Test programs live in <build>/tests; the program in <build>/bin.
    return ExtractFilePath(ExcludeTrailingBackslash(ExtractFilePath(ModuleFileName())));
}

std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    for (wchar_t c : argument) {
        if (c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

struct FindState {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
    std::vector<HWND>* all;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lParam)
{
    auto* state = reinterpret_cast<FindState*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != state->processId) return TRUE;
    wchar_t cls[256] = {};
    ::GetClassNameW(hwnd, cls, 256);
    if (state->className && lstrcmpW(cls, state->className) != 0) return TRUE;
    if (state->title && WindowText(hwnd) != state->title) return TRUE;
    state->found = hwnd;
    if (!state->all) return FALSE;
    state->all->push_back(hwnd);
    return TRUE;
}
BOOL CALLBACK CollectText(HWND child, LPARAM texts)
{
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(WindowText(child));
    return TRUE;
}

struct ChildSearch {
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK FindChildText(HWND child, LPARAM search)
{
    auto* s = reinterpret_cast<ChildSearch*>(search);
    if (WindowText(child) != *s->text) return TRUE;
    s->found = child;
    return FALSE;
}
} // namespace

std::wstring LauncherExePath() { return BuildFolder() + L"bin\\Launcher.exe"; }
std::wstring RecordLaunchExePath() { return BuildFolder() + L"tests\\RecordLaunch.exe"; }

std::wstring PerUserSettingsFolder()
{
    wchar_t appData[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\Orvo Solution\\Orvo Launcher";
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start >= timeoutMs) return condition();
        ::Sleep(stepMs);
    }
}

namespace {
// Asks a program to end as at the end of the Windows session, so it gives its hooks and its tray
// icons back; true when it ended in time.
bool EndLikeSessionEnd(DWORD processId, HANDLE process)
{
    HWND main = FindProcessWindow(processId, L"TOrvoLauncherClass", L"Orvo Launcher");
    if (!main) return false;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 3000, &ignored);
    return ::WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
}
} // namespace

void KillStrayLaunchers()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = ::Process32FirstW(snapshot, &entry); ok; ok = ::Process32NextW(snapshot, &entry)) {
        if (!EqualsNoCase(entry.szExeFile, L"Launcher.exe")) continue;
        if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            if (!EndLikeSessionEnd(entry.th32ProcessID, process)) {
                ::TerminateProcess(process, 1);
                ::WaitForSingleObject(process, 5000);
            }
            ::CloseHandle(process);
        }
    }
    ::CloseHandle(snapshot);
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title)
{
    FindState state{processId, className, title, nullptr, nullptr};
    ::EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::vector<HWND> FindProcessWindows(DWORD processId, const wchar_t* className, const wchar_t* title)
{
    std::vector<HWND> all;
    FindState state{processId, className, title, nullptr, &all};
    ::EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&state));
    return all;
}

std::wstring TextOf(HWND window) { return WindowText(window); }

std::vector<std::wstring> ChildTexts(HWND parent)
{
    std::vector<std::wstring> texts;
    ::EnumChildWindows(parent, &CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

HWND FindChildByText(HWND parent, const std::wstring& text)
{
    ChildSearch state{&text, nullptr};
    ::EnumChildWindows(parent, &FindChildText, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitForChildByText(HWND parent, const std::wstring& text, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindChildByText(parent, text)) != nullptr || !::IsWindow(parent); }, timeoutMs);
    return found;
}

LauncherProcess::LauncherProcess(std::vector<std::wstring> arguments, std::wstring program)
    : m_arguments(std::move(arguments)), m_program(std::move(program))
{
}

LauncherProcess::~LauncherProcess()
{
    Terminate();
    if (m_info.hThread) ::CloseHandle(m_info.hThread);
    if (m_info.hProcess) ::CloseHandle(m_info.hProcess);
}

bool LauncherProcess::Start()
{
    const std::wstring exe = m_program.empty() ? LauncherExePath() : m_program;
    std::wstring commandLine = QuoteArgument(exe);
    for (const auto& argument : m_arguments) commandLine += L" " + QuoteArgument(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return ::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_info) != FALSE;
}

HWND LauncherProcess::StartAndWaitForMainWindow(DWORD timeoutMs)
{
    return Start() ? WaitForMainWindow(timeoutMs) : nullptr;
}

bool LauncherProcess::IsRunning() const
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

bool LauncherProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!m_info.hProcess || ::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) ::GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

void LauncherProcess::Terminate()
{
    if (!IsRunning()) return;
    if (EndLikeSessionEnd(Id(), m_info.hProcess)) return;
    ::TerminateProcess(m_info.hProcess, 1);
    ::WaitForSingleObject(m_info.hProcess, 5000);
}

HWND LauncherProcess::WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(Id(), className, title)) != nullptr || !IsRunning(); },
              timeoutMs);
    return found;
}

HWND LauncherProcess::WaitForMainWindow(DWORD timeoutMs)
{
    if (!m_mainWindow) m_mainWindow = WaitForWindow(L"TOrvoLauncherClass", L"Orvo Launcher", timeoutMs);
    return m_mainWindow;
}

void LauncherProcess::PostCommand(unsigned commandId)
{
    ::PostMessageW(WaitForMainWindow(), WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

long RunToEnd(const std::vector<std::wstring>& arguments, DWORD timeoutMs)
{
    LauncherProcess process(arguments);
    if (!process.Start()) return -1;
    DWORD code = 0;
    if (!process.WaitForExit(timeoutMs, &code)) return -1;
    return static_cast<long>(code);
}

} // namespace e2e
