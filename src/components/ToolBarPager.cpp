#include "components/ToolBarPager.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "base/Dpi.h"
#include "base/LauncherError.h"
#include "components/HintShadow.h"

namespace {
constexpr const wchar_t* kHostClassName = L"OrvoLauncherToolBarPager";
constexpr int kPagerControlId = 1;
constexpr int kToolBarControlId = 2;
} // namespace

ToolBarPager::ToolBarPager(ToolBarPagerEvents events, std::function<POINT()> cursorPos)
    : m_events(std::move(events)), m_cursorPos(std::move(cursorPos))
{
}

POINT ToolBarPager::CursorPos() const
{
    if (m_cursorPos) return m_cursorPos();
    POINT point{};
    ::GetCursorPos(&point);
    return point;
}

ToolBarPager::~ToolBarPager() { Destroy(); }

void ToolBarPager::Create(HWND parent, const RECT& bounds)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_PAGESCROLLER_CLASS};
    ::InitCommonControlsEx(&controls);
    RegisterWindowClass(kHostClassName, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CreateWindowInstance(WS_EX_CONTROLPARENT, kHostClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                         bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent);
    const unsigned dpi = WindowDpi(Handle());
    m_buttonWidth = ScaleForDpi(kItemButtonWidth, dpi);
    m_buttonHeight = ScaleForDpi(kItemButtonHeight, dpi);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_pager = ::CreateWindowExW(0, WC_PAGESCROLLERW, nullptr, WS_CHILD | WS_VISIBLE | PGS_HORZ, 0, 0, 0, 0,
                                Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPagerControlId)),
                                instance, nullptr);
    if (!m_pager) throw LauncherError(L"Cannot create window");
    m_toolBar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                  WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER |
                                      TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                                  0, 0, 0, 0, m_pager,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarControlId)), instance,
                                  nullptr);
    if (!m_toolBar) throw LauncherError(L"Cannot create window");
    TShadowedHintWindow::AttachToToolBar(m_toolBar);
    ::SetWindowSubclass(m_toolBar, &ToolBarPager::ToolBarSubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
    ::SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(m_buttonWidth, m_buttonHeight));
    ::SendMessageW(m_pager, PGM_SETCHILD, 0, reinterpret_cast<LPARAM>(m_toolBar));
    LayOut();
}

LRESULT CALLBACK ToolBarPager::ToolBarSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                   DWORD_PTR self) noexcept
{
    try {
        if (reinterpret_cast<ToolBarPager*>(self)->FollowPress(message, lParam)) return 0;
    } catch (...) {
        // A drag that failed is a drag that did not happen; the bar goes on as it was.
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, &ToolBarPager::ToolBarSubclassProc, 0);
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

bool ToolBarPager::FollowPress(UINT message, LPARAM lParam)
{
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_LBUTTONDOWN: {
        m_pressedId.reset();
        POINT hitPoint = at;
        const int hit = static_cast<int>(::SendMessageW(m_toolBar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&hitPoint)));
        if (hit >= 0 && m_events.DragStarted) {
            m_pressedId = IdAtPosition(hit);
            m_pressedAt = at;
        }
        return false;
    }
    case WM_MOUSEMOVE: {
        if (!m_pressedId || !(::GetKeyState(VK_LBUTTON) & 0x8000)) return false;
        if (std::abs(at.x - m_pressedAt.x) <= ::GetSystemMetrics(SM_CXDRAG) &&
            std::abs(at.y - m_pressedAt.y) <= ::GetSystemMetrics(SM_CYDRAG))
            return false;
        const std::uint16_t id = *m_pressedId;
        m_pressedId.reset();
        // The bar lets go of its pressed button as when the capture is taken from it.
        if (::GetCapture() == m_toolBar) ::ReleaseCapture();
        ::SendMessageW(m_toolBar, TB_SETSTATE, id, MAKELPARAM(TBSTATE_ENABLED, 0));
        m_events.DragStarted(id);
        return true;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        m_pressedId.reset();
        return false;
    default:
        return false;
    }
}

void ToolBarPager::SetBounds(const RECT& bounds)
{
    ::SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                   bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ToolBarPager::BeginLoad(HIMAGELIST images)
{
    RemoveAllButtons();
    BeginAppend(images);
}

void ToolBarPager::BeginAppend(HIMAGELIST images)
{
    ::SendMessageW(m_pager, PGM_SETPOS, 0, 0);
    ::SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    int iconWidth = 16;
    int iconHeight = 16;
    if (images) ::ImageList_GetIconSize(images, &iconWidth, &iconHeight);
    ::SendMessageW(m_toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(iconWidth, iconHeight));
    ::SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(m_buttonWidth, m_buttonHeight));
}

void ToolBarPager::AddItemButton(std::uint16_t id, const std::wstring& caption, int imageIndex)
{
    TBBUTTON info{};
    info.iBitmap = imageIndex;
    info.idCommand = id;
    info.fsState = TBSTATE_ENABLED;
    info.fsStyle = BTNS_BUTTON;
    info.iString = -1;
    m_pending.push_back(info);
    m_hints.emplace_back(id, caption);
}

void ToolBarPager::SetButtonImage(std::uint16_t id, int imageIndex)
{
    for (TBBUTTON& pending : m_pending)
        if (pending.idCommand == id) pending.iBitmap = imageIndex;
    if (m_toolBar) ::SendMessageW(m_toolBar, TB_CHANGEBITMAP, id, MAKELPARAM(imageIndex, 0));
}

void ToolBarPager::SetBarHint(std::wstring hint)
{
    m_barHint = std::move(hint);
    ApplyBarHint();
}

void ToolBarPager::ApplyBarHint()
{
    HWND tips = m_toolBar ? reinterpret_cast<HWND>(::SendMessageW(m_toolBar, TB_GETTOOLTIPS, 0, 0)) : nullptr;
    if (!tips || m_barHint.empty()) return;
    // One tool for the whole bar, beside the buttons' own: the hint window takes a button's tool
    // where there is one, so the bar's hint shows only beside the buttons.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_TRANSPARENT;
    tool.hwnd = m_pager;
    tool.uId = reinterpret_cast<UINT_PTR>(m_toolBar);
    tool.lpszText = const_cast<wchar_t*>(m_barHint.c_str());
    ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A width limit lets the hint break at its line breaks.
    ::SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, ScaleForDpi(400, WindowDpi(m_toolBar)));
}

void ToolBarPager::AddPendingButtons()
{
    if (m_pending.empty()) return;
    // Each button goes in front of those added before it: the last one added is leftmost.
    std::reverse(m_pending.begin(), m_pending.end());
    if (ButtonCount() == 0) {
        ::SendMessageW(m_toolBar, TB_ADDBUTTONSW, m_pending.size(), reinterpret_cast<LPARAM>(m_pending.data()));
    } else {
        for (std::size_t position = 0; position < m_pending.size(); ++position)
            ::SendMessageW(m_toolBar, TB_INSERTBUTTONW, position, reinterpret_cast<LPARAM>(&m_pending[position]));
    }
    m_pending.clear();
}

void ToolBarPager::RemoveAllButtons()
{
    m_pending.clear();
    TShadowedHintWindow::RemoveAllToolBarButtons(m_toolBar);
    m_hints.clear();
    ApplyBarHint();  // the bar has a fresh hint window
    LayOut();
}

void ToolBarPager::EndLoad()
{
    AddPendingButtons();
    LayOut();
}

int ToolBarPager::ButtonCount() const
{
    return m_toolBar ? static_cast<int>(::SendMessageW(m_toolBar, TB_BUTTONCOUNT, 0, 0)) : 0;
}

std::optional<std::uint16_t> ToolBarPager::IdAtPosition(int position) const
{
    if (position < 0 || position >= ButtonCount()) return std::nullopt;
    TBBUTTON info{};
    ::SendMessageW(m_toolBar, TB_GETBUTTON, position, reinterpret_cast<LPARAM>(&info));
    return static_cast<std::uint16_t>(info.idCommand);
}

std::optional<std::size_t> ToolBarPager::TableIndexAtPosition(int position) const
{
    const int count = ButtonCount();
    if (position < 0 || position >= count) return std::nullopt;
    return static_cast<std::size_t>(count - 1 - position);
}

void ToolBarPager::LayOut()
{
    if (!Handle()) return;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int count = ButtonCount();
    ::SetWindowPos(m_toolBar, nullptr, 0, 0, count * m_buttonWidth, m_buttonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_pager, nullptr, 0, 0, client.right, std::min<LONG>(client.bottom, m_buttonHeight + 4),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // The scroller asks for its child's size again only when told to, and some versions of it
    // update their arrows only when the position changes: step once and back.
    ::SendMessageW(m_pager, PGM_RECALCSIZE, 0, 0);
    const LRESULT position = ::SendMessageW(m_pager, PGM_GETPOS, 0, 0);
    ::SendMessageW(m_pager, PGM_SETPOS, 0, position + 1);
    ::SendMessageW(m_pager, PGM_SETPOS, 0, position);
}

void ToolBarPager::ReportContextMenu()
{
    const POINT screen = CursorPos();
    POINT client = screen;
    ::ScreenToClient(m_toolBar, &client);
    std::optional<std::uint16_t> id;
    const int hit = static_cast<int>(::SendMessageW(m_toolBar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    // TB_HITTEST gives a negative value off the buttons; a button's position otherwise.
    if (hit >= 0) id = IdAtPosition(hit);
    if (m_events.ContextMenu) m_events.ContextMenu(id, screen);
}

LRESULT ToolBarPager::OnNotify(NMHDR* header)
{
    if (header->hwndFrom == m_pager && header->code == PGN_CALCSIZE) {
        auto* size = reinterpret_cast<NMPGCALCSIZE*>(header);
        // One button width of room after the last button, so the last one scrolls fully into view.
        if (size->dwFlag == PGF_CALCWIDTH) size->iWidth = (ButtonCount() + 1) * m_buttonWidth;
        if (size->dwFlag == PGF_CALCHEIGHT) size->iHeight = m_buttonHeight;
        return 0;
    }
    if (header->hwndFrom == m_pager && header->code == PGN_SCROLL) {
        reinterpret_cast<NMPGSCROLL*>(header)->iScroll = m_buttonWidth;
        return 0;
    }
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        const auto id = static_cast<std::uint16_t>(header->idFrom);
        auto it = std::find_if(m_hints.begin(), m_hints.end(), [id](const auto& hint) { return hint.first == id; });
        if (it != m_hints.end()) info->lpszText = const_cast<wchar_t*>(it->second.c_str());
        return 0;
    }
    if (header->hwndFrom == m_toolBar && header->code == NM_RCLICK) {
        ReportContextMenu();
        return TRUE;
    }
    return 0;
}

LRESULT ToolBarPager::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == m_toolBar && HIWORD(wParam) == BN_CLICKED) {
            if (m_events.ButtonClicked) m_events.ButtonClicked(static_cast<std::uint16_t>(LOWORD(wParam)));
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        // On the scroller or the host beside the buttons: the bar itself.
        if (m_events.ContextMenu) m_events.ContextMenu(std::nullopt, CursorPos());
        return 0;
    case WM_SIZE:
        LayOut();
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}
