#pragma once
// PopupMenuTree: the "Menus" collection as a tree on the "Launcher" page, so the popup menu can be
// shaped without opening the data folder. The loader fills it like the popup menu; every edit is a
// change in the folder, and the tree shows it once the folder watch has rebuilt it.
//
// Nodes: the root "Orvo Launcher" (the "Menus" folder itself; it can be neither edited nor
// collapsed), one per sub-folder (its full name) and one per item file (its caption), sorted by
// text under each folder. Each node holds the full path of its file or folder.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "items/ItemSurfaces.h"

struct PopupMenuTreeEvents {
    // The node's context menu is asked for, at a screen point; the current node is set.
    std::function<void(POINT screenPoint)> ContextMenu;
    // The user began to drag the current node with the left button.
    std::function<void()> DragStarted;
};

class PopupMenuTree : public MenusSurface {
public:
    static constexpr const wchar_t* kRootText = L"Orvo Launcher";

    explicit PopupMenuTree(PopupMenuTreeEvents events);
    PopupMenuTree(const PopupMenuTree&) = delete;
    PopupMenuTree& operator=(const PopupMenuTree&) = delete;

    // The tree view as a child of `parent` (which forwards its notifications to OnNotify).
    void Create(HWND parent, const RECT& bounds, int controlId);
    HWND Handle() const noexcept { return m_tree; }
    void SetBounds(const RECT& bounds);

    // A notification of the tree, as its parent received it; true when handled, with the result.
    bool OnNotify(const NMHDR& header, LRESULT& result);
    // WM_CONTEXTMENU of the tree from the keyboard (the point is -1, -1) or the mouse.
    void OnContextMenu(POINT screenPoint);

    // The node the commands act on: taken by a click, a right click, a double click, a drag and
    // the context menu (the root for a right click on no node); none after every rebuild.
    bool HasCurrentNode() const noexcept { return m_current != nullptr; }
    bool CurrentIsRoot() const noexcept { return m_current && m_current == m_root; }
    bool CurrentHasChildren() const;
    // The current node's path: empty for the root and when there is none.
    std::wstring CurrentNodePath() const { return NodePath(m_current); }
    void ExpandCurrent();

    // The node under a point of the tree's client area: its path (empty for the root); none when
    // the point is on no node.
    std::optional<std::wstring> NodePathAt(POINT client) const;
    // The node under the point is shown as the drop target; a point on no node shows none.
    void ShowDropTarget(std::optional<POINT> client);

    // MenusSurface.
    void RemoveMenuItems(const std::vector<Item>& items) override;
    void BeginMenusLoad(HIMAGELIST menuImages, HIMAGELIST treeImages, const std::wstring& menusFolder,
                        std::int32_t rootImageIndex) override;
    void BeginMenuFolder(const MenuFolder& folder) override;
    void EndMenuFolder() override;
    void AddMenuFile(const Item& item, std::int32_t treeImageIndex, bool placed) override;
    void EndMenusLoad() override;
    void UpdateMenuFile(const Item& item, std::int32_t treeImageIndex) override;

private:
    HTREEITEM AddNode(HTREEITEM parent, const std::wstring& text, int image, int selectedImage,
                      const std::wstring& path);
    // The node's index into m_paths; none for a node without one.
    std::optional<std::size_t> NodeIndex(HTREEITEM node) const;
    std::wstring NodePath(HTREEITEM node) const;
    HTREEITEM NodeAt(POINT client) const;
    HTREEITEM CaretNode() const;
    void SortChildren(HTREEITEM node);
    // False when the node may not be edited.
    bool OnBeginLabelEdit(const NMTVDISPINFOW& info);
    // Renames the node's file or folder; a rename that fails is reported and the node keeps its label.
    void OnEndLabelEdit(const NMTVDISPINFOW& info);
    // The node's path and label after a rename.
    void SetNodeFile(HTREEITEM node, const std::wstring& path);
    void OnDoubleClick();

    PopupMenuTreeEvents m_events;
    HWND m_tree = nullptr;
    HTREEITEM m_root = nullptr;
    HTREEITEM m_current = nullptr;
    std::vector<HTREEITEM> m_folderStack;
    // Each node's path, indexed by the node's data; the root's is the "Menus" folder.
    std::vector<std::wstring> m_paths;
    std::unordered_map<std::uint16_t, HTREEITEM> m_fileNodes;  // item Id -> its node, for this load
};
