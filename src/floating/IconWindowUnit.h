#pragma once
// The floating icon window: a small bordered tool window of icon buttons opened at the mouse
// cursor, which hides on its own a few seconds after the mouse last moved over it.
//
// The owner (the main window) feeds it the Floating items and image list, calls the show and hide
// operations, and hears back through IconWindowEvents. The hide timer (`TimerIconWindow`) is a
// window timer of this window itself, so the owner never needs to forward timer messages.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/OsVersion.h"
#include "base/Window.h"
#include "floating/IconWindowLayout.h"
#include "floating/PanelIcon.h"
#include "items/Item.h"

// What the window tells its owner. Empty members are simply not called.
struct IconWindowEvents {
    // A button was clicked; the window has already hidden. The owner clears `MenuOpen` and launches
    // the item with this Id if its file exists.
    std::function<void(std::uint16_t id)> ButtonClicked;
    // A right click on the tool bar; the point is the cursor's. The owner opens `TBPopupMenuRight`
    // there (and, as for every opening of that menu, hides this window if the cursor is not in it).
    std::function<void(POINT screenPoint)> RightClicked;
    // After every HideIconWindow: the owner hides its application window and clears the tracked
    // modifier key state of the triggers.
    std::function<void()> Hidden;
    // The owner's `MenuOpen` flag: while it is set the hide timer does not hide the window.
    std::function<bool()> IsMenuOpen;
};

// The system as the window sees it; tests replace members. Default() asks the real system.
struct IconWindowSystem {
    std::function<PixelPoint()> CursorPos;
    // Work area of the monitor nearest to the point; empty when the system returns no monitor.
    std::function<std::optional<PixelRect>(PixelPoint)> WorkAreaNear;
    std::function<std::int64_t()> NowMs;  // a monotonic clock
    // Brings the window to the foreground after an active show (the owner passes
    // ForceForegroundWindow; the default only asks SetForegroundWindow).
    std::function<void(HWND)> ForceForeground;
    OsVersion Os;

    static IconWindowSystem Default();
};

class TIconWindow : public Window {
public:
    explicit TIconWindow(IconWindowEvents events, IconWindowSystem system = IconWindowSystem::Default());
    ~TIconWindow() override;

    // Creates the window, hidden, with the buttons given so far. Throws LauncherError.
    void Create();
    // The window that owns this one (set before Create). An owned window never gets a taskbar
    // button of its own.
    void SetOwner(HWND owner) noexcept { m_owner = owner; }
    // For WM_DISPLAYCHANGE: frees the window, creates it again with the same buttons, hidden.
    void RecreateIconWindow();

    // Replaces the buttons: one per item, given in the Floating item table's order (Id 200 first).
    // Each new button goes in front of the ones before it, so the window shows the table from its
    // last entry to its first. Table slots of items that could not be placed (kind None) get no
    // button. The image list is not owned. Ends with the window hidden.
    void RebuildIconWindow(const std::vector<Item>& items, HIMAGELIST images, int maxIconInRow);
    // A new "MaxIconInRow": hides the window and lays it out again.
    void SetMaxIconInRow(int maxIconInRow);
    // The button of this Id draws another image, in place: the window stays as it is.
    void SetButtonImage(std::uint16_t id, int imageIndex);
    int MaxIconInRow() const { return m_maxIconInRow; }
    // "ShowTime" in seconds.
    void SetShowTime(int seconds) { m_showTimeSeconds = seconds; }

    void ShowIconWindowPassive();
    void ShowIconWindowActive();
    void HideIconWindow();
    bool IsCursorInIconWindow() const;

    // Shown passively (by a screen edge or the menu command) and not hidden since.
    bool IsShownByEdge() const { return m_shownByEdge; }
    // Up means the hide timer runs: from a show until the next hide.
    bool IsUp() const { return m_timerRunning; }
    // One tick of `TimerIconWindow` (the window timer calls it every second while the window is up).
    void TimerIconWindowTimer();

    HWND ToolBarHandle() const { return m_toolBar; }
    HWND PanelHandle() const { return m_panel.Handle(); }
    std::wstring PanelText() const { return m_panel.Text(); }
    std::int64_t HideDeadlineMs() const { return m_deadline.DeadlineMs(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Button {
        std::uint16_t id = 0;
        int imageIndex = -1;
        std::wstring caption;
    };

    void CreateToolBar();
    void FillToolBar();
    static TBBUTTON ToolButton(const Button& button, bool endsRow);
    void ApplyLayout();
    void PlaceAtCursor();
    void StartTimer();
    void StopTimer();
    void MouseMovedOverWindow();
    bool OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR* header);
    void OnDpiChanged(unsigned dpi);
    const Button* FindButton(std::uint16_t id) const;
    static LRESULT CALLBACK ToolBarSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR subclassId, DWORD_PTR refData) noexcept;

    IconWindowEvents m_events;
    IconWindowSystem m_system;
    PixelRect m_primaryWorkArea;  // taken at start-up: the fallback when no monitor is found
    PanelIcon m_panel;
    HWND m_toolBar = nullptr;  // a child of the panel, destroyed with it
    UniqueHfont m_font;
    unsigned m_dpi = 96;
    HWND m_owner = nullptr;

    std::vector<Button> m_buttons;  // in item table order
    HIMAGELIST m_images = nullptr;
    int m_maxIconInRow = kDefaultMaxIconInRow;
    int m_showTimeSeconds = kDefaultShowTimeSeconds;

    IconWindowHideDeadline m_deadline;
    bool m_timerRunning = false;
    bool m_shownByEdge = false;
    PixelPoint m_anchor;  // the cursor point the window was last opened at
};
