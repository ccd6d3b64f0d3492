#pragma once
// The "Options" page's rules that need no Windows: the data folder label's shortened path.

#include <functional>
#include <string>
#include <string_view>

// The width of a text in the label's font, in pixels.
using TextWidthFunction = std::function<int(std::wstring_view text)>;

// Shortens a path until it fits `maxWidth`: first directories are replaced by "...\" from the
// left, then the drive goes. A path ending with a backslash (a folder) keeps its last folder name
// whole, so a folder never shortens to nothing but dots; what is left may still be wider than the
// limit.
std::wstring ShortenPathToWidth(std::wstring_view path, int maxWidth, const TextWidthFunction& textWidth);
