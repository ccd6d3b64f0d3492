#pragma once
// The hidden top-level window of class "TApplication" that owns the program's other windows,
// carries the taskbar button while the main window shows, and is what a second start looks for.

#include <functional>

#include "base/Window.h"

class ApplicationWindow : public Window {
public:
    void Create(const wchar_t* title);
    // No taskbar button while resident; a button while the main window shows.
    void SetResidentStyle();
    void SetShownStyle();
    void Hide();
    void ShowNormal();

    // The application's minimize handler (the taskbar button minimizing, or the OK command).
    std::function<void()> onMinimize;
    // The application was activated (taskbar button): the main window takes the focus.
    std::function<void()> onActivate;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
