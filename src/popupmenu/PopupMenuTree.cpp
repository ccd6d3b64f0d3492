#include "popupmenu/PopupMenuTree.h"

#include <iterator>

#include "base/Dpi.h"
#include "base/LauncherError.h"
#include "base/WinUtil.h"
#include "items/ItemFileRules.h"
#include "items/ShellOperations.h"

namespace {
constexpr int kIndent = 19;  // at 96 DPI
} // namespace

PopupMenuTree::PopupMenuTree(PopupMenuTreeEvents events) : m_events(std::move(events)) {}

void PopupMenuTree::Create(HWND parent, const RECT& bounds, int controlId)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    // No lines at the root: the root node stands alone at the top, its entries below it. The
    // control's own item tips are off: the tree's hint tells how to reach its commands.
    m_tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_EDITLABELS |
                                   TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS,
                               bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), ::GetModuleHandleW(nullptr),
                               nullptr);
    if (!m_tree) throw LauncherError(L"Cannot create window");
    TreeView_SetIndent(m_tree, ScaleForDpi(kIndent, WindowDpi(m_tree)));
}

void PopupMenuTree::SetBounds(const RECT& bounds)
{
    ::SetWindowPos(m_tree, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

HTREEITEM PopupMenuTree::AddNode(HTREEITEM parent, const std::wstring& text, int image, int selectedImage,
                                 const std::wstring& path)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    // Appended; each folder's nodes are sorted once, when the folder is complete.
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = static_cast<LPARAM>(m_paths.size());
    HTREEITEM node = TreeView_InsertItem(m_tree, &insert);
    if (node) m_paths.push_back(path);
    return node;
}

std::wstring PopupMenuTree::NodePath(HTREEITEM node) const
{
    if (!node || node == m_root) return {};
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    if (!TreeView_GetItem(m_tree, &item)) return {};
    const auto index = static_cast<std::size_t>(item.lParam);
    return index < m_paths.size() ? m_paths[index] : std::wstring();
}

std::wstring PopupMenuTree::NodeText(HTREEITEM node) const
{
    wchar_t text[MAX_PATH + 1] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    return TreeView_GetItem(m_tree, &item) ? std::wstring(text) : std::wstring();
}

HTREEITEM PopupMenuTree::NodeAt(POINT client) const
{
    TVHITTESTINFO hit{};
    hit.pt = client;
    HTREEITEM node = TreeView_HitTest(m_tree, &hit);
    return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT | TVHT_ONITEMBUTTON)) ? node : nullptr;
}

HTREEITEM PopupMenuTree::CaretNode() const { return TreeView_GetSelection(m_tree); }

bool PopupMenuTree::CurrentHasChildren() const { return m_current && TreeView_GetChild(m_tree, m_current) != nullptr; }

void PopupMenuTree::ExpandCurrent()
{
    if (m_current) TreeView_Expand(m_tree, m_current, TVE_EXPAND);
}

std::optional<std::wstring> PopupMenuTree::NodePathAt(POINT client) const
{
    HTREEITEM node = NodeAt(client);
    if (!node) return std::nullopt;
    return NodePath(node);
}

void PopupMenuTree::ShowDropTarget(std::optional<POINT> client)
{
    TreeView_SelectDropTarget(m_tree, client ? NodeAt(*client) : nullptr);
}

void PopupMenuTree::SortChildren(HTREEITEM node)
{
    if (node) TreeView_SortChildren(m_tree, node, FALSE);
}

void PopupMenuTree::OnContextMenu(POINT screenPoint)
{
    m_current = CaretNode();
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        // From the keyboard: below the current node, or at the tree's corner.
        RECT r{};
        if (m_current && TreeView_GetItemRect(m_tree, m_current, &r, TRUE)) screenPoint = {r.left, r.bottom};
        else screenPoint = {0, 0};
        ::ClientToScreen(m_tree, &screenPoint);
    }
    if (m_events.ContextMenu) m_events.ContextMenu(screenPoint);
}

bool PopupMenuTree::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.hwndFrom != m_tree) return false;
    result = 0;
    switch (header.code) {
    case NM_CLICK: {
        // The click has selected its node by now.
        POINT at{};
        ::GetCursorPos(&at);
        ::ScreenToClient(m_tree, &at);
        if (HTREEITEM node = NodeAt(at)) m_current = node;
        return true;
    }
    case TVN_SELCHANGEDW: {
        const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
        // The rebuild's own selection of the root is no choice of the user's.
        if (change.action == TVC_BYMOUSE || change.action == TVC_BYKEYBOARD) m_current = change.itemNew.hItem;
        return true;
    }
    case NM_RCLICK: {
        // A right click selects the node under it, then asks for the menu.
        POINT screen{};
        ::GetCursorPos(&screen);
        POINT client = screen;
        ::ScreenToClient(m_tree, &client);
        if (HTREEITEM node = NodeAt(client)) TreeView_SelectItem(m_tree, node);
        OnContextMenu(screen);
        result = TRUE;
        return true;
    }
    case NM_DBLCLK:
        OnDoubleClick();
        return true;
    case TVN_BEGINDRAGW: {
        const auto& drag = reinterpret_cast<const NMTREEVIEWW&>(header);
        TreeView_SelectItem(m_tree, drag.itemNew.hItem);
        m_current = drag.itemNew.hItem;
        if (m_events.DragStarted) m_events.DragStarted();
        return true;
    }
    case TVN_BEGINLABELEDITW:
        // The root stands for the "Menus" folder itself.
        result = reinterpret_cast<const NMTVDISPINFOW&>(header).item.hItem == m_root ? TRUE : FALSE;
        return true;
    case TVN_ENDLABELEDITW:
        result = OnEndLabelEdit(reinterpret_cast<const NMTVDISPINFOW&>(header)) ? TRUE : FALSE;
        return true;
    case TVN_ITEMEXPANDINGW: {
        const auto& expanding = reinterpret_cast<const NMTREEVIEWW&>(header);
        result = (expanding.itemNew.hItem == m_root && (expanding.action & TVE_COLLAPSE)) ? TRUE : FALSE;
        return true;
    }
    default:
        return false;
    }
}

bool PopupMenuTree::OnEndLabelEdit(const NMTVDISPINFOW& info)
{
    if (!info.item.pszText) return false;  // the edit was cancelled
    const std::wstring oldPath = NodePath(info.item.hItem);
    if (oldPath.empty()) return false;
    // The text confirmed as it was is no rename: a folder node shows its whole name, and the
    // extension put back on it would otherwise rename "Tools.Old" to "Tools.Old.Old".
    if (NodeText(info.item.hItem) == info.item.pszText) return false;
    const std::wstring newPath = RenamedItemPath(oldPath, info.item.pszText);
    if (newPath.empty()) {
        // A separator or a forbidden character would move the file elsewhere or lose it.
        ::MessageBeep(MB_ICONASTERISK);
        return false;
    }
    // The rename's result shows when the folder watch rebuilds the tree; until then the node keeps
    // the typed text.
    ::MoveFileW(oldPath.c_str(), newPath.c_str());
    return true;
}

void PopupMenuTree::OnDoubleClick()
{
    m_current = CaretNode();
    // A double click never launches: it shows what the entry is.
    const std::wstring path = CurrentNodePath();
    if (!CurrentHasChildren() && !path.empty()) ShowFileProperties(path);
}

void PopupMenuTree::RemoveMenuItems(const std::vector<Item>&)
{
    m_current = nullptr;
    m_root = nullptr;
    m_folderStack.clear();
    if (m_tree) TreeView_DeleteAllItems(m_tree);
    m_paths.clear();
}

void PopupMenuTree::BeginMenusLoad(HIMAGELIST, HIMAGELIST treeImages, const std::wstring& menusFolder,
                                   std::int32_t rootImageIndex)
{
    if (!m_tree) return;
    // Drawn once, when the whole tree is there.
    ::SendMessageW(m_tree, WM_SETREDRAW, FALSE, 0);
    if (m_root) RemoveMenuItems({});
    TreeView_SetImageList(m_tree, treeImages, TVSIL_NORMAL);
    m_root = AddNode(nullptr, kRootText, rootImageIndex, rootImageIndex, menusFolder);
    m_folderStack.assign(1, m_root);
}

void PopupMenuTree::BeginMenuFolder(const MenuFolder& folder)
{
    if (!m_tree || m_folderStack.empty()) return;
    m_folderStack.push_back(
        AddNode(m_folderStack.back(), folder.Name, folder.TreeImageIndex, folder.TreeOpenImageIndex, folder.Path));
}

void PopupMenuTree::EndMenuFolder()
{
    if (m_folderStack.size() <= 1) return;
    SortChildren(m_folderStack.back());
    m_folderStack.pop_back();
}

void PopupMenuTree::AddMenuFile(const Item& item, std::int32_t treeImageIndex, bool)
{
    // Every file is a node, even one the popup menu could not place.
    if (!m_tree || m_folderStack.empty() || !m_folderStack.back()) return;
    AddNode(m_folderStack.back(), item.Caption, treeImageIndex, treeImageIndex, item.FileName);
}

void PopupMenuTree::EndMenusLoad()
{
    if (!m_tree) return;
    m_folderStack.clear();
    if (m_root) {
        SortChildren(m_root);
        TreeView_Expand(m_tree, m_root, TVE_EXPAND);
        TreeView_SelectItem(m_tree, m_root);
        TreeView_EnsureVisible(m_tree, m_root);
    }
    m_current = nullptr;
    ::SendMessageW(m_tree, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_tree, nullptr, TRUE);
}
