#include "popupmenu/OrvoTBPopupMenuEx.h"

#include "base/Dpi.h"
#include "base/LauncherError.h"
#include "components/HintShadow.h"
#include "popupmenu/MenuHintRules.h"

namespace {
constexpr const wchar_t* kOwnerClass = L"TOrvoPopupMenuOwner";
constexpr int kImageSize = 16;  // at 96 DPI
constexpr int kHintGap = 4;

MENUITEMINFOW BaseInfo()
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    return info;
}
} // namespace

TOrvoTBPopupMenuEx::TOrvoTBPopupMenuEx() : m_root(::CreatePopupMenu()) {}

TOrvoTBPopupMenuEx::~TOrvoTBPopupMenuEx()
{
    if (m_hint) ::DestroyWindow(m_hint);
}

void TOrvoTBPopupMenuEx::Create()
{
    RegisterWindowClass(kOwnerClass, 0);
    // A hidden top-level window: a menu needs an owner that can take the foreground.
    CreateWindowInstance(WS_EX_TOOLWINDOW, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr);
    m_dpi = WindowDpi(Handle());
    try {
        m_hint = TShadowedHintWindow::Create(Handle());
    } catch (const LauncherError&) {
        m_hint = nullptr;  // entries then show no hints
    }
    if (m_hint) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = Handle();
        tool.uId = 1;
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(m_hint, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(m_hint, TTM_SETMAXTIPWIDTH, 0, ScaleForDpi(400, m_dpi));
    }
}

ULONG_PTR TOrvoTBPopupMenuEx::Remember(const MenuEntryLook& look)
{
    m_entries.push_back(Entry{look});
    return reinterpret_cast<ULONG_PTR>(&m_entries.back());
}

bool TOrvoTBPopupMenuEx::AppendEntry(HMENU parent, unsigned id, const std::wstring& caption,
                                     const MenuEntryLook& look, bool enabled, bool checked)
{
    MENUITEMINFOW info = BaseInfo();
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_DATA | MIIM_BITMAP;
    info.wID = id;
    info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    info.fState = (enabled ? MFS_ENABLED : MFS_DISABLED) | (checked ? MFS_CHECKED : 0);
    info.dwItemData = Remember(look);
    // Every entry draws its image itself, one without an image draws nothing: an entry measured
    // without the image column would come out that much too narrow where the system indents every
    // entry's text by the widest image.
    info.hbmpItem = HBMMENU_CALLBACK;
    if (::InsertMenuItemW(parent, static_cast<UINT>(::GetMenuItemCount(parent)), TRUE, &info)) return true;
    m_entries.pop_back();
    return false;
}

HMENU TOrvoTBPopupMenuEx::AppendSubmenu(HMENU parent, const std::wstring& caption, const MenuEntryLook& look)
{
    HMENU submenu = ::CreatePopupMenu();
    if (!submenu) return nullptr;
    MENUITEMINFOW info = BaseInfo();
    info.fMask = MIIM_SUBMENU | MIIM_STRING | MIIM_DATA | MIIM_BITMAP;
    info.hSubMenu = submenu;
    info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    info.dwItemData = Remember(look);
    info.hbmpItem = HBMMENU_CALLBACK;
    if (::InsertMenuItemW(parent, static_cast<UINT>(::GetMenuItemCount(parent)), TRUE, &info)) return submenu;
    m_entries.pop_back();
    ::DestroyMenu(submenu);
    return nullptr;
}

void TOrvoTBPopupMenuEx::AppendSeparator(HMENU parent) { ::AppendMenuW(parent, MF_SEPARATOR, 0, nullptr); }

void TOrvoTBPopupMenuEx::CollectEntriesOf(HMENU menu, std::unordered_set<ULONG_PTR>& data)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info = BaseInfo();
        info.fMask = MIIM_DATA | MIIM_SUBMENU;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.hSubMenu) CollectEntriesOf(info.hSubMenu, data);
        if (info.dwItemData) data.insert(info.dwItemData);
    }
}

void TOrvoTBPopupMenuEx::RemoveEntriesFrom(HMENU parent, int position)
{
    // The looks of the removed items are forgotten in one pass over all of them, so emptying a
    // tree of any size costs in proportion to it.
    std::unordered_set<ULONG_PTR> removed;
    while (::GetMenuItemCount(parent) > position) {
        std::unordered_set<ULONG_PTR> item;
        MENUITEMINFOW info = BaseInfo();
        info.fMask = MIIM_DATA | MIIM_SUBMENU;
        if (::GetMenuItemInfoW(parent, static_cast<UINT>(position), TRUE, &info)) {
            if (info.hSubMenu) CollectEntriesOf(info.hSubMenu, item);
            if (info.dwItemData) item.insert(info.dwItemData);
        }
        // DeleteMenu also destroys the submenu. A look stays while an item still points at it.
        if (!::DeleteMenu(parent, static_cast<UINT>(position), MF_BYPOSITION)) break;
        removed.merge(item);
    }
    if (removed.empty()) return;
    m_entries.remove_if([&](const Entry& e) { return removed.count(reinterpret_cast<ULONG_PTR>(&e)) != 0; });
}

void TOrvoTBPopupMenuEx::SetDefaultEntry(HMENU parent, int position)
{
    ::SetMenuDefaultItem(parent, static_cast<UINT>(position), TRUE);
}

void TOrvoTBPopupMenuEx::SetEntryImage(HMENU parent, int position, HIMAGELIST images, int imageIndex)
{
    MENUITEMINFOW info = BaseInfo();
    info.fMask = MIIM_DATA;
    if (!::GetMenuItemInfoW(parent, static_cast<UINT>(position), TRUE, &info) || !info.dwItemData) return;
    auto* entry = reinterpret_cast<Entry*>(info.dwItemData);
    entry->look.images = images;
    entry->look.imageIndex = imageIndex;
    // The entry draws its image itself: the new one shows the next time the menu opens.
}

void TOrvoTBPopupMenuEx::SetEntryLook(unsigned id, const MenuEntryLook& look)
{
    MENUITEMINFOW info = BaseInfo();
    info.fMask = MIIM_DATA;
    // By command, the search goes through the submenus too.
    if (!::GetMenuItemInfoW(m_root.get(), id, FALSE, &info) || !info.dwItemData) return;
    reinterpret_cast<Entry*>(info.dwItemData)->look = look;
}

unsigned TOrvoTBPopupMenuEx::Popup(POINT screenPoint)
{
    if (OnPopup) OnPopup();
    m_up = true;
    const UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN;
    const BOOL chosen = ::TrackPopupMenuEx(m_root.get(), flags, screenPoint.x, screenPoint.y, Handle(), nullptr);
    m_up = false;
    HideHint();
    if (OnCloseUp) OnCloseUp();
    return chosen > 0 ? static_cast<unsigned>(chosen) : 0u;
}

const TOrvoTBPopupMenuEx::Entry* TOrvoTBPopupMenuEx::EntryOf(HMENU menu, UINT item, bool byPosition) const
{
    MENUITEMINFOW info = BaseInfo();
    info.fMask = MIIM_DATA;
    if (!::GetMenuItemInfoW(menu, item, byPosition, &info) || !info.dwItemData) return nullptr;
    return reinterpret_cast<const Entry*>(info.dwItemData);
}

void TOrvoTBPopupMenuEx::ShowHintFor(HMENU menu, UINT item, UINT flags)
{
    if (!m_hint || !m_showHints || !menu || (flags & (MF_SEPARATOR | MF_POPUP))) {
        HideHint();
        return;
    }
    const Entry* entry = EntryOf(menu, item, FALSE);
    if (!entry || entry->look.hint.empty()) {
        HideHint();
        return;
    }
    // The entry's position gives its rectangle: the hint goes beside it.
    const int count = ::GetMenuItemCount(menu);
    RECT itemRect{};
    bool found = false;
    for (int i = 0; i < count && !found; ++i)
        if (::GetMenuItemID(menu, i) == item) found = ::GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &itemRect);
    if (!found) {
        HideHint();
        return;
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle();
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(entry->look.hint.c_str());
    ::SendMessageW(m_hint, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    const int gap = ScaleForDpi(kHintGap, m_dpi);
    ::SendMessageW(m_hint, TTM_TRACKPOSITION, 0, MAKELPARAM(itemRect.right + gap, itemRect.top));
    ::SendMessageW(m_hint, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    // Shown, the hint has its size: now it is placed on the menu's own monitor. Left to itself
    // beside a menu at a monitor's right end it would spill onto the next monitor, or, past the
    // desktop's end, be pushed back onto the primary one, far from the menu.
    RECT hint{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetWindowRect(m_hint, &hint) &&
        ::GetMonitorInfoW(::MonitorFromRect(&itemRect, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        const HintPosition at = PlaceMenuHint({itemRect.left, itemRect.top, itemRect.right, itemRect.bottom},
                                              hint.right - hint.left, hint.bottom - hint.top,
                                              {work.left, work.top, work.right, work.bottom}, gap);
        ::SendMessageW(m_hint, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    }
    ::SetWindowPos(m_hint, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TOrvoTBPopupMenuEx::HideHint()
{
    if (!m_hint) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle();
    tool.uId = 1;
    ::SendMessageW(m_hint, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

LRESULT TOrvoTBPopupMenuEx::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType != ODT_MENU) break;
        measure->itemWidth = static_cast<UINT>(ScaleForDpi(kImageSize + 4, m_dpi));
        measure->itemHeight = static_cast<UINT>(ScaleForDpi(kImageSize, m_dpi));
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (draw->CtlType != ODT_MENU || !draw->itemData) break;
        const auto* entry = reinterpret_cast<const Entry*>(draw->itemData);
        if (!entry->look.images || entry->look.imageIndex < 0) return TRUE;
        int width = 0, height = 0;
        ::ImageList_GetIconSize(entry->look.images, &width, &height);
        const int x = draw->rcItem.left + ((draw->rcItem.right - draw->rcItem.left) - width) / 2;
        const int y = draw->rcItem.top + ((draw->rcItem.bottom - draw->rcItem.top) - height) / 2;
        const UINT style = (draw->itemState & ODS_GRAYED) ? (ILD_TRANSPARENT | ILD_BLEND50) : ILD_TRANSPARENT;
        ::ImageList_Draw(entry->look.images, entry->look.imageIndex, draw->hDC, x, y, style);
        return TRUE;
    }
    case WM_MENUSELECT:
        ShowHintFor(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam) == 0xFFFF ? MF_SEPARATOR : HIWORD(wParam));
        return 0;
    case WM_EXITMENULOOP:
        HideHint();
        return 0;
    case WM_TIMER:
        if (OnTimer) OnTimer(wParam);
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}
