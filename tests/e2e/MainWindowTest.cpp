// The main window as a user meets it: help in the browser.

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

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

void ClickAt(POINT at)
{
    MoveMouseTo(at.x, at.y);
    ::Sleep(50);
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
        if (!main) return nullptr;
        launcher.PostCommand(kCmdShowMainWindow);
        const bool shown =
            WaitUntil([&] { return ::IsWindowVisible(main) && ::GetForegroundWindow() == main; }, kTimeout);
        return shown ? main : nullptr;
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
    for (const record_launch::Launch& launch : record_launch::ReadLaunches(m_log))
        EXPECT_TRUE(FileExists(PageOfUrl(launch.at(0)).path)) << WideToUtf8(launch.at(0));
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
