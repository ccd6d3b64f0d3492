#include "app/SingleInstance.h"

#include <algorithm>
#include <vector>

#include "app/Commands.h"
#include "base/Handles.h"
#include "base/WinUtil.h"
#include "groups/StartGroupCommand.h"

namespace {
// A copy still starting has its mutex before its main window: it is given this long to show it.
constexpr DWORD kMainWindowWaitMs = 15000;
// The running copy only takes the name and answers; a copy that does not answer in this time is hung.
constexpr UINT kRequestTimeoutMs = 10000;

HWND WaitForMainWindow(const std::wstring& title)
{
    const ULONGLONG deadline = ::GetTickCount64() + kMainWindowWaitMs;
    for (;;) {
        if (HWND main = ::FindWindowW(kMainWindowClass, title.c_str())) return main;
        if (::GetTickCount64() >= deadline) return nullptr;
        ::Sleep(50);
    }
}

bool SendGroupRequest(const std::wstring& title, const std::wstring& group)
{
    if (group.size() > kMostRequestChars) return false;
    HWND main = WaitForMainWindow(title);
    if (!main) return false;
    // The request names its sender, so the running copy can tell that it comes from this program.
    UniqueHwnd sender(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
    if (!sender) return false;
    COPYDATASTRUCT data{};
    data.dwData = ::RegisterWindowMessageW(kStartGroupRequestMessage);
    data.cbData = static_cast<DWORD>((group.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(group.c_str());
    DWORD_PTR taken = 0;
    return data.dwData != 0 &&
           ::SendMessageTimeoutW(main, WM_COPYDATA, reinterpret_cast<WPARAM>(sender.get()),
                                 reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kRequestTimeoutMs, &taken) &&
           taken != 0;
}

// The same file, however its path is written (short names, letter case, a junction).
bool SameFile(const std::wstring& a, const std::wstring& b)
{
    auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        UniqueFileHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file && ::GetFileInformationByHandle(file.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return identity(a, first) && identity(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool RunsThisProgram(HWND window)
{
    DWORD processId = 0;
    if (!::GetWindowThreadProcessId(window, &processId) || processId == 0) return false;
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
    std::vector<wchar_t> image(32768);
    DWORD size = static_cast<DWORD>(image.size());
    if (!::QueryFullProcessImageNameW(process.get(), 0, image.data(), &size)) return false;
    return SameFile(std::wstring(image.data(), size), ModuleFileName());
}
} // namespace

bool SingleInstance::CheckAlreadyRunning(const std::wstring& title, const std::optional<std::wstring>& group)
{
    std::wstring mutexName = title;
    std::replace(mutexName.begin(), mutexName.end(), L' ', L'_');
    m_mutex = ::CreateMutexW(nullptr, FALSE, mutexName.c_str());
    if (!m_mutex || ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (group && SendGroupRequest(title, *group)) return true;
    if (::FindWindowW(kApplicationClass, title.c_str())) {
        const UINT message = ::RegisterWindowMessageW(kShowYourselfMessage);
        // Posted to every top-level window; only the running copy knows the message. A sent
        // broadcast would wait on each window in turn, and a busy or hung one anywhere on the
        // desktop would hold this start.
        ::PostMessageW(HWND_BROADCAST, message, 0, 0);
    }
    return true;
}

std::optional<std::wstring> ReadStartGroupRequest(HWND sender, const COPYDATASTRUCT& data)
{
    const UINT marker = ::RegisterWindowMessageW(kStartGroupRequestMessage);
    if (marker == 0 || data.dwData != marker) return std::nullopt;
    auto name = GroupNameOfRequest(data.lpData, data.cbData);
    if (!name || !RunsThisProgram(sender)) return std::nullopt;
    return name;
}
