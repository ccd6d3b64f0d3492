#pragma once
// The "Launcher" page of the main window: the three collections as the user manages them. The
// menu tree under "Popup Menus:", the Icons bar under "Tray Icons:" and the Floating bar under
// "Floating Icons:", each inside a panel that takes files dropped from the shell, each with its
// context menu; items are dragged between them. Every command changes files in the collection
// folders only: the folder watch rebuilds the surfaces.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/Window.h"
#include "components/DragDrop.h"
#include "components/ToolBarPager.h"
#include "items/ItemFileRules.h"
#include "popupmenu/OrvoTBPopupMenuEx.h"
#include "popupmenu/PopupMenuTree.h"

// What the page needs of the main window.
class LauncherPageHost {
public:
    virtual ~LauncherPageHost() = default;
    // The data folder, with its trailing backslash.
    virtual std::wstring PageDataFolder() const = 0;
    // The file of the Icons or Floating item with this Id; empty when there is none.
    virtual std::wstring IconsItemFile(std::uint16_t id) const = 0;
    virtual std::wstring FloatingItemFile(std::uint16_t id) const = 0;
    // A command of the main window: hotkeys, the hotkey list, the reloads, help.
    virtual void ExecutePageCommand(unsigned id) = 0;
};

class LauncherPage : public ChildDialog {
public:
    LauncherPage();
    ~LauncherPage() override;

    // Creates the page from its template and its lists. `menuImages` ("MENUIMAGE", not owned)
    // draws the context menus' images.
    void CreatePage(HINSTANCE instance, HWND parent, LauncherPageHost& host, HIMAGELIST menuImages);
    // Lays the lists out for the page's size.
    void LayOut();

    ToolBarPager* IconsBar() const noexcept { return m_iconsBar.get(); }
    ToolBarPager* FloatingBar() const noexcept { return m_floatingBar.get(); }
    PopupMenuTree* MenuTree() const noexcept { return m_tree.get(); }

protected:
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Which list a context menu belongs to.
    enum class PageList { MenuTree, IconsBar, FloatingBar };
    // What a context menu's commands act on, taken when it opens: a rebuild while it is up must
    // not turn a command on one item into a command on another.
    struct MenuTarget {
        PageList list = PageList::MenuTree;
        bool onItem = false;     // a node other than the root, or a button
        bool hasChildren = false;
        bool hasNode = false;
        std::wstring path;       // the node's or the item's file or folder
    };

    void CreateLists();
    void CreateHints();
    void PlaceHintBelowCursor();
    void SetHelpContext(HWND control, DWORD contextId);
    HWND Owner() const;
    std::wstring CollectionFolder(const wchar_t* name) const;

    // LauncherPageMenus.cpp
    void OpenContextMenu(PageList list, std::optional<std::uint16_t> buttonId, POINT at);
    void ExecuteMenuCommand(const MenuTarget& target, unsigned id);
    void ExecuteTreeCommand(const MenuTarget& target, unsigned id);
    void ExecuteBarCommand(const MenuTarget& target, unsigned id);

    // LauncherPageDrops.cpp
    void ConnectDrops();
    void DragFrom(ItemDragSource source, const std::wstring& file);
    std::optional<ItemDropTarget> DropTargetAt(POINT screen) const;
    void DropAt(ItemDropTarget target, POINT screen);

    LauncherPageHost* m_host = nullptr;
    HIMAGELIST m_menuImages = nullptr;
    TFileDropTarget m_menuDrop;      // FileDropTargetMenu
    TFileDropTarget m_iconDrop;      // FileDropTargetIcon
    TFileDropTarget m_floatingDrop;  // FileDropTargetFloatingIcon
    std::unique_ptr<PopupMenuTree> m_tree;
    std::unique_ptr<ToolBarPager> m_iconsBar;
    std::unique_ptr<ToolBarPager> m_floatingBar;
    TOrvoTBPopupMenuEx m_contextMenu;  // TBPopupMenu, TBPopupIcon or TBPopupMenuFloat, filled as it opens
    HWND m_hints = nullptr;
    // The drag on its way: where it began and the file of the dragged button.
    ItemDragSource m_dragSource = ItemDragSource::MenuTree;
    std::wstring m_dragFile;
};
