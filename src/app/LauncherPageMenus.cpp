// The context menus of the "Launcher" page: TBPopupMenu on the menu tree, TBPopupIcon on the Icons
// bar and TBPopupMenuFloat on the Floating bar.

#include <iterator>

#include "app/Commands.h"
#include "app/LauncherPage.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/Item.h"
#include "items/ItemFileOperations.h"
#include "items/ShellOperations.h"

namespace {
// The page's own commands; the others are the main window's.
enum PageCommand : unsigned {
    kPageProperties = 1,
    kPageDelete,
    kPageExecute,
    kPageNewFolder,
    kPageNewItem,  // "&New Menu" or "&New Icon"
    kPageCopyFromShortcut,
    kPageCopyAsIcon,
    kPageCopyAsFloat,
    kPageMoveAsIcon,
    kPageMoveAsFloat,
    kPageCopyAsMenu,
    kPageMoveAsMenu,
};

struct PageMenuEntry {
    unsigned id;  // 0: a separator
    const wchar_t* caption;
    int image;
    bool itemEntry;  // acts on the item the menu was opened on; disabled without one
};

constexpr PageMenuEntry kTreeMenu[] = {
    {kPageProperties, L"&Properties", -1, true},
    {kPageDelete, L"&Delete", -1, true},
    {kPageExecute, L"E&xecute", -1, true},
    {0, nullptr, -1, false},
    {kPageNewFolder, L"New &Folder", -1, false},
    {kPageNewItem, L"&New Menu", -1, false},
    {kPageCopyFromShortcut, L"Copy from &Shortcut", -1, false},
    {0, nullptr, -1, false},
    {kPageCopyAsIcon, L"&Copy as Icon", -1, true},
    {kPageCopyAsFloat, L"Copy as &Floating Icon", -1, true},
    {kPageMoveAsIcon, L"&Move as Icon", -1, true},
    {kPageMoveAsFloat, L"Move as Floating &Icon", -1, true},
    {0, nullptr, -1, false},
    {kCmdMenuRefreshMenuHK, L"&Refresh Hotkey", kImageRefreshHotKey, false},
    {kCmdViewHotKeys, L"&View HotKeys", -1, false},
    {kCmdReloadMenu, L"Re&load Menu", -1, false},
    {0, nullptr, -1, false},
    {kCmdShowHelp, L"&Help", kImageHelp, false},
};

constexpr PageMenuEntry kIconsMenu[] = {
    {kPageProperties, L"&Properties", -1, true},
    {kPageDelete, L"&Delete", -1, true},
    {kPageExecute, L"E&xecute", -1, true},
    {0, nullptr, -1, false},
    {kPageNewItem, L"&New Icon", -1, false},
    {kPageCopyFromShortcut, L"Copy from &Shortcut", -1, false},
    {0, nullptr, -1, false},
    {kPageCopyAsMenu, L"&Copy as Menu", -1, true},
    {kPageCopyAsFloat, L"Copy as &Floating Icon", -1, true},
    {kPageMoveAsFloat, L"Move as Floating &Icon", -1, true},
    {kPageMoveAsMenu, L"&Move as Menu", -1, true},
    {0, nullptr, -1, false},
    {kCmdIconRefreshHK, L"&Refresh Hotkey", kImageRefreshHotKey, false},
    {kCmdViewHotKeys, L"&View HotKeys", -1, false},
    {kCmdIconReloadIcon, L"Re&load Icon", -1, false},
    {0, nullptr, -1, false},
    {kCmdShowHelp, L"&Help", kImageHelp, false},
};

// On the Floating bar the other bar is the tray's: "Copy as Icon" reads "Copy as Tray Icon".
constexpr PageMenuEntry kFloatingMenu[] = {
    {kPageProperties, L"&Properties", -1, true},
    {kPageDelete, L"&Delete", -1, true},
    {kPageExecute, L"E&xecute", -1, true},
    {0, nullptr, -1, false},
    {kPageNewItem, L"&New Icon", -1, false},
    {kPageCopyFromShortcut, L"Copy from &Shortcut", -1, false},
    {0, nullptr, -1, false},
    {kPageCopyAsMenu, L"&Copy as Menu", -1, true},
    {kPageCopyAsIcon, L"Copy as &Tray Icon", -1, true},
    {kPageMoveAsIcon, L"Move as Tray &Icon", -1, true},
    {kPageMoveAsMenu, L"&Move as Menu", -1, true},
    {0, nullptr, -1, false},
    {kCmdFloatRefreshHK, L"&Refresh Hotkey", kImageRefreshHotKey, false},
    {kCmdViewHotKeys, L"&View HotKeys", -1, false},
    {kCmdFloatReloadIcon, L"Re&load Icon", -1, false},
    {0, nullptr, -1, false},
    {kCmdShowHelp, L"&Help", kImageHelp, false},
};

constexpr bool IsPageCommand(unsigned id) { return id >= kPageProperties && id <= kPageMoveAsMenu; }
} // namespace

void LauncherPage::OpenContextMenu(PageList list, std::optional<std::uint16_t> buttonId, POINT at)
{
    MenuTarget target;
    target.list = list;
    const PageMenuEntry* begin = nullptr;
    const PageMenuEntry* end = nullptr;
    switch (list) {
    case PageList::MenuTree:
        target.hasNode = m_tree->HasCurrentNode();
        target.onItem = target.hasNode && !m_tree->CurrentIsRoot();
        target.hasChildren = m_tree->CurrentHasChildren();
        target.path = m_tree->CurrentNodePath();
        begin = std::begin(kTreeMenu), end = std::end(kTreeMenu);
        break;
    case PageList::IconsBar:
        target.onItem = buttonId.has_value();
        if (buttonId) target.path = m_host->IconsItemFile(*buttonId);
        begin = std::begin(kIconsMenu), end = std::end(kIconsMenu);
        break;
    case PageList::FloatingBar:
        target.onItem = buttonId.has_value();
        if (buttonId) target.path = m_host->FloatingItemFile(*buttonId);
        begin = std::begin(kFloatingMenu), end = std::end(kFloatingMenu);
        break;
    }

    HMENU root = m_contextMenu.Root();
    m_contextMenu.RemoveEntriesFrom(root, 0);
    for (const PageMenuEntry* entry = begin; entry != end; ++entry) {
        if (entry->id == 0) m_contextMenu.AppendSeparator(root);
        else
            m_contextMenu.AppendEntry(root, entry->id, entry->caption, MenuEntryLook{m_menuImages, entry->image, {}},
                                      !entry->itemEntry || target.onItem);
    }
    m_contextMenu.SetDefaultEntry(root, 0);  // "&Properties"
    const unsigned chosen = m_contextMenu.Popup(at);
    if (chosen != 0) ExecuteMenuCommand(target, chosen);
}

void LauncherPage::ExecuteMenuCommand(const MenuTarget& target, unsigned id)
{
    if (!IsPageCommand(id)) {
        m_host->ExecutePageCommand(id);
        return;
    }
    if (target.list == PageList::MenuTree) ExecuteTreeCommand(target, id);
    else ExecuteBarCommand(target, id);
}

void LauncherPage::ExecuteTreeCommand(const MenuTarget& target, unsigned id)
{
    const std::wstring menus = CollectionFolder(kMenusFolderName);
    const std::wstring& path = target.path;
    switch (id) {
    case kPageProperties:
        if (!path.empty()) ShowFileProperties(path);  // folders too
        return;
    case kPageDelete:
        if (!path.empty()) DeleteItemFile(Owner(), path);
        return;
    case kPageExecute:
        if (FileExists(path)) LaunchItemFile(path);
        return;
    case kPageNewFolder:
        if (target.hasNode) m_tree->ExpandCurrent();
        CreateNewMenuFolder(Owner(), MenuTargetFolder(path, menus));
        return;
    case kPageNewItem: {
        if (!target.hasNode) return;
        m_tree->ExpandCurrent();
        const std::wstring folder = MenuTargetFolder(path, menus);
        if (DirectoryExists(folder)) RunNewShortcutWizard(folder);
        return;
    }
    case kPageCopyFromShortcut: {
        const std::wstring folder = MenuTargetFolder(path, menus);
        const std::wstring file = PickShortcutFile(Owner());
        if (!file.empty()) CopyOrMoveItem(Owner(), file, folder, false);
        return;
    }
    default:
        break;
    }
    // The copies and moves take entries only: a folder, even an empty one, is no icon.
    if (!target.onItem || target.hasChildren || path.empty() || DirectoryExists(path)) return;
    const bool move = id == kPageMoveAsIcon || id == kPageMoveAsFloat;
    const bool toIcons = id == kPageCopyAsIcon || id == kPageMoveAsIcon;
    CopyOrMoveItem(Owner(), path, CollectionFolder(toIcons ? kIconsFolderName : kFloatingFolderName), move);
}

void LauncherPage::ExecuteBarCommand(const MenuTarget& target, unsigned id)
{
    const bool icons = target.list == PageList::IconsBar;
    const std::wstring folder = CollectionFolder(icons ? kIconsFolderName : kFloatingFolderName);
    const std::wstring& file = target.path;
    const bool itemExists = target.onItem && FileExists(file);
    switch (id) {
    case kPageProperties:
        if (itemExists) ShowFileProperties(file);
        return;
    case kPageDelete:
        if (itemExists) DeleteItemFile(Owner(), file);
        return;
    case kPageExecute:
        if (itemExists) LaunchItemFile(file);
        return;
    case kPageNewItem:
        // The Floating bar hands the wizard its folder without the trailing backslash.
        if (DirectoryExists(folder)) RunNewShortcutWizard(icons ? folder : ExcludeTrailingBackslash(folder));
        return;
    case kPageCopyFromShortcut: {
        const std::wstring chosen = PickShortcutFile(Owner());
        if (!chosen.empty()) CopyOrMoveItem(Owner(), chosen, folder, false);
        return;
    }
    default:
        break;
    }
    if (!target.onItem || file.empty()) return;
    const bool move = id == kPageMoveAsMenu || id == kPageMoveAsFloat || id == kPageMoveAsIcon;
    std::wstring to;
    if (id == kPageCopyAsMenu || id == kPageMoveAsMenu) to = CollectionFolder(kMenusFolderName);
    else if (id == kPageCopyAsFloat || id == kPageMoveAsFloat) to = CollectionFolder(kFloatingFolderName);
    else if (id == kPageCopyAsIcon || id == kPageMoveAsIcon) to = CollectionFolder(kIconsFolderName);
    if (!to.empty()) CopyOrMoveItem(Owner(), file, to, move);
}
