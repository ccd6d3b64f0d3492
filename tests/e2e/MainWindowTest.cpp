// The main window as a user meets it over time: help in the browser, one taskbar button while it
// shows, and the focus where the user left it after another window of the program came and went.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "app/Commands.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "e2e/LauncherTest.h"
#include "e2e/RemoteControls.h"
#include "tools/RecordLaunchLog.h"
#include "unit/items/ScopedClassesValue.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;

// The windows of a process that the shell gives a taskbar button: shown, and either marked as an
// application window or neither owned nor a tool window.
std::vector<HWND> TaskbarButtonWindows(DWORD processId)
{
    std::vector<HWND> buttons;
    for (HWND window : FindProcessWindows(processId, nullptr)) {
        const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
        const bool unowned = ::GetWindow(window, GW_OWNER) == nullptr;
        if (::IsWindowVisible(window) &&
            ((exStyle & WS_EX_APPWINDOW) || (unowned && !(exStyle & WS_EX_TOOLWINDOW))))
            buttons.push_back(window);
    }
    return buttons;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool IsDefaultButton(HWND button) { return (::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

// The X server may still echo an earlier pointer position: the click waits until it stays put.
void ClickAt(POINT at)
{
    WaitUntil(
        [&] {
            MoveMouseTo(at.x, at.y);
            ::Sleep(50);
            POINT cursor{};
            return ::GetCursorPos(&cursor) && cursor.x == at.x && cursor.y == at.y;
        },
        kTimeout, 0);
    LeftClick();
}

void Click(HWND control)
{
    RECT r{};
    ::GetWindowRect(control, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

BOOL CALLBACK FindTree(HWND child, LPARAM found)
{
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (lstrcmpW(name, WC_TREEVIEWW) != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}
HWND MenuTree(HWND main)
{
    HWND tree = nullptr;
    ::EnumChildWindows(main, &FindTree, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

// A page the browser was asked to open, as the system reads its file URL back.
struct OpenedPage {
    std::wstring path;
    std::wstring anchor;
    bool operator==(const OpenedPage&) const = default;
};
std::ostream& operator<<(std::ostream& out, const OpenedPage& page)
{
    return out << WideToUtf8(page.path) << " #" << WideToUtf8(page.anchor);
}
OpenedPage PageOfUrl(std::wstring url)
{
    OpenedPage page;
    if (const std::size_t hash = url.find(L'#'); hash != std::wstring::npos) {
        page.anchor = url.substr(hash + 1);
        url.resize(hash);
    }
    wchar_t path[MAX_PATH * 2] = {};
    DWORD length = MAX_PATH * 2;
    if (SUCCEEDED(::PathCreateFromUrlW(url.c_str(), path, &length, 0))) page.path = path;
    else page.path = L"<not a file URL: " + url + L">";
    return page;
}

class MainWindowTest : public LauncherTest {
protected:
    // Started with its main window shown and in front.
    HWND StartShown(LauncherProcess& launcher)
    {
        HWND main = launcher.StartAndWaitForMainWindow();
        return main && ShowMainWindowInFront(launcher, main, kTimeout) ? main : nullptr;
    }

    // The page the browser was asked for by the launch with this number (from 1).
    OpenedPage OpenedInBrowser(std::size_t launch) const
    {
        const std::vector<record_launch::Launch> launches = record_launch::WaitForLaunches(m_log, launch);
        if (launches.size() < launch) return {L"<no launch>", {}};
        if (launches[launch - 1].size() != 1) return {L"<not one argument>", {}};
        return PageOfUrl(launches[launch - 1][0]);
    }

    // The browser the program finds is the recorder, which logs the URL it is given.
    item_test::ScopedClassesValue m_browser{L"http\\shell\\open\\command", L"",
                                            L"\"" + RecordLaunchExePath() + L"\" \"%1\""};
};
} // namespace

TEST_F(MainWindowTest, HelpOpensTheShownPagesHelpInTheBrowserAndF1OnAControlItsParagraph)
{
    LauncherProcess launcher({Ini()});
    HWND main = StartShown(launcher);
    ASSERT_NE(main, nullptr);
    const std::wstring pages = ExtractFilePath(LauncherExePath()) + L"help\\";

    // The button, on the first page.
    Click(FindChildByText(main, L"&Help"));
    EXPECT_EQ(OpenedInBrowser(1), (OpenedPage{pages + L"launchertab.html", L""}));
    // F1 with the focus on a button below the pages is help on the page too, not on the button.
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == FindChildByText(main, L"&Help"); }, kTimeout));
    Key(VK_F1);
    EXPECT_EQ(OpenedInBrowser(2), (OpenedPage{pages + L"launchertab.html", L""}));
    // F1 on a control of the page: its paragraph.
    HWND tree = MenuTree(main);
    ASSERT_NE(tree, nullptr);
    Click(tree);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == tree; }, kTimeout));
    Key(VK_F1);
    EXPECT_EQ(OpenedInBrowser(3), (OpenedPage{pages + L"launchertab.html", L"h1001"}));

    // Another page shown, the button opens that page's help.
    HWND tabs = ::FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr);
    RemoteMemory remote(launcher.Id(), sizeof(RECT));
    RECT tab{};
    ASSERT_TRUE(remote && ::SendMessageW(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(remote.At(0))) &&
                remote.Read(0, &tab, sizeof(tab)));
    POINT options{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    ::ClientToScreen(tabs, &options);
    ClickAt(options);
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 2; }, kTimeout));
    Click(FindChildByText(main, L"&Help"));
    EXPECT_EQ(OpenedInBrowser(4), (OpenedPage{pages + L"optiontab.html", L""}));
}

TEST_F(MainWindowTest, HelpThatIsNotInstalledSaysWhereItWasLookedFor)
{
    // The program alone, without the help folder beside it.
    const std::wstring program = m_folder / L"Program";
    ASSERT_TRUE(TempFolder::MakeFolder(program));
    for (const wchar_t* name : {L"Launcher.exe", L"Launcher.dll"})
        ASSERT_TRUE(::CopyFileW((ExtractFilePath(LauncherExePath()) + name).c_str(), (program + L"\\" + name).c_str(),
                                FALSE));
    LauncherProcess launcher({Ini()}, program + L"\\Launcher.exe");
    ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);

    launcher.PostCommand(kCmdShowHelp);
    HWND box = launcher.WaitForWindow(L"#32770", kProgramTitle);
    ASSERT_NE(box, nullptr);
    std::wstring text;
    WaitUntil([&] {
        for (const std::wstring& line : ChildTexts(box)) text += line + L"\n";
        return text.find(L"not installed") != std::wstring::npos;
    }, kTimeout);
    EXPECT_NE(text.find(program + L"\\help"), std::wstring::npos) << WideToUtf8(text);
    EXPECT_TRUE(record_launch::ReadLaunches(m_log).empty()) << "something was opened all the same";
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, kTimeout));
}

TEST_F(MainWindowTest, KeepsOneTaskbarButtonAndTheFocusWhileTheProgramsOtherWindowsComeAndGo)
{
    LauncherProcess launcher({Ini()});
    HWND main = StartShown(launcher);
    ASSERT_NE(main, nullptr);
    HWND application = FindProcessWindow(launcher.Id(), L"TApplication", kProgramTitle);
    ASSERT_EQ(::GetWindow(main, GW_OWNER), application) << "the button would not be the main window's";
    HWND ok = FindChildByText(main, L"&OK");
    HWND about = FindChildByText(main, L"&About");
    // The main window is shown a moment before the window that carries its button.
    const auto expectOneButton = [&](const char* when) {
        EXPECT_TRUE(WaitUntil([&] { return TaskbarButtonWindows(launcher.Id()) == std::vector<HWND>{application}; },
                              kTimeout))
            << when;
    };
    expectOneButton("shown");
    // Shown, the default button has the focus.
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == ok; }, kTimeout));
    EXPECT_TRUE(IsDefaultButton(ok));

    // The About box: the user switches away and comes back through the taskbar button, which
    // brings back the box, not the main window it holds disabled.
    Click(about);
    HWND box = launcher.WaitForWindow(L"#32770", L"About Orvo Launcher");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; }, kTimeout));
    expectOneButton("About box open");
    HWND other = ::CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                                   nullptr, nullptr);
    ::SetForegroundWindow(other);
    ASSERT_TRUE(WaitForForeground(other, kTimeout));
    ::SetForegroundWindow(application);  // what a click on the taskbar button does
    EXPECT_TRUE(WaitForForeground(box, kTimeout));
    ::DestroyWindow(other);
    // Closed, the focus is back on the button that opened it, which shows the default frame.
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, kTimeout));
    expectOneButton("About box closed");
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == about; }, kTimeout));
    EXPECT_TRUE(IsDefaultButton(about));
    EXPECT_FALSE(IsDefaultButton(ok));

    // The focus on the menu tree leaves the default frame on OK, and the hotkey list gives both back.
    HWND tree = MenuTree(main);
    Click(tree);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == tree; }, kTimeout));
    EXPECT_TRUE(IsDefaultButton(ok));
    EXPECT_FALSE(IsDefaultButton(about));
    launcher.PostCommand(kCmdViewHotKeys);
    HWND list = launcher.WaitForWindow(L"TFormHotKeysList", L"HotKey List");
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == list; }, kTimeout));
    expectOneButton("HotKey List open");
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(list); }, kTimeout));
    expectOneButton("HotKey List closed");
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == tree; }, kTimeout));
    EXPECT_TRUE(IsDefaultButton(ok));

    // The floating window, shown at the cursor and gone once the mouse is away from it.
    HWND floating = FindProcessWindow(launcher.Id(), L"TIconWindow");
    ASSERT_NE(floating, nullptr);
    MoveMouseTo(60, 60);
    launcher.PostCommand(kCmdShowFloatingIcon);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(floating) != FALSE; }, kTimeout));
    MoveMouseTo(980, 60);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(floating); }, kTimeout));
    expectOneButton("floating window gone");
}
