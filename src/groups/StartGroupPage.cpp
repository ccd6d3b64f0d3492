#include "groups/StartGroupPage.h"

#include <algorithm>

#include "base/Dpi.h"
#include "resources/resource.h"

namespace {
// At 96 DPI.
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;
constexpr int kStatusHeight = 16;
constexpr int kCaptionColumn = 230;
constexpr int kCountColumn = 85;

// Help context ids of the page's controls.
constexpr DWORD kHelpList = 2001, kHelpNew = 2002, kHelpEdit = 2003, kHelpDelete = 2004;

enum PopupCommand : UINT { kPopupNew = 1, kPopupEdit, kPopupDelete, kPopupCopyCommandLine, kPopupCreateShortcut, kPopupHelp };

bool CaptionLess(const GroupRow& a, const GroupRow& b)
{
    const int order = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.caption.c_str(),
                                       static_cast<int>(a.caption.size()), b.caption.c_str(),
                                       static_cast<int>(b.caption.size()));
    if (order != CSTR_EQUAL) return order == CSTR_LESS_THAN;
    return a.caption < b.caption;
}
} // namespace

StartGroupPage::StartGroupPage(StartGroupPageEvents events) : m_events(std::move(events)) {}

unsigned StartGroupPage::Dpi() const { return WindowDpi(Handle()); }

void StartGroupPage::CreatePage(HINSTANCE instance, HWND parent, HIMAGELIST images, int imageIndex)
{
    Create(instance, IDD_PAGE_GROUPSTART, parent);
    m_imageIndex = imageIndex;
    m_list = ::GetDlgItem(Handle(), IDC_GROUP_LIST);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    ListView_SetImageList(m_list, images, LVSIL_SMALL);
    const unsigned dpi = Dpi();
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(L"Caption");
    column.cx = ScaleForDpi(kCaptionColumn, dpi);
    ListView_InsertColumn(m_list, 0, &column);
    column.pszText = const_cast<wchar_t*>(L"Num. of Files");
    column.cx = ScaleForDpi(kCountColumn, dpi);
    column.iSubItem = 1;
    ListView_InsertColumn(m_list, 1, &column);

    // The running group's line; made here, as the page's template is shared with other pages.
    m_status = ::CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE |
                                                         SS_ENDELLIPSIS | SS_NOPREFIX,
                                 0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_GROUP_STATUS)),
                                 instance, nullptr);
    ::SendMessageW(m_status, WM_SETFONT, ::SendMessageW(m_list, WM_GETFONT, 0, 0), FALSE);

    ::SetWindowContextHelpId(m_list, kHelpList);
    ::SetWindowContextHelpId(::GetDlgItem(Handle(), IDC_GROUP_NEW), kHelpNew);
    ::SetWindowContextHelpId(::GetDlgItem(Handle(), IDC_GROUP_EDIT), kHelpEdit);
    ::SetWindowContextHelpId(::GetDlgItem(Handle(), IDC_GROUP_DELETE), kHelpDelete);
    LayOut();
}

void StartGroupPage::LayOut()
{
    if (!m_list) return;
    const unsigned dpi = Dpi();
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int margin = ScaleForDpi(kMargin, dpi);
    const int buttonWidth = ScaleForDpi(kButtonWidth, dpi), buttonHeight = ScaleForDpi(kButtonHeight, dpi);
    const int buttonTop = client.bottom - margin - buttonHeight;
    // The running group's line spans the page between the list and the buttons, there whether a
    // group runs or not, so the list never moves.
    const int gap = ScaleForDpi(kButtonGap, dpi), statusHeight = ScaleForDpi(kStatusHeight, dpi);
    const int statusTop = buttonTop - gap - statusHeight;
    ::SetWindowPos(m_list, nullptr, margin, margin, client.right - 2 * margin, statusTop - gap - margin,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_status, nullptr, margin, statusTop, client.right - 2 * margin, statusHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // The buttons sit below at the right end: New, Edit, Delete.
    int left = client.right - margin - 3 * buttonWidth - 2 * gap;
    for (int id : {IDC_GROUP_NEW, IDC_GROUP_EDIT, IDC_GROUP_DELETE}) {
        ::SetWindowPos(::GetDlgItem(Handle(), id), nullptr, left, buttonTop, buttonWidth, buttonHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        left += buttonWidth + gap;
    }
}

std::vector<std::wstring> StartGroupPage::Captions() const
{
    std::vector<std::wstring> captions;
    for (const auto& row : m_rows) captions.push_back(row.caption);
    return captions;
}

void StartGroupPage::SetRows(std::vector<GroupRow> rows)
{
    m_rows = std::move(rows);
    std::stable_sort(m_rows.begin(), m_rows.end(), CaptionLess);
    Fill({});
}

void StartGroupPage::AddRow(const GroupRow& row)
{
    m_rows.insert(std::upper_bound(m_rows.begin(), m_rows.end(), row, CaptionLess), row);
    Fill(row.caption);
}

void StartGroupPage::ReplaceRow(const std::wstring& original, const GroupRow& row)
{
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [&](const GroupRow& r) { return r.caption == original; }),
                 m_rows.end());
    AddRow(row);
}

void StartGroupPage::RemoveRow(const std::wstring& caption)
{
    const int selected = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [&](const GroupRow& r) { return r.caption == caption; }),
                 m_rows.end());
    Fill({});
    // The row that took the deleted one's place is selected, so Delete can go on.
    const int count = static_cast<int>(m_rows.size());
    if (selected >= 0 && count > 0) {
        const int next = selected < count ? selected : count - 1;
        ListView_SetItemState(m_list, next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
}

std::optional<GroupRow> StartGroupPage::SelectedRow() const
{
    const int selected = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    if (selected < 0 || selected >= static_cast<int>(m_rows.size())) return std::nullopt;
    return m_rows[static_cast<std::size_t>(selected)];
}

void StartGroupPage::ShowRunning(const std::optional<GroupProgress>& progress)
{
    const std::wstring text = progress ? L"Running: " + GroupProgressText(*progress) : std::wstring();
    ::SetWindowTextW(m_status, text.c_str());
}

void StartGroupPage::Fill(const std::wstring& selectCaption)
{
    ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(m_list);
    int selectIndex = -1;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(m_rows[i].caption.c_str());
        item.iImage = m_imageIndex;
        const int index = ListView_InsertItem(m_list, &item);
        std::wstring count = std::to_wstring(m_rows[i].fileCount);
        ListView_SetItemText(m_list, index, 1, count.data());
        if (!selectCaption.empty() && m_rows[i].caption == selectCaption) selectIndex = index;
    }
    if (selectIndex >= 0) {
        ListView_SetItemState(m_list, selectIndex, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(m_list, selectIndex, FALSE);
    }
    ::SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
}

std::pair<int, int> StartGroupPage::ColumnWidths() const
{
    const unsigned dpi = Dpi();
    auto unscale = [&](int pixels) { return static_cast<int>((static_cast<long long>(pixels) * 96 + dpi / 2) / dpi); };
    return {unscale(ListView_GetColumnWidth(m_list, 0)), unscale(ListView_GetColumnWidth(m_list, 1))};
}

void StartGroupPage::SetColumnWidths(int caption, int count)
{
    const unsigned dpi = Dpi();
    ListView_SetColumnWidth(m_list, 0, ScaleForDpi(caption, dpi));
    ListView_SetColumnWidth(m_list, 1, ScaleForDpi(count, dpi));
}

int StartGroupPage::HeaderFitWidth(int column) const
{
    const wchar_t* const captions[] = {L"Caption", L"Num. of Files"};
    if (column < 0 || column > 1) return 0;
    const unsigned dpi = Dpi();
    // The header draws its text inside margins of about 8 pixels on each side.
    const int pixels = ListView_GetStringWidth(m_list, captions[column]) + ScaleForDpi(16, dpi);
    return static_cast<int>((static_cast<long long>(pixels) * 96 + dpi - 1) / dpi);
}

void StartGroupPage::ShowPopupMenu(POINT screen)
{
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    ::AppendMenuW(menu, MF_STRING, kPopupNew, L"&New");
    ::AppendMenuW(menu, MF_STRING, kPopupEdit, L"&Edit");
    ::AppendMenuW(menu, MF_STRING, kPopupDelete, L"&Delete");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    // What runs the selected group from outside the program.
    const UINT rowState = SelectedRow() ? MF_ENABLED : MF_GRAYED;
    ::AppendMenuW(menu, MF_STRING | rowState, kPopupCopyCommandLine, L"Copy command &line");
    ::AppendMenuW(menu, MF_STRING | rowState, kPopupCreateShortcut, L"Create &shortcut on the desktop");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kPopupHelp, L"&Help");
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr));
    ::DestroyMenu(menu);
    auto run = [](const std::function<void()>& f) {
        if (f) f();
    };
    switch (chosen) {
    case kPopupNew: run(m_events.NewGroup); break;
    case kPopupEdit: run(m_events.EditGroup); break;
    case kPopupDelete: run(m_events.DeleteGroup); break;
    case kPopupCopyCommandLine: run(m_events.CopyCommandLine); break;
    case kPopupCreateShortcut: run(m_events.CreateShortcut); break;
    case kPopupHelp: run(m_events.Help); break;
    default: break;
    }
}

INT_PTR StartGroupPage::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    auto run = [](const std::function<void()>& f) {
        if (f) f();
    };
    switch (message) {
    case WM_SIZE:
        LayOut();
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) break;
        switch (LOWORD(wParam)) {
        case IDC_GROUP_NEW: run(m_events.NewGroup); return TRUE;
        case IDC_GROUP_EDIT: run(m_events.EditGroup); return TRUE;
        case IDC_GROUP_DELETE: run(m_events.DeleteGroup); return TRUE;
        default: break;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == m_list && header->code == NM_DBLCLK) {
            run(m_events.EditGroup);
            return TRUE;
        }
        break;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == m_list) {
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (at.x == -1 && at.y == -1) {
                // From the keyboard: at the list's top left corner.
                RECT r{};
                ::GetWindowRect(m_list, &r);
                at = {r.left + 4, r.top + 4};
            }
            ShowPopupMenu(at);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return ChildDialog::HandleDialogMessage(message, wParam, lParam);
}
