#include "items/ItemFileOperations.h"

#include <shellapi.h>
#include <shlobj.h>

#include "base/OsVersion.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "components/OrvoOpenDialog.h"
#include "items/ItemFileRules.h"

namespace {
constexpr const wchar_t* kMessageCaption = L"Orvo Launcher";
constexpr const wchar_t* kShortcutFilter = L"Shortcut files (*.lnk;*.url)|*.lnk;*.url|All files (*.*)|*.*";

void ErrorBox(HWND owner, const std::wstring& text)
{
    ::MessageBoxW(owner, text.c_str(), kMessageCaption, MB_OK | MB_ICONERROR);
}

bool PathExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring StartMenuFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return folder;
}
} // namespace

bool CopyOrMoveItem(HWND owner, const std::wstring& source, const std::wstring& targetFolder, bool move)
{
    if (!DirectoryExists(targetFolder)) {
        ::MessageBeep(MB_ICONASTERISK);
        ErrorBox(owner, L"Cannot open " + targetFolder);
        return false;
    }
    const std::wstring shown = ShownItemName(source);
    const std::wstring destination = IncludeTrailingBackslash(targetFolder) + ExtractFileName(source);
    if (PathExists(destination)) {
        ::MessageBeep(MB_ICONASTERISK);
        ErrorBox(owner, shown + L" already exists in " + targetFolder);
        return false;
    }
    // Neither call replaces a file that appeared since the test above.
    const bool done = move ? ::MoveFileW(source.c_str(), destination.c_str()) != FALSE
                           : ::CopyFileW(source.c_str(), destination.c_str(), TRUE) != FALSE;
    if (!done) {
        ErrorBox(owner, (move ? L"Cannot move the file " : L"Cannot copy the file ") + shown);
        return false;
    }
    return true;
}

void CopyDroppedFiles(HWND owner, const std::vector<std::wstring>& paths, const std::wstring& targetFolder)
{
    for (const std::wstring& path : paths)
        if (FileExists(path)) CopyOrMoveItem(owner, path, targetFolder, false);
}

bool DeleteItemFile(HWND owner, const std::wstring& path)
{
    // The source list ends with two nulls; a trailing backslash would name the folder's content.
    std::wstring from = ExcludeTrailingBackslash(path);
    from.push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO;
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

std::wstring PickShortcutFile(HWND owner)
{
    const std::wstring startMenu = StartMenuFolder();
    std::vector<std::wstring> files;
    if (IsNt6Exactly(CurrentOsVersion())) {
        if (!ExecuteSystemOpenDialog(owner, kShortcutFilter, false, files, startMenu, false)) return {};
    } else {
        TOrvoOpenDialog dialog;
        dialog.Filter = kShortcutFilter;
        dialog.InitialDir = startMenu;
        dialog.ShowPlacesBar = true;
        dialog.DereferenceLinks = false;
        if (!dialog.Execute(owner)) return {};
        files = dialog.Files();
    }
    return files.empty() ? std::wstring() : files.front();
}

std::wstring MenuTargetFolder(const std::wstring& nodePath, const std::wstring& menusFolder)
{
    return MenuTargetFolderFor(nodePath, menusFolder, !nodePath.empty() && FileExists(nodePath));
}

bool CreateNewMenuFolder(HWND owner, const std::wstring& parentFolder)
{
    if (!DirectoryExists(parentFolder)) return false;
    if (::CreateDirectoryW((IncludeTrailingBackslash(parentFolder) + L"New Folder").c_str(), nullptr)) return true;
    ::MessageBeep(MB_ICONASTERISK);
    ErrorBox(owner, L"Cannot create new folder");
    return false;
}
