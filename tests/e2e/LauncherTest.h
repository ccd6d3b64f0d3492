#pragma once
// What the end-to-end tests share: input as a user makes it, the shell's view of the tray, and a
// fixture with a data folder and settings file of its own, whose launches RecordLaunch logs.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Settings.h"
#include "base/Strings.h"
#include "common/PerUserState.h"
#include "common/TempFolder.h"
#include "e2e/Harness.h"
#include "unit/items/ItemTestFiles.h"

namespace e2e {

// One key pressed and released; the menu loop takes one key at a time.
inline void Key(WORD vk)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof(INPUT));
    ::Sleep(120);
}

// Keys pressed in order and released in reverse, as a user presses a hotkey.
inline void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> input;
    auto add = [&](WORD vk, DWORD flags) {
        INPUT key{};
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = vk;
        key.ki.dwFlags = flags;
        input.push_back(key);
    };
    for (WORD vk : keys) add(vk, 0);
    for (auto vk = std::rbegin(keys); vk != std::rend(keys); ++vk) add(*vk, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// The mouse moved to a pixel of the virtual screen, all monitors together (absolute coordinates
// are 0..65535 across it; they are rounded up so they land on the pixel).
inline void MoveMouseTo(int x, int y)
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(((x - left) * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>(((y - top) * 65536LL + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    ::SendInput(1, &input, sizeof(input));
}

// Keyboard and mouse hooks run in the thread that takes the input out of its queue, so a window
// of the test itself only reports what reaches it while the test pumps.
inline void Pump(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    } while (::GetTickCount() - start < ms);
}

inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start >= timeoutMs) return condition();
        Pump(20);
    }
}

// Whether `window` comes to the front in time; the test's thread takes in what the foreground
// change sends it meanwhile.
inline bool WaitForForeground(HWND window, DWORD timeoutMs)
{
    return PumpUntil([window] { return ::GetForegroundWindow() == window; }, timeoutMs);
}

inline bool Visible(HWND window) { return window && ::IsWindowVisible(window); }

inline RECT WindowRect(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

// Shows the main window as the tray icon's click would and waits until it is in front.
inline bool ShowMainWindowInFront(LauncherProcess& launcher, HWND main, DWORD timeoutMs = 10000)
{
    launcher.PostCommand(kCmdShowMainWindow);
    return WaitUntil([&] { return ::IsWindowVisible(main) && ::GetForegroundWindow() == main; }, timeoutMs);
}

inline bool CursorAt(int x, int y)
{
    POINT cursor{};
    return ::GetCursorPos(&cursor) && cursor.x == x && cursor.y == y;
}

// Moves the cursor as the mouse does and waits until it is there (the X server can echo an
// earlier warp, so a move is sent again when the cursor ends up elsewhere).
inline bool MoveCursorTo(int x, int y)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        MoveMouseTo(x, y);
        if (PumpUntil([&] { return CursorAt(x, y); }, 500)) {
            Pump(60);
            if (CursorAt(x, y)) return true;
        }
    }
    return false;
}

// A window of the test itself that can take the focus, so that the keys the test presses reach
// a thread of the test (whose hook calls report them while it pumps) instead of whichever window
// had the focus last, or none at all on a desktop without a window of its own.
class FocusTarget {
public:
    explicit FocusTarget(const RECT& r)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LauncherTestTarget";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        ::RegisterClassW(&wc);
        m_window = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Launcher test", WS_POPUP | WS_VISIBLE, r.left,
                                     r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~FocusTarget()
    {
        if (m_window) ::DestroyWindow(m_window);
        Pump(50);
    }
    FocusTarget(const FocusTarget&) = delete;
    FocusTarget& operator=(const FocusTarget&) = delete;

    HWND Handle() const { return m_window; }
    // True once the window holds the foreground.
    bool Focus()
    {
        ::SetForegroundWindow(m_window);
        return PumpUntil([&] { return ::GetForegroundWindow() == m_window; }, 2000);
    }

private:
    HWND m_window = nullptr;
};

inline void LeftClick()
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

// The mouse brought to rest on a point, arriving from one pixel beside it as a hand moves it.
inline void RestMouseAt(POINT at)
{
    MoveMouseTo(at.x - 1, at.y);
    ::Sleep(100);
    MoveMouseTo(at.x, at.y);
}

// Where Wine's task bar draws a notification icon: right-aligned, in the order the icons came, each
// in a cell of the small icon size and 2 pixels each way. Position 0 is the first icon placed, the
// program's own, which comes before the entries' icons.
inline POINT TrayIconCentre(int position)
{
    RECT bar{};
    ::GetWindowRect(::FindWindowW(L"Shell_TrayWnd", nullptr), &bar);
    const int cell = ::GetSystemMetrics(SM_CXSMICON) + 4;
    return {bar.right - cell * position - cell / 2, (bar.top + bar.bottom) / 2};
}

// A mouse message on the main tray icon, as the shell reports it: WM_USER with the icon's id (1).
inline void PostMainTrayMouse(HWND main, UINT mouseMessage) { ::PostMessageW(main, WM_USER, 1, mouseMessage); }

// Clicks the main tray icon until the popup menu is up (clicks before the collections are loaded
// are ignored by design) and returns its window; null when it never came.
inline HWND OpenTrayMenu(DWORD processId, HWND main, UINT button = WM_RBUTTONDOWN, DWORD timeoutMs = 10000)
{
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            PostMainTrayMouse(main, button);
            // The menu's window is made first and placed and shown after.
            return WaitUntil(
                [&] {
                    menu = FindProcessWindow(processId, L"#32768");
                    return menu && ::IsWindowVisible(menu);
                },
                700);
        },
        timeoutMs, 0);
    return menu && ::IsWindowVisible(menu) ? menu : nullptr;
}
inline HWND OpenTrayMenu(LauncherProcess& launcher, HWND main, UINT button = WM_RBUTTONDOWN, DWORD timeoutMs = 10000)
{
    return OpenTrayMenu(launcher.Id(), main, button, timeoutMs);
}

// Whether the shell holds an icon of that window and id: modifying a missing icon fails.
inline bool TrayIconExists(HWND owner, UINT id)
{
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner;
    data.uID = id;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The sub-folders of a folder in the file system's enumeration order (the menu's order).
inline std::vector<std::wstring> SubFolders(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

// A data folder with "Icons", "Menus" and "Floating", a settings file naming it, and the launch
// log of RecordLaunch (inherited through the program by everything it starts).
class LauncherTest : public testing::Test {
protected:
    void SetUp() override
    {
        KillStrayLaunchers();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_log = m_folder / L"launches.log";
        ::SetEnvironmentVariableW(L"RECORD_LAUNCH_LOG", m_log.c_str());
        for (const wchar_t* name : {L"Icons", L"Menus", L"Floating"}) TempFolder::MakeFolder(m_folder / name);
        const IniFile ini(Ini());
        ini.Write(keys::DataFolder, m_folder.Path() + L"\\");
        ini.Write(keys::ExitDialog, true);
    }
    void TearDown() override
    {
        KillStrayLaunchers();
        ::CoUninitialize();
    }

    std::wstring Ini() const { return m_folder / L"settings.ini"; }
    // A shortcut to RecordLaunch with one argument, at a path relative to the data folder; with a
    // hotkey word (key | modifiers << 8) when one is given.
    void Shortcut(const std::wstring& relative, const std::wstring& argument, WORD hotKey = 0)
    {
        TempFolder::MakeFolder(ExtractFileDir(m_folder / relative));
        item_test::MakeShortcut(m_folder / relative, RecordLaunchExePath(), argument, L"", hotKey);
    }

    // Every start writes the program's "Version" value; it is put back as it was.
    ScopedPerUserState m_perUser{{}, false};
    TempFolder m_folder;
    std::wstring m_log;
};

} // namespace e2e
