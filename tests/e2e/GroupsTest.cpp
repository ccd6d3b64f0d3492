// Start groups on the real program: the runner's timing, one group at a time, the submenu, the
// editor's checks and writes, files dropped from the shell, and the list's column widths.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/Commands.h"
#include "app/Settings.h"
#include "base/Handles.h"
#include "common/DropFiles.h"
#include "e2e/LauncherTest.h"
#include "resources/resource.h"
#include "tools/RecordLaunchLog.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;

class GroupsTest : public LauncherTest {
protected:
    // A group section as the editor writes it.
    void WriteGroup(const std::wstring& caption, int interval, const std::vector<std::wstring>& files)
    {
        std::vector<std::pair<std::wstring, std::wstring>> values = {{L"Interval", std::to_wstring(interval)},
                                                                     {L"TotalFile", std::to_wstring(files.size())}};
        for (std::size_t i = 0; i < files.size(); ++i) values.emplace_back(std::to_wstring(i + 1), files[i]);
        ASSERT_TRUE(IniFile(Ini()).WriteSection((L"StartGroup_" + caption).c_str(), values));
    }
    // A shortcut to the launch recorder that logs `argument`, in the data folder.
    std::wstring Recorder(const std::wstring& argument)
    {
        const std::wstring relative = L"files\\" + argument + L".lnk";
        Shortcut(relative, argument);
        return m_folder / relative;
    }
    std::vector<std::wstring> SectionNames() const { return IniFile(Ini()).SectionNames(); }
    bool HasSection(const std::wstring& name) const
    {
        const auto names = SectionNames();
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    // Chooses entry `index` of the "Group Start" submenu.
    void ChooseGroupEntry(LauncherProcess& launcher, HWND main, int index)
    {
        ASSERT_NE(OpenTrayMenu(launcher, main), nullptr);
        Key(VK_HOME);   // the program submenu
        Key(VK_DOWN);   // "Group Start", past the separator
        Key(VK_RIGHT);  // into it, on its first entry
        for (int i = 0; i < index; ++i) Key(VK_DOWN);
        Key(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
    }

    // The first argument of every launch so far, and when each was first seen.
    struct Seen {
        std::vector<std::wstring> arguments;
        std::vector<ULONGLONG> at;
    };
    Seen WatchLaunches(std::size_t count, DWORD timeoutMs)
    {
        Seen seen;
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        while (seen.arguments.size() < count && ::GetTickCount64() < deadline) {
            const auto launches = record_launch::ReadLaunches(m_log);
            for (std::size_t i = seen.arguments.size(); i < launches.size(); ++i) {
                seen.arguments.push_back(launches[i].empty() ? L"" : launches[i][0]);
                seen.at.push_back(::GetTickCount64());
            }
            ::Sleep(20);
        }
        return seen;
    }

    // The page's list and a click on one of its buttons.
    // (The main window exists before its controls do.)
    HWND GroupPage(HWND main) { return ::GetParent(WaitForChildByText(main, L"&New", kTimeout)); }
    HWND GroupList(HWND main) { return ::GetDlgItem(GroupPage(main), IDC_GROUP_LIST); }
    void ClickPageButton(HWND main, int id)
    {
        HWND page = GroupPage(main);
        ::PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
    }
    // Selects row `index` of the list as the keyboard would.
    void SelectRow(HWND main, int index)
    {
        HWND list = GroupList(main);
        ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > index; }, kTimeout));
        ::SendMessageW(list, WM_KEYDOWN, VK_HOME, 0);
        for (int i = 0; i < index; ++i) ::SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
        ASSERT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), index);
    }

    HWND OpenEditor(LauncherProcess& launcher, HWND main, int button, const wchar_t* title)
    {
        ClickPageButton(main, button);
        HWND editor = launcher.WaitForWindow(L"#32770", title);
        // Its controls are filled in before it shows.
        WaitUntil([&] { return editor && ::IsWindowVisible(editor); }, kTimeout);
        return editor;
    }
    // An edit control's text from another process comes by message only.
    static std::wstring EditText(HWND edit)
    {
        wchar_t text[256] = {};
        ::SendMessageW(edit, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        return text;
    }
    static HWND Caption(HWND editor) { return ::GetDlgItem(editor, IDC_EDITOR_CAPTION); }
    static HWND DropTarget(HWND editor) { return ::GetDlgItem(editor, IDC_EDITOR_DROP_TARGET); }
    static int FileRows(HWND editor)
    {
        return static_cast<int>(::SendMessageW(::GetDlgItem(DropTarget(editor), IDC_EDITOR_FILES), LVM_GETITEMCOUNT, 0, 0));
    }
    // Files dragged from another program onto the editor's list: the drop goes to the nearest
    // window that accepts files, with the drop block in the program's memory.
    static void DropOnList(HWND editor, const std::vector<std::wstring>& files)
    {
        HWND target = ::GetDlgItem(DropTarget(editor), IDC_EDITOR_FILES);
        while (target && !(::GetWindowLongPtrW(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) target = ::GetParent(target);
        ASSERT_EQ(target, DropTarget(editor));
        DWORD processId = 0;
        ::GetWindowThreadProcessId(target, &processId);
        UniqueHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
        ASSERT_TRUE(process);
        void* drop = PlaceDropFilesIn(process.get(), files, POINT{40, 20});
        ASSERT_NE(drop, nullptr);
        const int before = FileRows(editor);
        ::PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        EXPECT_TRUE(WaitUntil([&] { return FileRows(editor) == before + static_cast<int>(files.size()); }, kTimeout));
        ::VirtualFreeEx(process.get(), drop, 0, MEM_RELEASE);
    }
    // Presses OK and returns the message box that refuses it, if any.
    HWND PressOkForRefusal(LauncherProcess& launcher, HWND editor)
    {
        ::PostMessageW(editor, WM_COMMAND, IDOK, 0);
        return launcher.WaitForWindow(L"#32770", L"Orvo Launcher");
    }
    static bool HoldsText(HWND window, const std::wstring& text)
    {
        for (const auto& t : ChildTexts(window))
            if (t.find(text) != std::wstring::npos) return true;
        return false;
    }
    static void Dismiss(LauncherProcess& launcher, HWND box)
    {
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitUntil([&] { return !::IsWindow(box); }, kTimeout);
        (void)launcher;
    }
    void PressOk(HWND editor)
    {
        ::PostMessageW(editor, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(editor); }, kTimeout));
    }
};
} // namespace

TEST_F(GroupsTest, AGroupRunsItsFirstFileAtOnceAndTheNextExistingOneAnIntervalLater)
{
    WriteGroup(L"Morning", 4, {Recorder(L"A"), m_folder / L"files\\missing.lnk", Recorder(L"C")});
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ChooseGroupEntry(launcher, main, 0);
    const Seen seen = WatchLaunches(2, 20000);
    ASSERT_EQ(seen.arguments, (std::vector<std::wstring>{L"A", L"C"}));
    const ULONGLONG gap = seen.at[1] - seen.at[0];
    EXPECT_GE(gap, 3000u) << "C came " << gap << " ms after A";
    EXPECT_LE(gap, 8000u) << "C came " << gap << " ms after A";
}

TEST_F(GroupsTest, ASecondRunWhileOneRunsIsRefusedWithoutDisturbingIt)
{
    WriteGroup(L"Slow", 4, {Recorder(L"A"), Recorder(L"B")});
    WriteGroup(L"Other", 0, {Recorder(L"O")});
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ChooseGroupEntry(launcher, main, 1);  // the list is by caption: "Other", then "Slow"
    ASSERT_EQ(WatchLaunches(1, kTimeout).arguments, (std::vector<std::wstring>{L"A"}));
    ChooseGroupEntry(launcher, main, 0);
    HWND box = launcher.WaitForWindow(L"#32770", L"Orvo Launcher");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(HoldsText(box, L"Other Start Group is currently in progress\r\nPlease wait until the progress finish"));
    // B comes while the message is up; "Other" did not run.
    EXPECT_EQ(WatchLaunches(2, 15000).arguments, (std::vector<std::wstring>{L"A", L"B"}));
    Dismiss(launcher, box);
    // The group has ended: another one runs.
    ChooseGroupEntry(launcher, main, 0);
    EXPECT_EQ(WatchLaunches(3, kTimeout).arguments, (std::vector<std::wstring>{L"A", L"B", L"O"}));
}

TEST_F(GroupsTest, TheSubmenuFollowsTheListThroughNewEditAndDelete)
{
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);

    HWND editor = OpenEditor(launcher, main, IDC_GROUP_NEW, L"Add New Start Group");
    ASSERT_NE(editor, nullptr);
    ::SendMessageW(Caption(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Work"));
    DropOnList(editor, {Recorder(L"W")});
    PressOk(editor);
    EXPECT_EQ(::SendMessageW(GroupList(main), LVM_GETITEMCOUNT, 0, 0), 1);
    ChooseGroupEntry(launcher, main, 0);
    EXPECT_EQ(WatchLaunches(1, kTimeout).arguments, (std::vector<std::wstring>{L"W"}));

    // Renamed to sort after a new group "Alpha": the submenu's order follows.
    editor = OpenEditor(launcher, main, IDC_GROUP_NEW, L"Add New Start Group");
    ASSERT_NE(editor, nullptr);
    ::SendMessageW(Caption(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Alpha"));
    DropOnList(editor, {Recorder(L"X")});
    PressOk(editor);
    ChooseGroupEntry(launcher, main, 1);
    EXPECT_EQ(WatchLaunches(2, kTimeout).arguments, (std::vector<std::wstring>{L"W", L"W"}));
    SelectRow(main, 0);
    editor = OpenEditor(launcher, main, IDC_GROUP_EDIT, L"Edit Start Group");
    ASSERT_NE(editor, nullptr);
    ::SendMessageW(Caption(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Zulu"));
    PressOk(editor);
    ChooseGroupEntry(launcher, main, 0);
    EXPECT_EQ(WatchLaunches(3, kTimeout).arguments, (std::vector<std::wstring>{L"W", L"W", L"W"}));

    // Both deleted: "No Group Start" launches nothing, and the section is gone.
    SelectRow(main, 0);
    ClickPageButton(main, IDC_GROUP_DELETE);
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(GroupList(main), LVM_GETITEMCOUNT, 0, 0) == 1; }, kTimeout));
    EXPECT_FALSE(HasSection(L"StartGroup_Work"));
    ChooseGroupEntry(launcher, main, 0);
    EXPECT_EQ(WatchLaunches(4, kTimeout).arguments, (std::vector<std::wstring>{L"W", L"W", L"W", L"X"}));
    SelectRow(main, 0);
    ClickPageButton(main, IDC_GROUP_DELETE);
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(GroupList(main), LVM_GETITEMCOUNT, 0, 0) == 0; }, kTimeout));
    EXPECT_TRUE(std::none_of(SectionNames().begin(), SectionNames().end(),
                             [](const std::wstring& s) { return s.rfind(L"StartGroup_", 0) == 0; }));
    ChooseGroupEntry(launcher, main, 0);
    // A group entry would have launched by the time the program answers again.
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
    EXPECT_EQ(record_launch::ReadLaunches(m_log).size(), 4u);
}

TEST_F(GroupsTest, TheEditorRefusesABlankNameAnEmptyListAndADuplicateCaption)
{
    WriteGroup(L"Games", 5, {Recorder(L"G")});
    const std::string before = ReadFileBytes(Ini());
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    HWND editor = OpenEditor(launcher, main, IDC_GROUP_NEW, L"Add New Start Group");
    ASSERT_NE(editor, nullptr);

    HWND box = PressOkForRefusal(launcher, editor);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(HoldsText(box, L"Group name cannot be blank"));
    Dismiss(launcher, box);
    GUITHREADINFO focus{};
    focus.cbSize = sizeof(focus);
    EXPECT_TRUE(WaitUntil(
        [&] { return ::GetGUIThreadInfo(::GetWindowThreadProcessId(editor, nullptr), &focus) && focus.hwndFocus == Caption(editor); },
        kTimeout));

    ::SendMessageW(Caption(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"gAMES"));
    box = PressOkForRefusal(launcher, editor);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(HoldsText(box, L"File list cannot be zero"));
    Dismiss(launcher, box);

    DropOnList(editor, {Recorder(L"N")});
    box = PressOkForRefusal(launcher, editor);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(HoldsText(box, L"Start group caption already exists"));
    Dismiss(launcher, box);

    ASSERT_TRUE(::IsWindow(editor)) << "the editor stays open";
    ::PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(editor); }, kTimeout));
    EXPECT_EQ(ReadFileBytes(Ini()), before) << "nothing was written";
}

TEST_F(GroupsTest, RenamingLeavesNoOldSectionAndDroppedFilesAreAppendedInOrder)
{
    WriteGroup(L"Games", 90, {Recorder(L"G")});
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    SelectRow(main, 0);
    HWND editor = OpenEditor(launcher, main, IDC_GROUP_EDIT, L"Edit Start Group");
    ASSERT_NE(editor, nullptr);
    // The editor fills itself in once its window exists.
    EXPECT_TRUE(WaitUntil([&] { return EditText(Caption(editor)) == L"Games" && ::IsWindowVisible(editor); }, kTimeout));
    EXPECT_EQ(FileRows(editor), 1);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(editor, IDC_EDITOR_MINUTES), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(editor, IDC_EDITOR_SECONDS), CB_GETCURSEL, 0, 0), 30);

    // From another process, paths of any length and outside the ANSI code page.
    const std::wstring deep = m_folder.Path() + L"\\" + std::wstring(120, L'd') + L"\\" + std::wstring(120, L'e') +
                              L"\\\u30c7\u30fc\u30bf \u00e9t\u00e9.lnk";
    const std::vector<std::wstring> dropped = {m_folder / L"z.lnk", deep, m_folder / L"a.lnk"};
    DropOnList(editor, dropped);
    ::SendMessageW(Caption(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Play"));
    PressOk(editor);

    EXPECT_FALSE(HasSection(L"StartGroup_Games"));
    const IniFile ini(Ini());
    EXPECT_EQ(ini.ReadString(L"StartGroup_Play", L"TotalFile", L""), L"4");
    EXPECT_EQ(ini.ReadString(L"StartGroup_Play", L"Interval", L""), L"90");
    EXPECT_EQ(ini.ReadString(L"StartGroup_Play", L"1", L""), m_folder / L"files\\G.lnk");
    for (std::size_t i = 0; i < dropped.size(); ++i)
        EXPECT_EQ(ini.ReadString(L"StartGroup_Play", std::to_wstring(i + 2).c_str(), L""), dropped[i]);

    // A rename in letter case only is no duplicate: the section takes the new name.
    SelectRow(main, 0);
    editor = OpenEditor(launcher, main, IDC_GROUP_EDIT, L"Edit Start Group");
    ASSERT_NE(editor, nullptr);
    ::SendMessageW(Caption(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"PLAY"));
    PressOk(editor);
    EXPECT_TRUE(HasSection(L"StartGroup_PLAY"));
    EXPECT_FALSE(HasSection(L"StartGroup_Play"));
}

TEST_F(GroupsTest, ColumnWidthsSurviveARestart)
{
    {
        LauncherProcess launcher({Ini()});
        HWND main = launcher.StartAndWaitForMainWindow();
        ASSERT_NE(main, nullptr);
        HWND list = GroupList(main);
        // The design widths, the second one grown to show its header where the font needs it.
        EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 230);
        EXPECT_GE(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 85);
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, 170);
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, 120);
        launcher.PostCommand(kCmdExit);
        ASSERT_TRUE(launcher.WaitForExit(kTimeout));
    }
    EXPECT_EQ(IniFile(Ini()).Read(keys::GroupStartCol1), 170);
    EXPECT_EQ(IniFile(Ini()).Read(keys::GroupStartCol2), 120);
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(::SendMessageW(GroupList(main), LVM_GETCOLUMNWIDTH, 0, 0), 170);
    EXPECT_EQ(::SendMessageW(GroupList(main), LVM_GETCOLUMNWIDTH, 1, 0), 120);
}
