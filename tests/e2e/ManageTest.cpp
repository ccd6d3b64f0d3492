// Managing the collections from the "Launcher" page of the real program: the three context menus
// opened by right clicks on the real controls and driven by keys, files dropped from the shell,
// buttons dragged onto the tree, renames in the tree, new folders and deletion. Every change is
// seen on disk and on the surface the folder watch rebuilt from it.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "base/Handles.h"
#include "base/WinUtil.h"
#include "common/DropFiles.h"
#include "e2e/LauncherTest.h"
#include "e2e/RemoteControls.h"
#include "resources/resource.h"
#include "tools/RecordLaunchLog.h"
#include "unit/items/ItemTestFiles.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;
// A rebuild comes one to two seconds after a change; a loaded machine adds to it.
constexpr DWORD kRebuildTimeout = 8000;

void MouseButton(DWORD down, DWORD up)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    ::SendInput(2, input, sizeof(INPUT));
}

// The mouse glides to the point as a hand moves it: the control it leaves sees it go and takes its
// hint away, where a jump would leave the hint standing under the cursor.
void GlideMouseTo(POINT to)
{
    POINT from{};
    ::GetCursorPos(&from);
    for (int step = 1; step <= 8; ++step) {
        MoveMouseTo(from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8);
        ::Sleep(20);
    }
    ::Sleep(100);
}

// Text typed as characters, whatever the keyboard layout.
void TypeText(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wScan = input[1].ki.wScan = c;
        input[0].ki.dwFlags = KEYEVENTF_UNICODE;
        input[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        ::SendInput(2, input, sizeof(INPUT));
    }
    ::Sleep(100);
}

struct FindControl {
    int id;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindControlById(HWND child, LPARAM search)
{
    auto* s = reinterpret_cast<FindControl*>(search);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (::GetDlgCtrlID(child) != s->id || lstrcmpW(name, s->className) != 0) return TRUE;
    s->found = child;
    return FALSE;
}

class ManageTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        TempFolder::MakeFolder(m_folder / L"staging");
    }

    // Starts the program once its bars hold these counts, and shows its main window on the
    // "Launcher" page.
    HWND StartShown(LauncherProcess& launcher, int iconItems, int floatingItems)
    {
        HWND main = launcher.StartAndWaitForMainWindow();
        EXPECT_NE(main, nullptr);
        if (!main) return nullptr;
        m_main = main;
        m_process = launcher.Id();
        EXPECT_TRUE(WaitUntil(
            [&] {
                return ButtonCount(IconsBar()) == iconItems && ButtonCount(FloatingBar()) == floatingItems &&
                       TreeNodes(m_process, Tree()).size() > 0;
            },
            3 * kTimeout));
        EXPECT_TRUE(ShowMainWindowInFront(launcher, main, kTimeout));
        return main;
    }

    HWND Panel(int id) const
    {
        FindControl search{id, L"TFileDropTarget", nullptr};
        ::EnumChildWindows(m_main, &FindControlById, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND Tree() const { return ::GetDlgItem(Panel(IDC_DROP_MENU), IDC_POPUP_MENU_TREE); }
    HWND IconsBar() const { return FirstToolBar(Panel(IDC_DROP_ICON)); }
    HWND FloatingBar() const { return FirstToolBar(Panel(IDC_DROP_FLOATING)); }
    HWND IconWindowBar() const { return FirstToolBar(FindProcessWindow(m_process, L"TIconWindow")); }
    bool HasNode(const std::wstring& text) const { return TreeNodeByText(m_process, Tree(), text) != nullptr; }
    // How deep the node lies below the root (0); -1 when there is none.
    int NodeDepth(const std::wstring& text) const
    {
        for (const TreeNode& node : TreeNodes(m_process, Tree()))
            if (node.text == text) return node.depth;
        return -1;
    }
    POINT Node(const std::wstring& text) const
    {
        return TreeNodeCentre(m_process, Tree(), TreeNodeByText(m_process, Tree(), text));
    }
    POINT BarEnd(HWND bar) const
    {
        // Beside the last button: the bar itself.
        RECT r{};
        ::GetWindowRect(::GetParent(::GetParent(bar)), &r);
        return POINT{r.right - 10, (r.top + r.bottom) / 2};
    }

    HWND ContextMenu() const
    {
        HWND menu = FindProcessWindow(m_process, L"#32768");
        return menu && ::IsWindowVisible(menu) ? menu : nullptr;
    }
    // A right click at the point, as the user makes it; the context menu that opened.
    HWND RightClick(POINT at)
    {
        GlideMouseTo(at);
        MouseButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = ContextMenu()) != nullptr; }, kTimeout);
        return menu;
    }
    void CloseContextMenu()
    {
        // One Escape per open level, each once the last has been taken: an Escape that comes after
        // the menu has gone reaches the main window instead.
        for (int i = 0; i < 3 && ContextMenu(); ++i) {
            Key(VK_ESCAPE);
            WaitUntil([&] { return ContextMenu() == nullptr; }, 2000);
        }
        EXPECT_EQ(ContextMenu(), nullptr);
    }
    // The letter of a disabled entry: the menu may close at it or stay open, so it is given time
    // to do either before it is closed. A right click at the same place right after it would be a
    // double click, which opens no menu: the next one waits that long.
    void PressDisabled(WORD letter)
    {
        Key(letter);
        WaitUntil([&] { return ContextMenu() == nullptr; }, 1000);
        CloseContextMenu();
        ::Sleep(::GetDoubleClickTime() + 100);
    }
    // A right click, then an entry chosen by its underlined letter.
    void Choose(POINT at, WORD letter)
    {
        ASSERT_NE(RightClick(at), nullptr) << "no context menu";
        Key(letter);
        // Where two entries share the letter, the first may only be selected.
        if (!WaitUntil([&] { return ContextMenu() == nullptr; }, 1500)) Key(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return ContextMenu() == nullptr; }, kTimeout));
    }
    void Drag(POINT from, POINT to)
    {
        GlideMouseTo(from);
        INPUT press{};
        press.type = INPUT_MOUSE;
        press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        ::SendInput(1, &press, sizeof(press));
        for (int step = 1; step <= 12; ++step) {
            MoveMouseTo(from.x + (to.x - from.x) * step / 12, from.y + (to.y - from.y) * step / 12);
            ::Sleep(40);
        }
        INPUT release{};
        release.type = INPUT_MOUSE;
        release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(1, &release, sizeof(release));
        ::Sleep(200);
    }

    HWND EditField() const { return reinterpret_cast<HWND>(::SendMessageW(Tree(), TVM_GETEDITCONTROL, 0, 0)); }
    // Opens the node's label for editing as the user does; the text the field holds once it shows.
    std::wstring BeginEdit(const std::wstring& node)
    {
        GlideMouseTo(Node(node));
        // A click selects the node; a second, slower than a double click, edits its text.
        MouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        ::Sleep(::GetDoubleClickTime() + 200);
        MouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        HWND edit = nullptr;
        if (!WaitUntil([&] { return (edit = EditField()) != nullptr && ::IsWindowVisible(edit); }, kTimeout))
            return L"(no edit field)";
        // The edit control keeps its text itself: only the message reads it from another process.
        wchar_t text[MAX_PATH] = {};
        ::SendMessageW(edit, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text));
        return text;
    }
    // The rebuild after a rename: it selects the root again.
    bool WaitForRebuildShowing(const std::wstring& text) const
    {
        return WaitUntil(
            [&] {
                const auto caret = ::SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0);
                return HasNode(text) &&
                       caret == reinterpret_cast<LRESULT>(TreeNodeByText(m_process, Tree(), L"Orvo Launcher"));
            },
            kRebuildTimeout);
    }
    void Rename(const std::wstring& node, const std::wstring& text)
    {
        ASSERT_NE(BeginEdit(node), L"(no edit field)");
        TypeText(text);
        Key(VK_RETURN);
    }

    // The program's message box, and its text.
    HWND MessageBoxWindow() const
    {
        for (HWND box : FindProcessWindows(m_process, L"#32770", L"Orvo Launcher"))
            if (::IsWindowVisible(box)) return box;
        return nullptr;
    }
    std::wstring WaitForMessage()
    {
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = MessageBoxWindow()) != nullptr; }, kTimeout)) return L"(no message)";
        std::wstring message;
        WaitUntil(
            [&] {
                for (const std::wstring& text : ChildTexts(box))
                    if (text.size() > message.size() && text != L"OK") message = text;
                return !message.empty();
            },
            kTimeout);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return MessageBoxWindow() == nullptr; }, kTimeout));
        return message;
    }

    // A dialog of the shell's (a confirmation) over the main window.
    HWND ShellDialog() const
    {
        for (HWND box : FindProcessWindows(m_process, L"#32770"))
            if (::IsWindowVisible(box) && box != m_main) return box;
        return nullptr;
    }

    // Files as a drop from another program hands them over: WM_DROPFILES posted to the panel, the
    // block in the program's memory, freed once `done` holds (or the time is up).
    void DropFromShell(int panelId, const std::vector<std::wstring>& files, POINT at,
                       const std::function<bool()>& done)
    {
        UniqueHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, m_process));
        ASSERT_TRUE(process);
        void* drop = PlaceDropFilesIn(process.get(), files, at);
        ASSERT_NE(drop, nullptr);
        ::PostMessageW(Panel(panelId), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        EXPECT_TRUE(WaitUntil(done, kTimeout));
        ::VirtualFreeEx(process.get(), drop, 0, MEM_RELEASE);
    }

    bool Exists(const std::wstring& relative) const
    {
        return ::GetFileAttributesW((m_folder / relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool WaitForFile(const std::wstring& relative, bool present = true) const
    {
        return WaitUntil([&] { return Exists(relative) == present; }, kTimeout);
    }

    HWND m_main = nullptr;
    DWORD m_process = 0;
};
} // namespace

TEST_F(ManageTest, CopyAndMoveBetweenTheThreeCollections)
{
    Shortcut(L"Icons\\Alpha.lnk", L"A");
    Shortcut(L"Floating\\Beta.lnk", L"B");
    Shortcut(L"Menus\\Gamma.lnk", L"G");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 1, 1), nullptr);

    // "&Copy as Menu" on the Icons button: the rebuilt tree gets the entry at its top.
    Choose(ButtonCentre(IconsBar(), 0), 'C');
    ASSERT_TRUE(WaitForFile(L"Menus\\Alpha.lnk"));
    EXPECT_TRUE(Exists(L"Icons\\Alpha.lnk"));
    EXPECT_TRUE(WaitUntil([&] { return NodeDepth(L"Alpha") == 1; }, kRebuildTimeout));

    // "Move as Tray &Icon" on the Floating button: a second tray icon, an empty floating window.
    Choose(ButtonCentre(FloatingBar(), 0), 'I');
    ASSERT_TRUE(WaitForFile(L"Icons\\Beta.lnk"));
    EXPECT_FALSE(Exists(L"Floating\\Beta.lnk"));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, 101) && ButtonCount(IconsBar()) == 2; }, kRebuildTimeout));
    EXPECT_TRUE(WaitUntil([&] { return ButtonCount(IconWindowBar()) == 0; }, kRebuildTimeout));

    // "Move as Floating &Icon" on the tree's entry: it leaves the tree for the floating window.
    Choose(Node(L"Gamma"), 'I');
    ASSERT_TRUE(WaitForFile(L"Floating\\Gamma.lnk"));
    EXPECT_FALSE(Exists(L"Menus\\Gamma.lnk"));
    EXPECT_TRUE(WaitUntil([&] { return ButtonCount(IconWindowBar()) == 1 && !HasNode(L"Gamma"); }, kRebuildTimeout));
}

TEST_F(ManageTest, ANameThatExistsStopsTheCopyAndTheMoveAndOverwritesNothing)
{
    item_test::MakeShortcut(m_folder / L"Icons\\Editor.lnk", RecordLaunchExePath(), L"icons");
    item_test::MakeShortcut(m_folder / L"Menus\\Editor.lnk", RecordLaunchExePath(), L"menus");
    const std::string menusFile = ReadFileBytes(m_folder / L"Menus\\Editor.lnk");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 1, 0), nullptr);

    const std::wstring expected = L"Editor already exists in " + m_folder.Path() + L"\\Menus\\";
    Choose(ButtonCentre(IconsBar(), 0), 'C');  // "&Copy as Menu"
    EXPECT_EQ(WaitForMessage(), expected);
    Choose(ButtonCentre(IconsBar(), 0), 'M');  // "&Move as Menu"
    EXPECT_EQ(WaitForMessage(), expected);
    EXPECT_EQ(ReadFileBytes(m_folder / L"Menus\\Editor.lnk"), menusFile);
    EXPECT_TRUE(Exists(L"Icons\\Editor.lnk"));
}

TEST_F(ManageTest, ShellDropsCopyTheFilesAndPassOverFolders)
{
    Shortcut(L"Menus\\Sub\\Inside.lnk", L"I");
    WriteFileBytes(m_folder / L"staging\\one.txt", "1");
    WriteFileBytes(m_folder / L"staging\\two.txt", "2");
    TempFolder::MakeFolder(m_folder / L"staging\\folder");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 0, 0), nullptr);

    DropFromShell(IDC_DROP_ICON,
                  {m_folder / L"staging\\folder", m_folder / L"staging\\one.txt", m_folder / L"staging\\two.txt"},
                  POINT{20, 10}, [&] { return Exists(L"Icons\\one.txt") && Exists(L"Icons\\two.txt"); });
    EXPECT_FALSE(Exists(L"Icons\\folder"));
    EXPECT_EQ(MessageBoxWindow(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, 100) && TrayIconExists(m_main, 101); }, kRebuildTimeout));

    // On the tree, over a submenu: still the top of "Menus".
    POINT sub = Node(L"Sub");
    ::ScreenToClient(Panel(IDC_DROP_MENU), &sub);
    DropFromShell(IDC_DROP_MENU, {m_folder / L"staging\\one.txt"}, sub, [&] { return Exists(L"Menus\\one.txt"); });
    EXPECT_FALSE(Exists(L"Menus\\Sub\\one.txt"));
    EXPECT_TRUE(WaitUntil([&] { return HasNode(L"one"); }, kRebuildTimeout));
}

TEST_F(ManageTest, ItemsDraggedBetweenTheTreeAndTheBarsAreCopied)
{
    Shortcut(L"Icons\\Alpha.lnk", L"A");
    Shortcut(L"Floating\\Beta.lnk", L"B");
    Shortcut(L"Menus\\Sub\\Inside.lnk", L"I");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 1, 1), nullptr);

    // An Icons button onto the submenu's node: into that folder.
    Drag(ButtonCentre(IconsBar(), 0), Node(L"Sub"));
    ASSERT_TRUE(WaitForFile(L"Menus\\Sub\\Alpha.lnk"));
    EXPECT_FALSE(Exists(L"Menus\\Alpha.lnk"));
    EXPECT_TRUE(Exists(L"Icons\\Alpha.lnk"));
    // Wine watches only the sub-folders made while a watch runs, not those it started with, so the
    // tree is rebuilt here by "Re&load Menu"; the node comes under its submenu.
    Choose(Node(L"Orvo Launcher"), 'L');
    EXPECT_TRUE(WaitUntil([&] { return NodeDepth(L"Alpha") == 2; }, kRebuildTimeout));

    // A Floating button onto the Icons bar: a new tray icon; onto its own bar: nothing.
    Drag(ButtonCentre(FloatingBar(), 0), BarEnd(IconsBar()));
    ASSERT_TRUE(WaitForFile(L"Icons\\Beta.lnk"));
    EXPECT_TRUE(Exists(L"Floating\\Beta.lnk"));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, 101); }, kRebuildTimeout));
    Drag(ButtonCentre(FloatingBar(), 0), BarEnd(FloatingBar()));

    // The tree's entry onto the Floating bar: copied, and still in its submenu. A copy onto itself
    // above would have stopped here with its message.
    Drag(Node(L"Inside"), BarEnd(FloatingBar()));
    ASSERT_TRUE(WaitForFile(L"Floating\\Inside.lnk"));
    EXPECT_EQ(MessageBoxWindow(), nullptr) << "a drop on its own bar copied onto itself";
    EXPECT_TRUE(Exists(L"Menus\\Sub\\Inside.lnk"));
    EXPECT_TRUE(WaitUntil([&] { return ButtonCount(IconWindowBar()) == 2; }, kRebuildTimeout));
    // And onto the root: into "Menus" itself, so the popup menu holds the entry twice.
    Drag(Node(L"Inside"), Node(L"Orvo Launcher"));
    ASSERT_TRUE(WaitForFile(L"Menus\\Inside.lnk"));
    EXPECT_TRUE(WaitUntil([&] { return NodeDepth(L"Inside") == 1; }, kRebuildTimeout));
}

TEST_F(ManageTest, RenamesInTheTreeKeepTheExtensionAndRefuseSeparators)
{
    Shortcut(L"Menus\\Notepad.lnk", L"N");
    Shortcut(L"Menus\\Tools.Old\\Inside.lnk", L"I");
    WriteFileBytes(m_folder / L"Menus\\x.py", "x");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 0, 0), nullptr);

    Rename(L"Notepad", L"Editor");
    EXPECT_TRUE(WaitForFile(L"Menus\\Editor.lnk"));
    EXPECT_FALSE(Exists(L"Menus\\Notepad.lnk"));
    // The edited node shows the new name at once; the rebuild selects the root again. It comes
    // before the next edit, so it cannot end that edit half-way.
    ASSERT_TRUE(WaitForRebuildShowing(L"Editor"));
    Rename(L"Tools.Old", L"Misc");
    EXPECT_TRUE(WaitForFile(L"Menus\\Misc.Old\\Inside.lnk"));
    ASSERT_TRUE(WaitForRebuildShowing(L"Misc.Old"));
    // The field holds what the typed text replaces; confirmed as it opened, it renames nothing.
    EXPECT_EQ(BeginEdit(L"Misc.Old"), L"Misc");
    Key(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return EditField() == nullptr; }, kTimeout));
    EXPECT_TRUE(Exists(L"Menus\\Misc.Old\\Inside.lnk"));
    EXPECT_FALSE(Exists(L"Menus\\Misc.Old.Old"));
    // A name too short to lose its extension shows it in its label, not in the field.
    EXPECT_EQ(BeginEdit(L"x.py"), L"x");
    TypeText(L"y");
    Key(VK_RETURN);
    EXPECT_TRUE(WaitForFile(L"Menus\\y.py"));
    ASSERT_TRUE(WaitForRebuildShowing(L"y.py"));

    // A separator would move the file out of its folder: refused, the node keeps its text.
    Rename(L"Editor", L"..\\Away");
    EXPECT_TRUE(HasNode(L"Editor"));
    EXPECT_TRUE(Exists(L"Menus\\Editor.lnk"));
    EXPECT_FALSE(Exists(L"Away.lnk"));
}

TEST_F(ManageTest, AFailedRenameSaysWhyAndKeepsTheOldLabel)
{
    Shortcut(L"Menus\\Alpha.lnk", L"A");
    Shortcut(L"Menus\\Beta.lnk", L"B");
    const std::string beta = ReadFileBytes(m_folder / L"Menus\\Beta.lnk");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 0, 0), nullptr);

    // The name is taken: nothing is replaced, and the box gives the system's reason.
    Rename(L"Alpha", L"Beta");
    EXPECT_EQ(WaitForMessage(), SystemErrorText(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(WaitUntil([&] { return EditField() == nullptr; }, kTimeout));
    EXPECT_TRUE(HasNode(L"Alpha"));
    EXPECT_TRUE(Exists(L"Menus\\Alpha.lnk"));
    EXPECT_EQ(ReadFileBytes(m_folder / L"Menus\\Beta.lnk"), beta);
}

TEST_F(ManageTest, ARightClickOnNoNodeActsOnNoEntry)
{
    Shortcut(L"Menus\\Sub\\Inside.lnk", L"I");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 0, 0), nullptr);

    // The submenu's node is selected by a click; the right click then lands below every node.
    GlideMouseTo(Node(L"Sub"));
    MouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    const auto sub = reinterpret_cast<LRESULT>(TreeNodeByText(m_process, Tree(), L"Sub"));
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0) == sub; }, kTimeout));
    RECT tree{};
    ::GetWindowRect(Tree(), &tree);
    const POINT below{(tree.left + tree.right) / 2, tree.bottom - 15};
    // "&Delete" there deletes nothing: no shell confirmation comes for the submenu selected before.
    ASSERT_NE(RightClick(below), nullptr);
    PressDisabled('D');
    // The folder commands act on "Menus" itself.
    Choose(below, 'F');
    ASSERT_TRUE(WaitForFile(L"Menus\\New Folder"));
    EXPECT_FALSE(Exists(L"Menus\\Sub\\New Folder"));
    EXPECT_EQ(ShellDialog(), nullptr);
    EXPECT_TRUE(Exists(L"Menus\\Sub\\Inside.lnk"));
}

TEST_F(ManageTest, TheRootOffersOnlyItsFolderCommandsAndNewFolderComesOnce)
{
    Shortcut(L"Menus\\Entry.lnk", L"E");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 0, 0), nullptr);

    // On the root "E&xecute" is disabled and launches nothing; on the entry it launches it.
    ASSERT_NE(RightClick(Node(L"Orvo Launcher")), nullptr);
    PressDisabled('X');
    Choose(Node(L"Entry"), 'X');
    EXPECT_EQ(record_launch::WaitForLaunches(m_log, 1), (std::vector<std::vector<std::wstring>>{{L"E"}}));

    // "New &Folder" on the root goes into "Menus" itself; a second one finds it there.
    Choose(Node(L"Orvo Launcher"), 'F');
    ASSERT_TRUE(WaitForFile(L"Menus\\New Folder"));
    ASSERT_TRUE(WaitUntil([&] { return HasNode(L"New Folder"); }, kRebuildTimeout));
    Choose(Node(L"Orvo Launcher"), 'F');
    EXPECT_EQ(WaitForMessage(), L"Cannot create new folder");
    // On an entry: beside it, in its folder (which now holds one already).
    Choose(Node(L"Entry"), 'F');
    EXPECT_EQ(WaitForMessage(), L"Cannot create new folder");
}

TEST_F(ManageTest, ExecuteLaunchesAndReloadRebuildsFromTheFolder)
{
    constexpr WORD kCtrlAlt = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;
    auto free = [](WORD key) {
        if (!::RegisterHotKey(nullptr, 0xB000, MOD_CONTROL | MOD_ALT, key)) return false;
        ::UnregisterHotKey(nullptr, 0xB000);
        return true;
    };
    Shortcut(L"Floating\\Tool.lnk", L"tool", kCtrlAlt | '6');
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 0, 1), nullptr);

    Choose(ButtonCentre(FloatingBar(), 0), 'X');  // "E&xecute"
    const auto launches = record_launch::WaitForLaunches(m_log, 1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], std::vector<std::wstring>{L"tool"});

    // A new hotkey in the shortcut is no change of names: the watch does not see it; "Re&load Icon"
    // reads the folder again and the item holds the new combination.
    ASSERT_FALSE(free('6'));
    Shortcut(L"Floating\\Tool.lnk", L"tool", kCtrlAlt | '7');
    Choose(BarEnd(FloatingBar()), 'L');
    EXPECT_TRUE(WaitUntil([&] { return !free('7') && free('6') && ButtonCount(IconWindowBar()) == 1; },
                          kRebuildTimeout));
}

TEST_F(ManageTest, DeleteSendsTheFileToTheRecycleBin)
{
    Shortcut(L"Icons\\Alpha.lnk", L"A");
    Shortcut(L"Icons\\Beta.lnk", L"B");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 2, 0), nullptr);

    Choose(ButtonCentre(IconsBar(), 0), 'D');  // "&Delete" on Alpha, the leftmost
    // The shell asks first.
    HWND confirm = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (confirm = ShellDialog()) != nullptr; }, kTimeout));
    ::PostMessageW(confirm, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitForFile(L"Icons\\Alpha.lnk", false));
    EXPECT_TRUE(Exists(L"Icons\\Beta.lnk"));
    EXPECT_TRUE(WaitUntil([&] { return ButtonCount(IconsBar()) == 1 && !TrayIconExists(m_main, 101); }, kRebuildTimeout));
}

TEST_F(ManageTest, CopyFromShortcutTakesTheChosenShortcutItself)
{
    item_test::MakeShortcut(m_folder / L"staging\\Picked.lnk", RecordLaunchExePath(), L"picked");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(StartShown(launcher, 0, 0), nullptr);

    // On the empty bar: the open dialog; the shortcut's own path typed into it.
    Choose(BarEnd(IconsBar()), 'S');
    HWND dialog = launcher.WaitForWindow(L"#32770", L"Open");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == dialog; }, kTimeout));
    TypeText(m_folder / L"staging\\Picked.lnk");
    Key(VK_RETURN);
    // The shortcut is copied, not the program it points at.
    ASSERT_TRUE(WaitForFile(L"Icons\\Picked.lnk"));
    EXPECT_EQ(ReadFileBytes(m_folder / L"Icons\\Picked.lnk"), ReadFileBytes(m_folder / L"staging\\Picked.lnk"));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, 100) && ButtonCount(IconsBar()) == 1; }, kRebuildTimeout));
}
