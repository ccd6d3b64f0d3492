#include "components/DialogFocus.h"

#include <algorithm>

DialogFocus::DialogFocus(HWND window, std::vector<HWND> buttons, HWND defaultButton)
    : m_window(window), m_buttons(std::move(buttons)), m_defaultButton(defaultButton)
{
}

bool DialogFocus::IsOwnControl(HWND control) const
{
    return control && ::IsChild(m_window, control) && ::IsWindowVisible(control) && ::IsWindowEnabled(control);
}

bool DialogFocus::OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(m_window, focus)) m_focus = focus;
        return false;
    }
    // A minimized window takes no focus; it is given back when the window is restored.
    if (HIWORD(wParam) != 0) return false;
    HWND target = IsOwnControl(m_focus) ? m_focus : m_defaultButton;
    if (!IsOwnControl(target)) return false;
    ::SetFocus(target);
    // A control that takes the focus without saying so (any but our buttons) leaves the frame on
    // the default button.
    if (std::find(m_buttons.begin(), m_buttons.end(), target) == m_buttons.end()) ShowDefault(m_defaultButton);
    return true;
}

void DialogFocus::OnButtonFocus(HWND button, bool gained)
{
    if (std::find(m_buttons.begin(), m_buttons.end(), button) == m_buttons.end()) return;
    ShowDefault(gained ? button : m_defaultButton);
}

void DialogFocus::ShowDefault(HWND button)
{
    for (HWND each : m_buttons) {
        const LONG_PTR style = ::GetWindowLongPtrW(each, GWL_STYLE);
        const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        if (isDefault == (each == button)) continue;
        // The button's other style bits (BS_NOTIFY among them) go with its new type.
        const LONG_PTR type = each == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        ::SendMessageW(each, BM_SETSTYLE, static_cast<WPARAM>(((style & ~BS_TYPEMASK) | type) & 0xFFFF), TRUE);
    }
}
