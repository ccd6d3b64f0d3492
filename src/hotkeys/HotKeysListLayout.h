#pragma once
// The "HotKey List" window's height for the rows it shows; no Windows needed.

// Sizes of the window's parts, in pixels.
struct HotKeysListMetrics {
    int rowHeight = 0;
    int headerHeight = 0;
    int listFrame = 0;  // the list's border (and horizontal scroll bar) above and below its rows
    int margin = 0;     // around the list and the button
    int buttonHeight = 0;
};

// The room the window never goes below, so that an empty or short list still reads as a list.
inline constexpr int kHotKeysListMinRows = 4;

// The client height that shows the list's header and `rows` rows (at least the minimum) inside the
// list's frame, with the button below: no taller than `maxClientHeight` (the work area leaves),
// where the list scrolls instead.
int HotKeysListClientHeight(int rows, const HotKeysListMetrics& metrics, int maxClientHeight);
