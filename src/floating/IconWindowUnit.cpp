#include "floating/IconWindowUnit.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "base/Dpi.h"
#include "base/ErrorReport.h"
#include "components/HintShadow.h"

namespace {
constexpr const wchar_t* kIconWindowClassName = L"TIconWindow";
constexpr const wchar_t* kIconWindowCaption = L"IconWindow";
constexpr UINT_PTR kTimerIconWindowId = 1;
constexpr UINT_PTR kToolBarSubclassId = 1;
constexpr int kToolBarControlId = 1;
constexpr int kFontPointSize = 8;
// SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW: raise and show, never activate.
constexpr UINT kRaiseWithoutActivating = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW;

PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

PixelRect PrimaryWorkArea()
{
    RECT area{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    return ToPixelRect(area);
}
} // namespace

IconWindowSystem IconWindowSystem::Default()
{
    IconWindowSystem system;
    system.CursorPos = [] {
        POINT point{};
        ::GetCursorPos(&point);
        return PixelPoint{point.x, point.y};
    };
    system.WorkAreaNear = [](PixelPoint point) -> std::optional<PixelRect> {
        HMONITOR monitor = ::MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (!monitor || !::GetMonitorInfoW(monitor, &info)) return std::nullopt;
        return ToPixelRect(info.rcWork);
    };
    system.NowMs = [] { return static_cast<std::int64_t>(::GetTickCount64()); };
    system.ForceForeground = [](HWND hwnd) { ::SetForegroundWindow(hwnd); };
    system.Os = CurrentOsVersion();
    return system;
}

TIconWindow::TIconWindow(IconWindowEvents events, IconWindowSystem system)
    : m_events(std::move(events)), m_system(std::move(system)), m_primaryWorkArea(PrimaryWorkArea()),
      m_panel([this] { MouseMovedOverWindow(); })
{
}

TIconWindow::~TIconWindow()
{
    // Destroy while the members the handlers use still live.
    StopTimer();
    Destroy();
}

void TIconWindow::Create()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The class drop shadow exists from NT 5.1; later systems draw their own shadow for popups
    // and the shadow on NT 5.x sits outside the window, which the placement makes room for.
    RegisterWindowClass(kIconWindowClassName, IsXpClass(m_system.Os) ? CS_DROPSHADOW : 0u, nullptr,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CreateWindowInstance(WS_EX_TOOLWINDOW, kIconWindowClassName, kIconWindowCaption,
                         WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, 0, 0, 100, 40, m_owner);
    m_dpi = WindowDpi(Handle());
    m_font.reset(CreateMessageFont(m_dpi, kFontPointSize));
    RECT client{};
    ::GetClientRect(Handle(), &client);
    m_panel.Create(Handle(), 0, 0, client.right, client.bottom);
    ::SendMessageW(m_panel.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    CreateToolBar();
    FillToolBar();
}

void TIconWindow::RecreateIconWindow()
{
    StopTimer();
    m_shownByEdge = false;
    Destroy();
    m_toolBar = nullptr;
    Create();
    HideIconWindow();
}

void TIconWindow::CreateToolBar()
{
    m_toolBar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                  WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER |
                                      TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                                  0, 0, 0, 0, m_panel.Handle(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarControlId)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!m_toolBar) return;
    TShadowedHintWindow::AttachToToolBar(m_toolBar);
    ::SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Mouse moves over the buttons reach the tool bar, not us; they must keep the window up too.
    ::SetWindowSubclass(m_toolBar, &TIconWindow::ToolBarSubclassProc, kToolBarSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
}

void TIconWindow::RebuildIconWindow(const std::vector<Item>& items, HIMAGELIST images, int maxIconInRow)
{
    m_buttons.clear();
    m_buttons.reserve(items.size());
    for (const Item& item : items) {
        if (item.Kind != CollectionKind::None) m_buttons.push_back({item.Id, item.ImageIndex, item.Caption});
    }
    m_images = images;
    m_maxIconInRow = maxIconInRow;
    if (m_timerRunning || (Handle() && ::IsWindowVisible(Handle()))) HideIconWindow();
    if (Handle()) FillToolBar();
}

void TIconWindow::SetButtonImage(std::uint16_t id, int imageIndex)
{
    for (Button& button : m_buttons)
        if (button.id == id) button.imageIndex = imageIndex;
    if (m_toolBar) ::SendMessageW(m_toolBar, TB_CHANGEBITMAP, id, MAKELPARAM(imageIndex, 0));
}

void TIconWindow::SetMaxIconInRow(int maxIconInRow)
{
    m_maxIconInRow = maxIconInRow;
    if (!Handle()) return;
    HideIconWindow();
    FillToolBar();
}

void TIconWindow::FillToolBar()
{
    if (!m_toolBar) {
        ApplyLayout();
        return;
    }
    // This bar takes its buttons off one by one at a millisecond each, hundreds of them in a large
    // folder; a new bar is one window.
    if (::SendMessageW(m_toolBar, TB_BUTTONCOUNT, 0, 0) > 0) {
        HWND hint = reinterpret_cast<HWND>(::SendMessageW(m_toolBar, TB_GETTOOLTIPS, 0, 0));
        ::DestroyWindow(m_toolBar);
        if (hint && ::IsWindow(hint)) ::DestroyWindow(hint);
        CreateToolBar();
        if (!m_toolBar) {
            ApplyLayout();
            return;
        }
    }
    ::SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    int iconWidth = 16;
    int iconHeight = 16;
    if (m_images) ::ImageList_GetIconSize(m_images, &iconWidth, &iconHeight);
    ::SendMessageW(m_toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(iconWidth, iconHeight));
    const IconWindowLayout layout = LayoutIconWindow(static_cast<int>(m_buttons.size()), m_maxIconInRow, m_dpi);
    ::SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(layout.button.cx, layout.button.cy));

    // Rows end where the balanced grid says, not where the tool bar would wrap on its own. The
    // wrap mark goes in with the button: changing a state later does not lay the bar out again.
    // The table holds the items last to first, and the bar shows them first to last. All buttons
    // go in with one message: the bar lays itself out once, not once per button.
    const std::size_t count = m_buttons.size();
    const auto columns = static_cast<std::size_t>(std::max(1, layout.grid.columns));
    std::vector<TBBUTTON> buttons;
    buttons.reserve(count);
    for (std::size_t position = 0; position < count; ++position) {
        const bool endsRow = (position + 1) % columns == 0 && position + 1 < count;
        buttons.push_back(ToolButton(m_buttons[count - 1 - position], endsRow));
    }
    if (!buttons.empty())
        ::SendMessageW(m_toolBar, TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons.data()));
    ApplyLayout();
}

TBBUTTON TIconWindow::ToolButton(const Button& button, bool endsRow)
{
    TBBUTTON info{};
    info.iBitmap = button.imageIndex;
    info.idCommand = button.id;
    info.fsState = static_cast<BYTE>(TBSTATE_ENABLED | (endsRow ? TBSTATE_WRAP : 0));
    info.fsStyle = BTNS_BUTTON;
    info.iString = -1;
    return info;
}

void TIconWindow::ApplyLayout()
{
    if (!Handle()) return;
    PixelSize windowSize;
    PixelSize toolBarSize;
    if (m_buttons.empty()) {
        m_panel.SetText(kEmptyIconWindowText);
        SIZE extent{};
        HDC dc = ::GetDC(m_panel.Handle());
        HGDIOBJ oldFont = ::SelectObject(dc, m_font.get());
        ::GetTextExtentPoint32W(dc, kEmptyIconWindowText, static_cast<int>(std::wcslen(kEmptyIconWindowText)),
                                &extent);
        ::SelectObject(dc, oldFont);
        ::ReleaseDC(m_panel.Handle(), dc);
        windowSize = EmptyIconWindowSize({extent.cx, extent.cy}, m_dpi);
    } else {
        m_panel.SetText(L"");
        const IconWindowLayout layout =
            LayoutIconWindow(static_cast<int>(m_buttons.size()), m_maxIconInRow, m_dpi);
        windowSize = layout.window;
        toolBarSize = layout.toolBar;
    }
    ::SetWindowPos(Handle(), nullptr, 0, 0, windowSize.cx, windowSize.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::SetWindowPos(m_panel.Handle(), nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_toolBar) {
        // Centred in the panel: the frame is shared between the border and the panel's bevel.
        const int x = (client.right - toolBarSize.cx) / 2;
        const int y = (client.bottom - toolBarSize.cy) / 2;
        ::SetWindowPos(m_toolBar, nullptr, x, y, toolBarSize.cx, toolBarSize.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        ::ShowWindow(m_toolBar, m_buttons.empty() ? SW_HIDE : SW_SHOWNA);
    }
}

void TIconWindow::PlaceAtCursor()
{
    const PixelPoint cursor = m_system.CursorPos();
    const std::optional<PixelRect> nearest = m_system.WorkAreaNear(cursor);
    const PixelRect workArea = nearest ? *nearest : m_primaryWorkArea;
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    const PixelPoint topLeft = PlaceIconWindow(cursor, workArea, {window.right - window.left, window.bottom - window.top},
                                               m_system.Os, m_dpi);
    m_anchor = cursor;
    ::SetWindowPos(Handle(), nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TIconWindow::ShowIconWindowPassive()
{
    if (!Handle()) return;
    m_deadline.Restart(m_system.NowMs(), m_showTimeSeconds);
    StartTimer();
    PlaceAtCursor();
    m_shownByEdge = true;
    // Topmost first so it comes above other topmost windows, then to the top of that band.
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, kRaiseWithoutActivating);
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, kRaiseWithoutActivating);
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

void TIconWindow::ShowIconWindowActive()
{
    if (!Handle()) return;
    m_deadline.Restart(m_system.NowMs(), m_showTimeSeconds);
    if (m_shownByEdge) {
        // A passively shown window is opened afresh at the cursor, this time active. Its timer
        // stops with it: otherwise the window would count as up and stay hidden.
        ::ShowWindow(Handle(), SW_HIDE);
        StopTimer();
        m_shownByEdge = false;
    }
    if (!m_timerRunning) {
        StartTimer();
        PlaceAtCursor();
        ::ShowWindow(Handle(), SW_SHOW);
        ::SetForegroundWindow(Handle());
        ::BringWindowToTop(Handle());
    }
    if (m_system.ForceForeground) m_system.ForceForeground(Handle());
}

void TIconWindow::HideIconWindow()
{
    if (Handle()) ::ShowWindow(Handle(), SW_HIDE);
    StopTimer();
    m_shownByEdge = false;
    if (m_events.Hidden) m_events.Hidden();
}

bool TIconWindow::IsCursorInIconWindow() const
{
    // A hidden window has no inside, wherever it was last shown.
    if (!Handle() || !::IsWindowVisible(Handle())) return false;
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    return IsStrictlyInside(m_system.CursorPos(), ToPixelRect(window));
}

void TIconWindow::TimerIconWindowTimer()
{
    if (!m_timerRunning) return;
    const bool menuOpen = m_events.IsMenuOpen && m_events.IsMenuOpen();
    if (m_deadline.Tick(m_system.NowMs(), m_showTimeSeconds, IsCursorInIconWindow(), menuOpen)) HideIconWindow();
}

void TIconWindow::StartTimer()
{
    if (m_timerRunning || !Handle()) return;
    m_timerRunning = ::SetTimer(Handle(), kTimerIconWindowId, kTimerIconWindowIntervalMs, nullptr) != 0;
}

void TIconWindow::StopTimer()
{
    if (!m_timerRunning) return;
    if (Handle()) ::KillTimer(Handle(), kTimerIconWindowId);
    m_timerRunning = false;
}

void TIconWindow::MouseMovedOverWindow()
{
    if (m_timerRunning) m_deadline.Restart(m_system.NowMs(), m_showTimeSeconds);
}

const TIconWindow::Button* TIconWindow::FindButton(std::uint16_t id) const
{
    auto it = std::find_if(m_buttons.begin(), m_buttons.end(), [id](const Button& b) { return b.id == id; });
    return it == m_buttons.end() ? nullptr : &*it;
}

bool TIconWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED || reinterpret_cast<HWND>(lParam) != m_toolBar) return false;
    const auto id = static_cast<std::uint16_t>(LOWORD(wParam));
    if (!FindButton(id)) return false;
    HideIconWindow();
    if (m_events.ButtonClicked) m_events.ButtonClicked(id);
    return true;
}

LRESULT TIconWindow::OnNotify(NMHDR* header)
{
    if (header->code == TTN_GETDISPINFOW) {
        // The hint of a button is its caption.
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        if (const Button* button = FindButton(static_cast<std::uint16_t>(header->idFrom))) {
            info->lpszText = const_cast<wchar_t*>(button->caption.c_str());
        }
        return 0;
    }
    if (header->hwndFrom == m_toolBar && header->code == NM_RCLICK) {
        // The menu opens at the cursor; the notification's own point is not the same on every
        // version of the tool bar.
        const PixelPoint cursor = m_system.CursorPos();
        if (m_events.RightClicked) m_events.RightClicked(POINT{cursor.x, cursor.y});
        return TRUE;  // handled: no WM_CONTEXTMENU after it
    }
    return 0;
}

void TIconWindow::OnDpiChanged(unsigned dpi)
{
    m_dpi = dpi;
    m_font.reset(CreateMessageFont(m_dpi, kFontPointSize));
    ::SendMessageW(m_panel.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), TRUE);
    FillToolBar();
    // Sized for the new monitor: apply the placement rule again at the same cursor point.
    const std::optional<PixelRect> nearest = m_system.WorkAreaNear(m_anchor);
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    const PixelPoint topLeft = PlaceIconWindow(m_anchor, nearest ? *nearest : m_primaryWorkArea,
                                               {window.right - window.left, window.bottom - window.top},
                                               m_system.Os, m_dpi);
    ::SetWindowPos(Handle(), nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TIconWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimerIconWindowId) {
            TimerIconWindowTimer();
            return 0;
        }
        break;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == m_toolBar) {
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (point.x == -1 && point.y == -1) {  // from the keyboard
                const PixelPoint cursor = m_system.CursorPos();
                point = {cursor.x, cursor.y};
            }
            if (m_events.RightClicked) m_events.RightClicked(point);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        MouseMovedOverWindow();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam));
        return 0;
    case WM_DESTROY:
        StopTimer();
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

LRESULT CALLBACK TIconWindow::ToolBarSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                  UINT_PTR subclassId, DWORD_PTR refData) noexcept
{
    if (message == WM_MOUSEMOVE) {
        try {
            reinterpret_cast<TIconWindow*>(refData)->MouseMovedOverWindow();
        } catch (...) {
            ShowCurrentException();
        }
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &TIconWindow::ToolBarSubclassProc, subclassId);
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
