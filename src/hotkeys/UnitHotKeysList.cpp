#include "hotkeys/UnitHotKeysList.h"

#include <commctrl.h>

#include <algorithm>

#include "base/Dpi.h"
#include "hotkeys/HotKeysListLayout.h"
#include "items/ShellOperations.h"

namespace {
// Sizes at 96 DPI.
// The width, and the height the window starts at before it takes the height of its rows.
constexpr int kClientWidth = 659;
constexpr int kClientHeight = 464;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kHotKeysColumnWidth = 150;
constexpr int kFileLocationColumnWidth = 250;
constexpr int kFontPoints = 8;
// The smallest client area that still shows the button beside a part of the list.
constexpr int kMinClientWidth = 200;
constexpr int kMinClientHeight = 120;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The work area of the monitor under the cursor, where the command was chosen.
RECT WorkAreaUnderCursor()
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (::GetMonitorInfoW(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info)) area = info.rcWork;
    return area;
}

int HeightOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r.bottom - r.top;
}
} // namespace

TFormHotKeysList::TFormHotKeysList(std::wstring hotKeysXmlName) : m_fileName(std::move(hotKeysXmlName)) {}

TFormHotKeysList::~TFormHotKeysList() { Destroy(); }

int TFormHotKeysList::Scale(int pixels) const { return ScaleForDpi(pixels, m_dpi); }

int TFormHotKeysList::ShowModal(HWND owner)
{
    RegisterWindowClass(kHotKeysListClass, 0, nullptr, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    CreateWindowInstance(kExStyle, kHotKeysListClass, kHotKeysListCaption, kStyle, 0, 0, kClientWidth, kClientHeight,
                         owner);
    m_dpi = WindowDpi(Handle());
    FormCreate();
    SizeToRows();

    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    ::ShowWindow(Handle(), SW_SHOW);
    ForceForegroundWindow(Handle());
    ::SetFocus(m_listViewHotKey);

    MSG msg;
    bool quit = false;
    while (!m_closed) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        // Tab, Enter and Escape as in any dialog.
        if (::IsWindow(Handle()) && ::IsDialogMessageW(Handle(), &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    // The owner comes back before the window goes, so the activation returns to it.
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    Destroy();
    // The program was told to end while the window was up: the main loop ends too.
    if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
    return m_result;
}

void TFormHotKeysList::FormCreate()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_font.reset(CreateMessageFont(m_dpi, kFontPoints));
    m_listViewHotKey = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, 0, 0, 0, 0, Handle(),
        nullptr, instance, nullptr);
    m_buttonClose = ::CreateWindowExW(0, WC_BUTTONW, L"&Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                      0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDOK)),
                                      instance, nullptr);
    for (HWND control : {m_listViewHotKey, m_buttonClose})
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    ListView_SetExtendedListViewStyle(m_listViewHotKey, LVS_EX_FULLROWSELECT);

    const struct {
        const wchar_t* caption;
        int width;
    } columns[] = {{L"Hotkeys", kHotKeysColumnWidth}, {L"File Location", kFileLocationColumnWidth}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(columns[i].caption);
        column.cx = Scale(columns[i].width);
        ListView_InsertColumn(m_listViewHotKey, i, &column);
    }
    LayOut();
    LoadHotKeysFile(m_fileName);
}

void TFormHotKeysList::SizeToRows()
{
    const RECT area = WorkAreaUnderCursor();
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectForDpi(&frame, kStyle, kExStyle, m_dpi);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    const int width = std::min<int>(Scale(kClientWidth), area.right - area.left - frameWidth) + frameWidth;
    // The width first: the list's frame is measured as it will be, with a scroll bar if it needs one.
    ::SetWindowPos(Handle(), nullptr, 0, 0, width, Scale(kClientHeight) + frameHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);

    HotKeysListMetrics metrics;
    const int rows = ListView_GetItemCount(m_listViewHotKey);
    // An empty list has no row to measure: one is put in for as long as that takes.
    if (rows == 0) AddRow({}, 0);
    RECT row{};
    if (ListView_GetItemRect(m_listViewHotKey, 0, &row, LVIR_BOUNDS)) metrics.rowHeight = row.bottom - row.top;
    if (rows == 0) ListView_DeleteAllItems(m_listViewHotKey);
    HWND header = ListView_GetHeader(m_listViewHotKey);
    // The window is not shown yet: the header's own style says whether it shows with it.
    const bool headerShows = header && (::GetWindowLongPtrW(header, GWL_STYLE) & WS_VISIBLE) != 0;
    metrics.headerHeight = headerShows ? HeightOf(header) : 0;
    RECT inside{};
    ::GetClientRect(m_listViewHotKey, &inside);
    metrics.listFrame = HeightOf(m_listViewHotKey) - (inside.bottom - inside.top);
    metrics.margin = Scale(kMargin);
    metrics.buttonHeight = Scale(kButtonHeight);

    const int height = HotKeysListClientHeight(rows, metrics, area.bottom - area.top - frameHeight) + frameHeight;
    // Centred on the work area.
    ::SetWindowPos(Handle(), nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormHotKeysList::LoadHotKeysFile(const std::wstring& path)
{
    ListView_DeleteAllItems(m_listViewHotKey);
    const HotKeysFileContent content = ReadHotKeysFile(path);
    if (content.State == HotKeysFileState::NoNode) {
        ::MessageBoxW(Handle(), L"nil", kHotKeysListCaption, MB_OK);
        return;
    }
    ::SendMessageW(m_listViewHotKey, WM_SETREDRAW, FALSE, 0);
    int index = 0;
    for (const HotKeyRow& row : content.Rows) AddRow(row, index++);
    ::SendMessageW(m_listViewHotKey, WM_SETREDRAW, TRUE, 0);
}

void TFormHotKeysList::AddRow(const HotKeyRow& row, int index)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(row.HotKey.c_str());
    const int at = ListView_InsertItem(m_listViewHotKey, &item);
    if (at >= 0) ListView_SetItemText(m_listViewHotKey, at, 1, const_cast<wchar_t*>(row.Path.c_str()));
}

// The list follows all four sides, the button the right and bottom ones.
void TFormHotKeysList::LayOut()
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int margin = Scale(kMargin), buttonWidth = Scale(kButtonWidth), buttonHeight = Scale(kButtonHeight);
    const int buttonTop = client.bottom - margin - buttonHeight;
    ::SetWindowPos(m_buttonClose, nullptr, client.right - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_listViewHotKey, nullptr, margin, margin, client.right - 2 * margin, buttonTop - 2 * margin,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormHotKeysList::Close(int result)
{
    m_result = result;
    m_closed = true;
}

LRESULT TFormHotKeysList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            Close(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_CLOSE:
        Close(IDCANCEL);
        return 0;
    case WM_SIZE:
        if (m_listViewHotKey) LayOut();
        return 0;
    case WM_GETMINMAXINFO: {
        RECT frame{0, 0, Scale(kMinClientWidth), Scale(kMinClientHeight)};
        AdjustWindowRectForDpi(&frame, kStyle, kExStyle, m_dpi);
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
        return 0;
    }
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        m_font.reset(CreateMessageFont(m_dpi, kFontPoints));
        for (HWND control : {m_listViewHotKey, m_buttonClose})
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), TRUE);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}
