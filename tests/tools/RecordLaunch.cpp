// Records that it was started: appends one line to a log file and exits 0. The line (UTF-8) holds the
// number of arguments, then each argument as the program received it, all separated by TAB, ending in
// CR LF. The log is the file named by RECORD_LAUNCH_LOG, else "RecordLaunch.log" beside this program.

#include <windows.h>
#include <shellapi.h>

#include <string>

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
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::wstring line = std::to_wstring(count > 0 ? count - 1 : 0);
    for (int i = 1; argv && i < count; ++i) {
        line += L'\t';
        line += argv[i];
    }
    line += L"\r\n";
    if (argv) ::LocalFree(argv);
    return AppendLine(LogFileName(), WideToUtf8(line)) ? 0 : 1;
}
