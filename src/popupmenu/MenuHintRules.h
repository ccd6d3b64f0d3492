#pragma once
// Where a menu entry's hint goes. No Windows headers: the menu's owner reads the rectangles.

// Right and bottom are exclusive, as the system gives them.
struct HintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct HintPosition {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const HintPosition&, const HintPosition&) = default;
};

// Top-left corner of a hint of the given size for an entry, kept in the work area of the monitor
// the menu is on: `gap` pixels right of the entry, or left of it where the right has no room (as
// a submenu opens), level with the entry unless the bottom has no room. A hint wider than either
// side's room starts at the work area's left.
constexpr HintPosition PlaceMenuHint(const HintRect& entry, int width, int height, const HintRect& workArea, int gap)
{
    int x = entry.right + gap;
    if (x + width > workArea.right) x = entry.left - gap - width;
    if (x < workArea.left) x = workArea.left;
    int y = entry.top;
    if (y + height > workArea.bottom) y = workArea.bottom - height;
    if (y < workArea.top) y = workArea.top;
    return {x, y};
}
