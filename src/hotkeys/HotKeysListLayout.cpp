#include "hotkeys/HotKeysListLayout.h"

#include <algorithm>

int HotKeysListClientHeight(int rows, const HotKeysListMetrics& m, int maxClientHeight)
{
    const int shown = std::max(rows, kHotKeysListMinRows);
    // Counted in a wide type: a file may list any number of rows.
    const long long list = static_cast<long long>(shown) * m.rowHeight + m.headerHeight + m.listFrame;
    const long long height = list + 3LL * m.margin + m.buttonHeight;
    return static_cast<int>(std::clamp<long long>(height, 0, std::max(maxClientHeight, 0)));
}
