// The hotkey list window's height for its rows.

#include <gtest/gtest.h>

#include "hotkeys/HotKeysListLayout.h"

TEST(HotKeysListClientHeight, ShowsEveryRowWithinTheRoomAndNeverLessThanTheMinimum)
{
    // Rows of 17, a header of 20, a frame of 4, margins of 8 and a button of 25: 73 beside the rows.
    const HotKeysListMetrics metrics{17, 20, 4, 8, 25};
    const struct {
        int rows;
        int maxClientHeight;
        int height;
    } cases[] = {
        {10, 1000, 73 + 10 * 17},
        {kHotKeysListMinRows + 1, 1000, 73 + (kHotKeysListMinRows + 1) * 17},
        {kHotKeysListMinRows, 1000, 73 + kHotKeysListMinRows * 17},
        {1, 1000, 73 + kHotKeysListMinRows * 17},  // short lists get the minimum
        {0, 1000, 73 + kHotKeysListMinRows * 17},
        {-3, 1000, 73 + kHotKeysListMinRows * 17},
        {100, 700, 700},                             // more than the work area holds: the list scrolls
        {2000000000, 700, 700},
        {10, -5, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HotKeysListClientHeight(c.rows, metrics, c.maxClientHeight), c.height)
            << c.rows << " rows in " << c.maxClientHeight;
}
