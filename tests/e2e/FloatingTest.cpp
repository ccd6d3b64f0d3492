// The floating icon window on the real program.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/Commands.h"
#include "app/Settings.h"
#include "common/TempFolder.h"
#include "e2e/Harness.h"
#include "e2e/LauncherTest.h"
#include "tools/RecordLaunchLog.h"
#include "unit/items/ItemTestFiles.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;
constexpr const wchar_t* kIconWindowClass = L"TIconWindow";

struct TipSearch {
    DWORD launcherId;
    std::vector<RECT> tips;
};

BOOL CALLBACK CollectShellTip(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<TipSearch*>(search);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    RECT r{};
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && ::IsWindowVisible(window) && id != s->launcherId &&
        id != ::GetCurrentProcessId() && ::GetWindowRect(window, &r))
        s->tips.push_back(r);
    return TRUE;
}

// The tips the shell shows now: visible tool tip windows of processes other than the program's.
std::vector<RECT> ShellTips(DWORD launcherId)
{
    TipSearch search{launcherId, {}};
    ::EnumWindows(&CollectShellTip, reinterpret_cast<LPARAM>(&search));
    return search.tips;
}

class FloatingTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        IniFile(Ini()).Write(keys::ShowTime, 1);
        ::SetCursorPos(10, 10);
    }

    void Items(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names)
            Shortcut(std::wstring(L"Floating\\") + name + L".lnk", name);
    }

    // Starts the program; returns its (hidden) floating window once the collections are loaded.
    HWND Start(LauncherProcess& launcher)
    {
        m_main = launcher.StartAndWaitForMainWindow();
        EXPECT_NE(m_main, nullptr);
        // The Floating load comes last but one; the tray answers once all are loaded.
        HWND window = launcher.WaitForWindow(kIconWindowClass, nullptr);
        EXPECT_TRUE(WaitUntil(
            [&] {
                PostMainTrayMouse(m_main, WM_MOUSEMOVE);
                return WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; }, 300);
            },
            kTimeout, 0));
        ::PostMessageW(m_main, WM_COMMAND, kCmdOK, 0);  // hides the floating window again
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, kTimeout));
        return window;
    }

    // "Show Floating Icon" with the cursor at a point; true once the window shows.
    bool ShowAt(HWND window, int x, int y)
    {
        // The X server may still echo an earlier pointer position: place it until it stays.
        const bool placed = WaitUntil(
            [&] {
                ::SetCursorPos(x, y);
                ::Sleep(50);
                POINT cursor{};
                return ::GetCursorPos(&cursor) && cursor.x == x && cursor.y == y;
            },
            kTimeout);
        if (!placed) return false;
        ::PostMessageW(m_main, WM_COMMAND, kCmdShowFloatingIcon, 0);
        return WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; }, kTimeout);
    }

    HWND m_main = nullptr;
};
} // namespace

TEST_F(FloatingTest, ShowFloatingIconOpensAtTheCursorWithoutTakingTheFocus)
{
    Items({L"a", L"b", L"c"});
    LauncherProcess launcher({Ini()});
    HWND window = Start(launcher);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(ShowAt(window, 300, 200));
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    EXPECT_FALSE(WaitUntil([&] { return ::GetForegroundWindow() == window; }, 1000)) << "took the focus";
}

TEST_F(FloatingTest, HoveringTheMainTrayIconOpensItActive)
{
    Items({L"a"});
    LauncherProcess launcher({Ini()});
    HWND window = Start(launcher);
    ASSERT_NE(window, nullptr);
    PostMainTrayMouse(m_main, WM_MOUSEMOVE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; }, kTimeout));
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == window; }, kTimeout));
}

TEST_F(FloatingTest, HoveringTheMainTrayIconLeavesNoTipOverTheWindow)
{
    Items({L"a", L"b", L"c"});
    Shortcut(L"Icons\\i.lnk", L"I");
    IniFile(Ini()).Write(keys::ShowTime, 10);
    LauncherProcess launcher({Ini()});
    HWND window = Start(launcher);
    ASSERT_NE(window, nullptr);
    // An entry's icon shows its tip once the mouse rests on it: how long the shell takes here.
    const DWORD start = ::GetTickCount();
    RestMouseAt(TrayIconCentre(1));
    ASSERT_TRUE(WaitUntil([&] { return !ShellTips(launcher.Id()).empty(); }, kTimeout)) << "no tip in this shell";
    const DWORD tipTime = ::GetTickCount() - start;
    MoveMouseTo(300, 200);
    ASSERT_TRUE(WaitUntil([&] { return ShellTips(launcher.Id()).empty(); }, kTimeout));

    // The program's own icon opens the window right there, and no tip comes over it.
    RestMouseAt(TrayIconCentre(0));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; }, kTimeout));
    RECT shown{};
    ::GetWindowRect(window, &shown);
    const auto tipOverWindow = [&] {
        for (const RECT& tip : ShellTips(launcher.Id())) {
            RECT both{};
            if (::IntersectRect(&both, &tip, &shown)) return true;
        }
        return false;
    };
    EXPECT_FALSE(WaitUntil(tipOverWindow, 2 * tipTime + 1000));
    EXPECT_TRUE(::IsWindowVisible(window));
}

TEST_F(FloatingTest, HidesShowTimeAfterTheMouseLeftAndStaysWhileItIsOver)
{
    Items({L"a", L"b"});
    LauncherProcess launcher({Ini()});
    HWND window = Start(launcher);
    ASSERT_NE(window, nullptr);

    // Away from it: gone between one and about two seconds later ("ShowTime" 1, a one-second timer).
    ASSERT_TRUE(ShowAt(window, 300, 200));
    const DWORD shown = ::GetTickCount();
    MoveMouseTo(700, 600);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, kTimeout));
    const DWORD elapsed = ::GetTickCount() - shown;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LE(elapsed, 3000u);

    // Over it: it stays well past "ShowTime", then goes once the mouse has left.
    ASSERT_TRUE(ShowAt(window, 300, 200));
    RECT r{};
    ::GetWindowRect(window, &r);
    MoveMouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_FALSE(WaitUntil([&] { return !::IsWindowVisible(window); }, 3000)) << "hid with the mouse over it";
    MoveMouseTo(700, 600);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, 4000));
}

TEST_F(FloatingTest, ClickingAButtonLaunchesItsItemAndHides)
{
    Items({L"b", L"a"});
    LauncherProcess launcher({Ini()});
    HWND window = Start(launcher);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(ShowAt(window, 300, 200));
    HWND bar = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            HWND panel = ::GetWindow(window, GW_CHILD);
            bar = panel ? ::FindWindowExW(panel, nullptr, L"ToolbarWindow32", nullptr) : nullptr;
            return bar != nullptr;
        },
        kTimeout));
    RECT r{};
    ::GetWindowRect(bar, &r);
    // The buttons show the items in ascending name order: "a" first, then "b".
    MoveMouseTo(r.left + 11 + 23, r.top + 11);
    ::Sleep(100);
    LeftClick();
    const auto launches = record_launch::WaitForLaunches(m_log, 1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], (record_launch::Launch{L"b"}));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, kTimeout));
}

TEST_F(FloatingTest, EmptyFolderShowsTheHelpText)
{
    LauncherProcess launcher({Ini()});
    HWND window = Start(launcher);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(ShowAt(window, 300, 200));
    EXPECT_NE(WaitForChildByText(window, L"Floating Icon Window - See help for more information"), nullptr);
}
