// Puts one surface of the running launcher on the screen the way a user would (the mouse on the
// tray, a click on a tab) and prints the screen rectangle it covers as WIDTHxHEIGHT+LEFT+TOP, for
// scripts/screenshots to crop a picture of the whole screen to it. It starts and ends nothing.
//
//   ShowSurface tray | floating | menu | page N | more | hotkeys | reset
//
// "page N" shows the main window with its tab N (0 Launcher, 1 Group Start, 2 Options); "more"
// swaps the Options page to its " More Options " panel; "reset" puts every surface away again.
// Exit code 0 when the surface came, 1 when it did not in time, 2 for a wrong command line.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "e2e/LauncherTest.h"
#include "e2e/RemoteControls.h"
#include "hotkeys/UnitHotKeysList.h"
#include "resources/resource.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 15000;

struct Launcher {
    HWND main = nullptr;
    DWORD processId = 0;
};

Launcher FindLauncher()
{
    Launcher launcher;
    WaitUntil([&] { return (launcher.main = ::FindWindowW(kMainWindowClass, kProgramTitle)) != nullptr; }, kTimeout);
    if (launcher.main) ::GetWindowThreadProcessId(launcher.main, &launcher.processId);
    return launcher;
}

void Print(const RECT& r)
{
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
}

// The window painted all through, and a moment for the screen to show it: a window that has just
// come up may still be painting its children.
void Settle(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeout, &ignored);
    ::Sleep(300);
}

bool PrintWindowRect(HWND window)
{
    RECT r{};
    if (!window || !::GetWindowRect(window, &r)) return false;
    Settle(window);
    Print(r);
    return true;
}

HWND TaskBar() { return ::FindWindowW(L"Shell_TrayWnd", nullptr); }

// The part of the task bar right of its last button; the script trims it to the icons.
bool Tray()
{
    HWND bar = TaskBar();
    RECT r{};
    if (!bar || !::GetWindowRect(bar, &r)) return false;
    for (HWND child = ::GetWindow(bar, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT button{};
        if (::IsWindowVisible(child) && ::GetWindowRect(child, &button) && button.right > r.left) r.left = button.right;
    }
    Print(r);
    return true;
}

// The mouse rests on the main tray icon, which opens the floating window there. The picture waits
// for the icon's tip too, which comes after the system's hover time.
bool Floating(const Launcher& launcher)
{
    RestMouseAt(TrayIconCentre(0));
    HWND window = nullptr;
    if (!WaitUntil([&] { return Visible(window = FindProcessWindow(launcher.processId, L"TIconWindow")); }, kTimeout))
        return false;
    UINT hoverMs = 400;
    ::SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hoverMs, 0);
    ::Sleep(hoverMs + 1000);
    return PrintWindowRect(window);
}

// Every visible menu window of the program, as one rectangle.
bool Menu(const Launcher& launcher)
{
    RestMouseAt(TrayIconCentre(0));
    if (!OpenTrayMenu(launcher.processId, launcher.main)) return false;
    RECT all{};
    for (HWND menu : FindProcessWindows(launcher.processId, L"#32768")) {
        RECT r{};
        if (Visible(menu) && ::GetWindowRect(menu, &r)) ::UnionRect(&all, &all, &r);
    }
    Print(all);
    return true;
}

bool ShowMainWindow(const Launcher& launcher)
{
    if (!Visible(launcher.main)) ::PostMessageW(launcher.main, WM_COMMAND, kCmdShowMainWindow, 0);
    return WaitUntil([&] { return Visible(launcher.main); }, kTimeout);
}

void ClickAt(POINT at)
{
    MoveMouseTo(at.x, at.y);
    ::Sleep(80);
    LeftClick();
}

// Clicks until the effect shows: a click while the window is still coming forward may be lost.
bool ClickUntil(const std::function<POINT()>& where, const std::function<bool()>& effect)
{
    return WaitUntil(
        [&] {
            if (effect()) return true;
            ClickAt(where());
            return WaitUntil(effect, 1500);
        },
        kTimeout, 0);
}

// The page (a child dialog of the main window) that holds a control with this text.
HWND PageWith(HWND main, const wchar_t* text)
{
    HWND control = FindChildByText(main, text);
    return control ? ::GetParent(control) : nullptr;
}

bool ShowPage(const Launcher& launcher, int index)
{
    if (index < 0 || index > 2 || !ShowMainWindow(launcher)) return false;
    HWND tabs = ::FindWindowExW(launcher.main, nullptr, WC_TABCONTROLW, nullptr);
    RECT tab{};
    if (!SendForStruct(launcher.processId, tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), tab)) return false;
    ::MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&tab), 2);
    const wchar_t* marks[] = {L"Popup Menus:", L"&New", L" Options "};
    HWND page = PageWith(launcher.main, marks[index]);
    const bool shown = ClickUntil([&] { return POINT{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2}; },
                                  [&] { return Visible(page); });
    return shown;
}

bool Page(const Launcher& launcher, int index) { return ShowPage(launcher, index) && PrintWindowRect(launcher.main); }

// The panel is swapped as its button's click would. A click right after the main window came back
// with this page in front was seen to toggle "Start with Windows" under Wine, which would show in
// the pictures.
bool More(const Launcher& launcher)
{
    if (!ShowPage(launcher, 2)) return false;
    HWND page = PageWith(launcher.main, L" Options ");
    HWND back = ::GetDlgItem(page, IDC_BACK_OPTIONS);
    ::PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_MORE_OPTIONS, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(page, IDC_MORE_OPTIONS)));
    return WaitUntil([&] { return Visible(back); }, kTimeout) && PrintWindowRect(launcher.main);
}

bool HotKeys(const Launcher& launcher)
{
    ::PostMessageW(launcher.main, WM_COMMAND, kCmdViewHotKeys, 0);
    HWND list = nullptr;
    return WaitUntil([&] { return Visible(list = FindProcessWindow(launcher.processId, kHotKeysListClass)); }, kTimeout) &&
           PrintWindowRect(list);
}

// Menus closed, the hotkey list closed, the main window back on its first page (and the Options
// page on its first panel) and hidden, the floating window gone, the mouse away from the tray.
bool Reset(const Launcher& launcher)
{
    while (Visible(FindProcessWindow(launcher.processId, L"#32768"))) Key(VK_ESCAPE);
    if (HWND list = FindProcessWindow(launcher.processId, kHotKeysListClass)) ::PostMessageW(list, WM_CLOSE, 0, 0);
    if (HWND page = PageWith(launcher.main, L" Options "))
        if (Visible(::GetDlgItem(page, IDC_BACK_OPTIONS))) ::SendMessageW(page, WM_COMMAND, IDC_BACK_OPTIONS, 0);
    if (Visible(launcher.main)) ::PostMessageW(launcher.main, WM_COMMAND, kCmdOK, 0);
    MoveMouseTo(::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 3);
    return WaitUntil(
        [&] {
            return !Visible(launcher.main) && !FindProcessWindow(launcher.processId, kHotKeysListClass) &&
                   !Visible(FindProcessWindow(launcher.processId, L"TIconWindow"));
        },
        kTimeout);
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"tray") return Tray() ? 0 : 1;
    const Launcher launcher = FindLauncher();
    if (!launcher.main) return 1;
    bool done = false;
    if (command == L"floating") done = Floating(launcher);
    else if (command == L"menu") done = Menu(launcher);
    else if (command == L"page" && argc > 2) done = Page(launcher, _wtoi(argv[2]));
    else if (command == L"more") done = More(launcher);
    else if (command == L"hotkeys") done = HotKeys(launcher);
    else if (command == L"reset") done = Reset(launcher);
    else return 2;
    std::fflush(stdout);
    return done ? 0 : 1;
}
