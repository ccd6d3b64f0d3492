// The release as a user meets it: the setup program installs the program, installs again over the
// running copy and into another folder, and uninstalls; the portable folder runs with its settings
// and data beside the program. Paths carry blanks and non-ASCII characters throughout.

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
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
constexpr const wchar_t* kVersionKey = L"Software\\Orvo Solution\\Orvo Launcher";
constexpr const wchar_t* kRunOnceKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The names in a folder, for a failure message.
std::wstring Listing(const std::wstring& folder)
{
    std::wstring names;
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        names += L" \"" + std::wstring(found.cFileName) + L"\"";
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return names;
}

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
DWORD RegistryNumber(const wchar_t* key, const wchar_t* value)
{
    DWORD data = 0, size = sizeof(data);
    return ::RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_DWORD, nullptr, &data, &size) == ERROR_SUCCESS
               ? data
               : 0;
}
bool KeyExists(const wchar_t* key)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    ::RegCloseKey(opened);
    return true;
}
void SetRunValue(const std::wstring& name, const std::wstring& commandLine)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, ScopedPerUserState::kRunKey, name.c_str(), REG_SZ, commandLine.c_str(),
                      static_cast<DWORD>((commandLine.size() + 1) * sizeof(wchar_t)));
}

// "major.minor.release.build" of a file's version resource.
std::wstring FileVersion(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::string data(size, '\0');
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || !::GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return {};
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

std::wstring ShortcutTarget(const std::wstring& shortcut)
{
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return {};
    std::wstring target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = path;
        file->Release();
    }
    link->Release();
    return target;
}

// Runs a command line as given (setup wants "/D=" last and unquoted) and returns the program's
// exit code, or -1 when it did not start or end in time.
long RunCommandLine(std::wstring commandLine, DWORD timeoutMs = kSetupTimeout)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) ::GetExitCodeProcess(info.hProcess, &code);
    else ::TerminateProcess(info.hProcess, 1);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return static_cast<long>(code);
}
long RunProgram(const std::wstring& program, const std::wstring& arguments)
{
    return RunCommandLine(L"\"" + program + L"\" " + arguments);
}
long InstallSilently(const std::wstring& folder) { return RunProgram(SetupProgram(), L"/S /D=" + folder); }

// The hook library held by another program, as the programs that ran its hooks hold it for a while
// after the program ended.
class HeldLibrary {
public:
    explicit HeldLibrary(const std::wstring& path)
        : m_module(::LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES))
    {
    }
    ~HeldLibrary() { Release(); }
    HeldLibrary(const HeldLibrary&) = delete;
    HeldLibrary& operator=(const HeldLibrary&) = delete;
    bool Held() const { return m_module != nullptr; }
    void Release()
    {
        if (m_module) ::FreeLibrary(m_module);
        m_module = nullptr;
    }

private:
    HMODULE m_module;
};

// The setup program's own per-user state ("Apps and features" entry, Start menu shortcut), set
// aside while a test runs and put back after it, so a copy installed in this account survives.
class ScopedInstallState {
public:
    ScopedInstallState()
    {
        m_keyBackup = std::wstring(kUninstallKey) + L" (kept by test " + std::to_wstring(::GetCurrentProcessId()) + L")";
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            HKEY backup = nullptr;
            if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_keyBackup.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &backup, nullptr) == ERROR_SUCCESS) {
                m_keyKept = ::RegCopyTreeW(key, nullptr, backup) == ERROR_SUCCESS;
                ::RegCloseKey(backup);
            }
            ::RegCloseKey(key);
            if (m_keyKept) ::RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        }
        m_shortcutKept = ::MoveFileExW(StartMenuShortcut().c_str(), (StartMenuShortcut() + L".kept").c_str(), 0);
    }
    ~ScopedInstallState()
    {
        ::DeleteFileW(StartMenuShortcut().c_str());
        if (m_shortcutKept) ::MoveFileExW((StartMenuShortcut() + L".kept").c_str(), StartMenuShortcut().c_str(), 0);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        if (!m_keyKept) return;
        HKEY backup = nullptr, key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, m_keyBackup.c_str(), 0, KEY_READ, &backup) != ERROR_SUCCESS) return;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) == ERROR_SUCCESS) {
            ::RegCopyTreeW(backup, nullptr, key);
            ::RegCloseKey(key);
        }
        ::RegCloseKey(backup);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_keyBackup.c_str());
    }
    ScopedInstallState(const ScopedInstallState&) = delete;
    ScopedInstallState& operator=(const ScopedInstallState&) = delete;

private:
    std::wstring m_keyBackup;
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

    // The per-user settings as an installed copy finds them: a setting and an entry of the user's.
    void MakeUserSettingsAndData()
    {
        TempFolder::MakeFolder(ScopedPerUserState::MakerFolder());
        TempFolder::MakeFolder(PerUserSettingsFolder());
        TempFolder::MakeFolder(PerUserSettingsFolder() + L"\\Icons");
        const IniFile ini(UserIni());
        ini.Write(keys::ShowTime, 7);
        ini.Write(keys::AutoStart, true);
        ASSERT_TRUE(TempFolder::WriteFile(UserEntry(), kEntryText));
        // The program never rewrites a Run value it finds, so none of an earlier copy may be left.
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, ScopedPerUserState::kRunKey, L"Orvo Launcher");
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
    SetRunValue(L"Orvo Launcher portable", portableRun);

    // Installed: the 64-bit pair of this version, the shortcut, the "Apps and features" entry.
    ASSERT_EQ(InstallSilently(folder), 0);
    EXPECT_EQ(FileVersion(program), kVersion);
    EXPECT_EQ(FileVersion(folder + L"\\Launcher.dll"), kVersion);
    DWORD binaryType = 0;
    EXPECT_TRUE(::GetBinaryTypeW(program.c_str(), &binaryType) && binaryType == SCS_64BIT_BINARY);
    EXPECT_TRUE(Exists(folder + L"\\Uninstall.exe"));
    EXPECT_TRUE(EqualsNoCase(ShortcutTarget(StartMenuShortcut()), program));
    EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayName"), L"Orvo Launcher");
    EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayVersion"), kVersion);
    EXPECT_EQ(RegistryText(kUninstallKey, L"Publisher"), L"Orvo Solution");
    EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayIcon"), program + L",0");
    EXPECT_EQ(RegistryText(kUninstallKey, L"InstallLocation"), folder);
    EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"), L"\"" + folder + L"\\Uninstall.exe\"");
    WIN32_FILE_ATTRIBUTE_DATA exe{};
    ::GetFileAttributesExW(program.c_str(), GetFileExInfoStandard, &exe);
    EXPECT_GE(RegistryNumber(kUninstallKey, L"EstimatedSize"), exe.nFileSizeLow / 1024);

    // Started, it runs with the per-user settings; starting it again from the Start menu brings
    // its main window forward.
    {
        LauncherProcess launcher({}, program);
        HWND main = StartInstalled(launcher);
        ASSERT_NE(main, nullptr);
        SHELLEXECUTEINFOW again{};
        again.cbSize = sizeof(again);
        again.fMask = SEE_MASK_FLAG_NO_UI;
        const std::wstring shortcut = StartMenuShortcut();
        again.lpFile = shortcut.c_str();
        again.nShow = SW_SHOWNORMAL;
        ASSERT_TRUE(::ShellExecuteExW(&again));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
        // "Start with Windows" is on in the user's settings.
        EXPECT_EQ(ScopedPerUserState::ReadRunValue(L"Orvo Launcher").value_or(L""), L"\"" + program + L"\"");

        // The same version again over the running program, whose library another program holds:
        // it is ended, not killed, the files are replaced, and the user's settings and data stay.
        HeldLibrary held(folder + L"\\Launcher.dll");
        ASSERT_TRUE(held.Held());
        ASSERT_EQ(InstallSilently(folder), 0);
        ExpectEndedCleanly(launcher, main);
        held.Release();
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
        // A program that ran the first copy's hooks may still hold its library; then only that
        // is left, renamed, and it goes at the next sign-in.
        EXPECT_TRUE(!Exists(folder) || Listing(folder) == L" \".\" \"..\" \"Launcher.dll.1.old\"")
            << "the first folder keeps" << Listing(folder);
        EXPECT_TRUE(!Exists(folder) ||
                    RegistryText(kRunOnceKey, L"Orvo Launcher cleanup").find(folder) != std::wstring::npos);
        EXPECT_EQ(FileVersion(movedProgram), kVersion);
        EXPECT_EQ(RegistryText(kUninstallKey, L"InstallLocation"), moved);
        EXPECT_TRUE(EqualsNoCase(ShortcutTarget(StartMenuShortcut()), movedProgram));
        EXPECT_EQ(ScopedPerUserState::ReadRunValue(L"Orvo Launcher").value_or(L""), L"\"" + movedProgram + L"\"");
    }

    // Uninstalled over the running program: program files, shortcut, the entry, "Version" and
    // its own Run value go; the other copy's Run value, the settings and the data stay.
    LauncherProcess launcher({}, movedProgram);
    HWND main = StartInstalled(launcher);
    ASSERT_NE(main, nullptr);
    ASSERT_FALSE(RegistryText(kVersionKey, L"Version").empty()) << "the program writes its version at start";
    HeldLibrary held(moved + L"\\Launcher.dll");
    ASSERT_TRUE(held.Held());
    // The uninstaller runs on from a copy of itself in the temporary folder, so that it can remove
    // its own file; its work is seen in what it removes.
    ASSERT_EQ(RunProgram(moved + L"\\Uninstall.exe", L"/S"), 0);
    ExpectEndedCleanly(launcher, main);
    EXPECT_TRUE(WaitUntil([&] { return !KeyExists(kUninstallKey) && !Exists(movedProgram); }, kSetupTimeout));
    EXPECT_TRUE(WaitUntil([&] { return !ScopedPerUserState::ReadRunValue(L"Orvo Launcher"); }, kTimeout));
    EXPECT_FALSE(Exists(moved + L"\\Launcher.dll"));
    // The held library goes at the next sign-in; here the sign-in's command runs now (a library
    // of the first folder that the desktop may still hold stays).
    const std::wstring cleanup = RegistryText(kRunOnceKey, L"Orvo Launcher cleanup");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunOnceKey, L"Orvo Launcher cleanup");
    held.Release();
    ASSERT_FALSE(cleanup.empty());
    EXPECT_EQ(RunCommandLine(cleanup), 0);
    EXPECT_FALSE(Exists(moved));
    EXPECT_FALSE(Exists(StartMenuShortcut()));
    EXPECT_TRUE(RegistryText(kVersionKey, L"Version").empty());
    EXPECT_EQ(ScopedPerUserState::ReadRunValue(L"Orvo Launcher portable").value_or(L""), portableRun);
    ExpectUserSettingsAndDataKept();
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
    const std::wstring commandFile = folder + L"\\Start Orvo Launcher.cmd";
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    start.lpFile = commandFile.c_str();
    start.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(::ShellExecuteExW(&start));
    if (start.hProcess) {
        EXPECT_EQ(::WaitForSingleObject(start.hProcess, kTimeout), WAIT_OBJECT_0);
        ::CloseHandle(start.hProcess);
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
