#include "items/ShellImages.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "base/OsVersion.h"
#include "items/ItemRules.h"
#include "items/RegistryText.h"

HIMAGELIST SystemImageList()
{
    SHFILEINFOW info{};
    auto list = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (list) return list;
    // A system without a C: drive: any existing root gives the same shared list.
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length < 3 || length >= MAX_PATH) return nullptr;
    windows[3] = L'\0';
    return reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(windows, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

std::int32_t ShellIconIndex(const std::wstring& path, bool open)
{
    ComPtr<IShellFolder> desktop;
    if (FAILED(::SHGetDesktopFolder(desktop.put())) || !desktop) return -1;
    std::vector<wchar_t> name(path.begin(), path.end());
    name.push_back(L'\0');
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(desktop.get()->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &pidl, nullptr)) || !pidl)
        return -1;
    UniqueCoTaskMem pidlOwner(pidl);
    SHFILEINFOW info{};
    UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (open) flags |= SHGFI_OPENICON;
    if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info, flags)) return -1;
    return info.iIcon;
}

std::int32_t NeutralDocumentIconIndex()
{
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(L"entry", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                          SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return -1;
    return info.iIcon;
}

std::int32_t FolderIconIndex(const std::wstring& dataFolder) { return ShellIconIndex(dataFolder, false); }

std::int32_t FolderOpenIconIndex(const std::wstring& dataFolder) { return ShellIconIndex(dataFolder, true); }

bool SharesSystemImagesNow()
{
    const auto themeActive = ReadRegistryText(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager",
                                              L"ThemeActive");
    const auto layers = ReadRegistryText(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers", L"Orvo Launcher");
    return SharesSystemImages(CurrentOsVersion(), themeActive.value_or(L""), layers.value_or(L""));
}

UniqueImageList CreateItemImageList()
{
    int cx = ::GetSystemMetrics(SM_CXSMICON);
    int cy = ::GetSystemMetrics(SM_CYSMICON);
    if (HIMAGELIST system = SystemImageList()) {
        int sx = 0, sy = 0;
        if (::ImageList_GetIconSize(system, &sx, &sy) && sx > 0 && sy > 0) {
            cx = sx;
            cy = sy;
        }
    }
    return UniqueImageList(::ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 0, 16));
}

std::int32_t CopySystemImage(HIMAGELIST target, HIMAGELIST system, std::int32_t systemIndex)
{
    if (!target || !system || systemIndex < 0) return -1;
    UniqueHicon icon(::ImageList_GetIcon(system, systemIndex, ILD_NORMAL));
    if (!icon) return -1;
    return ::ImageList_ReplaceIcon(target, -1, icon.get());
}
