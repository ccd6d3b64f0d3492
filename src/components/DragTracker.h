#pragma once
// Follows an in-program drag made with the left button, from the moment it began until the button
// is released (a drop) or the drag is given up (Escape, the right button, the capture taken
// away). While it runs the cursor says whether the point under it would take the drop.

#include <windows.h>

#include <functional>
#include <optional>

// `over` is asked at every move, and at the release, whether the point (screen coordinates) would
// take the drop. Returns the point of a drop that `over` accepted; none otherwise. Messages other
// than the drag's own keep being dispatched.
std::optional<POINT> TrackItemDrag(HWND captureWindow, const std::function<bool(POINT screen)>& over);
