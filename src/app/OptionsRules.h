#pragma once
// The "Options" page's rules that need no Windows: the data folder label's shortened path and
// the panels' controls fitted to the frame the page gives them.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The width of a text in the label's font, in pixels.
using TextWidthFunction = std::function<int(std::wstring_view text)>;

// Shortens a path until it fits `maxWidth`: first directories are replaced by "...\" from the
// left, then the drive goes. A path ending with a backslash (a folder) keeps its last folder name
// whole, so a folder never shortens to nothing but dots; what is left may still be wider than the
// limit.
std::wstring ShortenPathToWidth(std::wstring_view path, int maxWidth, const TextWidthFunction& textWidth);

// A horizontal stretch of the page, in pixels: from `left` up to (not including) `right`.
struct PixelSpan {
    int left = 0;
    int right = 0;
    friend bool operator==(const PixelSpan&, const PixelSpan&) = default;
};

// One control of a panel where the page's template put it, and whether it keeps its width
// (buttons and images) or may grow (texts, check boxes, fields).
struct PanelControl {
    PixelSpan span;
    bool keepsWidth = false;
};

// The controls of a panel laid out for `designed` (the room inside the frame's margins as the
// template has it) placed in `actual` (that room in the frame the page has now). A template in
// dialog units and a page in pixels of the DPI rarely agree, since the font's size does not grow
// with the DPI exactly. Every left edge keeps its share of the room; a control that reached the
// designed right edge reaches the actual one, and one that may grow keeps its right edge's share
// too, so rows stay lined up on both sides.
std::vector<PixelSpan> FitPanelToFrame(const std::vector<PanelControl>& controls, PixelSpan designed, PixelSpan actual);
