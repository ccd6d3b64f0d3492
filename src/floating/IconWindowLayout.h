#pragma once
// The floating icon window's rules: how its buttons are laid out, where it opens at the cursor and
// when it hides again. No Windows headers: the window class feeds these with what the system says.

#include <cstdint>

#include "base/DpiScale.h"
#include "base/OsVersion.h"

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelSize {
    int cx = 0;
    int cy = 0;
    friend constexpr bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Sizes at 96 DPI; every one is scaled by the window's DPI.
constexpr int kIconButtonWidth = 23;   // as the page's item buttons
constexpr int kIconButtonHeight = 22;
constexpr int kIconWindowFrame = 8;     // window size minus tool bar size, each way
constexpr int kEmptyTextMargin = 24;    // window size minus the help text's size, each way
constexpr int kTopEdgeRightGap = 80;    // kept free left of the right edge when opened on the top edge
constexpr int kDropShadowRoom = 3;      // the class drop shadow of NT 5.1/5.2 falls outside the window

constexpr int kDefaultMaxIconInRow = 10;
constexpr int kDefaultShowTimeSeconds = 3;
constexpr unsigned kTimerIconWindowIntervalMs = 1000;

constexpr const wchar_t* kEmptyIconWindowText = L"Floating Icon Window - See help for more information";

struct IconGrid {
    int rows = 0;
    int columns = 0;
    friend constexpr bool operator==(const IconGrid&, const IconGrid&) = default;
};

// Balanced rows: up to maxInRow buttons in one row; beyond that as many rows as needed and the
// buttons spread evenly over them (15 with at most 10 a row give 2 rows of 8, not 10 + 5).
// No buttons give no rows. A maxInRow below 1 (a hand-edited settings file) counts as 1.
IconGrid BalancedIconGrid(int buttonCount, int maxInRow);

struct IconWindowLayout {
    IconGrid grid;
    PixelSize button;   // one tool button
    PixelSize toolBar;  // columns x rows of buttons
    PixelSize window;   // the whole window, border included
};

IconWindowLayout LayoutIconWindow(int buttonCount, int maxInRow, unsigned dpi);

// Window size when there are no buttons: the help text's extent plus a margin each way.
PixelSize EmptyIconWindowSize(PixelSize textExtent, unsigned dpi);

// Top-left corner of the window opened at the cursor on the given work area (that of the monitor
// nearest to the cursor). The window opens with its corner at the cursor and is pushed back inside
// at the right and bottom only. On the top edge near the right end it keeps kTopEdgeRightGap free
// left of the right edge.
PixelPoint PlaceIconWindow(PixelPoint cursor, const PixelRect& workArea, PixelSize window, const OsVersion& os,
                           unsigned dpi);

// Strictly inside: a point on the window's outer edge is outside.
constexpr bool IsStrictlyInside(PixelPoint point, const PixelRect& rect)
{
    return rect.left < point.x && point.x < rect.right && rect.top < point.y && point.y < rect.bottom;
}

// When the window hides: "ShowTime" seconds after the mouse last moved over it. Times are
// milliseconds of a monotonic clock, so a change of the wall clock neither keeps the window up
// nor closes it early.
class IconWindowHideDeadline {
public:
    void Restart(std::int64_t nowMs, int showTimeSeconds);
    // One tick of the hide timer. The cursor over the window pushes the deadline on; an open
    // popup menu keeps the window up. True when the window must hide now.
    bool Tick(std::int64_t nowMs, int showTimeSeconds, bool cursorInside, bool menuOpen);
    std::int64_t DeadlineMs() const { return m_deadlineMs; }

private:
    std::int64_t m_deadlineMs = 0;
};
