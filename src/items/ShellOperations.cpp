#include "items/ShellOperations.h"

#include <shellapi.h>

#include <vector>

#include "base/Handles.h"
#include "base/OsVersion.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/ItemFiles.h"
#include "items/ItemRules.h"
#include "items/RegistryText.h"

namespace {
void BringToFront(HWND window)
{
    // A hidden window (the popup menu's owner) has no place in the Z order to take; raising it
    // costs Wine a fifth of a second before every tray menu, for nothing.
    if (::IsWindowVisible(window)) ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
}

void ShellOpen(const std::wstring& file, const wchar_t* parameters)
{
    ::ShellExecuteW(nullptr, nullptr, file.c_str(), parameters, nullptr, SW_SHOWNORMAL);
}
} // namespace

void LaunchItemFile(const std::wstring& path)
{
    if (!FileExists(path)) return;
    if (ItemFileKindOf(path) == ItemFileKind::InternetShortcut) {
        const std::wstring url = ReadInternetShortcut(path).Url;
        if (!IsBareMailto(url)) {
            OpenUrlInBrowser(url);
            return;
        }
    }
    ShellOpen(path, nullptr);
}

bool OpenInRegisteredBrowser(const std::wstring& url)
{
    std::wstring browser;
    if (const auto command = ReadRegistryText(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", L"")) {
        browser = BrowserPathFromCommand(*command);
        if (!FileExists(browser)) browser.clear();
    }
    if (browser.empty()) return false;
    // One quoted argument: a URL holding spaces, quotes or a leading "--" must not reach the browser as
    // further switches. An empty URL (a shortcut without one) starts the browser without arguments,
    // as the bare parameter string always did.
    const std::wstring argument = url.empty() ? std::wstring() : QuoteUrlArgument(url);
    ShellOpen(browser, argument.empty() ? nullptr : argument.c_str());
    return true;
}

void OpenUrlInBrowser(const std::wstring& url)
{
    if (!OpenInRegisteredBrowser(url)) ShellOpen(url, nullptr);
}

void ShowFileProperties(const std::wstring& path)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpVerb = L"properties";
    info.lpFile = path.c_str();
    info.nShow = SW_HIDE;
    ::ShellExecuteExW(&info);
}

void RunNewShortcutWizard(const std::wstring& folder)
{
    const auto command = ReadRegistryText(HKEY_CLASSES_ROOT, L".LNK\\ShellNew", L"Command");
    if (!command) return;
    // WinExec would pass the folder through the ANSI code page; CreateProcessW keeps any path intact
    // and behaves the same otherwise (the command line as is, shown normally, not waited for).
    std::wstring commandLine = ReplaceFirstPercentOne(*command, folder);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

void ForceForegroundWindow(HWND window)
{
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    if (::GetForegroundWindow() == window) return;

    if (!HasForegroundLock(CurrentOsVersion())) {
        BringToFront(window);
        return;
    }

    const DWORD foregroundThread = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const DWORD windowThread = ::GetWindowThreadProcessId(window, nullptr);
    if (foregroundThread && ::AttachThreadInput(windowThread, foregroundThread, TRUE)) {
        BringToFront(window);
        ::AttachThreadInput(windowThread, foregroundThread, FALSE);
    }
    if (::GetForegroundWindow() == window) return;

    // Lift the lock for this one call; without a value to put back, leave the lock alone.
    DWORD timeout = 0;
    if (!::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0)) {
        BringToFront(window);
        return;
    }
    // Set for this session only and announced to nobody: a broadcast would wait on every top-level
    // window of the desktop, twice, for a value that is back a moment later.
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    BringToFront(window);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<ULONG_PTR>(timeout)), 0);
}
