// Surfaces rebuilt after their folders change on disk, and the reload commands, observed from
// outside: the item tray icons, the popup menu's submenus and the floating window's button hints.
// Also: an idle program takes no CPU time.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Settings.h"
#include "base/Strings.h"
#include "common/TempFolder.h"
#include "e2e/Harness.h"
#include "e2e/LauncherTest.h"
#include "e2e/RemoteControls.h"
#include "tools/RecordLaunchLog.h"
#include "unit/items/ItemTestFiles.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;
// The "Re&load" commands of the Icons list, the menu tree and the Floating list.
constexpr unsigned kReloadIconsCommand = kCmdIconReloadIcon;
constexpr unsigned kReloadMenuCommand = kCmdReloadMenu;
constexpr unsigned kReloadFloatingCommand = kCmdFloatReloadIcon;
// Notification latency and timer jitter of a busy machine, on top of the two seconds.
constexpr std::int64_t kSlackMs = 500;
// What loading ten items and showing their icons may add, seen through the shell's tray.
constexpr std::int64_t kShellLatencyMs = 2500;

std::int64_t NowMs() { return static_cast<std::int64_t>(::GetTickCount64()); }

int ItemTrayIconCount(HWND owner, int items, UINT firstId = 100)
{
    int count = 0;
    for (int i = 0; i < items; ++i) count += TrayIconExists(owner, firstId + static_cast<UINT>(i)) ? 1 : 0;
    return count;
}

// CPU time (user + system, ms) of the program's Unix process, found by its command line, which
// holds the test's own settings file. The system's process-times call does not report another
// process's times under Wine.
std::int64_t UnixProcessCpuMs(const std::wstring& commandLinePart)
{
    const std::string wanted(commandLinePart.begin(), commandLinePart.end());  // an ASCII temp path
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (find == INVALID_HANDLE_VALUE) return -1;
    std::int64_t result = -1;
    do {
        const std::wstring pid = found.cFileName;
        if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        std::string commandLine = ReadFileBytes(L"Z:\\proc\\" + pid + L"\\cmdline");
        for (char& c : commandLine)
            if (c == '\0') c = ' ';
        if (commandLine.find("Launcher.exe") == std::string::npos || commandLine.find(wanted) == std::string::npos)
            continue;
        // Fields after the parenthesised name: state is the 3rd, utime the 14th, stime the 15th.
        const std::string stat = ReadFileBytes(L"Z:\\proc\\" + pid + L"\\stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::vector<std::string> fields;
        std::string field;
        for (char c : stat.substr(close + 2)) {
            if (c == ' ') {
                fields.push_back(field);
                field.clear();
            } else {
                field += c;
            }
        }
        if (fields.size() < 13) continue;
        // Clock ticks of 10 ms (USER_HZ 100 on every Linux this runs on).
        result = (std::stoll(fields[11]) + std::stoll(fields[12])) * 10;
        break;
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return result;
}

class ReloadTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        TempFolder::MakeFolder(m_folder / L"staging");
    }

    // Starts the program and returns its main window once start-up is over: the seeded Icons and
    // Floating items are on the Launcher page's bars, and a posted command went through the message
    // loop after that (a sent message would not tell: start-up's own shell calls take sent messages
    // in while they wait). The folders are watched from then on.
    HWND Start(LauncherProcess& launcher, int iconItems = 0, int floatingItems = 0)
    {
        HWND main = launcher.StartAndWaitForMainWindow();
        EXPECT_NE(main, nullptr);
        if (!main) return nullptr;
        const auto buttons = [&](unsigned firstId) {
            HWND bar = ToolBarWithButton(main, firstId);
            return bar ? static_cast<int>(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0)) : 0;
        };
        // Loading takes a while under Wine: each item asks the shell for its icon.
        EXPECT_TRUE(WaitUntil([&] { return buttons(100) == iconItems && buttons(200) == floatingItems; }, 3 * kTimeout));
        launcher.PostCommand(kCmdShowMainWindow);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
        launcher.PostCommand(kCmdOK);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, kTimeout));
        return main;
    }

    HWND OpenMenu(LauncherProcess& launcher, HWND main)
    {
        HWND menu = nullptr;
        WaitUntil(
            [&] {
                PostMainTrayMouse(main, WM_RBUTTONDOWN);
                return WaitUntil([&] { return (menu = FindProcessWindow(launcher.Id(), L"#32768")) != nullptr; }, 700);
            },
            kTimeout, 0);
        return menu;
    }

    void CloseMenus(LauncherProcess& launcher)
    {
        for (int i = 0; i < 3 && FindProcessWindow(launcher.Id(), L"#32768"); ++i) Key(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
    }

    // Opens the popup menu, goes to its last entry and into that submenu, and returns the
    // submenu's handle: a rebuild makes every submenu afresh, so the handle changes.
    HMENU LastSubmenu(LauncherProcess& launcher, HWND main)
    {
        HWND root = OpenMenu(launcher, main);
        if (!root) return nullptr;
        Key(VK_END);
        Key(VK_RIGHT);
        HMENU submenu = nullptr;
        WaitUntil(
            [&] {
                for (HWND window : FindProcessWindows(launcher.Id(), L"#32768"))
                    if (window != root) submenu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
                return submenu != nullptr;
            },
            3000);
        CloseMenus(launcher);
        return submenu;
    }

    // Chooses a menu entry by keys and returns what the launch recorded.
    std::wstring LaunchFromMenu(LauncherProcess& launcher, HWND main, std::initializer_list<WORD> keys,
                                std::size_t launchesBefore)
    {
        if (!OpenMenu(launcher, main)) return L"(no menu)";
        for (WORD key : keys) Key(key);
        Key(VK_RETURN);
        const auto launches = record_launch::WaitForLaunches(m_log, launchesBefore + 1);
        CloseMenus(launcher);
        if (launches.size() <= launchesBefore || launches[launchesBefore].empty()) return L"(nothing)";
        return launches[launchesBefore][0];
    }

};
} // namespace

TEST_F(ReloadTest, TenFilesCopiedIntoIconsRebuildTheTrayOnceOneToTwoSecondsAfterTheLast)
{
    constexpr int kFiles = 10;
    for (int i = 0; i < kFiles; ++i) WriteFileBytes(m_folder / (L"staging\\tool" + std::to_wstring(i) + L".txt"), "x");
    // One file of the kind is there from the start, so the shell has looked up its icon once
    // (the first look-up on a fresh system takes seconds and would be timed with the rebuild).
    WriteFileBytes(m_folder / L"Icons\\a-seed.txt", "x");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher, 1);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(ItemTrayIconCount(main, 1), 1);
    ASSERT_EQ(ItemTrayIconCount(main, kFiles, 101), 0);

    std::int64_t lastCopy = 0;
    for (int i = 0; i < kFiles; ++i) {
        const std::wstring name = L"tool" + std::to_wstring(i) + L".txt";
        ASSERT_TRUE(::CopyFileW((m_folder / (L"staging\\" + name)).c_str(), (m_folder / (L"Icons\\" + name)).c_str(),
                                FALSE));
        lastCopy = NowMs();
        ::Sleep(40);
    }

    // Watch the tray: when the first icon appears, when the last does, and whether any goes again.
    std::int64_t firstIcon = -1, allIcons = -1;
    bool lostAnIcon = false;
    int seen = 0;
    const std::int64_t end = lastCopy + 2000 + kSlackMs + 2500;
    while (NowMs() < end) {
        // Only files were added: the seed keeps Id 100 and the new ones follow it.
        const int count = ItemTrayIconCount(main, kFiles, 101);
        const std::int64_t now = NowMs();
        if (count > 0 && firstIcon < 0) firstIcon = now;
        if (count == kFiles && allIcons < 0) allIcons = now;
        if (count < seen) lostAnIcon = true;
        seen = count;
        ::Sleep(10);
    }
    ASSERT_GE(firstIcon, 0) << "the tray was not rebuilt";
    ASSERT_GE(allIcons, 0) << "not every file got its icon";
    // The rebuild starts one to two seconds after the last copy (the reload's own tests time that
    // to the tick); seen from here, the load and the shell add their time, which on a freshly
    // made system can be a second or two more.
    EXPECT_GE(firstIcon - lastCopy, 1000) << "rebuilt before a second had passed";
    EXPECT_LE(firstIcon - lastCopy, 2000 + kShellLatencyMs);
    // A second rebuild could come a timer tick (a second) later at the earliest.
    EXPECT_LT(allIcons - firstIcon, 1000) << "the icons came in more than one rebuild";
    EXPECT_FALSE(lostAnIcon) << "a second rebuild took the icons away again";

    // The Icons bar of the Launcher page has the seed and the ten new buttons.
    HWND bar = ToolBarWithButton(main, 100);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), kFiles + 1);
    EXPECT_TRUE(TrayIconExists(main, 100)) << "the seed's icon stayed";
}

TEST_F(ReloadTest, NewSubFolderOfMenusRebuildsTheMenu)
{
    Shortcut(L"Menus\\A\\a.lnk", L"A");
    Shortcut(L"staging\\s.lnk", L"S");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    ASSERT_NE(main, nullptr);
    const HMENU before = LastSubmenu(launcher, main);
    ASSERT_NE(before, nullptr);

    const std::int64_t created = NowMs();
    ASSERT_TRUE(::CreateDirectoryW((m_folder / L"Menus\\Sub").c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW((m_folder / L"staging\\s.lnk").c_str(), (m_folder / L"Menus\\Sub\\s.lnk").c_str(), FALSE));
    const HMENU early = LastSubmenu(launcher, main);
    if (NowMs() - created < 900) {
        EXPECT_EQ(early, before) << "rebuilt before a second had passed";
    }

    ::Sleep(static_cast<DWORD>(std::max<std::int64_t>(0, created + 2000 + kSlackMs - NowMs())));
    EXPECT_NE(LastSubmenu(launcher, main), before) << "the menu was not rebuilt";
    // The new submenu is there: the first or the last folder entry, as the folder lists it.
    const std::vector<std::wstring> folders = SubFolders(m_folder / L"Menus");
    ASSERT_EQ(folders.size(), 2u);
    const std::wstring launched =
        folders.back() == L"Sub"
            ? LaunchFromMenu(launcher, main, {VK_END, VK_RIGHT}, 0)
            // Program submenu, "Group Start", "System Menu", then the first folder.
            : LaunchFromMenu(launcher, main, {VK_HOME, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}, 0);
    EXPECT_EQ(launched, L"S");
}

TEST_F(ReloadTest, RenamedFileInFloatingRebuildsTheFloatingWindow)
{
    WriteFileBytes(m_folder / L"Floating\\Alpha.txt", "x");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher, 0, 1);
    ASSERT_NE(main, nullptr);
    HWND window = FindProcessWindow(launcher.Id(), L"TIconWindow");
    ASSERT_NE(window, nullptr);
    HWND bar = ToolBarWithButton(window, 200);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(ButtonHint(launcher.Id(), bar, 200), L"Alpha");

    const std::int64_t renamed = NowMs();
    ASSERT_TRUE(::MoveFileW((m_folder / L"Floating\\Alpha.txt").c_str(), (m_folder / L"Floating\\Omega.txt").c_str()));
    std::int64_t rebuilt = -1;
    WaitUntil(
        [&] {
            // The rebuild may give the window a new bar: look it up each time.
            bar = ToolBarWithButton(window, 200);
            if (!bar || ButtonHint(launcher.Id(), bar, 200) != L"Omega") return false;
            rebuilt = NowMs();
            return true;
        },
        static_cast<DWORD>(2000 + kSlackMs + 2000), 10);
    ASSERT_GE(rebuilt, 0) << "the floating window was not rebuilt";
    EXPECT_GE(rebuilt - renamed, 1000);
    EXPECT_LE(rebuilt - renamed, 2000 + kSlackMs);
    // The Launcher page's Floating bar follows too.
    HWND pageBar = ToolBarWithButton(main, 200);
    ASSERT_NE(pageBar, nullptr);
    EXPECT_EQ(ButtonHint(launcher.Id(), pageBar, 200), L"Omega");
}

TEST_F(ReloadTest, ReloadMenuWithNoChangeStillRebuildsOneToTwoSecondsLater)
{
    Shortcut(L"Menus\\A\\a.lnk", L"A");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    ASSERT_NE(main, nullptr);

    // Every submenu is made afresh by a rebuild.
    const HMENU before = LastSubmenu(launcher, main);
    ASSERT_NE(before, nullptr);
    const std::int64_t asked = NowMs();
    launcher.PostCommand(kReloadMenuCommand);
    const HMENU early = LastSubmenu(launcher, main);
    if (NowMs() - asked < 900) {
        EXPECT_EQ(early, before) << "rebuilt before a second had passed";
    }
    ::Sleep(static_cast<DWORD>(std::max<std::int64_t>(0, asked + 2000 + kSlackMs - NowMs())));
    EXPECT_NE(LastSubmenu(launcher, main), before) << "the menu was not rebuilt";
    EXPECT_EQ(LaunchFromMenu(launcher, main, {VK_END, VK_RIGHT}, 0), L"A") << "the same entries as before";
}

TEST_F(ReloadTest, ReloadIconAndFloatingWithNoChangeStillRebuildOneToTwoSecondsLater)
{
    // Enough buttons for the Launcher page's bars to scroll; a rebuild scrolls a bar back to its start.
    constexpr int kItems = 20;
    for (int i = 0; i < kItems; ++i) {
        WriteFileBytes(m_folder / (L"Icons\\tool" + std::to_wstring(i) + L".txt"), "x");
        WriteFileBytes(m_folder / (L"Floating\\tool" + std::to_wstring(i) + L".txt"), "x");
    }
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher, kItems, kItems);
    ASSERT_NE(main, nullptr);

    const std::pair<unsigned, unsigned> lists[] = {{100, kReloadIconsCommand}, {200, kReloadFloatingCommand}};
    for (const auto& [firstId, command] : lists) {
        SCOPED_TRACE(firstId == 100 ? "Icons" : "Floating");
        HWND bar = ToolBarWithButton(main, firstId);
        ASSERT_NE(bar, nullptr);
        HWND pager = ::GetParent(bar);
        ::SendMessageW(pager, PGM_SETPOS, 0, 46);
        ASSERT_GT(::SendMessageW(pager, PGM_GETPOS, 0, 0), 0) << "the bar does not scroll";

        const std::int64_t asked = NowMs();
        launcher.PostCommand(command);
        std::int64_t rebuilt = -1;
        WaitUntil(
            [&] {
                if (::SendMessageW(pager, PGM_GETPOS, 0, 0) != 0) return false;
                rebuilt = NowMs();
                return true;
            },
            static_cast<DWORD>(2000 + kSlackMs + 2000), 10);
        ASSERT_GE(rebuilt, 0) << "not rebuilt";
        EXPECT_GE(rebuilt - asked, 1000);
        EXPECT_LE(rebuilt - asked, 2000 + kSlackMs);
        // The bar scrolls back as the rebuild begins and fills again as it goes on.
        EXPECT_TRUE(WaitUntil([&] { return ::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0) == kItems; }, kTimeout))
            << "nothing lost";
    }
    EXPECT_TRUE(TrayIconExists(main, 100));
}

TEST_F(ReloadTest, IdleProgramWithWatchedFoldersTakesNoCpuTime)
{
    Shortcut(L"Menus\\A\\a.lnk", L"A");
    WriteFileBytes(m_folder / L"Floating\\Alpha.txt", "x");
    WriteFileBytes(m_folder / L"Icons\\tool.txt", "x");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher, 1, 1);
    ASSERT_NE(main, nullptr);
    ::Sleep(1000);  // start-up's own work settles
    const std::int64_t before = UnixProcessCpuMs(Ini());
    ASSERT_GE(before, 0) << "the program's process was not found";
    ::Sleep(5000);
    const std::int64_t used = UnixProcessCpuMs(Ini()) - before;
    EXPECT_LE(used, 50) << "CPU time in ms over five idle seconds";
}

TEST_F(ReloadTest, FolderThatCannotBeWatchedShowsTheWarningOncePerFailedStart)
{
    WriteFileBytes(m_folder / L"Floating\\Alpha.txt", "x");
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher, 0, 1);
    ASSERT_NE(main, nullptr);
    const auto warnings = [&] { return FindProcessWindows(launcher.Id(), L"#32770", L"Warning"); };

    // The folder goes: its monitor lets go, and the rebuild starts it again on a folder that is no more.
    TempFolder::RemoveTree(m_folder / L"Floating");
    HWND warning = launcher.WaitForWindow(L"#32770", L"Warning", 3 * kTimeout);
    ASSERT_NE(warning, nullptr);
    EXPECT_NE(WaitForChildByText(warning, L"FindFirstChangeNotification() failed"), nullptr);

    // While the box is up the program goes on: another Floating rebuild fails to watch again, and a
    // later change of Icons still reaches the tray. The Icons change comes after the Floating
    // reload's deadline, so once its icon shows, the Floating rebuild has run as well.
    launcher.PostCommand(kReloadFloatingCommand);
    ::Sleep(2500);
    WriteFileBytes(m_folder / L"Icons\\late.txt", "x");
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main, 100); }, 3 * kTimeout));
    EXPECT_EQ(warnings().size(), 1u) << "a second box for the same monitor";

    // Once it is closed, the next failed start says so again.
    ::PostMessageW(warning, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return warnings().empty(); }, kTimeout));
    launcher.PostCommand(kReloadFloatingCommand);
    EXPECT_NE(launcher.WaitForWindow(L"#32770", L"Warning", 3 * kTimeout), nullptr);
}
