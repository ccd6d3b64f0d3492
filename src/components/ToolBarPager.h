#pragma once
// A tool bar of item buttons inside a page scroller, as the main window's "Launcher" page shows a
// collection (`ToolBarFloating`). Buttons are 23 x 22 (scaled); the scroller's extent is one
// button more than the buttons and it scrolls one button per step. A new button goes in front, so
// the button at position p shows table entry count - 1 - p.
//
// The pair sits in a host window of its own, so the scroller's and the bar's notifications are
// handled here and the page needs to forward nothing.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Window.h"

// An item button, at 96 DPI: the same size on the page and in the floating window.
constexpr int kItemButtonWidth = 23;
constexpr int kItemButtonHeight = 22;

struct ToolBarPagerEvents {
    // A right click on the bar: the Id of the button under the cursor, or empty on the bar itself
    // (the page's menu then disables its item entries). The point is the cursor's, on the screen.
    std::function<void(std::optional<std::uint16_t> id, POINT screenPoint)> ContextMenu;
    // A left click on a button (the Icons and Floating bars do nothing with it by themselves).
    std::function<void(std::uint16_t id)> ButtonClicked;
    // The user began to drag a button: the left button went down on it and the mouse moved past
    // the system's drag distance. The handler runs the drag; the button is no longer pressed.
    std::function<void(std::uint16_t id)> DragStarted;
};

class ToolBarPager : public Window {
public:
    // `cursorPos` replaces GetCursorPos (tests).
    explicit ToolBarPager(ToolBarPagerEvents events, std::function<POINT()> cursorPos = {});
    ~ToolBarPager() override;

    // Creates the host, the page scroller and the tool bar as a child of `parent`. Throws LauncherError.
    void Create(HWND parent, const RECT& bounds);
    void SetBounds(const RECT& bounds);

    // A load begins: scroll back to the start, remove every button, draw from `images` (not owned).
    void BeginLoad(HIMAGELIST images);
    // A load that may only add buttons begins: scroll back, draw from `images`, keep the buttons.
    void BeginAppend(HIMAGELIST images);
    // A button for the item, in front of the others: its image, its caption as hint. The buttons of
    // one load reach the bar together when it ends.
    void AddItemButton(std::uint16_t id, const std::wstring& caption, int imageIndex);
    void RemoveAllButtons();
    // The button of this Id draws another image of the bar's list, in place.
    void SetButtonImage(std::uint16_t id, int imageIndex);
    // The bar's own hint, shown beside its buttons (a button shows its caption).
    void SetBarHint(std::wstring hint);
    // The load ended: size the bar to its buttons and let the scroller lay itself out again.
    void EndLoad();

    int ButtonCount() const;
    // The Id shown at a position (0 = leftmost), if there is a button there.
    std::optional<std::uint16_t> IdAtPosition(int position) const;
    // The table index a position shows: count - 1 - position.
    std::optional<std::size_t> TableIndexAtPosition(int position) const;

    HWND PagerHandle() const { return m_pager; }
    HWND ToolBarHandle() const { return m_toolBar; }
    int ButtonWidth() const { return m_buttonWidth; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnNotify(NMHDR* header);
    void LayOut();
    // Puts the buttons added since the load began on the bar: an empty bar takes them all in one
    // message and lays itself out once, not once per button.
    void AddPendingButtons();
    void ApplyBarHint();
    void ReportContextMenu();
    // The bar's mouse input, seen before the bar's own handling: a press on a button that moves
    // far enough becomes a drag.
    static LRESULT CALLBACK ToolBarSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR id, DWORD_PTR self) noexcept;
    bool FollowPress(UINT message, LPARAM lParam);

    POINT CursorPos() const;

    ToolBarPagerEvents m_events;
    std::function<POINT()> m_cursorPos;
    HWND m_pager = nullptr;    // child of the host
    HWND m_toolBar = nullptr;  // child of the pager
    int m_buttonWidth = 23;
    int m_buttonHeight = 22;
    std::vector<std::pair<std::uint16_t, std::wstring>> m_hints;  // Id and caption
    std::vector<TBBUTTON> m_pending;                              // in the order they were added
    std::wstring m_barHint;
    std::optional<std::uint16_t> m_pressedId;                     // the button a press went down on
    POINT m_pressedAt{};                                          // and where, in the bar's coordinates
};
