// Records that it was started: appends one line to a log file and exits 0. The line (UTF-8) holds the
// number of arguments, then each argument as the program received it, all separated by TAB, ending in
// CR LF. The log is the file named by RECORD_LAUNCH_LOG, else "RecordLaunch.log" beside this program.
//
// With an argument "--idle-after=MS" it plays a program slow to start: after the line is written it
// is busy for MS milliseconds before its window and message loop exist (so it is ready for input only
// then), and it ends by itself a few seconds later.

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <string_view>

#include "base/Strings.h"
#include "base/WinUtil.h"

namespace {
std::wstring LogFileName()
{
    wchar_t buffer[32768];
    const DWORD length = ::GetEnvironmentVariableW(L"RECORD_LAUNCH_LOG", buffer, 32768);
    if (length > 0 && length < 32768) return std::wstring(buffer, length);
    return ExtractFilePath(ModuleFileName()) + L"RecordLaunch.log";
}

bool AppendLine(const std::wstring& logFile, const std::string& line)
{
    // Several copies may start at once; a sharing conflict only delays the append.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = ::CreateFileW(logFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok = ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(file);
            return ok && written == line.size();
        }
        if (::GetLastError() != ERROR_SHARING_VIOLATION) return false;
        ::Sleep(25);
    }
    return false;
}

// Long enough for any test to watch what it waits for, short enough to leave nothing behind.
constexpr UINT kIdleLifeMs = 6000;
constexpr std::wstring_view kIdleAfter = L"--idle-after=";

// Busy (no message loop) for `busyMs`, then ready for input until it ends by itself.
void BecomeIdleAfter(DWORD busyMs)
{
    ::Sleep(busyMs);
    HWND window = ::CreateWindowExW(0, L"STATIC", L"RecordLaunch", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ::SetTimer(window, 1, kIdleLifeMs, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) ::DispatchMessageW(&msg);
    ::DestroyWindow(window);
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::wstring line = std::to_wstring(count > 0 ? count - 1 : 0);
    long idleAfter = -1;
    for (int i = 1; argv && i < count; ++i) {
        line += L'\t';
        line += argv[i];
        const std::wstring_view argument = argv[i];
        if (argument.substr(0, kIdleAfter.size()) == kIdleAfter)
            idleAfter = std::wcstol(argv[i] + kIdleAfter.size(), nullptr, 10);
    }
    line += L"\r\n";
    if (argv) ::LocalFree(argv);
    const bool logged = AppendLine(LogFileName(), WideToUtf8(line));
    if (idleAfter >= 0) BecomeIdleAfter(static_cast<DWORD>(idleAfter));
    return logged ? 0 : 1;
}
