#include "components/DragDrop.h"

#include <shellapi.h>

#include "components/DragDropRules.h"

namespace {
constexpr const wchar_t* kClassName = L"TFileDropTarget";
constexpr UINT kMostNames = 65535;
} // namespace

TFileDropTarget::~TFileDropTarget() { Destroy(); }

void TFileDropTarget::Create(HWND parent, const RECT& bounds, int controlId)
{
    RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW);
    CreateWindowInstance(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP,
                         bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)));
    // The shell sends drops on the panel, and on children that take none themselves, here.
    ::DragAcceptFiles(Handle(), TRUE);
}

void TFileDropTarget::SetBounds(const RECT& bounds)
{
    ::SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFileDropTarget::SetColor(int systemColorIndex)
{
    m_color = systemColorIndex;
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TFileDropTarget::SetBevelOuter(PanelBevel bevel)
{
    m_bevel = bevel;
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TFileDropTarget::SetCaption(const std::wstring& caption)
{
    ::SetWindowTextW(Handle(), caption.c_str());
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TFileDropTarget::SetChildDragDrop(HWND child, DropHandler handler)
{
    if (handler) m_childHandlers[child] = std::move(handler);
    else m_childHandlers.erase(child);
}

DroppedFiles TFileDropTarget::QueryDroppedFiles(HDROP drop)
{
    DroppedFiles files;
    for (UINT index = 0; index < kMostNames; ++index) {
        const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
        if (length == 0) break;
        std::wstring name(length + 1, L'\0');
        const UINT copied = ::DragQueryFileW(drop, index, name.data(), length + 1);
        name.resize(copied);
        if (name.empty()) break;
        files.push_back(std::move(name));
    }
    return files;
}

void TFileDropTarget::OnDrop(HDROP drop)
{
    const DroppedFiles files = QueryDroppedFiles(drop);
    POINT at{};
    ::DragQueryPoint(drop, &at);
    if (OnDropFiles) OnDropFiles(files, at);
    DragDrop(files, at);
}

void TFileDropTarget::DragDrop(const DroppedFiles& files, POINT at)
{
    // Direct children only, in their order.
    std::vector<HWND> children;
    std::vector<ChildBounds> bounds;
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
        children.push_back(child);
        bounds.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    if (const auto index = ChildIndexAt(bounds, at.x, at.y)) {
        const auto handler = m_childHandlers.find(children[*index]);
        if (handler != m_childHandlers.end())
            handler->second(files, POINT{at.x - bounds[*index].left, at.y - bounds[*index].top});
        return;
    }
    if (OnDragDrop) OnDragDrop(files, at);
}

void TFileDropTarget::Paint()
{
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(Handle(), &ps);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(m_color));
    if (m_bevel != PanelBevel::None)
        ::DrawEdge(dc, &client, m_bevel == PanelBevel::Raised ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT);
    const int length = ::GetWindowTextLengthW(Handle());
    if (length > 0) {
        std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
        caption.resize(static_cast<std::size_t>(::GetWindowTextW(Handle(), caption.data(), length + 1)));
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(::GetParent(Handle()), WM_GETFONT, 0, 0)));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &client,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
    }
    ::EndPaint(Handle(), &ps);
}

LRESULT TFileDropTarget::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        try {
            OnDrop(drop);
        } catch (...) {
            ::DragFinish(drop);
            throw;
        }
        ::DragFinish(drop);
        return 0;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    // The controls on the panel talk to whoever placed the panel.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return ::SendMessageW(::GetParent(Handle()), message, wParam, lParam);
    case WM_SETFONT:
        for (HWND child = ::GetWindow(Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            ::SendMessageW(child, WM_SETFONT, wParam, lParam);
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}
