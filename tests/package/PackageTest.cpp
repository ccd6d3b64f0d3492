// The release as a user meets it: the setup program installs the program, installs again over the
// running copy and into another folder, and uninstalls; the portable folder runs with its settings
// and data beside the program. Paths carry blanks and non-ASCII characters throughout.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "LauncherVersion.h"
#include "app/Settings.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "common/PerUserState.h"
#include "common/TempFolder.h"
#include "e2e/Harness.h"
#include "e2e/LauncherTest.h"

using namespace e2e;

namespace {
#define WIDEN2(text) L##text
#define WIDEN(text) WIDEN2(text)
const std::wstring kVersion = WIDEN(LAUNCHER_VERSION_STRING);

constexpr DWORD kTimeout = 20000;
// Setup extracts and writes a few megabytes; a loaded machine may need a while.
constexpr DWORD kSetupTimeout = 120000;
constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvo Launcher";
constexpr const wchar_t* kRunOnceKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const wchar_t* kRunKey = ScopedPerUserState::kRunKey;

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Where scripts/package wrote the release for the tests (beside this test program).
std::wstring PackageFolder() { return ExtractFilePath(ModuleFileName()) + L"package\\"; }
std::wstring SetupProgram() { return PackageFolder() + L"OrvoLauncher-" + kVersion + L"-setup-x64.exe"; }

std::wstring StartMenuShortcut()
{
    wchar_t programs[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::wstring(programs) + L"\\Orvo Launcher.lnk";
}

std::wstring RegistryText(const wchar_t* key, const wchar_t* value)
{
    wchar_t data[2048] = {};
    DWORD size = sizeof(data);
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return {};
    return data;
}
std::wstring RunValue(const wchar_t* name) { return ScopedPerUserState::ReadRunValue(name).value_or(L""); }

// "major.minor.release.build" of a file's version resource.
std::wstring FileVersion(const std::wstring& path)
{
    DWORD ignored = 0;
    std::string data(::GetFileVersionInfoSizeW(path.c_str(), &ignored), '\0');
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (data.empty() || !::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return {};
    std::wstring text;
    for (unsigned part : {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                          LOWORD(info->dwFileVersionLS)})
        text += (text.empty() ? L"" : L".") + std::to_wstring(part);
    return text;
}

// Runs a command line as given (setup wants "/D=" last and unquoted) and returns the program's
// exit code, or -1 when it did not start or end in time.
long RunCommandLine(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(info.hProcess, kSetupTimeout) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(info.hProcess, &code);
    else
        ::TerminateProcess(info.hProcess, 1);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return static_cast<long>(code);
}
long InstallSilently(const std::wstring& folder)
{
    return RunCommandLine(L"\"" + SetupProgram() + L"\" /S /D=" + folder);
}

// The hook library held by another program, as programs that ran its hooks hold it for a while.
HMODULE HoldLibrary(const std::wstring& folder)
{
    return ::LoadLibraryExW((folder + L"\\Launcher.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
}

// Opens a file as the shell does for a user, without the shell's error boxes.
bool ShellOpen(const std::wstring& file, HANDLE* process = nullptr)
{
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof(open);
    open.fMask = SEE_MASK_FLAG_NO_UI | (process ? SEE_MASK_NOCLOSEPROCESS : 0);
    open.lpFile = file.c_str();
    open.nShow = SW_SHOWNORMAL;
    const bool opened = ::ShellExecuteExW(&open) != FALSE;
    if (process) *process = open.hProcess;
    return opened;
}

// The setup program's own per-user state, the "Apps and features" entry and the Start menu
// shortcut, set aside while a test runs and put back after it.
class ScopedInstallState {
public:
    ScopedInstallState()
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            m_keyKept = Copy(key, m_backup) && ::RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey) == ERROR_SUCCESS;
            ::RegCloseKey(key);
        }
        m_shortcutKept = ::MoveFileExW(StartMenuShortcut().c_str(), (StartMenuShortcut() + L".kept").c_str(), 0);
    }
    ~ScopedInstallState()
    {
        ::DeleteFileW(StartMenuShortcut().c_str());
        if (m_shortcutKept) ::MoveFileExW((StartMenuShortcut() + L".kept").c_str(), StartMenuShortcut().c_str(), 0);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        HKEY backup = nullptr;
        if (!m_keyKept || ::RegOpenKeyExW(HKEY_CURRENT_USER, m_backup.c_str(), 0, KEY_READ, &backup) != ERROR_SUCCESS)
            return;
        if (Copy(backup, kUninstallKey)) ::RegDeleteTreeW(HKEY_CURRENT_USER, m_backup.c_str());
        ::RegCloseKey(backup);
    }
    ScopedInstallState(const ScopedInstallState&) = delete;
    ScopedInstallState& operator=(const ScopedInstallState&) = delete;

private:
    static bool Copy(HKEY from, const std::wstring& to)
    {
        HKEY target = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                              nullptr) != ERROR_SUCCESS)
            return false;
        const bool copied = ::RegCopyTreeW(from, nullptr, target) == ERROR_SUCCESS;
        ::RegCloseKey(target);
        return copied;
    }
    std::wstring m_backup =
        std::wstring(kUninstallKey) + L" (kept by test " + std::to_wstring(::GetCurrentProcessId()) + L")";
    bool m_keyKept = false;
    bool m_shortcutKept = false;
};

class PackageTest : public testing::Test {
protected:
    void SetUp() override
    {
        KillStrayLaunchers();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override
    {
        KillStrayLaunchers();
        ::CoUninitialize();
    }

    // The per-user settings as an installed copy finds them: a setting and an entry of the user's,
    // and "Start with Windows" on.
    void MakeUserSettingsAndData()
    {
        for (const auto& folder :
             {ScopedPerUserState::MakerFolder(), PerUserSettingsFolder(), PerUserSettingsFolder() + L"\\Icons"})
            TempFolder::MakeFolder(folder);
        const IniFile ini(UserIni());
        ini.Write(keys::ShowTime, 7);
        ini.Write(keys::AutoStart, true);
        ASSERT_TRUE(TempFolder::WriteFile(UserEntry(), kEntryText));
        // The program never rewrites a Run value it finds, so none of an earlier copy may be left.
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Orvo Launcher");
    }
    void ExpectUserSettingsAndDataKept()
    {
        EXPECT_EQ(IniFile(UserIni()).Read(keys::ShowTime), 7);
        EXPECT_EQ(ReadFileBytes(UserEntry()), kEntryText);
    }
    static std::wstring UserIni() { return PerUserSettingsFolder() + L"\\Launcher.ini"; }
    static std::wstring UserEntry() { return PerUserSettingsFolder() + L"\\Icons\\Web Site.url"; }
    static constexpr const char* kEntryText = "[InternetShortcut]\r\nURL=http://localhost/\r\n";

    // The per-user folders, the program's key and the Run values used here are put back.
    ScopedPerUserState m_perUser{{L"Orvo Launcher", L"Orvo Launcher portable"}};
    ScopedInstallState m_install;
    // Wine's shell links keep a target path in the ANSI code page only, so the installed copy,
    // which has a Start menu shortcut, gets letters that code page holds; the portable folder
    // needs no shortcut and gets any.
    TempFolder m_folder{L"Orvo T\u00e9st \u00c4"};
    TempFolder m_anyFolder{L"Orvo T\u00e9st \u8a66\u9a13"};
};

// The installed program started as the user starts it; its main tray icon shows once it runs.
HWND StartInstalled(LauncherProcess& launcher)
{
    HWND main = launcher.StartAndWaitForMainWindow(kTimeout);
    if (main && !WaitUntil([&] { return TrayIconExists(main, 1); }, kTimeout)) return nullptr;
    return main;
}

// It ended by itself (exit code 0), and gave back its tray icon on the way.
void ExpectEndedCleanly(LauncherProcess& launcher, HWND main)
{
    DWORD code = 1;
    EXPECT_TRUE(launcher.WaitForExit(kTimeout, &code)) << "setup did not end the running program";
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(TrayIconExists(main, 1));
}
} // namespace

TEST_F(PackageTest, InstallsUpgradesOverTheRunningProgramMovesAndUninstallsKeepingTheData)
{
    ASSERT_TRUE(Exists(SetupProgram())) << "scripts/package wrote no setup program";
    MakeUserSettingsAndData();
    const std::wstring folder = m_folder / L"Orvo Launcher";
    const std::wstring program = folder + L"\\Launcher.exe";
    // A Run value of another copy, which no uninstall may take.
    const std::wstring portableRun = L"\"C:\\Portable\\Launcher.exe\" \"C:\\Portable\\Launcher.ini\"";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Orvo Launcher portable", REG_SZ, portableRun.c_str(),
                      static_cast<DWORD>((portableRun.size() + 1) * sizeof(wchar_t)));

    // Installed: the 64-bit pair of this version, the shortcut, the "Apps and features" entry.
    ASSERT_EQ(InstallSilently(folder), 0);
    EXPECT_EQ(FileVersion(program), kVersion);
    EXPECT_EQ(FileVersion(folder + L"\\Launcher.dll"), kVersion);
    DWORD binaryType = 0;
    EXPECT_TRUE(::GetBinaryTypeW(program.c_str(), &binaryType) && binaryType == SCS_64BIT_BINARY);
    EXPECT_TRUE(Exists(folder + L"\\Uninstall.exe"));
    EXPECT_TRUE(Exists(folder + L"\\help\\index.html")) << "the help is not beside the program";
    EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayName"), L"Orvo Launcher");
    EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayVersion"), kVersion);
    EXPECT_EQ(RegistryText(kUninstallKey, L"Publisher"), L"Orvo Solution");
    EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayIcon"), program + L",0");
    EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"), L"\"" + folder + L"\\Uninstall.exe\"");
    DWORD sizeKb = 0, bytes = sizeof(sizeKb);
    ::RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &sizeKb, &bytes);
    WIN32_FILE_ATTRIBUTE_DATA exe{};
    ::GetFileAttributesExW(program.c_str(), GetFileExInfoStandard, &exe);
    EXPECT_GE(sizeKb, exe.nFileSizeLow / 1024);

    // Started, it runs with the per-user settings; starting it again from the Start menu brings
    // its main window forward.
    {
        LauncherProcess launcher({}, program);
        HWND main = StartInstalled(launcher);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(ShellOpen(StartMenuShortcut()));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
        EXPECT_EQ(RunValue(L"Orvo Launcher"), L"\"" + program + L"\"");

        // The same version again over the running program, whose library another program holds:
        // it is ended, not killed, the files are replaced, and the user's settings and data stay.
        HMODULE held = HoldLibrary(folder);
        ASSERT_NE(held, nullptr);
        ASSERT_EQ(InstallSilently(folder), 0);
        ExpectEndedCleanly(launcher, main);
        ::FreeLibrary(held);
        EXPECT_EQ(FileVersion(program), kVersion);
        EXPECT_EQ(FileVersion(folder + L"\\Launcher.dll"), kVersion);
        ExpectUserSettingsAndDataKept();
    }

    // Into another folder over the program running from the first: the first folder's program
    // files go, and "Start with Windows" now starts the new copy.
    const std::wstring moved = m_folder / L"Moved \u00c4";
    const std::wstring movedProgram = moved + L"\\Launcher.exe";
    {
        LauncherProcess launcher({}, program);
        HWND main = StartInstalled(launcher);
        ASSERT_NE(main, nullptr);
        ASSERT_EQ(InstallSilently(moved), 0);
        ExpectEndedCleanly(launcher, main);
        EXPECT_FALSE(Exists(program));
        // A program that ran the first copy's hooks may still hold its library; then only that is
        // left, renamed, and it goes at the next sign-in.
        const bool cleanupWaits =
            RegistryText(kRunOnceKey, L"Orvo Launcher cleanup").find(folder) != std::wstring::npos;
        EXPECT_TRUE(!Exists(folder) || (!Exists(folder + L"\\Launcher.dll") && cleanupWaits));
        EXPECT_EQ(FileVersion(movedProgram), kVersion);
        EXPECT_EQ(RegistryText(kUninstallKey, L"InstallLocation"), moved);
        EXPECT_EQ(RunValue(L"Orvo Launcher"), L"\"" + movedProgram + L"\"");
    }

    // Uninstalled over the running program: program files, shortcut, the entry, "Version" and
    // its own Run value go; the other copy's Run value, the settings and the data stay.
    LauncherProcess launcher({}, movedProgram);
    HWND main = StartInstalled(launcher);
    ASSERT_NE(main, nullptr);
    ASSERT_FALSE(RegistryText(L"Software\\Orvo Solution\\Orvo Launcher", L"Version").empty());
    HMODULE held = HoldLibrary(moved);
    ASSERT_NE(held, nullptr);
    // The uninstaller runs on from a copy of itself in the temporary folder, so that it can remove
    // its own file; its work is seen in what it removes.
    ASSERT_EQ(RunCommandLine(L"\"" + moved + L"\\Uninstall.exe\" /S"), 0);
    ExpectEndedCleanly(launcher, main);
    EXPECT_TRUE(WaitUntil([&] { return RegistryText(kUninstallKey, L"DisplayName").empty() && !Exists(movedProgram); },
                          kSetupTimeout));
    EXPECT_TRUE(WaitUntil([&] { return RunValue(L"Orvo Launcher").empty(); }, kTimeout));
    EXPECT_FALSE(Exists(moved + L"\\Launcher.dll"));
    EXPECT_FALSE(Exists(StartMenuShortcut()));
    EXPECT_TRUE(RegistryText(L"Software\\Orvo Solution\\Orvo Launcher", L"Version").empty());
    EXPECT_EQ(RunValue(L"Orvo Launcher portable"), portableRun);
    ExpectUserSettingsAndDataKept();

    // The held library goes at the next sign-in; here the sign-in's command runs now (a library of
    // the first folder that the desktop may still hold stays).
    const std::wstring cleanup = RegistryText(kRunOnceKey, L"Orvo Launcher cleanup");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunOnceKey, L"Orvo Launcher cleanup");
    ::FreeLibrary(held);
    ASSERT_FALSE(cleanup.empty());
    EXPECT_EQ(RunCommandLine(cleanup), 0);
    EXPECT_FALSE(Exists(moved));
}

TEST_F(PackageTest, PortableFolderKeepsItsSettingsAndDataBesideTheProgram)
{
    // The unpacked zip, moved where a user might put it: a path with blanks and non-ASCII letters.
    const std::wstring unpacked = PackageFolder() + L"portable-x64\\Orvo Launcher";
    const std::wstring folder = m_anyFolder / L"Orvo Launcher";
    ASSERT_TRUE(TempFolder::MakeFolder(folder));
    for (const wchar_t* name : {L"Launcher.exe", L"Launcher.dll", L"Read Me.txt", L"Start Orvo Launcher.cmd"})
        ASSERT_TRUE(::CopyFileW((unpacked + L"\\" + name).c_str(), (folder + L"\\" + name).c_str(), TRUE)) << name;

    // Started the way the text file says: its command file, opened as the shell opens it.
    HANDLE commandFile = nullptr;
    ASSERT_TRUE(ShellOpen(folder + L"\\Start Orvo Launcher.cmd", &commandFile));
    if (commandFile) {
        EXPECT_EQ(::WaitForSingleObject(commandFile, kTimeout), WAIT_OBJECT_0);
        ::CloseHandle(commandFile);
    }
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = ::FindWindowW(L"TOrvoLauncherClass", L"Orvo Launcher")) != nullptr; },
                          kTimeout));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main, 1); }, kTimeout));
    DWORD processId = 0;
    ::GetWindowThreadProcessId(main, &processId);
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    ASSERT_NE(process, nullptr);
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    ::QueryFullProcessImageNameW(process, 0, image, &size);
    ::CloseHandle(process);
    EXPECT_TRUE(EqualsNoCase(image, folder + L"\\Launcher.exe")) << "the running program is " << image;

    // Its settings file and data folder are its own folder; nothing went to the per-user folder.
    const IniFile ini(folder + L"\\Launcher.ini");
    ASSERT_TRUE(WaitUntil([&] { return ini.Read(keys::DataFolder) == folder + L"\\"; }, kTimeout));
    for (const wchar_t* name : {L"\\Icons", L"\\Menus", L"\\Floating"}) EXPECT_TRUE(Exists(folder + name)) << name;
    EXPECT_FALSE(Exists(ScopedPerUserState::MakerFolder()));
}

TEST_F(PackageTest, InstallingAgainIntoTheSameFolderWrittenAnotherWayKeepsTheProgram)
{
    ASSERT_TRUE(Exists(SetupProgram())) << "scripts/package wrote no setup program";
    const std::wstring folder = m_folder / L"Orvo Launcher";
    ASSERT_EQ(InstallSilently(folder), 0);
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(::GetShortPathNameW(folder.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(shortName, folder) << "the folder has no short name";
    std::wstring upper = folder;
    ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));

    for (const std::wstring& spelling : {std::wstring(shortName), upper, folder + L"\\"}) {
        SCOPED_TRACE(WideToUtf8(spelling));
        ASSERT_EQ(InstallSilently(spelling), 0);
        EXPECT_EQ(FileVersion(folder + L"\\Launcher.exe"), kVersion);
        EXPECT_EQ(FileVersion(folder + L"\\Launcher.dll"), kVersion);
        EXPECT_TRUE(Exists(folder + L"\\Uninstall.exe"));
    }
}

TEST_F(PackageTest, AFolderOfAnotherProgramGetsAFolderOfItsOwnAndUninstallTakesOnlyOurs)
{
    ASSERT_TRUE(Exists(SetupProgram())) << "scripts/package wrote no setup program";
    const std::wstring other = m_folder / L"Other Program";
    ASSERT_TRUE(TempFolder::MakeFolder(other));
    const char* foreign = "another program's file";
    const wchar_t* names[] = {L"Launcher.exe", L"Launcher.dll", L"Uninstall.exe"};
    for (const wchar_t* name : names) ASSERT_TRUE(TempFolder::WriteFile(other + L"\\" + name, foreign));
    const auto expectOthersKept = [&] {
        for (const wchar_t* name : names)
            EXPECT_TRUE(ReadFileBytes(other + L"\\" + name) == foreign) << WideToUtf8(name) << " was changed";
    };

    // Installed there, and again the same way (an upgrade): each time into a folder of its own.
    const std::wstring ours = other + L"\\Orvo Launcher";
    for (int install = 1; install <= 2; ++install) {
        SCOPED_TRACE(install);
        ASSERT_EQ(InstallSilently(other), 0);
        expectOthersKept();
        EXPECT_EQ(FileVersion(ours + L"\\Launcher.exe"), kVersion);
        EXPECT_EQ(RegistryText(kUninstallKey, L"InstallLocation"), ours);
    }
    EXPECT_FALSE(Exists(ours + L"\\Orvo Launcher"));

    // Uninstalled, only what it installed goes: a file the user keeps beside it stays, and so does
    // everything of the other program.
    ASSERT_TRUE(TempFolder::WriteFile(ours + L"\\Notes.txt", "mine"));
    ASSERT_EQ(RunCommandLine(L"\"" + ours + L"\\Uninstall.exe\" /S"), 0);
    EXPECT_TRUE(WaitUntil([&] { return RegistryText(kUninstallKey, L"DisplayName").empty(); }, kSetupTimeout));
    for (const wchar_t* name : {L"Launcher.exe", L"Launcher.dll", L"Uninstall.exe", L"Uninstall.ini", L"help"})
        EXPECT_FALSE(Exists(ours + L"\\" + name)) << WideToUtf8(name);
    EXPECT_EQ(ReadFileBytes(ours + L"\\Notes.txt"), "mine");
    expectOthersKept();
}
