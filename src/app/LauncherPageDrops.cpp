// Drops on the "Launcher" page: files from the shell onto the three panels, and items dragged
// between the tree and the two bars. Every drop copies; none moves.

#include "app/LauncherPage.h"
#include "base/WinUtil.h"
#include "components/DragTracker.h"
#include "items/Item.h"
#include "items/ItemFileOperations.h"

namespace {
bool ContainsScreenPoint(HWND window, POINT screen)
{
    RECT r{};
    return window && ::IsWindowVisible(window) && ::GetWindowRect(window, &r) && ::PtInRect(&r, screen);
}
} // namespace

void LauncherPage::ConnectDrops()
{
    // Files from the shell: each existing file, whatever lies under the drop point.
    m_menuDrop.OnDropFiles = [this](const DroppedFiles& files, POINT) {
        CopyDroppedFiles(Owner(), files, CollectionFolder(kMenusFolderName));
    };
    m_iconDrop.OnDropFiles = [this](const DroppedFiles& files, POINT) {
        CopyDroppedFiles(Owner(), files, CollectionFolder(kIconsFolderName));
    };
    m_floatingDrop.OnDropFiles = [this](const DroppedFiles& files, POINT) {
        CopyDroppedFiles(Owner(), files, CollectionFolder(kFloatingFolderName));
    };
}

std::optional<ItemDropTarget> LauncherPage::DropTargetAt(POINT screen) const
{
    if (ContainsScreenPoint(m_menuDrop.Handle(), screen)) return ItemDropTarget::MenuTree;
    if (ContainsScreenPoint(m_iconDrop.Handle(), screen)) return ItemDropTarget::IconsBar;
    if (ContainsScreenPoint(m_floatingDrop.Handle(), screen)) return ItemDropTarget::FloatingBar;
    return std::nullopt;
}

void LauncherPage::DragFrom(ItemDragSource source, const std::wstring& file)
{
    m_dragSource = source;
    m_dragFile = file;
    auto treePoint = [this](POINT screen) {
        ::ScreenToClient(m_tree->Handle(), &screen);
        return screen;
    };
    const std::optional<POINT> dropped = TrackItemDrag(Handle(), [&](POINT screen) {
        const std::optional<ItemDropTarget> target = DropTargetAt(screen);
        // The node that would take the drop is marked while the drag passes over it.
        m_tree->ShowDropTarget(target == ItemDropTarget::MenuTree ? std::optional<POINT>(treePoint(screen))
                                                                 : std::nullopt);
        return target && AcceptsItemDrop(*target, source);
    });
    m_tree->ShowDropTarget(std::nullopt);
    if (dropped) {
        if (const std::optional<ItemDropTarget> target = DropTargetAt(*dropped)) DropAt(*target, *dropped);
    }
    m_dragFile.clear();
}

void LauncherPage::DropAt(ItemDropTarget target, POINT screen)
{
    const std::optional<std::wstring> file =
        DroppedItemFile(target, m_dragSource, m_dragFile, m_tree->CurrentNodePath());
    // Folders cannot be dragged: only a file is copied.
    if (!file || !FileExists(*file)) return;
    std::wstring folder;
    switch (target) {
    case ItemDropTarget::IconsBar: folder = CollectionFolder(kIconsFolderName); break;
    case ItemDropTarget::FloatingBar: folder = CollectionFolder(kFloatingFolderName); break;
    case ItemDropTarget::MenuTree: {
        ::ScreenToClient(m_tree->Handle(), &screen);
        const std::optional<std::wstring> node = m_tree->NodePathAt(screen);
        const std::wstring menus = CollectionFolder(kMenusFolderName);
        folder = node ? MenuTargetFolder(*node, menus) : menus;
        break;
    }
    }
    CopyOrMoveItem(Owner(), *file, folder, false);
}
