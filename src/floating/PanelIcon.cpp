#include "floating/PanelIcon.h"

#include "base/WinUtil.h"

namespace {
constexpr const wchar_t* kPanelClassName = L"OrvoLauncherPanelIcon";
}

PanelIcon::PanelIcon(std::function<void()> onMouseMove) : m_onMouseMove(std::move(onMouseMove)) {}

void PanelIcon::Create(HWND parent, int x, int y, int width, int height)
{
    RegisterWindowClass(kPanelClassName, CS_HREDRAW | CS_VREDRAW);
    CreateWindowInstance(0, kPanelClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height,
                         parent);
}

void PanelIcon::SetText(const std::wstring& text)
{
    ::SetWindowTextW(Handle(), text.c_str());
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

std::wstring PanelIcon::Text() const { return WindowText(Handle()); }

LRESULT PanelIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CONTEXTMENU:
        // The tool bar reports to its parent; the floating window is the one that acts.
        return ::SendMessageW(::GetParent(Handle()), message, wParam, lParam);
    case WM_MOUSEMOVE:
        if (m_onMouseMove) m_onMouseMove();
        return 0;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) ::InvalidateRect(Handle(), nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_ERASEBKGND: {
        // Also asked by the flat tool bar, which is drawn on its parent's background.
        RECT rect{};
        ::GetClientRect(Handle(), &rect);
        ::FillRect(reinterpret_cast<HDC>(wParam), &rect, ::GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PRINTCLIENT:
        PaintTo(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(Handle(), &paint);
        PaintTo(dc);
        ::EndPaint(Handle(), &paint);
        return 0;
    }
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void PanelIcon::PaintTo(HDC dc)
{
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
    const std::wstring text = Text();
    if (text.empty()) return;
    HGDIOBJ oldFont = m_font ? ::SelectObject(dc, m_font) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont) ::SelectObject(dc, oldFont);
}
