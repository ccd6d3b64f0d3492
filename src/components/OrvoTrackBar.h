#pragma once
// TOrvoTrackBar: the system's track bar without the selection-range band. The parent owns the
// window; this is a handle with the few operations the program uses.

#include <windows.h>
#include <commctrl.h>

class TOrvoTrackBar {
public:
    TOrvoTrackBar() = default;

    // Creates the control as a child of `parent`. Throws LauncherError.
    static TOrvoTrackBar Create(HWND parent, int id, const RECT& bounds,
                                DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS);
    // Takes over a track bar made from a dialog template and drops the band from its style.
    static TOrvoTrackBar Attach(HWND trackBar);

    HWND Handle() const noexcept { return m_hwnd; }
    void SetRange(int minimum, int maximum) const;
    int Position() const;
    void SetPosition(int position) const;

private:
    explicit TOrvoTrackBar(HWND hwnd) : m_hwnd(hwnd) {}
    HWND m_hwnd = nullptr;
};
