#include "components/EnterLeaveLabel.h"

#include <commctrl.h>

#include "base/ErrorReport.h"
#include "base/LauncherError.h"

namespace {
constexpr UINT_PTR kSubclassId = 1;
}

TEnterLeaveLabel::~TEnterLeaveLabel() { Release(); }

void TEnterLeaveLabel::Create(HWND parent, int id, const std::wstring& text, const RECT& bounds, DWORD style)
{
    Release();
    // A plain static is transparent to the mouse; SS_NOTIFY makes it receive mouse messages.
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", text.c_str(), style | WS_CHILD | WS_VISIBLE | SS_NOTIFY,
                                  bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) throw LauncherError(L"Cannot create window");
    ::SendMessageW(hwnd, WM_SETFONT, ::SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
    m_hwnd = hwnd;
    m_ownsWindow = true;
    Subclass();
}

void TEnterLeaveLabel::Attach(HWND label)
{
    Release();
    m_hwnd = label;
    m_ownsWindow = false;
    const LONG_PTR style = ::GetWindowLongPtrW(label, GWL_STYLE);
    ::SetWindowLongPtrW(label, GWL_STYLE, style | SS_NOTIFY);
    Subclass();
}

void TEnterLeaveLabel::Subclass()
{
    if (!::SetWindowSubclass(m_hwnd, &TEnterLeaveLabel::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        throw LauncherError(L"Cannot subclass window");
}

void TEnterLeaveLabel::Release() noexcept
{
    if (!m_hwnd) return;
    ::RemoveWindowSubclass(m_hwnd, &TEnterLeaveLabel::SubclassProc, kSubclassId);
    // The hover font is freed with this object: the label must not keep drawing with it.
    if (m_hoverShown) ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_normalFont), FALSE);
    if (m_ownsWindow) ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    m_inside = false;
    m_hoverShown = false;
}

void TEnterLeaveLabel::SetHoverFont(HFONT font)
{
    LOGFONTW attributes{};
    if (!font || !::GetObjectW(font, sizeof(attributes), &attributes)) {
        if (m_hoverShown) {
            ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_normalFont), TRUE);
            m_hoverShown = false;
        }
        m_hoverFont.reset();
        return;
    }
    SetHoverFont(attributes);
}

void TEnterLeaveLabel::SetHoverFont(const LOGFONTW& font)
{
    UniqueHfont copy(::CreateFontIndirectW(&font));
    if (!copy) throw LauncherError(L"Cannot create font");
    // Shown now: switch the label to the new font before the old one is freed.
    if (m_hoverShown) ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(copy.get()), TRUE);
    m_hoverFont = std::move(copy);
}

void TEnterLeaveLabel::MouseEnter()
{
    if (!::IsWindowEnabled(m_hwnd)) return;
    if (m_hoverFont && !m_hoverShown) {
        m_normalFont = reinterpret_cast<HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
        ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hoverFont.get()), TRUE);
        m_hoverShown = true;
    }
    if (OnMouseEnter) OnMouseEnter(*this);
}

void TEnterLeaveLabel::MouseLeave()
{
    if (m_hoverShown) {
        ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_normalFont), TRUE);
        m_hoverShown = false;
    }
    if (OnMouseLeave) OnMouseLeave(*this);
}

LRESULT CALLBACK TEnterLeaveLabel::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR refData) noexcept
{
    auto* self = reinterpret_cast<TEnterLeaveLabel*>(refData);
    try {
        switch (message) {
        case WM_MOUSEMOVE:
            // The first move over the label is its entering; the system reports the leaving once asked.
            if (!self->m_inside) {
                self->m_inside = true;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
                ::TrackMouseEvent(&track);
                self->MouseEnter();
            }
            break;
        case WM_MOUSELEAVE:
            if (self->m_inside) {
                self->m_inside = false;
                self->MouseLeave();
            }
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, &TEnterLeaveLabel::SubclassProc, kSubclassId);
            self->m_hwnd = nullptr;
            self->m_inside = false;
            self->m_hoverShown = false;
            break;
        default:
            break;
        }
    } catch (...) {
        // An event handler's failure must not unwind through the system's dispatcher.
        ShowCurrentException();
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
