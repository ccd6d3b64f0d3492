// The floating window, the popup menu and the screen-edge trigger on two monitors side by side
// (scripts/two-monitors): each opens on the monitor under the cursor, and the side the two
// monitors share is no screen edge.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Settings.h"
#include "e2e/Harness.h"
#include "e2e/LauncherTest.h"
#include "e2e/RemoteControls.h"
#include "unit/items/ItemTestFiles.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 8000;
// What "nothing happens" waits for: several times the 200 ms delay of the lowest sensitivity.
constexpr DWORD kQuietMs = 1200;

struct Monitor {
    HMONITOR handle = nullptr;
    RECT rect{};
    RECT work{};
};

BOOL CALLBACK CollectMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(handle, &info))
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back({handle, info.rcMonitor, info.rcWork});
    return TRUE;
}

// The monitors from left to right.
std::vector<Monitor> Monitors()
{
    std::vector<Monitor> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    std::sort(monitors.begin(), monitors.end(),
              [](const Monitor& a, const Monitor& b) { return a.rect.left < b.rect.left; });
    return monitors;
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
           inner.bottom <= outer.bottom;
}

std::string Describe(const RECT& r)
{
    char text[64];
    std::snprintf(text, sizeof(text), "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}


class TwoMonitorsTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        const std::vector<Monitor> monitors = Monitors();
        ASSERT_EQ(monitors.size(), 2u) << "needs the display of scripts/two-monitors";
        m_left = monitors[0];
        m_right = monitors[1];
        ASSERT_EQ(m_left.rect.right, m_right.rect.left) << "the monitors are not side by side";
        // Told apart by their work areas: a window placed in the wrong one shows.
        ASSERT_NE(m_left.work.bottom, m_right.work.bottom);

        for (const wchar_t* name : {L"a", L"b"}) Shortcut(std::wstring(L"Floating\\") + name + L".lnk", name);
        const IniFile ini(Ini());
        ini.Write(keys::Sensitivity, 1);  // 200 ms
        // Far longer than any wait here: a window that goes was closed by what the test did.
        ini.Write(keys::ShowTime, 60);
        // Both sides open the floating window, so the side the monitors share is tried both ways;
        // the top opens the popup menu (the default).
        ini.Write(keys::FloatLeft, true);
        ini.Write(keys::FloatRight, true);
        ini.Write(keys::HKPopupMod, MOD_CONTROL | MOD_ALT);
        ini.Write(keys::HKPopupVir, 'P');
        ASSERT_TRUE(MoveCursorTo(Centre(m_left.rect).x, Centre(m_left.rect).y));
    }
    void TearDown() override
    {
        m_launcher.reset();
        LauncherTest::TearDown();
    }

    static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    // Starts the program; ready once the floating window holds its two buttons. The test's own
    // window then has the focus, so the keys it presses reach the program's keyboard hook.
    void Start()
    {
        ASSERT_NE(m_target.Handle(), nullptr);
        m_launcher = std::make_unique<LauncherProcess>(std::vector<std::wstring>{Ini()});
        m_main = m_launcher->StartAndWaitForMainWindow();
        ASSERT_NE(m_main, nullptr);
        m_floating = m_launcher->WaitForWindow(L"TIconWindow", nullptr);
        ASSERT_NE(m_floating, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ButtonCount(FirstToolBar(m_floating)) == 2; }, kTimeout));
        ASSERT_TRUE(m_target.Focus());
    }

    // The hint window that shows (the floating window's tool bar has one of the same class).
    HWND VisibleHint() const
    {
        for (HWND hint : FindProcessWindows(m_launcher->Id(), L"TShadowedHintWindow"))
            if (Visible(hint)) return hint;
        return nullptr;
    }
    HWND Menu() const { return FindProcessWindow(m_launcher->Id(), L"#32768"); }
    bool MenuVisible() const { return Visible(Menu()); }
    void CloseMenu()
    {
        Key(VK_ESCAPE);
        EXPECT_TRUE(PumpUntil([&] { return !MenuVisible(); }, kTimeout));
    }
    void HideFloating()
    {
        ::PostMessageW(m_main, WM_COMMAND, kCmdOK, 0);
        EXPECT_TRUE(PumpUntil([&] { return !Visible(m_floating); }, kTimeout));
    }

    // Rests the cursor at a point for several times the delay; true when nothing opened.
    bool RestOpensNothing(POINT at)
    {
        if (!MoveCursorTo(at.x, at.y)) return false;
        Pump(kQuietMs);
        return !Visible(m_floating) && !MenuVisible();
    }

    const Monitor& MonitorOf(POINT at) const { return at.x < m_right.rect.left ? m_left : m_right; }

    // On the left monitor, clear of its sides and of every point the tests rest at.
    FocusTarget m_target{RECT{200, 450, 400, 550}};
    Monitor m_left;
    Monitor m_right;
    std::unique_ptr<LauncherProcess> m_launcher;
    HWND m_main = nullptr;
    HWND m_floating = nullptr;
};
} // namespace

TEST_F(TwoMonitorsTest, FloatingWindowOpensInTheWorkAreaOfTheCursorsMonitor)
{
    Start();
    const RECT size = WindowRect(m_floating);
    const int width = size.right - size.left, height = size.bottom - size.top;
    const POINT points[] = {
        {1500, 300},  // right monitor: at the cursor
        {2040, 760},  // right monitor, below its work area, at its right end: pushed up and left
        {1030, 750},  // right monitor, just right of the shared side, low
        {1020, 400},  // left monitor, at the shared side: pushed back left, not onto the right one
        {1000, 750},  // left monitor, below its work area
    };
    for (const POINT at : points) {
        SCOPED_TRACE(testing::Message() << "cursor at " << at.x << "," << at.y);
        const Monitor& monitor = MonitorOf(at);
        ASSERT_TRUE(MoveCursorTo(at.x, at.y));
        // "Show Floating Icon": the window opens at the cursor without taking the focus. (Hiding
        // a window that holds it costs Wine without a window manager two seconds each time.)
        ::PostMessageW(m_main, WM_COMMAND, kCmdShowFloatingIcon, 0);
        ASSERT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
        const RECT r = WindowRect(m_floating);
        EXPECT_TRUE(Contains(monitor.work, r)) << Describe(r) << " outside " << Describe(monitor.work);
        EXPECT_EQ(::MonitorFromRect(&r, MONITOR_DEFAULTTONULL), monitor.handle);
        // The corner at the cursor where the window fits, else flush with the work area.
        EXPECT_EQ(r.left, std::min<int>(at.x, monitor.work.right - width));
        EXPECT_EQ(r.top, std::min<int>(at.y, monitor.work.bottom - height));
        HideFloating();
    }
}

TEST_F(TwoMonitorsTest, PopupMenuAndItsHintsOpenOnTheCursorsMonitor)
{
    // The last entry, whose hint is its address.
    item_test::WriteBytes(m_folder / L"Menus\\site.url",
                          "[InternetShortcut]\r\nURL=http://example.com/an/address/long/enough/to/need/room\r\n");
    Start();
    struct Case {
        POINT at;
        bool fromTray;  // else by the popup hotkey, again and again in a row
    };
    const Case cases[] = {
        {{1500, 300}, false},  // right monitor: the menu hangs from the cursor
        {{2040, 700}, false},  // right monitor, at its bottom-right corner
        {{1010, 300}, false},  // left monitor, at the shared side: the menu may not spill onto the right one
        {{1900, 500}, true},   // the main tray icon clicked: at the cursor, on the right monitor
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor at " << c.at.x << "," << c.at.y << (c.fromTray ? " tray" : ""));
        const Monitor& monitor = MonitorOf(c.at);
        ASSERT_TRUE(MoveCursorTo(c.at.x, c.at.y));
        if (c.fromTray) {
            ASSERT_NE(OpenTrayMenu(*m_launcher, m_main), nullptr);
        } else {
            PressKeys({VK_CONTROL, VK_MENU, 'P'});
            ASSERT_TRUE(PumpUntil([&] { return MenuVisible(); }, kTimeout));
        }
        const RECT r = WindowRect(Menu());
        EXPECT_TRUE(Contains(monitor.rect, r)) << Describe(r) << " outside " << Describe(monitor.rect);
        EXPECT_TRUE(r.left <= c.at.x && c.at.x <= r.right && r.top <= c.at.y && c.at.y <= r.bottom)
            << "menu " << Describe(r) << " not at the cursor";

        // The entry's hint: beside the menu, on the same monitor.
        Key(VK_END);
        HWND hint = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (hint = VisibleHint()) != nullptr; }, kTimeout));
        const RECT h = WindowRect(hint);
        EXPECT_TRUE(Contains(monitor.work, h)) << "hint " << Describe(h) << " outside " << Describe(monitor.work);
        EXPECT_TRUE(h.right <= r.left || h.left >= r.right) << "hint " << Describe(h) << " over the menu " << Describe(r);
        CloseMenu();
    }
}

TEST_F(TwoMonitorsTest, EdgeFiresAtTheOuterSidesAndNeverAtTheSharedOne)
{
    Start();
    const int shared = m_right.rect.left;
    const int y = 300;
    // Across the shared side in small steps and back, then resting on either side of it.
    for (int x = shared - 24; x <= shared + 24; x += 4) ASSERT_TRUE(MoveCursorTo(x, y));
    for (int x = shared + 24; x >= shared - 24; x -= 4) ASSERT_TRUE(MoveCursorTo(x, y));
    Pump(kQuietMs);
    EXPECT_FALSE(Visible(m_floating)) << "crossing the shared side opened the floating window";
    EXPECT_TRUE(RestOpensNothing({shared - 1, y})) << "left monitor's side at the right one";
    EXPECT_TRUE(RestOpensNothing({shared, y + 100})) << "right monitor's side at the left one";

    // The right monitor's outer side: the window opens at the cursor, pushed back in at the right.
    ASSERT_TRUE(MoveCursorTo(m_right.rect.right - 1, y));
    ASSERT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
    RECT r = WindowRect(m_floating);
    EXPECT_EQ(r.right, m_right.work.right);
    EXPECT_EQ(r.top, y);
    // Opened by the edge: any key closes it.
    Key('Q');
    ASSERT_TRUE(PumpUntil([&] { return !Visible(m_floating); }, kTimeout));

    // The left monitor's outer side.
    ASSERT_TRUE(MoveCursorTo(m_left.rect.left, y));
    ASSERT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
    r = WindowRect(m_floating);
    EXPECT_EQ(r.left, m_left.rect.left);
    EXPECT_EQ(::MonitorFromRect(&r, MONITOR_DEFAULTTONULL), m_left.handle);
}

TEST_F(TwoMonitorsTest, CornerMarginsHoldOnBothMonitors)
{
    Start();
    const RECT& l = m_left.rect;
    const RECT& rm = m_right.rect;
    const POINT corners[] = {
        {rm.right - 1, rm.top + 20},     // right monitor, right side, near the top
        {rm.right - 1, rm.bottom - 20},  // right monitor, right side, near the bottom
        {rm.left + 20, rm.top},          // right monitor, top, near its left end
        {rm.right - 60, rm.top},         // right monitor, top, within 80 of its right end
        {l.right - 60, l.top},           // left monitor, top, within 80 of its right end
        {l.left, l.top + 20},            // left monitor, left side, near the top
    };
    for (const POINT at : corners)
        EXPECT_TRUE(RestOpensNothing(at)) << "rest at " << at.x << "," << at.y << " opened something";

    // Clear of the corners the right monitor's top opens the popup menu there.
    const POINT top{(rm.left + rm.right) / 2, rm.top};
    ASSERT_TRUE(MoveCursorTo(top.x, top.y));
    ASSERT_TRUE(PumpUntil([&] { return MenuVisible(); }, kTimeout));
    RECT r = WindowRect(Menu());
    EXPECT_TRUE(Contains(rm, r)) << Describe(r);
    EXPECT_NEAR(r.left, top.x, 2);
    CloseMenu();

    // With the margins off the corners fire too. The right monitor's top-left corner belongs to
    // the top: its left side is shared and no edge.
    IniFile(Ini()).Write(keys::EnableCornerEdge, true);
    ASSERT_TRUE(MoveCursorTo(rm.right - 1, rm.top + 20));
    ASSERT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
    Key('Q');
    ASSERT_TRUE(PumpUntil([&] { return !Visible(m_floating); }, kTimeout));
    ASSERT_TRUE(MoveCursorTo(rm.left, rm.top));
    ASSERT_TRUE(PumpUntil([&] { return MenuVisible(); }, kTimeout));
    EXPECT_FALSE(Visible(m_floating));
    r = WindowRect(Menu());
    EXPECT_TRUE(Contains(rm, r)) << Describe(r);
    CloseMenu();
}
