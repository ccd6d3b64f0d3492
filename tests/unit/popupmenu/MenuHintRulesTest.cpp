// Where an entry's hint goes, on a right monitor whose work area stops 30 pixels above its bottom.

#include <gtest/gtest.h>

#include "popupmenu/MenuHintRules.h"

namespace {

constexpr HintRect kWork{1024, 0, 2048, 738};
constexpr int kGap = 4;

struct HintCase {
    HintRect entry;
    int width, height;
    HintPosition expected;
};

TEST(PlaceMenuHint, BesideTheEntryInsideTheMonitorsWorkArea)
{
    const HintCase cases[] = {
        {{1200, 300, 1380, 318}, 300, 19, {1384, 300}},   // room on the right
        {{1600, 300, 1780, 318}, 264, 19, {1784, 300}},   // exactly up to the right end
        {{1600, 300, 1780, 318}, 265, 19, {1331, 300}},   // one pixel more: left of the entry
        {{1862, 700, 2045, 718}, 300, 19, {1558, 700}},   // at the right end: left of the entry
        {{1862, 730, 2045, 748}, 300, 19, {1558, 719}},   // below the work area: moved up into it
        {{1030, 300, 1990, 318}, 300, 19, {1024, 300}},   // no room either side: from the left end
        {{1200, -10, 1380, 8}, 300, 19, {1384, 0}},       // above the work area
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, PlaceMenuHint(c.entry, c.width, c.height, kWork, kGap))
            << c.entry.left << "," << c.entry.top << " " << c.width;
}

} // namespace
