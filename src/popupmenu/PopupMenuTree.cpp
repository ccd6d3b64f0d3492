#include "popupmenu/PopupMenuTree.h"

#include <cstddef>

#include "base/Dpi.h"
#include "base/LauncherError.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/ItemFileRules.h"
#include "items/ItemRules.h"
#include "items/ShellOperations.h"

namespace {
constexpr int kIndent = 19;  // at 96 DPI
constexpr const wchar_t* kMessageCaption = L"Orvo Launcher";
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

std::optional<std::size_t> PopupMenuTree::NodeIndex(HTREEITEM node) const
{
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    if (!node || !TreeView_GetItem(m_tree, &item)) return std::nullopt;
    const auto index = static_cast<std::size_t>(item.lParam);
    if (index >= m_paths.size()) return std::nullopt;
    return index;
}

std::wstring PopupMenuTree::NodePath(HTREEITEM node) const
{
    if (node == m_root) return {};
    const std::optional<std::size_t> index = NodeIndex(node);
    return index ? m_paths[*index] : std::wstring();
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
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        // From the keyboard: the selected node, the menu below it or at the tree's corner.
        m_current = CaretNode();
        RECT r{};
        if (m_current && TreeView_GetItemRect(m_tree, m_current, &r, TRUE)) screenPoint = {r.left, r.bottom};
        else screenPoint = {0, 0};
        ::ClientToScreen(m_tree, &screenPoint);
    } else {
        // From the mouse: the node under it becomes the selected one. A click on no node is a click
        // on the "Menus" folder itself, as the root is, never on the node selected before: the
        // commands on an entry must not act on one the click did not touch.
        POINT client = screenPoint;
        ::ScreenToClient(m_tree, &client);
        HTREEITEM node = NodeAt(client);
        if (node) TreeView_SelectItem(m_tree, node);
        m_current = node ? node : m_root;
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
        POINT screen{};
        ::GetCursorPos(&screen);
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
        result = OnBeginLabelEdit(reinterpret_cast<const NMTVDISPINFOW&>(header)) ? FALSE : TRUE;
        return true;
    case TVN_ENDLABELEDITW:
        // The typed text never becomes the label as it stands: the rename sets the label it leads to.
        OnEndLabelEdit(reinterpret_cast<const NMTVDISPINFOW&>(header));
        result = FALSE;
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

bool PopupMenuTree::OnBeginLabelEdit(const NMTVDISPINFOW& info)
{
    // The root stands for the "Menus" folder itself.
    if (info.item.hItem == m_root) return false;
    // A label may show the part of the name a rename keeps ("x.py" is too short to lose its
    // extension) or not ("Editor" of "Editor.lnk"); the field shows only what the typed text replaces.
    if (HWND edit = TreeView_GetEditControl(m_tree)) {
        ::SetWindowTextW(edit, RenameEditText(NodePath(info.item.hItem)).c_str());
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
    }
    return true;
}

void PopupMenuTree::OnEndLabelEdit(const NMTVDISPINFOW& info)
{
    if (!info.item.pszText) return;  // the edit was cancelled
    const std::wstring oldPath = NodePath(info.item.hItem);
    if (oldPath.empty()) return;
    const std::wstring newPath = RenamedItemPath(oldPath, info.item.pszText);
    if (newPath.empty()) {
        // A separator, a forbidden character or a device name would move the file elsewhere or lose it.
        ::MessageBeep(MB_ICONASTERISK);
        return;
    }
    if (newPath == oldPath) return;  // confirmed as it stood
    // No MOVEFILE_COPY_ALLOWED: a rename never turns into a copy and a delete, and nothing that is
    // there already is replaced.
    if (!::MoveFileExW(oldPath.c_str(), newPath.c_str(), 0)) {
        const DWORD error = ::GetLastError();
        ::MessageBeep(MB_ICONASTERISK);
        std::wstring message = SystemErrorText(error);
        if (message.empty()) message = L"Cannot rename " + ShownItemName(oldPath);
        // The node keeps its old label and path (the notification answers "no"); nothing of the
        // tree is touched after the box, whose message loop may run a rebuild.
        ::MessageBoxW(::GetAncestor(m_tree, GA_ROOT), message.c_str(), kMessageCaption, MB_OK | MB_ICONERROR);
        return;
    }
    // Until the folder watch rebuilds the tree, the node stands for the new name and shows it as
    // the rebuild will.
    SetNodeFile(info.item.hItem, newPath);
}

void PopupMenuTree::SetNodeFile(HTREEITEM node, const std::wstring& path)
{
    const std::optional<std::size_t> index = NodeIndex(node);
    if (!index) return;
    m_paths[*index] = path;
    // A folder shows its whole name, a file its caption.
    const std::wstring name = ExtractFileName(path);
    std::wstring text = DirectoryExists(path) ? name : ItemCaption(name);
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text.data();
    TreeView_SetItem(m_tree, &item);
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
    m_fileNodes.clear();
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
    if (HTREEITEM node = AddNode(m_folderStack.back(), item.Caption, treeImageIndex, treeImageIndex, item.FileName))
        m_fileNodes[item.Id] = node;
}

void PopupMenuTree::UpdateMenuFile(const Item& item, std::int32_t treeImageIndex)
{
    const auto found = m_fileNodes.find(item.Id);
    if (!m_tree || found == m_fileNodes.end()) return;
    TVITEMW node{};
    node.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    node.hItem = found->second;
    node.iImage = node.iSelectedImage = treeImageIndex;
    TreeView_SetItem(m_tree, &node);
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
