// Start groups on the real program: the runner's timing (through the menu and a message box), one
// group at a time, waiting for each program, stopping a run, groups run from the
// command line and at start, the submenu, the editor's checks and writes, files dropped from the
// shell, and the list's column widths.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

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
    using Values = std::vector<std::pair<std::wstring, std::wstring>>;
    // A group section as the editor writes it, with the options given.
    void WriteGroup(const std::wstring& caption, int interval, const std::vector<std::wstring>& files,
                    const Values& options = {})
    {
        Values values = {{L"Interval", std::to_wstring(interval)}, {L"TotalFile", std::to_wstring(files.size())}};
        for (std::size_t i = 0; i < files.size(); ++i) values.emplace_back(std::to_wstring(i + 1), files[i]);
        values.insert(values.end(), options.begin(), options.end());
        ASSERT_TRUE(IniFile(Ini()).WriteSection((L"StartGroup_" + caption).c_str(), values));
    }
    // A shortcut to the launch recorder that logs `argument` (then `more`), in the data folder.
    std::wstring Recorder(const std::wstring& argument, const std::wstring& more = L"")
    {
        const std::wstring relative = L"files\\" + argument + L".lnk";
        Shortcut(relative, more.empty() ? argument : argument + L" " + more);
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
    // Every launch is timed by a look at the log every 10 ms from the test's start on, whatever
    // the test is busy with meanwhile (driving a menu, waiting for a message box): a launch that
    // came while nobody looked would be timed late.
    void SetUp() override
    {
        LauncherTest::SetUp();
        m_watcher = std::thread([this] {
            while (!m_stop) {
                const auto launches = record_launch::ReadLaunches(m_log);
                const std::lock_guard<std::mutex> lock(m_seenLock);
                for (std::size_t i = m_seen.arguments.size(); i < launches.size(); ++i) {
                    m_seen.arguments.push_back(launches[i].empty() ? L"" : launches[i][0]);
                    m_seen.at.push_back(::GetTickCount64());
                }
                ::Sleep(10);
            }
        });
    }
    void TearDown() override
    {
        m_stop = true;
        m_watcher.join();
        LauncherTest::TearDown();
    }
    // Every launch so far, once there are `count` of them or the time-out has passed.
    Seen WatchLaunches(std::size_t count, DWORD timeoutMs)
    {
        auto seen = [&] {
            const std::lock_guard<std::mutex> lock(m_seenLock);
            return m_seen;
        };
        WaitUntil([&] { return seen().arguments.size() >= count; }, timeoutMs, 10);
        return seen();
    }
    std::thread m_watcher;
    std::atomic<bool> m_stop{false};
    std::mutex m_seenLock;
    Seen m_seen;

    // Chooses an entry of the list's context menu by its underlined letter (the main window is
    // showing, so the menu has the keyboard).
    void ChoosePageMenuEntry(LauncherProcess& launcher, HWND main, WORD letter)
    {
        ::PostMessageW(GroupPage(main), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GroupList(main)), MAKELPARAM(-1, -1));
        ASSERT_TRUE(WaitUntil(
            [&] {
                HWND menu = FindProcessWindow(launcher.Id(), L"#32768");
                return menu && ::IsWindowVisible(menu);
            },
            kTimeout));
        Key(letter);
        ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
    }
    static std::wstring ClipboardText()
    {
        std::wstring text;
        if (!::OpenClipboard(nullptr)) return text;
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) text = chars;
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return text;
    }
    // The user's desktop is a folder of the test's own while it lives.
    class ScopedDesktopFolder {
    public:
        explicit ScopedDesktopFolder(const std::wstring& folder)
        {
            wchar_t old[4096] = {};
            DWORD size = sizeof(old);
            if (::RegGetValueW(HKEY_CURRENT_USER, kKey, L"Desktop", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, old,
                               &size) == ERROR_SUCCESS)
                m_old = old;
            Set(folder);
        }
        ~ScopedDesktopFolder()
        {
            if (m_old) Set(*m_old);
            else ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Desktop");
        }

    private:
        static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
        static void Set(const std::wstring& value)
        {
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Desktop", REG_EXPAND_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
        std::optional<std::wstring> m_old;
    };

    // The line below the list that names the running group.
    HWND GroupStatus(HWND main) { return ::GetDlgItem(GroupPage(main), IDC_GROUP_STATUS); }

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

TEST_F(GroupsTest, TheIntervalHoldsThroughTheMenuAndASecondRunIsRefused)
{
    WriteGroup(L"Slow", 2, {Recorder(L"A"), m_folder / L"files\\missing.lnk", Recorder(L"C"), Recorder(L"D")});
    WriteGroup(L"Other", 0, {Recorder(L"O")});
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    MoveMouseTo(100, 100);
    ChooseGroupEntry(launcher, main, 1);  // the list is by caption: "Other", then "Slow"
    Seen seen = WatchLaunches(1, kTimeout);
    ASSERT_EQ(seen.arguments, (std::vector<std::wstring>{L"A"}));

    // The menu is up when C is due.
    ASSERT_NE(OpenTrayMenu(launcher, main), nullptr);
    Key(VK_HOME);
    Key(VK_DOWN);
    Key(VK_RIGHT);  // into "Group Start"
    seen = WatchLaunches(2, 6000);
    ASSERT_EQ(seen.arguments, (std::vector<std::wstring>{L"A", L"C"}));
    EXPECT_GE(seen.at[1] - seen.at[0], 1700u);
    EXPECT_LE(seen.at[1] - seen.at[0], 2700u) << "C came " << seen.at[1] - seen.at[0] << " ms after A";

    // "Other" (after "Stop Slow"): the message is up when D is due.
    Key(VK_HOME);
    Key(VK_DOWN);
    Key(VK_RETURN);
    HWND box = launcher.WaitForWindow(L"#32770", L"Orvo Launcher");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(HoldsText(box, L"Other Start Group is currently in progress\r\nPlease wait until the progress finish"));
    seen = WatchLaunches(3, 6000);
    ASSERT_EQ(seen.arguments, (std::vector<std::wstring>{L"A", L"C", L"D"})) << "\"Other\" did not run";
    EXPECT_GE(seen.at[2] - seen.at[0], 3700u);
    EXPECT_LE(seen.at[2] - seen.at[0], 4700u) << "D came " << seen.at[2] - seen.at[0] << " ms after A";
    Dismiss(launcher, box);

    // The group has ended: another one runs.
    ChooseGroupEntry(launcher, main, 0);
    EXPECT_EQ(WatchLaunches(4, kTimeout).arguments, (std::vector<std::wstring>{L"A", L"C", L"D", L"O"}));
}

TEST_F(GroupsTest, AGroupThatWaitsStartsEachProgramWhenTheLastIsReadyAndThePageShowsTheRun)
{
    // S is busy for 2.5 s before it takes input; B takes it at once (it ends).
    WriteGroup(L"Ready", 1, {Recorder(L"S", L"--idle-after=2500"), Recorder(L"B"), Recorder(L"C")},
               {{L"WaitReady", L"1"}});
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ChooseGroupEntry(launcher, main, 0);
    ASSERT_EQ(WatchLaunches(1, kTimeout).arguments, (std::vector<std::wstring>{L"S"}));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GroupStatus(main)) == L"Running: Ready (1 of 3)"; }, kTimeout))
        << TextOf(GroupStatus(main));

    Seen seen = WatchLaunches(3, 10000);
    ASSERT_EQ(seen.arguments, (std::vector<std::wstring>{L"S", L"B", L"C"}));
    // At a fixed pace B would have come after a second.
    EXPECT_GE(seen.at[1] - seen.at[0], 2400u) << "B came " << seen.at[1] - seen.at[0] << " ms after S";
    EXPECT_LE(seen.at[1] - seen.at[0], 4000u) << "B came " << seen.at[1] - seen.at[0] << " ms after S";
    // B had nothing to wait for: the interval.
    EXPECT_GE(seen.at[2] - seen.at[1], 900u);
    EXPECT_LE(seen.at[2] - seen.at[1], 2000u) << "C came " << seen.at[2] - seen.at[1] << " ms after B";
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GroupStatus(main)).empty(); }, kTimeout)) << "the run is over";
}

TEST_F(GroupsTest, ARunStoppedAfterItsSecondFileStartsNothingMore)
{
    WriteGroup(L"Morning", 2, {Recorder(L"A"), Recorder(L"B"), Recorder(L"C")});
    WriteGroup(L"Other", 0, {Recorder(L"O")});
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ChooseGroupEntry(launcher, main, 0);
    Seen seen = WatchLaunches(2, kTimeout);
    ASSERT_EQ(seen.arguments, (std::vector<std::wstring>{L"A", L"B"}));
    EXPECT_EQ(TextOf(GroupStatus(main)), L"Running: Morning (2 of 3)");
    ChooseGroupEntry(launcher, main, 0);  // "Stop Morning" comes first while it runs
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GroupStatus(main)).empty(); }, kTimeout));

    // Nothing runs any more: another group starts at once, with no message.
    ChooseGroupEntry(launcher, main, 1);
    seen = WatchLaunches(3, kTimeout);
    ASSERT_EQ(seen.arguments, (std::vector<std::wstring>{L"A", L"B", L"O"}));
    EXPECT_EQ(FindProcessWindow(launcher.Id(), L"#32770"), nullptr);
    // C was due 4 s after A: watched for until well past then.
    const ULONGLONG past = seen.at[0] + 5500, now = ::GetTickCount64();
    EXPECT_EQ(WatchLaunches(4, past > now ? static_cast<DWORD>(past - now) : 0).arguments,
              (std::vector<std::wstring>{L"A", L"B", L"O"}));
}

TEST_F(GroupsTest, TheCopiedCommandLineAndTheDesktopShortcutRunTheGroupInTheRunningCopyWhichTellsAnUnknownName)
{
    const std::wstring desktop = m_folder / L"desktop";
    TempFolder::MakeFolder(desktop);
    const ScopedDesktopFolder desktopGuard(desktop);
    WriteGroup(L"Morning Run", 0, {Recorder(L"A")});
    LauncherProcess launcher({Ini()});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ShowMainWindowInFront(launcher, main, kTimeout));
    SelectRow(main, 0);

    const std::wstring expected = L"\"" + LauncherExePath() + L"\" \"" + Ini() + L"\" /group \"Morning Run\"";
    ChoosePageMenuEntry(launcher, main, 'L');
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == expected; }, kTimeout)) << ClipboardText();
    // A second start with it (the name in any letter case) hands the group to the running copy and ends.
    EXPECT_EQ(RunToEnd({Ini(), L"/group", L"morning RUN"}), 0);
    EXPECT_EQ(WatchLaunches(1, kTimeout).arguments, (std::vector<std::wstring>{L"A"}));
    EXPECT_TRUE(::IsWindowVisible(main)) << "the main window stays as it was";

    ChoosePageMenuEntry(launcher, main, 'S');
    const std::wstring shortcut = desktop + L"\\Morning Run.lnk";
    ASSERT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES; }, kTimeout));
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof(open);
    open.fMask = SEE_MASK_NOCLOSEPROCESS;
    open.lpFile = shortcut.c_str();
    open.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(::ShellExecuteExW(&open));
    UniqueHandle second(open.hProcess);
    if (second) {
        EXPECT_EQ(::WaitForSingleObject(second.get(), 15000), WAIT_OBJECT_0);
    }
    EXPECT_EQ(WatchLaunches(2, kTimeout).arguments, (std::vector<std::wstring>{L"A", L"A"}));

    EXPECT_EQ(RunToEnd({L"-Group", L"Evening"}), 0);
    HWND box = launcher.WaitForWindow(L"#32770", L"Orvo Launcher");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(HoldsText(box, L"There is no start group named \"Evening\"."));
    Dismiss(launcher, box);
    EXPECT_EQ(record_launch::ReadLaunches(m_log).size(), 2u);
}

TEST_F(GroupsTest, TheFirstGroupToRunAtStartRunsOncePerStartUnlessTheCommandLineNamesOne)
{
    WriteGroup(L"Alpha", 0, {Recorder(L"A")});
    // The list's order counts, not the file's.
    WriteGroup(L"Gamma", 0, {Recorder(L"G")}, {{L"RunAtStart", L"1"}});
    WriteGroup(L"Beta", 0, {Recorder(L"B")}, {{L"RunAtStart", L"1"}});
    {
        LauncherProcess launcher({Ini()});
        HWND main = launcher.StartAndWaitForMainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(WatchLaunches(1, kTimeout).arguments, (std::vector<std::wstring>{L"B"}));
        // A second start shows the main window and runs nothing.
        EXPECT_EQ(RunToEnd({Ini()}), 0);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
        EXPECT_EQ(WatchLaunches(2, 2000).arguments, (std::vector<std::wstring>{L"B"}));
        launcher.PostCommand(kCmdExit);
        ASSERT_TRUE(launcher.WaitForExit(kTimeout));
    }
    LauncherProcess launcher({Ini(), L"/group", L"alpha"});
    ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);
    EXPECT_EQ(WatchLaunches(2, kTimeout).arguments, (std::vector<std::wstring>{L"B", L"A"}));
    EXPECT_EQ(WatchLaunches(3, 2000).arguments, (std::vector<std::wstring>{L"B", L"A"}));
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
    // One list: the begin and end of two lists read apart are no range.
    const auto sections = SectionNames();
    EXPECT_TRUE(std::none_of(sections.begin(), sections.end(),
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

TEST_F(GroupsTest, RenamingLeavesNoOldSectionAndDroppedFilesAreAppendedInOrderWithTheOptions)
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
    HWND waitReady = ::GetDlgItem(editor, IDC_EDITOR_WAIT_READY);
    EXPECT_EQ(::SendMessageW(waitReady, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "a stored group without the key";
    ::SendMessageW(waitReady, BM_CLICK, 0, 0);
    PressOk(editor);

    EXPECT_FALSE(HasSection(L"StartGroup_Games"));
    const IniFile ini(Ini());
    EXPECT_EQ(ini.ReadString(L"StartGroup_Play", L"TotalFile", L""), L"4");
    EXPECT_EQ(ini.ReadString(L"StartGroup_Play", L"Interval", L""), L"90");
    EXPECT_EQ(ini.ReadString(L"StartGroup_Play", L"1", L""), m_folder / L"files\\G.lnk");
    for (std::size_t i = 0; i < dropped.size(); ++i)
        EXPECT_EQ(ini.ReadString(L"StartGroup_Play", std::to_wstring(i + 2).c_str(), L""), dropped[i]);
    EXPECT_EQ(ini.ReadString(L"StartGroup_Play", L"WaitReady", L""), L"1");
    EXPECT_EQ(ini.ReadString(L"StartGroup_Play", L"RunAtStart", L"absent"), L"absent");

    // A rename in letter case only is no duplicate: the section takes the new name.
    SelectRow(main, 0);
    editor = OpenEditor(launcher, main, IDC_GROUP_EDIT, L"Edit Start Group");
    ASSERT_NE(editor, nullptr);
    ::SendMessageW(Caption(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"PLAY"));
    EXPECT_EQ(::SendMessageW(::GetDlgItem(editor, IDC_EDITOR_WAIT_READY), BM_GETCHECK, 0, 0), BST_CHECKED);
    PressOk(editor);
    EXPECT_TRUE(HasSection(L"StartGroup_PLAY"));
    EXPECT_EQ(IniFile(Ini()).ReadString(L"StartGroup_PLAY", L"WaitReady", L""), L"1");
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
