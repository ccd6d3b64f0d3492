#include "components/OrvoTrackBar.h"

#include <commctrl.h>

#include "base/LauncherError.h"
#include "components/SmallControlRules.h"

TOrvoTrackBar TOrvoTrackBar::Create(HWND parent, int id, const RECT& bounds, DWORD style)
{
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    HWND hwnd = ::CreateWindowExW(0, TRACKBAR_CLASSW, nullptr, OrvoTrackBarStyle(style | WS_CHILD), bounds.left,
                                  bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                  nullptr);
    if (!hwnd) throw LauncherError(L"Cannot create window");
    return TOrvoTrackBar(hwnd);
}

TOrvoTrackBar TOrvoTrackBar::Attach(HWND trackBar)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(trackBar, GWL_STYLE));
    const DWORD wanted = OrvoTrackBarStyle(style);
    if (wanted != style) {
        ::SetWindowLongPtrW(trackBar, GWL_STYLE, static_cast<LONG_PTR>(wanted));
        // The control lays out its channel from the style: make it do so again.
        ::SetWindowPos(trackBar, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        ::InvalidateRect(trackBar, nullptr, TRUE);
    }
    return TOrvoTrackBar(trackBar);
}

void TOrvoTrackBar::SetRange(int minimum, int maximum) const
{
    ::SendMessageW(m_hwnd, TBM_SETRANGEMIN, FALSE, minimum);
    ::SendMessageW(m_hwnd, TBM_SETRANGEMAX, TRUE, maximum);
}

int TOrvoTrackBar::Position() const { return static_cast<int>(::SendMessageW(m_hwnd, TBM_GETPOS, 0, 0)); }

void TOrvoTrackBar::SetPosition(int position) const { ::SendMessageW(m_hwnd, TBM_SETPOS, TRUE, position); }
