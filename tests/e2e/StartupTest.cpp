// Start-up, the single-instance rule, show/hide and the ways the program ends.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "app/Commands.h"
#include "app/Settings.h"
#include "base/Strings.h"
#include "common/PerUserState.h"
#include "common/TempFolder.h"
#include "e2e/LauncherTest.h"
#include "e2e/Harness.h"
#include "hook/HookRecord.h"
#include "unit/hook/HookTestSupport.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool IsFolder(const std::wstring& path)
{
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring RegistryString(const wchar_t* key, const wchar_t* value)
{
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return {};
    return data;
}

// Holds the hook library's lock for as long as it lives, as any process of the user can: one that
// hangs while it holds it, or one that means harm.
struct HookLockHolder {
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kHookMutexName);
    DWORD got = mutex ? ::WaitForSingleObject(mutex, kTimeout) : WAIT_FAILED;
    bool Held() const { return got == WAIT_OBJECT_0 || got == WAIT_ABANDONED; }
    ~HookLockHolder()
    {
        if (Held()) ::ReleaseMutex(mutex);
        if (mutex) ::CloseHandle(mutex);
    }
};

class StartupTest : public testing::Test {
protected:
    void SetUp() override { KillStrayLaunchers(); }
    void TearDown() override { KillStrayLaunchers(); }

    // A settings file of our own, so no test touches another's.
    std::wstring SettingsFile() const { return m_folder / L"settings.ini"; }

    // Asks to exit and returns the confirmation that comes up.
    static HWND ExitToConfirmation(LauncherProcess& launcher)
    {
        launcher.PostCommand(kCmdExit);
        return launcher.WaitForWindow(L"#32770", L"Confirm");
    }

    // The per-user folders, the program's key and the Run values these tests write are put back.
    ScopedPerUserState m_perUser{{L"Orvo Launcher settings"}};
    TempFolder m_folder;
};
} // namespace

TEST_F(StartupTest, FirstStartCreatesPerUserSettingsFoldersAndVersion)
{
    const std::wstring perUser = PerUserSettingsFolder();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orvo Solution");

    LauncherProcess launcher;
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(::IsWindowVisible(main)) << "the program starts hidden";

    const std::wstring ini = perUser + L"\\Launcher.ini";
    // "DataFolder" is written last in start-up.
    ASSERT_TRUE(WaitUntil([&] { return Exists(ini) && !IniFile(ini).Read(keys::DataFolder).empty(); }, kTimeout));
    EXPECT_TRUE(IsFolder(perUser + L"\\Icons"));
    EXPECT_TRUE(IsFolder(perUser + L"\\Menus"));
    EXPECT_TRUE(IsFolder(perUser + L"\\Floating"));
    EXPECT_EQ(IniFile(ini).Read(keys::DataFolder), perUser + L"\\");
    EXPECT_EQ(RegistryString(L"Software\\Orvo Solution\\Orvo Launcher", L"Version"), L"1.0.0 (Build 1)");

    // The hidden application window: class "TApplication", a tool window.
    HWND application = FindProcessWindow(launcher.Id(), L"TApplication", L"Orvo Launcher");
    ASSERT_NE(application, nullptr);
    EXPECT_FALSE(::IsWindowVisible(application));
    EXPECT_TRUE(::GetWindowLongPtrW(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    IniFile(ini).Write(keys::ExitDialog, true);
    launcher.PostCommand(kCmdExit);
    DWORD code = 99;
    EXPECT_TRUE(launcher.WaitForExit(kTimeout, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(StartupTest, BareArgumentSelectsFileInPerUserFolder)
{
    const std::wstring ini = PerUserSettingsFolder() + L"\\e2ework.ini";
    ::DeleteFileW(ini.c_str());
    LauncherProcess launcher({L"e2ework"});
    ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Exists(ini) && !IniFile(ini).Read(keys::DataFolder).empty(); }, kTimeout));
    launcher.Terminate();
}

TEST_F(StartupTest, FullPathStartLeavesNoTraceInThePerUserFolder)
{
    const std::wstring ini = SettingsFile();
    LauncherProcess launcher({ini});
    ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !IniFile(ini).Read(keys::DataFolder).empty(); }, kTimeout));
    EXPECT_EQ(IniFile(ini).Read(keys::DataFolder), m_folder.Path() + L"\\");
    IniFile(ini).Write(keys::ExitDialog, true);
    launcher.PostCommand(kCmdExit);
    EXPECT_TRUE(launcher.WaitForExit(kTimeout));
    EXPECT_FALSE(Exists(ScopedPerUserState::MakerFolder()));
}

TEST_F(StartupTest, SecondStartTogglesTheFirstAndExitsWithZero)
{
    const std::wstring ini = SettingsFile();
    LauncherProcess first({ini});
    HWND main = first.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_FALSE(::IsWindowVisible(main));

    EXPECT_EQ(RunToEnd({ini}), 0);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));

    // The main window: client area 388 x 401, three pages, the three buttons.
    RECT client{};
    ::GetClientRect(main, &client);
    EXPECT_EQ(client.right, 388);
    EXPECT_EQ(client.bottom, 401);
    HWND pages = ::FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr);
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(::SendMessageW(pages, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_NE(FindChildByText(main, L"&OK"), nullptr);
    EXPECT_NE(FindChildByText(main, L"&Help"), nullptr);
    EXPECT_NE(FindChildByText(main, L"&About"), nullptr);
    // Shown, the application window carries the taskbar button.
    HWND application = FindProcessWindow(first.Id(), L"TApplication", L"Orvo Launcher");
    EXPECT_TRUE(::GetWindowLongPtrW(application, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    EXPECT_EQ(RunToEnd({ini}), 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, kTimeout));
    // Hidden again, it has no taskbar button.
    EXPECT_TRUE(WaitUntil([&] { return (::GetWindowLongPtrW(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0; },
                          kTimeout));
    EXPECT_TRUE(first.IsRunning());
}

TEST_F(StartupTest, CloseMinimizeAndOkOnlyHide)
{
    const std::wstring ini = SettingsFile();
    LauncherProcess launcher({ini});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);

    for (auto hide : {+[](HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); },
                      +[](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_MINIMIZE, 0); },
                      +[](HWND w) { ::PostMessageW(w, WM_COMMAND, kCmdOK, 0); },
                      // Enter presses the default button, "&OK".
                      +[](HWND) { Key(VK_RETURN); }}) {
        launcher.PostCommand(kCmdShowMainWindow);
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) && ::GetForegroundWindow() == main; }, kTimeout));
        hide(main);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, kTimeout));
        EXPECT_TRUE(launcher.IsRunning());
    }
}

TEST_F(StartupTest, ExitAsksAndRemembersTheCheckBox)
{
    const std::wstring ini = SettingsFile();
    LauncherProcess launcher({ini});
    ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);

    // No, with the box ticked: the program stays and the next Exit does not ask.
    HWND confirm = ExitToConfirmation(launcher);
    ASSERT_NE(confirm, nullptr);
    // The dialog fills itself in as it initialises.
    HWND box = WaitForChildByText(confirm, L"&Don't show this message again");
    EXPECT_NE(FindChildByText(confirm, L"Do you really want to close Orvo Launcher?"), nullptr);
    ASSERT_NE(box, nullptr);
    HWND no = FindChildByText(confirm, L"&No");
    ASSERT_NE(no, nullptr);
    // The box sits below the buttons, left-aligned with the icon.
    RECT boxRect{}, noRect{};
    ::GetWindowRect(box, &boxRect);
    ::GetWindowRect(no, &noRect);
    EXPECT_GT(boxRect.top, noRect.bottom - 1);
    ::SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    ::PostMessageW(confirm, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(no));
    EXPECT_TRUE(WaitUntil([&] { return IniFile(ini).Read(keys::ExitDialog); }, kTimeout));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(confirm); }, kTimeout));
    EXPECT_TRUE(launcher.IsRunning());

    launcher.PostCommand(kCmdExit);
    DWORD code = 99;
    EXPECT_TRUE(launcher.WaitForExit(kTimeout, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(StartupTest, ExitConfirmedWithYesEnds)
{
    const std::wstring ini = SettingsFile();
    LauncherProcess launcher({ini});
    ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);
    HWND confirm = ExitToConfirmation(launcher);
    ASSERT_NE(confirm, nullptr);
    ::PostMessageW(confirm, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    DWORD code = 99;
    EXPECT_TRUE(launcher.WaitForExit(kTimeout, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(IniFile(ini).ReadString(L"Dialogs", L"ExitDialog", L""), L"0");
}

TEST_F(StartupTest, EndOfSessionEndsWithoutAsking)
{
    const std::wstring ini = SettingsFile();
    LauncherProcess launcher({ini});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(answer, 1u) << "the session may end";
    DWORD code = 99;
    EXPECT_TRUE(launcher.WaitForExit(kTimeout, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FindProcessWindow(launcher.Id(), L"#32770", L"Confirm"), nullptr);
}

TEST_F(StartupTest, DataFolderThatCannotBeCreatedEndsTheProgram)
{
    // "Icons" exists as a file, so the collection folder can be neither found nor created.
    const std::wstring data = m_folder / L"data";
    ::CreateDirectoryW(data.c_str(), nullptr);
    WriteFileBytes(data + L"\\Icons", "not a folder");
    const std::wstring ini = SettingsFile();
    IniFile(ini).Write(keys::DataFolder, data + L"\\");

    LauncherProcess launcher({ini});
    ASSERT_TRUE(launcher.Start());
    HWND message = launcher.WaitForWindow(L"#32770", L"Orvo Launcher");
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const auto& text : ChildTexts(message))
                if (text.find(L"Orvo Launcher cannot create folder to store the data.") == 0) return true;
            return false;
        },
        kTimeout));
    ::PostMessageW(message, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD code = 99;
    EXPECT_TRUE(launcher.WaitForExit(kTimeout, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(StartupTest, EmptyOrRelativeDataFolderIsBesideTheSettingsFileWhateverFolderTheStartIsIn)
{
    // The start's current folder, as a shortcut's "Start in" sets it, holds a "Data" folder too.
    TempFolder elsewhere;
    TempFolder::MakeFolder(elsewhere / L"Data");
    TempFolder::MakeFolder(m_folder / L"Data");
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    struct RestoreFolder {
        const wchar_t* folder;
        ~RestoreFolder() { ::SetCurrentDirectoryW(folder); }
    } restore{saved};
    ASSERT_TRUE(::SetCurrentDirectoryW(elsewhere.Path().c_str()));

    const std::wstring ini = SettingsFile();
    const std::wstring hotKeysFile = m_folder / L"HotKeys.xml";
    for (const auto& [setting, dataFolder] : {std::pair{L"Data", m_folder / L"Data"}, std::pair{L"", m_folder.Path()}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(setting)));
        IniFile(ini).Write(keys::DataFolder, setting);
        ::DeleteFileW(hotKeysFile.c_str());
        LauncherProcess launcher({ini});
        ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);
        // The hotkey list is written once start-up has loaded the collections.
        ASSERT_TRUE(WaitUntil([&] { return Exists(hotKeysFile); }, kTimeout));
        EXPECT_TRUE(IsFolder(dataFolder + L"\\Menus"));
        EXPECT_FALSE(Exists(elsewhere / L"Data\\Menus"));
        EXPECT_EQ(IniFile(ini).Read(keys::DataFolder), setting);
        launcher.Terminate();
    }
}

TEST_F(StartupTest, AutoStartWritesRunEntryNamedAfterTheSettingsFile)
{
    const std::wstring ini = SettingsFile();
    IniFile(ini).Write(keys::AutoStart, true);
    const wchar_t* runKey = ScopedPerUserState::kRunKey;
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, runKey, L"Orvo Launcher settings");

    LauncherProcess launcher({ini});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !RegistryString(runKey, L"Orvo Launcher settings").empty(); }, kTimeout));
    EXPECT_EQ(RegistryString(runKey, L"Orvo Launcher settings"), L"\"" + LauncherExePath() + L"\" \"" + ini + L"\"");

    // The entry removed behind the program's back: the next menu shows it on the Options page too.
    HWND box = WaitForChildByText(main, L"Start with Windows", kTimeout);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, runKey, L"Orvo Launcher settings");
    ASSERT_NE(OpenTrayMenu(launcher, main), nullptr);
    Key(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, kTimeout));
    launcher.Terminate();
}

TEST_F(StartupTest, SecondStartWhileAboutBoxIsOpenLeavesItInFront)
{
    const std::wstring ini = SettingsFile();
    LauncherProcess launcher({ini});
    HWND main = launcher.StartAndWaitForMainWindow();
    ASSERT_NE(main, nullptr);
    launcher.PostCommand(kCmdShowAboutDialog);
    HWND about = launcher.WaitForWindow(L"#32770", L"About Orvo Launcher");
    ASSERT_NE(about, nullptr);
    EXPECT_NE(WaitForChildByText(about, L"Version 1.0.0 (Build 1)"), nullptr);

    // Something else is in front when the second start asks the first to show itself. Its
    // thread takes in what the foreground change sends it while the test waits.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                                   nullptr, nullptr);
    // Asked for again while it does not hold: one request may come while Wine is still busy
    // with the About box's activation.
    ASSERT_TRUE(WaitUntil(
        [&] {
            ::SetForegroundWindow(other);
            return WaitForForeground(other, 500);
        },
        kTimeout, 0));
    EXPECT_EQ(RunToEnd({ini}), 0);
    EXPECT_TRUE(WaitForForeground(about, kTimeout)) << "the open modal window comes forward";
    EXPECT_FALSE(::IsWindowVisible(main)) << "a modal window is open: the main window is not shown";
    ::DestroyWindow(other);

    // One modal window at a time: a second About request only beeps.
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(main, WM_COMMAND, kCmdShowAboutDialog, 0, SMTO_NORMAL, 5000, &ignored));
    EXPECT_EQ(FindProcessWindows(launcher.Id(), L"#32770", L"About Orvo Launcher").size(), 1u);
    ::PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, kTimeout));
}

// Another process that holds the hook library's lock neither stops the start nor the end. Held
// from before the start, the program comes up without its triggers and without a word; taken
// while it runs, Exit still ends it: the exit path waits for the lock three times (stopping the
// mouse kind, asking what is still watched, asking for the receiver) and once more as the library
// unloads, each a bounded time, on top of an ordinary exit.
TEST_F(StartupTest, HookLockHeldElsewhereStopsNeitherStartNorExit)
{
    const std::wstring ini = SettingsFile();
    IniFile(ini).Write(keys::ExitDialog, true);
    const DWORD exitWithinMs = 3 * hook::kExportWaitMs + hook::kAttachWaitMs + 3000;
    {
        HookLockHolder lock;
        ASSERT_TRUE(lock.Held());
        LauncherProcess launcher({ini});
        ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);
        // Written after the triggers started, when nothing stopped the start-up to ask the user.
        EXPECT_TRUE(WaitUntil([&] { return Exists(m_folder / L"HotKeys.xml"); }, kTimeout));
        launcher.PostCommand(kCmdExit);
        EXPECT_TRUE(launcher.WaitForExit(exitWithinMs));
    }

    LauncherProcess launcher({ini});
    ASSERT_NE(launcher.StartAndWaitForMainWindow(), nullptr);
    hooktest::RecordView record;
    ASSERT_TRUE(record.Valid());
    // Both kinds are watched, the keyboard last, with this program's window as the receiver.
    ASSERT_TRUE(WaitUntil(
        [&] {
            const THookSharedData r = record.Read();
            DWORD owner = 0;
            ::GetWindowThreadProcessId(HandleFromField<HWND>(r.Receiver), &owner);
            return owner == launcher.Id() && r.KeyWatchers > 0;
        },
        kTimeout));
    bool ended = false;
    {
        HookLockHolder lock;
        ASSERT_TRUE(lock.Held());
        launcher.PostCommand(kCmdExit);
        ended = launcher.WaitForExit(exitWithinMs);
    }
    EXPECT_TRUE(ended);
    // What the program could not give back stays in the record (a program that comes later takes
    // a gone receiver's entries over by itself); the library's own tests want a clean record.
    if (ended) {
        record.Change([](THookSharedData& r) {
            if (::IsWindow(HandleFromField<HWND>(r.Receiver))) return;
            hooktest::RemoveLeftoverHooks(r);
            r.Receiver = 0;
            --r.AttachedProcesses;
        });
    }
}
