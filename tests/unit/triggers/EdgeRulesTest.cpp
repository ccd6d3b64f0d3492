// The screen-edge trigger's pure rules, on a 1024 x 768 primary monitor unless stated.

#include <gtest/gtest.h>

#include "triggers/EdgeRules.h"

namespace {

constexpr EdgeRect kPrimary{0, 0, 1024, 768};

struct EdgeCase {
    int x, y;
    bool corners;
    ScreenEdge expected;
};

TEST(EdgeToArm, BandsOrderAndCornerMargins)
{
    const EdgeCase cases[] = {
        {0, 300, false, ScreenEdge::Left},
        {4, 300, false, ScreenEdge::Left},   // tolerance 4 on both sides of the edge
        {5, 300, false, ScreenEdge::None},
        {-4, 300, false, ScreenEdge::Left},
        {0, 30, false, ScreenEdge::None},    // within 40 of the top
        {0, 30, true, ScreenEdge::Left},
        {0, 40, false, ScreenEdge::None},    // the margin's own pixel is still a corner
        {0, 41, false, ScreenEdge::Left},
        {0, 727, false, ScreenEdge::Left},
        {0, 728, false, ScreenEdge::None},
        {900, 0, false, ScreenEdge::Top},
        {950, 0, false, ScreenEdge::None},   // within 80 of the right end
        {950, 0, true, ScreenEdge::Top},
        {943, 0, false, ScreenEdge::Top},
        {944, 0, false, ScreenEdge::None},
        {40, 0, false, ScreenEdge::None},
        {41, 0, false, ScreenEdge::Top},
        {1023, 300, false, ScreenEdge::Right},  // the right band is 1024 +- 4
        {1019, 300, false, ScreenEdge::None},
        {500, 767, false, ScreenEdge::Bottom},
        {500, 763, false, ScreenEdge::None},
        {500, 400, true, ScreenEdge::None},
        // Corners: the first edge in the order left, top, right, bottom wins.
        {0, 0, true, ScreenEdge::Left},
        {1023, 0, true, ScreenEdge::Top},
        {1023, 767, true, ScreenEdge::Right},
        {0, 767, true, ScreenEdge::Left},
        // A corner point is judged by the first edge only: left, whose margin then rejects it.
        {0, 0, false, ScreenEdge::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, EdgeToArm(kPrimary, c.x, c.y, 4, 4, c.corners)) << c.x << "," << c.y << " " << c.corners;
}

TEST(EdgeToArm, ToleranceZeroLeavesTheExclusiveRightAndBottomOutOfReach)
{
    EXPECT_EQ(ScreenEdge::None, EdgeToArm(kPrimary, 1023, 300, 0, 0, false));
    EXPECT_EQ(ScreenEdge::Right, EdgeToArm(kPrimary, 1023, 300, 1, 1, false));
    EXPECT_EQ(ScreenEdge::None, EdgeToArm(kPrimary, 500, 767, 0, 0, false));
    EXPECT_EQ(ScreenEdge::Left, EdgeToArm(kPrimary, 0, 300, 0, 0, false));
}

TEST(EdgeToArm, SecondaryMonitorAndScaledMargins)
{
    constexpr EdgeRect left{-1280, -200, 0, 824};  // left of the primary, taller and shifted up
    EXPECT_EQ(ScreenEdge::Left, EdgeToArm(left, -1280, 300, 4, 4, false));
    EXPECT_EQ(ScreenEdge::None, EdgeToArm(left, -1280, -170, 4, 4, false));
    EXPECT_EQ(ScreenEdge::Top, EdgeToArm(left, -500, -200, 4, 4, false));
    // Alone, its right side is an edge; beside the primary, only above and below the primary.
    EXPECT_EQ(ScreenEdge::Right, EdgeToArm(left, -1, 300, 4, 4, false));
    const EdgeRect both[] = {left, kPrimary};
    EXPECT_EQ(ScreenEdge::None, EdgeToArm(left, -1, 300, 4, 4, false, 96, EdgeSidesAt(left, -1, 300, both)));
    EXPECT_EQ(ScreenEdge::Right, EdgeToArm(left, -1, -100, 4, 4, false, 96, EdgeSidesAt(left, -1, -100, both)));

    // At 150% the margins are 60 and 120 pixels.
    EXPECT_EQ(ScreenEdge::None, EdgeToArm(kPrimary, 0, 60, 6, 6, false, 144));
    EXPECT_EQ(ScreenEdge::Left, EdgeToArm(kPrimary, 0, 61, 6, 6, false, 144));
    EXPECT_EQ(ScreenEdge::Top, EdgeToArm(kPrimary, 903, 0, 6, 6, false, 144));
    EXPECT_EQ(ScreenEdge::None, EdgeToArm(kPrimary, 904, 0, 6, 6, false, 144));
}

struct SidesCase {
    EdgeRect monitor;
    int x, y;
    ScreenEdge expected;  // with the corner margins off
};

TEST(EdgeSidesAt, ASideAnotherMonitorAdjoinsIsNoEdgeThere)
{
    // Two side by side (the right one shorter), and a third above the left one.
    constexpr EdgeRect left = kPrimary;
    constexpr EdgeRect right{1024, 0, 2048, 600};
    constexpr EdgeRect above{0, -768, 1024, 0};
    const EdgeRect desktop[] = {left, right, above};
    const SidesCase cases[] = {
        {left, 1023, 300, ScreenEdge::None},      // across it lies the right monitor
        {left, 1020, 300, ScreenEdge::None},      // anywhere in the band
        {left, 1023, 700, ScreenEdge::Right},     // below the shorter neighbour the cursor stops
        {right, 1024, 300, ScreenEdge::None},
        {right, 1027, 300, ScreenEdge::None},
        {right, 2047, 300, ScreenEdge::Right},    // the outer side
        {right, 1500, 599, ScreenEdge::Bottom},
        {left, 500, 0, ScreenEdge::None},         // under the monitor above
        {above, 500, -1, ScreenEdge::None},
        {above, 500, -768, ScreenEdge::Top},
        {left, 0, 300, ScreenEdge::Left},
        // A shared side gives way to the next edge in the order at a corner.
        {right, 1024, 0, ScreenEdge::Top},
        {left, 1023, 767, ScreenEdge::Right},
        {left, 1023, 0, ScreenEdge::None},        // shared above and to the right
    };
    for (const auto& c : cases) {
        const EdgeSides sides = EdgeSidesAt(c.monitor, c.x, c.y, desktop);
        EXPECT_EQ(c.expected, EdgeToArm(c.monitor, c.x, c.y, 4, 4, true, 96, sides)) << c.x << "," << c.y;
    }
    // One monitor alone, or none listed: every side is an edge.
    const EdgeRect alone[] = {kPrimary};
    EXPECT_EQ(ScreenEdge::Right, EdgeAtPoint(kPrimary, 1023, 300, 4, 4, EdgeSidesAt(kPrimary, 1023, 300, alone)));
    EXPECT_EQ(ScreenEdge::Bottom, EdgeAtPoint(kPrimary, 500, 767, 4, 4, EdgeSidesAt(kPrimary, 500, 767, {})));
}

TEST(SensitivityAndRest, DelayStepsAndTheEightPixelRest)
{
    EXPECT_EQ(200u, SensitivityDelayMs(kSensitivityMin));
    EXPECT_EQ(1000u, SensitivityDelayMs(kSensitivityDefault));
    EXPECT_EQ(2200u, SensitivityDelayMs(kSensitivityMax));

    EXPECT_TRUE(CursorRested(100, 100, 100, 100));
    EXPECT_TRUE(CursorRested(108, 92, 100, 100));
    EXPECT_TRUE(CursorRested(109, 92, 100, 100));   // y still within 8
    EXPECT_TRUE(CursorRested(0, 700, 0, 300));      // slid along the left edge
    EXPECT_FALSE(CursorRested(109, 109, 100, 100));
    EXPECT_FALSE(CursorRested(91, 91, 100, 100));
}

TEST(KeyCombo, IndexesMapToModifierKeysAndAreClamped)
{
    EXPECT_EQ(0u, KeyComboIndexToVirtualKey(0));
    EXPECT_EQ(17u, KeyComboIndexToVirtualKey(1));
    EXPECT_EQ(18u, KeyComboIndexToVirtualKey(2));
    EXPECT_EQ(16u, KeyComboIndexToVirtualKey(3));
    EXPECT_EQ(0u, KeyComboIndexToVirtualKey(-5));
    EXPECT_EQ(16u, KeyComboIndexToVirtualKey(9));
    EXPECT_EQ(3, ClampKeyComboIndex(4));
}

} // namespace
