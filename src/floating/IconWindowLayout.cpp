#include "floating/IconWindowLayout.h"

#include <algorithm>

IconGrid BalancedIconGrid(int buttonCount, int maxInRow)
{
    if (buttonCount <= 0) return {};
    const int maxColumns = std::max(maxInRow, 1);
    if (buttonCount <= maxColumns) return {1, buttonCount};
    const int rows = (buttonCount + maxColumns - 1) / maxColumns;
    return {rows, (buttonCount + rows - 1) / rows};
}

IconWindowLayout LayoutIconWindow(int buttonCount, int maxInRow, unsigned dpi)
{
    IconWindowLayout layout;
    layout.grid = BalancedIconGrid(buttonCount, maxInRow);
    layout.button = {ScaleForDpi(kIconButtonWidth, dpi), ScaleForDpi(kIconButtonHeight, dpi)};
    layout.toolBar = {layout.grid.columns * layout.button.cx, layout.grid.rows * layout.button.cy};
    const int frame = ScaleForDpi(kIconWindowFrame, dpi);
    layout.window = {layout.toolBar.cx + frame, layout.toolBar.cy + frame};
    return layout;
}

PixelSize EmptyIconWindowSize(PixelSize textExtent, unsigned dpi)
{
    const int margin = ScaleForDpi(kEmptyTextMargin, dpi);
    return {textExtent.cx + margin, textExtent.cy + margin};
}

PixelPoint PlaceIconWindow(PixelPoint cursor, const PixelRect& workArea, PixelSize window, const OsVersion& os,
                           unsigned dpi)
{
    int w = window.cx;
    int h = window.cy;
    if (IsXpClass(os)) {
        w += ScaleForDpi(kDropShadowRoom, dpi);
        h += ScaleForDpi(kDropShadowRoom, dpi);
    }
    int x = cursor.x;
    const int y = cursor.y;
    const int topEdgeLimit = workArea.right - ScaleForDpi(kTopEdgeRightGap, dpi) - w;
    if (y == workArea.top && x >= topEdgeLimit) x = topEdgeLimit;

    PixelPoint topLeft;
    topLeft.x = w > workArea.right - x ? workArea.right - w : x;
    topLeft.y = h > workArea.bottom - y ? workArea.bottom - h : y;
    return topLeft;
}

void IconWindowHideDeadline::Restart(std::int64_t nowMs, int showTimeSeconds)
{
    m_deadlineMs = nowMs + static_cast<std::int64_t>(std::max(showTimeSeconds, 0)) * 1000;
}

bool IconWindowHideDeadline::Tick(std::int64_t nowMs, int showTimeSeconds, bool cursorInside, bool menuOpen)
{
    if (cursorInside) Restart(nowMs, showTimeSeconds);
    return nowMs >= m_deadlineMs && !menuOpen;
}
