// The main tray icon, the item tray icons and the popup menu, driven as the shell and the user do.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "app/Commands.h"
#include "app/Settings.h"
#include "common/TempFolder.h"
#include "e2e/Harness.h"
#include "e2e/LauncherTest.h"
#include "tools/RecordLaunchLog.h"
#include "unit/items/ItemTestFiles.h"
#include "unit/items/ScopedClassesValue.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;
constexpr UINT kFirstItemTray = WM_USER + 1 + 100;

class TrayMenuTest : public LauncherTest {
protected:
    // Starts the program and waits until its collections are loaded (tray clicks count from then).
    HWND Start(LauncherProcess& launcher)
    {
        HWND main = launcher.StartAndWaitForMainWindow();
        EXPECT_NE(main, nullptr);
        return main;
    }

    HWND OpenMenu(LauncherProcess& launcher, HWND main, UINT button = WM_RBUTTONDOWN)
    {
        return OpenTrayMenu(launcher, main, button, kTimeout);
    }

    void Choose(LauncherProcess& launcher, HWND main, std::initializer_list<WORD> keys)
    {
        ASSERT_NE(OpenMenu(launcher, main), nullptr);
        for (WORD key : keys) Key(key);
        Key(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
    }

    std::vector<std::wstring> LaunchedArguments(std::size_t count)
    {
        std::vector<std::wstring> arguments;
        for (const auto& launch : record_launch::WaitForLaunches(m_log, count))
            arguments.push_back(launch.empty() ? L"" : launch[0]);
        return arguments;
    }

};
} // namespace

TEST_F(TrayMenuTest, RightClickOpensMenuAtCursorWithFixedEntriesThenTheMenusTree)
{
    ::CreateDirectoryW((m_folder / L"Menus\\B").c_str(), nullptr);
    ::CreateDirectoryW((m_folder / L"Menus\\A").c_str(), nullptr);
    Shortcut(L"Menus\\B\\b1.lnk", L"B1");
    Shortcut(L"Menus\\A\\a1.lnk", L"A1");
    Shortcut(L"Menus\\f.lnk", L"F");
    const std::vector<std::wstring> folders = SubFolders(m_folder / L"Menus");
    ASSERT_EQ(folders.size(), 2u);

    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    ::SetCursorPos(300, 200);
    HWND menu = OpenMenu(launcher, main);
    ASSERT_NE(menu, nullptr);
    RECT at{};
    ::GetWindowRect(menu, &at);
    EXPECT_NEAR(at.left, 300, 2);
    EXPECT_NEAR(at.top, 200, 2);
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));

    // The last entry is the file, the two before it the folders in enumeration order.
    Choose(launcher, main, {VK_END});
    Choose(launcher, main, {VK_END, VK_UP, VK_RIGHT});
    Choose(launcher, main, {VK_END, VK_UP, VK_UP, VK_RIGHT});
    const std::wstring second = folders[1] == L"A" ? L"A1" : L"B1";
    const std::wstring first = folders[0] == L"A" ? L"A1" : L"B1";
    EXPECT_EQ(LaunchedArguments(3), (std::vector<std::wstring>{L"F", second, first}));

    // The first entry is the program submenu, whose default entry shows the main window.
    Choose(launcher, main, {VK_HOME, VK_RIGHT});
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
}

TEST_F(TrayMenuTest, SecondOpenWhileTheMenuIsUpIsIgnored)
{
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    ASSERT_NE(OpenMenu(launcher, main), nullptr);
    // Every opening brings the program submenu up to date and writes "AutoStart" back; a second
    // opening while the menu is up must not get that far.
    ASSERT_TRUE(WaitUntil([&] { return IniFile(Ini()).ReadString(L"Option", L"AutoStart", L"") == L"0"; }, kTimeout));
    IniFile(Ini()).WriteString(L"Option", L"AutoStart", L"7");
    PostMainTrayMouse(main, WM_RBUTTONDOWN);
    // Handled after the click, inside the same menu loop: once it shows, the click has been too.
    launcher.PostCommand(kCmdOneClickToActive);
    ASSERT_TRUE(WaitUntil([&] { return IniFile(Ini()).Read(keys::OneClickToActivate); }, kTimeout));
    EXPECT_EQ(IniFile(Ini()).ReadString(L"Option", L"AutoStart", L""), L"7") << "the menu was opened a second time";
    Key(VK_ESCAPE);
}

TEST_F(TrayMenuTest, ItemIconLaunchesOnDoubleClickOrSingleClickWhenSet)
{
    Shortcut(L"Icons\\i.lnk", L"I");
    {
        LauncherProcess launcher({Ini()});
        HWND main = Start(launcher);
        ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(main, 100); }, kTimeout));
        // Clicks count once the collections are ready; a menu round trip proves that.
        ASSERT_NE(OpenMenu(launcher, main), nullptr);
        Key(VK_ESCAPE);
        ::PostMessageW(main, kFirstItemTray, 0, WM_LBUTTONDOWN);
        ::PostMessageW(main, kFirstItemTray, 0, WM_LBUTTONDBLCLK);
        EXPECT_EQ(LaunchedArguments(1), (std::vector<std::wstring>{L"I"}));
        // A single click launched nothing: only the double click's launch is there.
        EXPECT_FALSE(WaitUntil([&] { return record_launch::ReadLaunches(m_log).size() > 1; }, 1500));
    }
    IniFile(Ini()).Write(keys::OneClickToActivate, true);
    {
        LauncherProcess launcher({Ini()});
        HWND main = Start(launcher);
        ASSERT_NE(OpenMenu(launcher, main), nullptr);
        Key(VK_ESCAPE);
        ::PostMessageW(main, kFirstItemTray, 0, WM_LBUTTONDOWN);
        ::PostMessageW(main, kFirstItemTray, 0, WM_LBUTTONDBLCLK);
        EXPECT_EQ(LaunchedArguments(2), (std::vector<std::wstring>{L"I", L"I"}));
        EXPECT_FALSE(WaitUntil([&] { return record_launch::ReadLaunches(m_log).size() > 2; }, 1500));
    }
}

TEST_F(TrayMenuTest, ItemIconRightClickOpensTheSameMenu)
{
    Shortcut(L"Icons\\i.lnk", L"I");
    Shortcut(L"Menus\\m.lnk", L"M");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    ASSERT_NE(OpenMenu(launcher, main), nullptr);
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
    ::PostMessageW(main, kFirstItemTray, 0, WM_RBUTTONDOWN);
    ASSERT_NE(launcher.WaitForWindow(L"#32768", nullptr), nullptr);
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(LaunchedArguments(1), (std::vector<std::wstring>{L"M"}));
}

TEST_F(TrayMenuTest, MainLeftPopupSwapsTheButtonsAndDoubleClickTogglesTwice)
{
    IniFile(Ini()).Write(keys::MainLeftPopup, true);
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    ASSERT_NE(OpenMenu(launcher, main, WM_LBUTTONDOWN), nullptr);
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
    PostMainTrayMouse(main, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
    PostMainTrayMouse(main, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, kTimeout));

    IniFile(Ini()).Write(keys::MainLeftPopup, false);  // read at every click
    PostMainTrayMouse(main, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
    PostMainTrayMouse(main, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, kTimeout));
}

TEST_F(TrayMenuTest, IconsComeBackAfterTaskbarRestartAndFollowDisableTrayIcon)
{
    Shortcut(L"Icons\\a.lnk", L"A");
    Shortcut(L"Icons\\b.lnk", L"B");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(main, 1) && TrayIconExists(main, 100) && TrayIconExists(main, 101); },
                          kTimeout));

    // The shell lost every icon; "TaskbarCreated" brings them back.
    for (UINT id : {1u, 100u, 101u}) {
        NOTIFYICONDATAW data{};
        data.cbSize = NOTIFYICONDATAW_V2_SIZE;
        data.hWnd = main;
        data.uID = id;
        ::Shell_NotifyIconW(NIM_DELETE, &data);
    }
    ASSERT_FALSE(TrayIconExists(main, 100));
    ::PostMessageW(main, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main, 1) && TrayIconExists(main, 100) && TrayIconExists(main, 101); },
                          kTimeout));

    ::PostMessageW(main, WM_COMMAND, kCmdDisableTrayIcon, 0);
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconExists(main, 100) && !TrayIconExists(main, 101); }, kTimeout));
    EXPECT_TRUE(TrayIconExists(main, 1)) << "the main icon stays";
    EXPECT_TRUE(IniFile(Ini()).Read(keys::DisableTrayIcon));
    ::PostMessageW(main, WM_COMMAND, kCmdDisableTrayIcon, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main, 100) && TrayIconExists(main, 101); }, kTimeout));
    EXPECT_FALSE(IniFile(Ini()).Read(keys::DisableTrayIcon));

    // Ending the program takes every icon away.
    ::PostMessageW(main, WM_COMMAND, kCmdExit, 0);
    ASSERT_TRUE(launcher.WaitForExit(kTimeout));
    EXPECT_FALSE(TrayIconExists(main, 1));
    EXPECT_FALSE(TrayIconExists(main, 100));
}

TEST_F(TrayMenuTest, InternetShortcutFromTheMenuReachesTheBrowserAsOneArgument)
{
    // RecordLaunch stands in for the default browser.
    item_test::ScopedClassesValue browser(L"http\\shell\\open\\command", L"",
                                          L"\"" + RecordLaunchExePath() + L"\" \"%1\"");
    item_test::WriteBytes(m_folder / L"Menus\\site.url",
                          "[InternetShortcut]\r\nURL=http://example.com/a b\" --new-window\r\n");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    Choose(launcher, main, {VK_END});
    EXPECT_EQ(LaunchedArguments(1), (std::vector<std::wstring>{L"http://example.com/a b%22 --new-window"}));
}

TEST_F(TrayMenuTest, EntryHintShowsBesideTheEntryUnlessSwitchedOff)
{
    item_test::WriteBytes(m_folder / L"Menus\\site.url", "[InternetShortcut]\r\nURL=http://example.com/\r\n");
    for (const bool noHint : {false, true}) {
        IniFile(Ini()).Write(keys::NoMenuHint, noHint);
        LauncherProcess launcher({Ini()});
        HWND main = Start(launcher);
        HWND menu = OpenMenu(launcher, main);
        ASSERT_NE(menu, nullptr);
        Key(VK_END);  // selects the Internet shortcut's entry
        const auto hintShown = [&] {
            for (HWND hint : FindProcessWindows(launcher.Id(), L"TShadowedHintWindow"))
                if (::IsWindowVisible(hint)) return true;
            return false;
        };
        if (noHint) {
            EXPECT_FALSE(WaitUntil(hintShown, 1500)) << "a hint showed with \"NoMenuHint\" set";
        } else {
            ASSERT_TRUE(WaitUntil(hintShown, kTimeout));
            RECT menuRect{}, hintRect{};
            ::GetWindowRect(menu, &menuRect);
            for (HWND hint : FindProcessWindows(launcher.Id(), L"TShadowedHintWindow"))
                if (::IsWindowVisible(hint)) ::GetWindowRect(hint, &hintRect);
            EXPECT_GE(hintRect.left, menuRect.right - 2) << "beside the entry";
        }
        Key(VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
        EXPECT_FALSE(hintShown()) << "the hint goes with the menu";
    }
}

TEST_F(TrayMenuTest, HelpWithoutAHelpFileDoesNothing)
{
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    launcher.PostCommand(kCmdShowHelp);
    // The program still answers and opened nothing.
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
    EXPECT_TRUE(FindProcessWindows(launcher.Id(), L"#32770").empty());
    EXPECT_TRUE(launcher.IsRunning());
}
