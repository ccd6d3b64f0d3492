#pragma once
// Keyboard focus and the default push button of a plain window that lets the dialog manager
// (IsDialogMessage) move between its controls. A dialog box keeps both by itself; a plain window
// gets neither: activated again after a modal window of its own closed, it would hold the focus
// itself, with no control focused and the default frame left wherever it last was.

#include <windows.h>

#include <vector>

class DialogFocus {
public:
    // `buttons`: the window's own push buttons; `defaultButton` (one of them) is the default while
    // the focus is on no push button.
    DialogFocus(HWND window, std::vector<HWND> buttons, HWND defaultButton);

    // WM_ACTIVATE: the focused control is noted when the window goes inactive and focused again
    // when it comes back (the default button when that control is gone, hidden or disabled).
    // True when the message was handled, so the default handling must not focus the window.
    bool OnActivate(WPARAM wParam);
    // BN_SETFOCUS and BN_KILLFOCUS of a push button: a focused push button is the default one, as
    // in every dialog; once the focus leaves the buttons the default button is again.
    void OnButtonFocus(HWND button, bool gained);

private:
    void ShowDefault(HWND button);
    bool IsOwnControl(HWND control) const;

    HWND m_window;
    std::vector<HWND> m_buttons;
    HWND m_defaultButton;
    HWND m_focus = nullptr;
};
