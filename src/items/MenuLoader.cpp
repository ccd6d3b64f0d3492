// The "Menus" collection: a depth-first walk in which a folder's sub-folders come before its files.

#include <windows.h>

#include "base/Handles.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/CollectionLoader.h"
#include "items/ItemFiles.h"
#include "items/ItemRules.h"
#include "items/LoadCursor.h"
#include "items/ShellImages.h"

namespace {
// Volume and file index of a folder: a link back to one of the folders being walked (a junction or a symbolic
// link) would otherwise make the walk endless.
std::wstring FolderIdentity(const std::wstring& folder)
{
    UniqueFileHandle handle(::CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle || !::GetFileInformationByHandle(handle.get(), &info)) return {};
    return std::to_wstring(info.dwVolumeSerialNumber) + L':' + std::to_wstring(info.nFileIndexHigh) + L':' +
           std::to_wstring(info.nFileIndexLow);
}
} // namespace

void CollectionLoader::LoadMenus()
{
    const LoadRun run(*this);
    HourglassCursor hourglass;
    m_menus.HotKeyTexts().clear();
    ProbeImageMode();
    DiscardMenus();

    const std::wstring folder = m_dataFolder + kMenusFolderName;
    if (!DirectoryExists(folder)) {
        m_menusCache.Clear();
        return;  // a missing folder leaves the collection empty
    }

    m_folderIconIndex = ::FolderIconIndex(m_dataFolder);
    m_folderOpenIconIndex = ::FolderOpenIconIndex(m_dataFolder);
    if (m_menusSurface)
        m_menusSurface->BeginMenusLoad(ImagesFor(m_menus), m_systemImages, folder, ShellIconIndex(m_programFile, false));
    PathSet ancestors(FoldPathCase);
    if (const std::wstring identity = FolderIdentity(folder); !identity.empty()) ancestors.Insert(identity);
    std::vector<std::wstring> files;
    AddMenuFolder(folder, ancestors, files);
    m_menusCache.Retain(files);
    QueueReads();
    if (m_menusSurface) m_menusSurface->EndMenusLoad();
}

void CollectionLoader::AddMenuFolder(const std::wstring& folder, PathSet& ancestors, std::vector<std::wstring>& files)
{
    const MenuFolderEntries entries = ListMenuFolder(folder);
    for (const std::wstring& subFolder : entries.SubFolders) {
        const std::wstring subIdentity = FolderIdentity(subFolder);
        if (!subIdentity.empty()) {
            if (ancestors.Contains(subIdentity)) continue;
            ancestors.Insert(subIdentity);
        }
        MenuFolder menuFolder;
        menuFolder.Path = subFolder;
        menuFolder.Name = ExtractFileName(subFolder);
        menuFolder.Caption = ItemCaption(menuFolder.Name);
        menuFolder.TreeImageIndex = m_folderIconIndex;
        menuFolder.TreeOpenImageIndex = m_folderOpenIconIndex;
        // In the copied mode every submenu draws the one copy of the folder icon.
        menuFolder.MenuImageIndex =
            m_sharesSystemImages ? m_folderIconIndex : m_menus.ImageCopyOf(m_systemImages, m_folderIconIndex);
        if (m_menusSurface) m_menusSurface->BeginMenuFolder(menuFolder);
        AddMenuFolder(subFolder, ancestors, files);
        if (!subIdentity.empty()) ancestors.Erase(subIdentity);
        if (m_menusSurface) m_menusSurface->EndMenuFolder();
    }

    // The top of the menu is what the user sees first; submenus are read after it.
    const ReadTier tier = folder == m_dataFolder + kMenusFolderName ? ReadTier::FirstSight : ReadTier::Later;
    for (std::size_t i = 0; i < entries.Files.size(); ++i) {
        const std::wstring& file = entries.Files[i];
        std::uint16_t id = 0;
        if (!ItemIdFor(m_menus.FirstId(), m_menus.Count(), id)) return;
        files.push_back(file);
        const FileStamp stamp = i < entries.FileStamps.size() ? entries.FileStamps[i] : FileStamp{};
        Item item = ListedItem(m_menus, m_menusCache, file, stamp, id, tier);
        const std::int32_t systemIndex = item.ImageIndex;
        const bool placed = PlaceImage(item, m_menus);
        if (placed) item.Kind = CollectionKind::Menus;
        m_menus.Items().push_back(item);
        if (placed && m_hotKeys) m_hotKeys->RegisterItemHotKey(item, m_menus.HotKeyTexts());
        if (m_menusSurface) m_menusSurface->AddMenuFile(item, systemIndex, placed);
    }
}
