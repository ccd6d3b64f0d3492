#include "app/LauncherPage.h"

#include <commctrl.h>

#include "base/Dpi.h"
#include "components/HintShadow.h"
#include "resources/resource.h"

namespace {
// At 96 DPI.
constexpr int kMargin = 8;
constexpr int kLabelGap = 2;    // between a label and its list
constexpr int kListGap = 8;     // between a list and the next label
constexpr int kBarHeight = 30;  // a bar with its panel's edge
constexpr int kPanelEdge = 2;   // the drop panel's lowered edge around a bar
constexpr int kHintOffset = 20; // a hint's distance below the cursor's point

// Help context ids of the page's lists.
constexpr DWORD kHelpContextMenuTree = 1001;
constexpr DWORD kHelpContextIconsBar = 1002;
constexpr DWORD kHelpContextFloatingBar = 1003;

constexpr const wchar_t* kListHint = L"Use right click mouse\r\nto access more functions";

RECT ChildRect(HWND parent, HWND child)
{
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
} // namespace

LauncherPage::LauncherPage() = default;
LauncherPage::~LauncherPage() = default;

void LauncherPage::CreatePage(HINSTANCE instance, HWND parent, LauncherPageHost& host, HIMAGELIST menuImages)
{
    m_host = &host;
    m_menuImages = menuImages;
    Create(instance, IDD_PAGE_LAUNCHER, parent);
    m_contextMenu.Create();
    CreateLists();
    CreateHints();
    ConnectDrops();
    LayOut();
}

void LauncherPage::CreateLists()
{
    const RECT none{0, 0, 10, 10};
    m_menuDrop.Create(Handle(), none, IDC_DROP_MENU);
    m_iconDrop.Create(Handle(), none, IDC_DROP_ICON);
    m_floatingDrop.Create(Handle(), none, IDC_DROP_FLOATING);
    for (TFileDropTarget* panel : {&m_iconDrop, &m_floatingDrop}) panel->SetBevelOuter(PanelBevel::Lowered);

    PopupMenuTreeEvents treeEvents;
    treeEvents.ContextMenu = [this](POINT at) { OpenContextMenu(PageList::MenuTree, std::nullopt, at); };
    treeEvents.DragStarted = [this] { DragFrom(ItemDragSource::MenuTree, {}); };
    m_tree = std::make_unique<PopupMenuTree>(std::move(treeEvents));
    m_tree->Create(m_menuDrop.Handle(), none, IDC_POPUP_MENU_TREE);

    ToolBarPagerEvents iconEvents;
    iconEvents.ContextMenu = [this](std::optional<std::uint16_t> id, POINT at) {
        OpenContextMenu(PageList::IconsBar, id, at);
    };
    iconEvents.DragStarted = [this](std::uint16_t id) { DragFrom(ItemDragSource::IconsButton, m_host->IconsItemFile(id)); };
    ToolBarPagerEvents floatingEvents;
    floatingEvents.ContextMenu = [this](std::optional<std::uint16_t> id, POINT at) {
        OpenContextMenu(PageList::FloatingBar, id, at);
    };
    floatingEvents.DragStarted = [this](std::uint16_t id) {
        DragFrom(ItemDragSource::FloatingButton, m_host->FloatingItemFile(id));
    };
    m_iconsBar = std::make_unique<ToolBarPager>(std::move(iconEvents));
    m_floatingBar = std::make_unique<ToolBarPager>(std::move(floatingEvents));
    m_iconsBar->Create(m_iconDrop.Handle(), none);
    m_floatingBar->Create(m_floatingDrop.Handle(), none);

    // The page's font for the tree's text.
    const auto font = static_cast<WPARAM>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    ::SendMessageW(m_tree->Handle(), WM_SETFONT, font, FALSE);

    SetHelpContext(m_menuDrop.Handle(), kHelpContextMenuTree);
    SetHelpContext(m_iconDrop.Handle(), kHelpContextIconsBar);
    SetHelpContext(m_floatingDrop.Handle(), kHelpContextFloatingBar);
}

void LauncherPage::SetHelpContext(HWND control, DWORD contextId)
{
    // Help asked on any window of a list (the bar inside its scroller inside its panel) is the list's.
    ::SetWindowContextHelpId(control, contextId);
    for (HWND child = ::GetWindow(control, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        SetHelpContext(child, contextId);
}

void LauncherPage::CreateHints()
{
    try {
        m_hints = TShadowedHintWindow::Create(Handle());
    } catch (...) {
        return;  // a page without hints still works
    }
    // Wide enough for the two lines of the hint; its line break splits it.
    ::SendMessageW(m_hints, TTM_SETMAXTIPWIDTH, 0, ScaleForDpi(400, WindowDpi(Handle())));
    // The bars show theirs beside their buttons (a button shows its own caption).
    m_iconsBar->SetBarHint(kListHint);
    m_floatingBar->SetBarHint(kListHint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    // Transparent: a click where the hint stands goes to the tree below it, not to the hint.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(m_tree->Handle());
    tool.lpszText = const_cast<wchar_t*>(kListHint);
    ::SendMessageW(m_hints, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void LauncherPage::PlaceHintBelowCursor()
{
    // Below the cursor, never under it: a hint under the cursor would stand where the next click
    // on the list goes.
    POINT cursor{};
    RECT hint{};
    if (!::GetCursorPos(&cursor) || !::GetWindowRect(m_hints, &hint)) return;
    const int width = hint.right - hint.left;
    const int height = hint.bottom - hint.top;
    const int offset = ScaleForDpi(kHintOffset, WindowDpi(Handle()));
    int x = cursor.x;
    int y = cursor.y + offset;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& area = monitor.rcWork;
        if (y + height > area.bottom) y = cursor.y - height - offset / 4;  // above it near the bottom
        if (x + width > area.right) x = area.right - width;
        if (x < area.left) x = area.left;
    }
    ::SetWindowPos(m_hints, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND LauncherPage::Owner() const { return ::GetAncestor(Handle(), GA_ROOT); }

std::wstring LauncherPage::CollectionFolder(const wchar_t* name) const
{
    return m_host->PageDataFolder() + name + L"\\";
}

void LauncherPage::LayOut()
{
    if (!m_tree || !m_iconsBar || !m_floatingBar) return;
    const unsigned dpi = WindowDpi(Handle());
    auto scale = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int margin = scale(kMargin);
    const int left = margin;
    const int width = client.right - 2 * margin;
    HWND menuLabel = ::GetDlgItem(Handle(), IDC_LABEL_POPUP_MENUS);
    HWND iconsLabel = ::GetDlgItem(Handle(), IDC_LABEL_TRAY_ICONS);
    HWND floatingLabel = ::GetDlgItem(Handle(), IDC_LABEL_FLOATING_ICONS);
    const RECT label = ChildRect(Handle(), menuLabel);
    const int labelHeight = label.bottom - label.top;
    auto place = [](HWND window, int x, int y, int w, int h) {
        ::SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };

    // From the bottom up: the Floating bar, its label, the Icons bar, its label; the tree takes
    // what is left under "Popup Menus:".
    const int barHeight = scale(kBarHeight);
    const int floatingTop = client.bottom - margin - barHeight;
    const int floatingLabelTop = floatingTop - scale(kLabelGap) - labelHeight;
    const int iconsTop = floatingLabelTop - scale(kListGap) - barHeight;
    const int iconsLabelTop = iconsTop - scale(kLabelGap) - labelHeight;
    const int treeTop = label.bottom + scale(kLabelGap);
    const int treeBottom = iconsLabelTop - scale(kListGap);

    place(menuLabel, left, label.top, width, labelHeight);
    place(iconsLabel, left, iconsLabelTop, width, labelHeight);
    place(floatingLabel, left, floatingLabelTop, width, labelHeight);
    m_menuDrop.SetBounds(RECT{left, treeTop, left + width, treeBottom});
    m_tree->SetBounds(RECT{0, 0, width, treeBottom - treeTop});
    const int edge = scale(kPanelEdge);
    m_iconDrop.SetBounds(RECT{left, iconsTop, left + width, iconsTop + barHeight});
    m_iconsBar->SetBounds(RECT{edge, edge, width - edge, barHeight - edge});
    m_floatingDrop.SetBounds(RECT{left, floatingTop, left + width, floatingTop + barHeight});
    m_floatingBar->SetBounds(RECT{edge, edge, width - edge, barHeight - edge});
}

INT_PTR LauncherPage::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        LayOut();
        return TRUE;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (m_hints && header.hwndFrom == m_hints && header.code == TTN_SHOW) {
            PlaceHintBelowCursor();
            ::SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        // The tree's notifications come through its drop panel.
        LRESULT result = 0;
        if (m_tree && m_tree->OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) {
            ::SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, result);
            return TRUE;
        }
        break;
    }
    case WM_CONTEXTMENU:
        // From the keyboard on the tree; the bars report their own.
        if (m_tree && reinterpret_cast<HWND>(wParam) == m_tree->Handle()) {
            m_tree->OnContextMenu(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return TRUE;
        }
        break;
    default:
        break;
    }
    return ChildDialog::HandleDialogMessage(message, wParam, lParam);
}
