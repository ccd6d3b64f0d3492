#include <gtest/gtest.h>

#include "floating/IconWindowLayout.h"

namespace {
constexpr OsVersion kWin7{OsPlatform::Nt, 6, 1};
constexpr OsVersion kXp{OsPlatform::Nt, 5, 1};
constexpr OsVersion kServer2003{OsPlatform::Nt, 5, 2};
constexpr OsVersion kWin2000{OsPlatform::Nt, 5, 0};
constexpr OsVersion kWin98{OsPlatform::Win9x, 4, 10};

TEST(IconWindowLayout, BalancedRows)
{
    struct Case {
        int count;
        int maxInRow;
        IconGrid grid;
    };
    const Case cases[] = {
        {0, 10, {0, 0}},  {1, 10, {1, 1}},  {10, 10, {1, 10}}, {11, 10, {2, 6}}, {15, 10, {2, 8}},
        {20, 10, {2, 10}}, {21, 10, {3, 7}}, {31, 5, {7, 5}},   {30, 30, {1, 30}}, {61, 30, {3, 21}},
        // A hand-edited settings file must not divide by zero.
        {4, 0, {4, 1}},   {3, -7, {3, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BalancedIconGrid(c.count, c.maxInRow), c.grid) << c.count << " items, at most " << c.maxInRow;
        const IconGrid grid = BalancedIconGrid(c.count, c.maxInRow);
        if (c.count > 0) {
            // Every button has a place and no row is left empty.
            EXPECT_GE(grid.rows * grid.columns, c.count);
            EXPECT_LT((grid.rows - 1) * grid.columns, c.count);
        }
    }
}

TEST(IconWindowLayout, SizesScaleWithDpi)
{
    struct Case {
        int count;
        int maxInRow;
        unsigned dpi;
        PixelSize toolBar;
        PixelSize window;
    };
    const Case cases[] = {
        {10, 10, 96, {230, 22}, {238, 30}},
        {11, 10, 96, {138, 44}, {146, 52}},
        {15, 10, 96, {184, 44}, {192, 52}},
        {31, 5, 96, {115, 154}, {123, 162}},
        {1, 10, 96, {23, 22}, {31, 30}},
        {11, 10, 144, {210, 66}, {222, 78}},  // buttons 35 x 33, frame 12
        {11, 10, 192, {276, 88}, {292, 104}},
        {10, 10, 120, {290, 28}, {300, 38}},  // 29 x 28 (22 x 1.25 rounds up), frame 10
    };
    for (const Case& c : cases) {
        const IconWindowLayout layout = LayoutIconWindow(c.count, c.maxInRow, c.dpi);
        EXPECT_EQ(layout.toolBar, c.toolBar) << c.count << " items at " << c.dpi << " DPI";
        EXPECT_EQ(layout.window, c.window) << c.count << " items at " << c.dpi << " DPI";
    }
}

TEST(IconWindowLayout, EmptyWindowIsTheTextWithMargins)
{
    EXPECT_EQ(EmptyIconWindowSize({273, 13}, 96), (PixelSize{297, 37}));
    EXPECT_EQ(EmptyIconWindowSize({410, 20}, 144), (PixelSize{446, 56}));
    EXPECT_EQ(std::wstring(kEmptyIconWindowText), L"Floating Icon Window - See help for more information");
}

TEST(IconWindowPlacement, AtTheCursorPushedBackOnlyRightAndBottom)
{
    const PixelRect screen{0, 0, 1024, 738};         // task bar at the bottom
    const PixelRect topTaskBar{0, 30, 1024, 768};     // task bar at the top
    const PixelRect leftTaskBar{60, 0, 1024, 768};    // task bar at the left
    const PixelRect leftMonitor{-1280, 0, 0, 984};    // a second monitor left of the primary
    const PixelRect upperMonitor{0, -768, 1024, -40}; // a second monitor above, its task bar at its bottom
    const PixelSize window{146, 52};
    struct Case {
        const char* what;
        PixelPoint cursor;
        PixelRect workArea;
        OsVersion os;
        unsigned dpi;
        PixelPoint topLeft;
    };
    const Case cases[] = {
        {"inside", {100, 200}, screen, kWin7, 96, {100, 200}},
        {"fits exactly at the right", {878, 686}, screen, kWin7, 96, {878, 686}},
        {"one pixel too far right and down", {879, 687}, screen, kWin7, 96, {878, 686}},
        {"bottom-right corner", {1023, 737}, screen, kWin7, 96, {878, 686}},
        {"top-right corner keeps 80 free", {1023, 0}, screen, kWin7, 96, {798, 0}},
        {"top edge at the limit", {798, 0}, screen, kWin7, 96, {798, 0}},
        {"top edge left of the limit", {797, 0}, screen, kWin7, 96, {797, 0}},
        {"one below the top edge", {1023, 1}, screen, kWin7, 96, {878, 1}},
        {"task bar at the top: its work area's top", {1000, 30}, topTaskBar, kWin7, 96, {798, 30}},
        {"task bar at the top: cursor on the bar", {1000, 5}, topTaskBar, kWin7, 96, {878, 5}},
        {"not pushed in at the left", {10, 300}, leftTaskBar, kWin7, 96, {10, 300}},
        {"left monitor bottom-right", {-1, 983}, leftMonitor, kWin7, 96, {-146, 932}},
        {"left monitor top-right", {-1, 0}, leftMonitor, kWin7, 96, {-226, 0}},
        {"upper monitor top-right", {1023, -768}, upperMonitor, kWin7, 96, {798, -768}},
        {"upper monitor bottom", {500, -41}, upperMonitor, kWin7, 96, {500, -92}},
        {"XP: room for the shadow", {1023, 737}, screen, kXp, 96, {875, 683}},
        {"Server 2003: room for the shadow", {1023, 737}, screen, kServer2003, 96, {875, 683}},
        {"XP: top-right corner", {1023, 0}, screen, kXp, 96, {795, 0}},
        {"XP: inside, no change", {100, 200}, screen, kXp, 96, {100, 200}},
        {"2000: no shadow", {1023, 737}, screen, kWin2000, 96, {878, 686}},
        {"98: no shadow", {1023, 737}, screen, kWin98, 96, {878, 686}},
        {"150%: top-right keeps 120 free", {1023, 0}, screen, kWin7, 144, {758, 0}},
        {"150% XP: shadow room 5", {1023, 737}, screen, kXp, 144, {873, 681}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceIconWindow(c.cursor, c.workArea, window, c.os, c.dpi), c.topLeft) << c.what;
    }
}

TEST(IconWindowPlacement, CursorInsideIsStrict)
{
    const PixelRect window{100, 200, 246, 252};
    EXPECT_TRUE(IsStrictlyInside({101, 201}, window));
    EXPECT_TRUE(IsStrictlyInside({245, 251}, window));
    EXPECT_FALSE(IsStrictlyInside({100, 220}, window));
    EXPECT_FALSE(IsStrictlyInside({246, 220}, window));
    EXPECT_FALSE(IsStrictlyInside({150, 200}, window));
    EXPECT_FALSE(IsStrictlyInside({150, 252}, window));
}

TEST(IconWindowHideDeadline, HidesShowTimeAfterTheLastMove)
{
    IconWindowHideDeadline deadline;
    deadline.Restart(10'000, 3);
    EXPECT_EQ(deadline.DeadlineMs(), 13'000);
    EXPECT_FALSE(deadline.Tick(12'999, 3, false, false));
    EXPECT_TRUE(deadline.Tick(13'000, 3, false, false));
    // An open popup menu keeps it up, however late.
    EXPECT_FALSE(deadline.Tick(60'000, 3, false, true));
    // The cursor over the window pushes the deadline on at every tick.
    EXPECT_FALSE(deadline.Tick(60'000, 3, true, false));
    EXPECT_EQ(deadline.DeadlineMs(), 63'000);
    EXPECT_FALSE(deadline.Tick(62'999, 3, false, false));
    EXPECT_TRUE(deadline.Tick(63'000, 3, false, false));
}

TEST(IconWindowHideDeadline, ShowTimeEdgeValues)
{
    IconWindowHideDeadline deadline;
    deadline.Restart(5'000, 0);
    EXPECT_TRUE(deadline.Tick(5'000, 0, false, false));
    deadline.Restart(5'000, -4);  // a negative value from the settings file counts as 0
    EXPECT_EQ(deadline.DeadlineMs(), 5'000);
    deadline.Restart(5'000, 2'000'000'000);  // no overflow for large values
    EXPECT_EQ(deadline.DeadlineMs(), 5'000 + 2'000'000'000'000LL);
}
} // namespace
