#pragma once
// The screen-edge trigger's rules: which edge band holds the cursor, the corner margins, the delay
// and the rest test, and the modifier-key options. No Windows headers: rectangles and points are
// plain numbers here, read from the system by the caller.

#include <algorithm>
#include <span>

#include "base/DpiScale.h"

enum class ScreenEdge { None, Left, Top, Right, Bottom };

// A monitor's full rectangle; right and bottom are exclusive, as the system gives them.
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// v lies in the band of an edge at coordinate e when e - t <= v <= e + t.
constexpr bool InEdgeBand(int v, int e, int tolerance) { return e - tolerance <= v && v <= e + tolerance; }

constexpr bool MonitorHolds(const EdgeRect& monitor, int x, int y)
{
    return monitor.left <= x && x < monitor.right && monitor.top <= y && y < monitor.bottom;
}

// The sides of a monitor that are screen edges where the cursor is. Where another monitor adjoins
// a side the cursor moves on across it, so there that side is no edge; beside a neighbour that
// is shorter or offset the rest of the side still is one.
struct EdgeSides {
    bool left = true;
    bool top = true;
    bool right = true;
    bool bottom = true;
};

// The sides of `monitor` that are edges at (x, y), given every monitor of the desktop (the list
// may hold `monitor` itself): a side is shared when the pixel just across it, in line with the
// point, lies on a monitor.
constexpr EdgeSides EdgeSidesAt(const EdgeRect& monitor, int x, int y, std::span<const EdgeRect> monitors)
{
    auto covered = [&](int px, int py) {
        for (const EdgeRect& other : monitors)
            if (MonitorHolds(other, px, py)) return true;
        return false;
    };
    return {!covered(monitor.left - 1, y), !covered(x, monitor.top - 1), !covered(monitor.right, y),
            !covered(x, monitor.bottom)};
}

// The first edge whose band holds the point, in the order left, top, right, bottom; a side that
// is no edge there has no band.
constexpr ScreenEdge EdgeAtPoint(const EdgeRect& monitor, int x, int y, int toleranceX, int toleranceY,
                                 EdgeSides sides = {})
{
    if (sides.left && InEdgeBand(x, monitor.left, toleranceX)) return ScreenEdge::Left;
    if (sides.top && InEdgeBand(y, monitor.top, toleranceY)) return ScreenEdge::Top;
    if (sides.right && InEdgeBand(x, monitor.right, toleranceX)) return ScreenEdge::Right;
    if (sides.bottom && InEdgeBand(y, monitor.bottom, toleranceY)) return ScreenEdge::Bottom;
    return ScreenEdge::None;
}

// Corner margins at 96 DPI: 40 pixels from every corner, but 80 at the right end of the top and
// bottom edges, where windows keep their close buttons.
inline constexpr int kCornerMargin96 = 40;
inline constexpr int kCornerMarginRightEnd96 = 80;

// True when the point on the given edge lies clear of the corners.
constexpr bool ClearOfCorners(ScreenEdge edge, const EdgeRect& monitor, int x, int y, unsigned dpi = 96)
{
    const int margin = ScaleForDpi(kCornerMargin96, dpi);
    const int rightEnd = ScaleForDpi(kCornerMarginRightEnd96, dpi);
    switch (edge) {
    case ScreenEdge::Left:
    case ScreenEdge::Right:
        return monitor.top + margin < y && y < monitor.bottom - margin;
    case ScreenEdge::Top:
    case ScreenEdge::Bottom:
        return monitor.left + margin < x && x < monitor.right - rightEnd;
    case ScreenEdge::None:
        break;
    }
    return false;
}

// The edge check run on a mouse move: the edge whose delay is to start, or None. With
// enableCornerEdge the corner margins are not applied. The margins are the monitor's own, also
// at a side it shares: a window on it keeps its close button there all the same.
constexpr ScreenEdge EdgeToArm(const EdgeRect& monitor, int x, int y, int toleranceX, int toleranceY,
                               bool enableCornerEdge, unsigned dpi = 96, EdgeSides sides = {})
{
    ScreenEdge edge = EdgeAtPoint(monitor, x, y, toleranceX, toleranceY, sides);
    if (edge == ScreenEdge::None) return edge;
    if (!enableCornerEdge && !ClearOfCorners(edge, monitor, x, y, dpi)) return ScreenEdge::None;
    return edge;
}

// The sensitivity track bar runs from 1 to 11; each step is 200 ms (the default 5 gives 1000 ms).
inline constexpr int kSensitivityMin = 1;
inline constexpr int kSensitivityMax = 11;
inline constexpr int kSensitivityDefault = 5;
constexpr unsigned SensitivityDelayMs(int position) { return static_cast<unsigned>(position) * 200u; }

// When the delay ends, the cursor counts as having rested when it is within 8 pixels of the last
// examined position in x or in y (so sliding along the edge keeps the trigger).
inline constexpr int kRestTolerance = 8;
constexpr bool CursorRested(int x, int y, int lastX, int lastY)
{
    return (lastX - kRestTolerance <= x && x <= lastX + kRestTolerance) ||
           (lastY - kRestTolerance <= y && y <= lastY + kRestTolerance);
}

// The "DisableKey" and "FloatRightKey" combo boxes: None, Ctrl, Alt, Shift. A stored index outside
// 0-3 is clamped into that range.
constexpr int ClampKeyComboIndex(int index) { return std::clamp(index, 0, 3); }
constexpr unsigned KeyComboIndexToVirtualKey(int index)
{
    constexpr unsigned kKeys[] = {0, 17, 18, 16};  // none, VK_CONTROL, VK_MENU, VK_SHIFT
    return kKeys[ClampKeyComboIndex(index)];
}
