// Item and surface hotkeys pressed with SendInput, the "HotKeys.xml" file, and the "HotKey List"
// window, observed from outside the program.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "app/Commands.h"
#include "hotkeys/HotKeysXml.h"
#include "e2e/LauncherTest.h"
#include "e2e/RemoteControls.h"
#include "resources/resource.h"
#include "tools/RecordLaunchLog.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;
constexpr WORD kCtrlAlt = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

// The texts of a list view's two columns, read through memory of the program's own process.
Rows ListViewRows(DWORD processId, HWND listView)
{
    Rows rows;
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return rows;
    constexpr std::size_t kChars = 512;
    auto* remote = static_cast<char*>(
        ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    const int count = static_cast<int>(::SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; remote && row < count; ++row) {
        std::wstring texts[2];
        for (int column = 0; column < 2; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(item));
            item.cchTextMax = kChars;
            wchar_t text[kChars] = {};
            if (::WriteProcessMemory(process, remote, &item, sizeof(item), nullptr) &&
                ::SendMessageW(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote)) >= 0 &&
                ::ReadProcessMemory(process, item.pszText, text, sizeof(text) - sizeof(wchar_t), nullptr))
                texts[column] = text;
        }
        rows.emplace_back(texts[0], texts[1]);
    }
    if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return rows;
}

class HotKeysTest : public LauncherTest {
protected:
    std::wstring XmlFile() const { return m_folder / L"HotKeys.xml"; }
    // Starts the program and waits until its hotkey list holds the entries' `hotKeys`: the list is
    // written once the collections are loaded and again when the files read after brought hotkeys,
    // each registered by then.
    HWND Start(LauncherProcess& launcher, std::size_t hotKeys = 0)
    {
        ::DeleteFileW(XmlFile().c_str());
        HWND main = launcher.StartAndWaitForMainWindow();
        EXPECT_TRUE(WaitUntil([&] {
            return ::GetFileAttributesW(XmlFile().c_str()) != INVALID_FILE_ATTRIBUTES &&
                   ReadHotKeysFile(XmlFile()).Rows.size() == hotKeys;
        }, kTimeout)) << ReadFileBytes(XmlFile());
        return main;
    }
    std::vector<std::wstring> Launched(std::size_t count)
    {
        std::vector<std::wstring> arguments;
        for (const auto& launch : record_launch::WaitForLaunches(m_log, count))
            arguments.push_back(launch.empty() ? L"" : launch[0]);
        return arguments;
    }
    // Whether another program could take Ctrl + Alt + key now.
    static bool Free(WORD key)
    {
        if (!::RegisterHotKey(nullptr, 0xB000, MOD_CONTROL | MOD_ALT, key)) return false;
        ::UnregisterHotKey(nullptr, 0xB000);
        return true;
    }
};
} // namespace

TEST_F(HotKeysTest, ItemHotKeysLaunchItemsOfEveryCollectionAndTheFirstRegistrationWins)
{
    Shortcut(L"Icons\\i.lnk", L"I", kCtrlAlt | '1');
    Shortcut(L"Floating\\f.lnk", L"F", kCtrlAlt | '2');
    // The shell marks arrows and the like as extended keys; such a hotkey works as it shows.
    Shortcut(L"Menus\\sub\\m.lnk", L"M", kCtrlAlt | (HOTKEYF_EXT << 8) | VK_RIGHT);
    Shortcut(L"Icons\\same.lnk", L"IconsFirst", kCtrlAlt | '3');
    Shortcut(L"Floating\\same.lnk", L"FloatingSecond", kCtrlAlt | '3');

    LauncherProcess launcher({Ini()});
    ASSERT_NE(Start(launcher, 5), nullptr);
    const WORD keys[] = {'1', '2', VK_RIGHT, '3'};
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        PressKeys({VK_CONTROL, VK_MENU, keys[i]});
        ASSERT_EQ(Launched(i + 1).size(), i + 1) << "key " << keys[i];
    }
    EXPECT_EQ(Launched(4), (std::vector<std::wstring>{L"I", L"F", L"M", L"IconsFirst"}));
}

TEST_F(HotKeysTest, HotKeysFileHoldsTheThreeGroupsAndTheListWindowShowsItsRows)
{
    Shortcut(L"Icons\\i.lnk", L"I", kCtrlAlt | 'N');
    Shortcut(L"Icons\\plain.lnk", L"P");
    Shortcut(L"Floating\\f.lnk", L"F", kCtrlAlt | '2');
    Shortcut(L"Floating\\g.lnk", L"G", kCtrlAlt | '2');
    Shortcut(L"Menus\\sub\\m.lnk", L"M", ((HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 8) | '5');

    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher, 4);
    ASSERT_NE(main, nullptr);
    // The three groups in their order, and entries that MSXML reads back; Floating items are placed
    // from the last name to the first.
    const std::string bytes = ReadFileBytes(XmlFile());
    EXPECT_EQ(bytes.find("<Application Name=\"Orvo Launcher\" Author=\"Orvo Solution\"><item type=\"Icon\">"),
              bytes.find('\n') + 1);
    EXPECT_LT(bytes.find("type=\"Menu\""), bytes.find("type=\"Float\""));
    EXPECT_LT(bytes.find("Menus\\sub"), bytes.find("type=\"Float\""));
    const Rows rows{{L"Ctrl + Alt + N", L"Icons\\i.lnk"},
                    {L"Ctrl + Shift + 5", L"Menus\\sub\\m.lnk"},
                    {L"Ctrl + Alt + 2", L"Floating\\g.lnk"},
                    {L"Ctrl + Alt + 2", L"Floating\\f.lnk"}};
    Rows read;
    for (const HotKeyRow& row : ReadHotKeysFile(XmlFile()).Rows) read.emplace_back(row.HotKey, row.Path);
    EXPECT_EQ(read, rows);

    launcher.PostCommand(kCmdViewHotKeys);
    HWND list = launcher.WaitForWindow(L"TFormHotKeysList", L"HotKey List");
    ASSERT_NE(list, nullptr);
    // It is shown once it is filled.
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(list) != FALSE; }, kTimeout));
    HWND listView = ::FindWindowExW(list, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_NE(listView, nullptr);
    EXPECT_EQ(ListViewRows(launcher.Id(), listView), rows);

    // While it is open no other modal window opens: the commands return at once (a shown About box
    // would keep this call waiting) and nothing new appears.
    for (unsigned command : {kCmdShowAboutDialog, kCmdViewHotKeys}) {
        DWORD_PTR ignored = 0;
        EXPECT_NE(::SendMessageTimeoutW(main, WM_COMMAND, command, 0, SMTO_NORMAL, 5000, &ignored), 0) << command;
    }
    EXPECT_EQ(FindProcessWindow(launcher.Id(), L"#32770", L"About Orvo Launcher"), nullptr);
    EXPECT_EQ(FindProcessWindows(launcher.Id(), L"TFormHotKeysList").size(), 1u);

    ::SendMessageW(FindChildByText(list, L"&Close"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(list); }, kTimeout));
    // Closed, it lets the next modal window open.
    launcher.PostCommand(kCmdShowAboutDialog);
    HWND about = launcher.WaitForWindow(L"#32770", L"About Orvo Launcher");
    EXPECT_NE(about, nullptr);
    if (about) ::PostMessageW(about, WM_COMMAND, IDOK, 0);
}

TEST_F(HotKeysTest, ListWindowIsAsHighAsItsRowsAndStaysInsideTheWorkArea)
{
    constexpr int kRows = 6;
    for (int i = 0; i < kRows; ++i)
        Shortcut(L"Icons\\" + std::to_wstring(i) + L".lnk", L"I", kCtrlAlt | static_cast<WORD>('1' + i));
    LauncherProcess launcher({Ini()});
    ASSERT_NE(Start(launcher, kRows), nullptr);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const auto open = [&](HWND& list, HWND& listView) {
        launcher.PostCommand(kCmdViewHotKeys);
        list = launcher.WaitForWindow(L"TFormHotKeysList", L"HotKey List");
        ASSERT_TRUE(WaitUntil([&] { return list && ::IsWindowVisible(list); }, kTimeout));
        listView = ::FindWindowExW(list, nullptr, WC_LISTVIEWW, nullptr);
        ASSERT_NE(listView, nullptr);
    };
    const auto close = [&](HWND list) {
        ::PostMessageW(list, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(list); }, kTimeout));
    };
    const auto inside = [&](HWND list) {
        RECT r{};
        ::GetWindowRect(list, &r);
        return r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom;
    };

    HWND list = nullptr, listView = nullptr;
    open(list, listView);
    // The list shows its header and every row inside its frame, and no more.
    RECT row{};
    row.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendForStruct(launcher.Id(), listView, LVM_GETITEMRECT, 0, row));
    RECT header{}, outside{}, client{};
    ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageW(listView, LVM_GETHEADER, 0, 0)), &header);
    ::GetWindowRect(listView, &outside);
    ::GetClientRect(listView, &client);
    const int frame = (outside.bottom - outside.top) - client.bottom;
    const int rows = kRows * (row.bottom - row.top) + (header.bottom - header.top) + frame;
    EXPECT_NEAR(outside.bottom - outside.top, rows, 2);
    EXPECT_TRUE(inside(list));
    close(list);

    // A file with more rows than the screen holds: the window fills the work area's height and
    // the list scrolls.
    std::string xml = "<?xml version=\"1.0\"?><Application Name=\"Orvo Launcher\"><item type=\"Icon\">";
    for (int i = 0; i < 200; ++i) xml += "<item hotkey=\"Ctrl + Alt + " + std::to_string(i) + "\" path=\"Icons\\x.lnk\"/>";
    WriteFileBytes(XmlFile(), xml + "</item></Application>");
    open(list, listView);
    EXPECT_EQ(::SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0), 200);
    EXPECT_TRUE(inside(list));
    RECT whole{};
    ::GetWindowRect(list, &whole);
    EXPECT_GE(whole.bottom - whole.top, (work.bottom - work.top) * 9 / 10);
    close(list);
}

TEST_F(HotKeysTest, AReloadReleasesARemovedItemsHotKeyAndRefreshTakesAReleasedOneAgain)
{
    Shortcut(L"Floating\\f.lnk", L"F", kCtrlAlt | '4');
    Shortcut(L"Icons\\i.lnk", L"I", kCtrlAlt | '5');
    // Another program holds Ctrl + Alt + 5 while the launcher starts.
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, '5'));

    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher, 2);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(Free('4'));
    // The folders are watched once the program takes posted messages: a menu round trip shows it.
    ASSERT_NE(OpenTrayMenu(launcher, main), nullptr);
    Key(VK_ESCAPE);
    ASSERT_TRUE(::DeleteFileW((m_folder / L"Floating\\f.lnk").c_str()));
    EXPECT_TRUE(WaitUntil([] { return Free('4'); }, kTimeout, 100));

    // Released by the other program, the combination is the item's after "&Refresh HotKey".
    ::UnregisterHotKey(nullptr, 1);
    ASSERT_NE(OpenTrayMenu(launcher, main), nullptr);
    for (WORD key : {VK_HOME, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN}) Key(key);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
    EXPECT_TRUE(WaitUntil([] { return !Free('5'); }, kTimeout));
    PressKeys({VK_CONTROL, VK_MENU, '5'});
    EXPECT_EQ(Launched(1), (std::vector<std::wstring>{L"I"}));
}

TEST_F(HotKeysTest, SurfaceHotKeysFromTheSettingsOpenTheirSurfacesAndATakenOneIsKeptForRefresh)
{
    Shortcut(L"Floating\\f.lnk", L"F");
    const IniFile ini(Ini());
    ini.Write(keys::HKPopupMod, MOD_CONTROL | MOD_ALT);
    ini.Write(keys::HKPopupVir, 'P');
    ini.Write(keys::HKIconWinMod, MOD_CONTROL | MOD_ALT);
    ini.Write(keys::HKIconWinVir, 'O');
    ini.Write(keys::HideTrayIcon, true);
    {
        LauncherProcess launcher({Ini()});
        HWND main = Start(launcher);
        ASSERT_NE(main, nullptr);
        PressKeys({VK_CONTROL, VK_MENU, 'P'});
        HWND menu = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (menu = FindProcessWindow(launcher.Id(), L"#32768")) && ::IsWindowVisible(menu); },
                              kTimeout));
        Key(VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
        PressKeys({VK_CONTROL, VK_MENU, 'O'});
        EXPECT_TRUE(WaitUntil(
            [&] {
                HWND floating = FindProcessWindow(launcher.Id(), L"TIconWindow");
                return floating && ::IsWindowVisible(floating);
            },
            kTimeout));
        // With both hotkeys in place the main tray icon may stay hidden.
        EXPECT_FALSE(TrayIconExists(main, 1));
    }

    // The popup combination is taken at start: it stays stored and in its field, marked as not
    // working, and the tray icon, no longer allowed to hide, comes back.
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'P'));
    LauncherProcess launcher({Ini()});
    HWND main = Start(launcher);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main, 1); }, kTimeout));
    EXPECT_EQ(ini.Read(keys::HKPopupMod), MOD_CONTROL | MOD_ALT);
    EXPECT_EQ(ini.Read(keys::HKPopupVir), 'P');
    EXPECT_EQ(ini.Read(keys::HKIconWinVir), 'O');
    EXPECT_TRUE(ini.Read(keys::HideTrayIcon));
    HWND box = FindChildByText(main, L"Start with Windows");
    HWND page = box ? ::GetParent(box) : nullptr;
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(page, IDC_HOTKEY_POPUP), HKM_GETHOTKEY, 0, 0),
              (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'P');
    HWND note = ::GetDlgItem(page, IDC_HOTKEY_NOTE);
    EXPECT_FALSE(TextOf(note).empty());

    // Let go by the other program, it is the launcher's after "&Refresh Hotkey".
    ::UnregisterHotKey(nullptr, 1);
    launcher.PostCommand(kCmdRefreshHKey);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(note).empty(); }, kTimeout));
    EXPECT_FALSE(Free('P'));
    PressKeys({VK_CONTROL, VK_MENU, 'P'});
    HWND menu = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (menu = FindProcessWindow(launcher.Id(), L"#32768")) && ::IsWindowVisible(menu); },
                          kTimeout));
    Key(VK_ESCAPE);
}

TEST_F(HotKeysTest, HotKeysFileThatCannotBeWrittenIsReportedOnceAndTheProgramRunsOn)
{
    // A folder in the file's place: no XML document can be saved there.
    ASSERT_TRUE(TempFolder::MakeFolder(XmlFile()));
    Shortcut(L"Icons\\i.lnk", L"I");
    LauncherProcess launcher({Ini()});
    ASSERT_TRUE(launcher.Start());
    HWND box = launcher.WaitForWindow(L"#32770", L"Orvo Launcher");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(WaitForChildByText(box, L"Cannot write " + XmlFile()), nullptr);
    EXPECT_EQ(FindProcessWindows(launcher.Id(), L"#32770", L"Orvo Launcher").size(), 1u);
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // Start-up goes on: the item's tray icon, and the program still answers its commands.
    HWND main = launcher.WaitForMainWindow();
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main, 100); }, kTimeout));
    launcher.PostCommand(kCmdShowMainWindow);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
}

TEST_F(HotKeysTest, TheTrayMenuAnswersWhileALargeFolderIsReadAndAKeyWorksOnceItsFileIsRead)
{
    // Twelve hundred entries: reading them all takes the shell seconds.
    for (int folder = 0; folder < 4; ++folder) {
        const std::wstring sub = m_folder / (L"Menus\\s" + std::to_wstring(folder));
        TempFolder::MakeFolder(sub);
        for (int i = 0; i < 300; ++i)
            item_test::WriteBytes(sub + L"\\e" + std::to_wstring(i) + L".url", "[InternetShortcut]\r\nURL=http://localhost/\r\n");
    }
    Shortcut(L"Menus\\s2\\keyed.lnk", L"K", kCtrlAlt | '7');

    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    // The list is written before the first click is taken and again once every file is read.
    ASSERT_NE(OpenTrayMenu(launcher, main, WM_RBUTTONDOWN, kTimeout), nullptr);
    EXPECT_TRUE(ReadHotKeysFile(XmlFile()).Rows.empty()) << "the menu waited for the files to be read";
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return ReadHotKeysFile(XmlFile()).Rows.size() == 1; }, 60000, 100));
    PressKeys({VK_CONTROL, VK_MENU, '7'});
    EXPECT_EQ(Launched(1), (std::vector<std::wstring>{L"K"}));
}
