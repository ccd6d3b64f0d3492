#include "app/SystemMenu.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app/Commands.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/ShellImages.h"

namespace {
constexpr int kNoFolder = -1;

struct SystemMenuEntry {
    unsigned command;  // 0: a separator
    const wchar_t* caption;
    int target;       // the special folder opened; kNoFolder for the applet
    int imageFolder;  // the special folder whose icon the entry shows
    bool allUsers;    // shown only where the system has the folder
};

constexpr SystemMenuEntry kEntries[] = {
    {kCmdOpenDesktop, L"Desktop", CSIDL_DESKTOP, CSIDL_DESKTOP, false},
    {0, nullptr, kNoFolder, kNoFolder, false},
    {kCmdOpenMyComp, L"My Computer", CSIDL_DRIVES, CSIDL_DRIVES, false},
    {kCmdOpenMyDoc, L"My Documents", CSIDL_PERSONAL, CSIDL_PERSONAL, false},
    {kCmdOpenRecycle, L"Recycle Bin", CSIDL_BITBUCKET, CSIDL_BITBUCKET, false},
    {0, nullptr, kNoFolder, kNoFolder, false},
    {kCmdOpenStartMenuAll, L"Start Menu (All Users)", CSIDL_COMMON_STARTMENU, CSIDL_COMMON_STARTMENU, true},
    {kCmdOpenStartUpAll, L"Startup (All Users)", CSIDL_COMMON_STARTUP, CSIDL_COMMON_STARTUP, true},
    {kCmdOpenStartMenu, L"Start Menu", CSIDL_STARTMENU, CSIDL_STARTMENU, false},
    {kCmdOpenStartUp, L"Startup", CSIDL_STARTUP, CSIDL_STARTUP, false},
    {0, nullptr, kNoFolder, kNoFolder, false},
    {kCmdOpenControlPanel, L"Control Panel", CSIDL_CONTROLS, CSIDL_CONTROLS, false},
    {kCmdOpenPrinter, L"Printers", CSIDL_PRINTERS, CSIDL_PRINTERS, false},
    {kCmdOpenDialUp, L"Dialup Networking", kNoFolder, CSIDL_NETWORK, false},
};

// The item ID list of a special folder, freed with the shell's allocator; null when the system
// has no such folder.
UniqueCoTaskMem SpecialFolderLocation(HWND owner, int csidl)
{
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(owner, csidl, &list))) return UniqueCoTaskMem();
    return UniqueCoTaskMem(list);
}

void ShellOpenFolder(PCIDLIST_ABSOLUTE folder, const wchar_t* verb)
{
    // Virtual folders (the recycle bin, the control panel) have no path: they open by their list.
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_IDLIST;
    info.lpVerb = verb;
    info.lpIDList = const_cast<ITEMIDLIST*>(static_cast<const ITEMIDLIST*>(folder));
    info.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExW(&info);
}

void StartProgram(const std::wstring& program, std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

bool SpecialFolderExists(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) && DirectoryExists(path);
}
} // namespace

SystemMenuSystem SystemMenuSystem::Default()
{
    SystemMenuSystem system;
    system.FolderExists = SpecialFolderExists;
    system.Os = CurrentOsVersion();
    system.OpenFolder = ShellOpenFolder;
    system.RunProgram = StartProgram;
    return system;
}

TSystemMenu::TSystemMenu(HWND owner, std::function<bool()> openVerb, SystemMenuSystem system)
    : m_owner(owner), m_openVerb(std::move(openVerb)), m_system(std::move(system)), m_images(std::size(kEntries))
{
}

void TSystemMenu::SetSystemMenuImages(bool sharesSystemImages)
{
    HIMAGELIST system = SystemImageList();
    // Copies are made afresh each time: the shell's icons may have changed with the theme.
    if (!sharesSystemImages) m_ownImages = CreateItemImageList();
    for (std::size_t i = 0; i < std::size(kEntries); ++i) {
        Image& image = m_images[i];
        image = {};
        if (kEntries[i].command == 0) continue;
        const UniqueCoTaskMem folder = SpecialFolderLocation(m_owner, kEntries[i].imageFolder);
        if (!folder) continue;
        SHFILEINFOW info{};
        const auto list = static_cast<LPCWSTR>(folder.get());
        if (sharesSystemImages) {
            if (::SHGetFileInfoW(list, 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
                image = {system, info.iIcon};
        } else if (::SHGetFileInfoW(list, 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON) &&
                   info.hIcon) {
            const int index = ::ImageList_AddIcon(m_ownImages.get(), info.hIcon);
            ::DestroyIcon(info.hIcon);
            if (index >= 0) image = {m_ownImages.get(), index};
        }
    }
    const int programFolder = ShellIconIndex(ExcludeTrailingBackslash(ExtractFilePath(ModuleFileName())), false);
    if (sharesSystemImages) {
        m_programFolderImages = system;
        m_programFolderIndex = programFolder;
    } else {
        m_programFolderImages = m_ownImages.get();
        m_programFolderIndex = programFolder >= 0 ? CopySystemImage(m_ownImages.get(), system, programFolder) : -1;
    }
}

std::vector<MenuCommand> TSystemMenu::Entries() const
{
    std::vector<MenuCommand> entries;
    const bool nt = IsNtFamily(m_system.Os);
    for (std::size_t i = 0; i < std::size(kEntries); ++i) {
        const SystemMenuEntry& entry = kEntries[i];
        if (entry.command == 0) {
            entries.push_back({});
            continue;
        }
        if (entry.allUsers && (!nt || !m_system.FolderExists || !m_system.FolderExists(entry.target))) continue;
        entries.push_back({entry.command, entry.caption, m_images[i].images, m_images[i].index});
    }
    return entries;
}

bool TSystemMenu::OnCommand(unsigned id)
{
    for (const SystemMenuEntry& entry : kEntries) {
        if (entry.command != id || id == 0) continue;
        if (entry.target == kNoFolder) OpenNetworkConnections();
        else OpenSpecialFolder(entry.target, m_openVerb && !m_openVerb() ? L"explore" : L"open");
        return true;
    }
    return false;
}

void TSystemMenu::OpenSpecialFolder(int csidl, const wchar_t* verb) const
{
    const UniqueCoTaskMem folder = SpecialFolderLocation(m_owner, csidl);
    if (!folder) return;
    if (m_system.OpenFolder) m_system.OpenFolder(static_cast<PCIDLIST_ABSOLUTE>(folder.get()), verb);
}

void TSystemMenu::OpenNetworkConnections() const
{
    // From the system folder by its full path: never a rundll32.exe that lies in the current folder.
    wchar_t systemFolder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring program = IncludeTrailingBackslash(systemFolder) + L"rundll32.exe";
    std::wstring commandLine = L"\"" + program + L"\" shell32.dll,Control_RunDLL ";
    commandLine += IsNtFamily(m_system.Os) ? L"ncpa.cpl" : L"netcpl.cpl";
    if (m_system.RunProgram) m_system.RunProgram(program, std::move(commandLine));
}
