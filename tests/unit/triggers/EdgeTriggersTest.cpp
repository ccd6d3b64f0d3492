// The edge and key triggers with a fake main window, cursor, key state and timer; the real delay
// timer once against its window.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "triggers/EdgeTriggers.h"

namespace {

struct FakeTimer : SensitivityTimer {
    bool running = false;
    unsigned interval = 0;
    unsigned elapsed = 0;
    void Start(unsigned intervalMs) override { running = true, interval = intervalMs, elapsed = 0; }
    void Stop() override { running = false; }
    // Lets time pass; the timer repeats until stopped, as a window timer does.
    void Advance(unsigned ms)
    {
        for (unsigned i = 0; i < ms && running; ++i)
            if (++elapsed >= interval) elapsed = 0, OnTimer();
    }
};

struct FakeHost : EdgeTriggerHost {
    std::vector<std::string> calls;
    bool menuOpen = false, edgePopup = false, shownByEdge = false, cursorInWindow = false, cornerEdge = false;
    int cornerReads = 0;
    EdgeTriggerOptions options;
    std::function<void()> duringMenu;  // events that arrive inside the menu's modal loop
    TEdgeTriggers* triggers = nullptr;

    void ShowIconWindowPassive() override { calls.push_back("passive"), shownByEdge = true; }
    void ShowIconWindowActive() override { calls.push_back("active"), shownByEdge = false; }
    void HideIconWindow() override
    {
        calls.push_back("hide"), shownByEdge = false;
        if (triggers) triggers->IconWindowHidden();
    }
    bool IsShownByEdge() const override { return shownByEdge; }
    bool IsCursorInIconWindow() const override { return cursorInWindow; }
    void OpenMainMenuByEdge() override
    {
        calls.push_back("menu");
        edgePopup = menuOpen = true;
        if (duringMenu) duringMenu();
        edgePopup = menuOpen = false;
    }
    bool MenuOpen() const override { return menuOpen; }
    void SetMenuOpen(bool open) override { menuOpen = open; }
    bool EdgePopup() const override { return edgePopup; }
    void SetEdgePopup(bool value) override { edgePopup = value; }
    EdgeTriggerOptions Options() const override { return options; }
    bool EnableCornerEdge() const override { return ++const_cast<FakeHost*>(this)->cornerReads, cornerEdge; }
};

class EdgeTriggersTest : public testing::Test {
protected:
    EdgeTriggersTest()
    {
        EdgeTriggerSystem system;
        system.CursorPos = [this] { return ++m_cursorReads, m_cursor; };
        system.MonitorNear = [this](EdgePoint) { return m_monitor; };
        system.KeyState = [this](int vk) { return static_cast<std::int16_t>(m_keys[vk] ? 0x8000 : 0); };
        system.KeyName = [](unsigned vk) {
            return vk == 16 ? std::wstring(L"SHIFT") : vk == 17 ? std::wstring(L"CTRL") : std::wstring(L"Q");
        };
        system.ReleaseCapture = [this] { m_host.calls.push_back("release"); };
        system.TrimWorkingSet = [this] { m_host.calls.push_back("trim"); };
        system.Os = {OsPlatform::Nt, 6, 1};
        system.ToleranceX = system.ToleranceY = 4;
        system.DesktopRect = {0, 0, 800, 600};
        auto timer = std::make_unique<FakeTimer>();
        m_timer = timer.get();
        m_triggers = std::make_unique<TEdgeTriggers>(m_host, std::move(system), std::move(timer));
        m_host.triggers = m_triggers.get();
    }

    // The cursor goes to the point and the hook reports the move there.
    void MoveTo(int x, int y)
    {
        m_cursor = {x, y};
        m_triggers->WatchLauncherMouseMove(0, x, y);
    }
    void Key(std::uint32_t vk, bool down) { m_triggers->WatchLauncherKeyNative(vk, down ? 1u : 0xC0000001u); }

    FakeHost m_host;
    FakeTimer* m_timer = nullptr;
    std::unique_ptr<TEdgeTriggers> m_triggers;
    EdgePoint m_cursor;
    int m_cursorReads = 0;
    std::optional<EdgeMonitor> m_monitor = EdgeMonitor{{0, 0, 1024, 768}, 96};
    std::map<int, bool> m_keys;
};

using Calls = std::vector<std::string>;

TEST_F(EdgeTriggersTest, RestingInABandOpensWhatThatEdgeIsSetToAfterTheDelay)
{
    struct Case {
        int x, y;
        int edge;  // index of the option set: left, top, right, bottom
        bool popup;
        Calls expected;
    };
    const Case cases[] = {
        {0, 300, 0, false, {"hide", "passive"}},
        {500, 0, 1, true, {"hide", "menu"}},
        {1023, 300, 2, false, {"hide", "passive"}},
        {500, 767, 3, true, {"hide", "menu"}},
        {0, 300, 2, false, {}},          // the right edge is set, the cursor is at the left
        {500, 300, 0, false, {}},        // no band at all
    };
    for (const Case& c : cases) {
        m_host.calls.clear();
        m_host.options = {};
        m_host.options.floatAt = {};
        m_host.options.popupAt = {};
        (c.popup ? m_host.options.popupAt : m_host.options.floatAt)[static_cast<std::size_t>(c.edge)] = true;
        MoveTo(200, 200);
        MoveTo(c.x, c.y);
        m_timer->Advance(999);
        EXPECT_EQ(m_host.calls, Calls{}) << c.x << "," << c.y;
        m_timer->Advance(1);
        EXPECT_EQ(m_host.calls, c.expected) << c.x << "," << c.y;
        EXPECT_FALSE(m_timer->running);
    }
}

TEST_F(EdgeTriggersTest, DelayFollowsTheSensitivityAndFiresOncePerRest)
{
    m_host.options.sensitivity = 1;
    MoveTo(1023, 300);
    EXPECT_EQ(m_timer->interval, 200u);
    m_timer->Advance(200);
    EXPECT_EQ(m_host.calls, (Calls{"hide", "passive"}));
    // Repeats of the same position neither restart the delay nor ask the system anything.
    const int reads = m_cursorReads;
    for (int i = 0; i < 5; ++i) m_triggers->WatchLauncherMouseMove(0, 1023, 300);
    EXPECT_FALSE(m_timer->running);
    EXPECT_EQ(m_cursorReads, reads);
    // A move restarts it; a damaged sensitivity is taken as the nearest end.
    m_host.options.sensitivity = 40;
    MoveTo(1023, 301);
    EXPECT_EQ(m_timer->interval, 2200u);
    m_host.options.sensitivity = 0;
    MoveTo(1023, 302);
    EXPECT_EQ(m_timer->interval, 200u);
}

TEST_F(EdgeTriggersTest, CornerMarginsApplyUnlessEnableCornerEdgeIsReadAsSet)
{
    MoveTo(1023, 30);
    EXPECT_FALSE(m_timer->running);
    m_host.cornerEdge = true;  // no restart: read at the next check
    MoveTo(1023, 31);
    EXPECT_TRUE(m_timer->running);
    // Only a point in a band needs the setting.
    const int reads = m_host.cornerReads;
    MoveTo(500, 300);
    EXPECT_EQ(m_host.cornerReads, reads);
}

TEST_F(EdgeTriggersTest, CursorMustRestWithinEightPixelsInXOrY)
{
    MoveTo(1023, 300);
    m_cursor = {1021, 250};  // within 8 in x: sliding along the edge keeps the trigger
    m_timer->Advance(1000);
    EXPECT_EQ(m_host.calls, (Calls{"hide", "passive"}));

    // A move reported late, with an old position, while the cursor rests elsewhere: the cursor is
    // examined where it is, and the delay starts there.
    m_host.calls.clear();
    MoveTo(500, 0);
    m_triggers->WatchLauncherMouseMove(0, 1023, 300);
    m_timer->Advance(1000);
    EXPECT_EQ(m_host.calls, Calls{});
    EXPECT_TRUE(m_timer->running);
    m_timer->Advance(1000);
    EXPECT_EQ(m_host.calls, (Calls{"hide", "menu"}));

    // Away from every band: the delay ends without opening anything.
    m_host.calls.clear();
    MoveTo(1023, 400);
    m_cursor = {1010, 300};
    m_timer->Advance(1000);
    EXPECT_FALSE(m_timer->running);
    EXPECT_EQ(m_host.calls, Calls{});
}

TEST_F(EdgeTriggersTest, DisableKeyAndHeldButtonsSuspendTheTrigger)
{
    m_keys[16] = true;  // Shift, the default disable key
    MoveTo(1023, 300);
    EXPECT_FALSE(m_timer->running);
    m_keys[16] = false;
    MoveTo(1023, 301);
    m_keys[16] = true;  // pressed during the delay: the delay ends, nothing opens
    m_timer->Advance(1000);
    EXPECT_TRUE(m_triggers->EdgeFired());
    EXPECT_EQ(m_host.calls, Calls{});

    m_keys[16] = false;
    m_host.options.disableKey = 0;  // "None"
    m_triggers->WatchLauncherMouseDown(TMouseButton::mbLeft, 0, 0, 0);  // also a wheel turn
    MoveTo(1023, 302);
    EXPECT_FALSE(m_timer->running);
    m_triggers->WatchLauncherMouseUp(TMouseButton::mbLeft, 0, 0, 0);
    MoveTo(1023, 303);
    EXPECT_TRUE(m_timer->running);
}

TEST_F(EdgeTriggersTest, RightClickWithTheFloatingKeyOpensActive)
{
    m_triggers->WatchLauncherMouseDown(TMouseButton::mbRight, 0, 5, 5);
    m_keys[17] = true;  // Ctrl, the default floating key
    m_triggers->WatchLauncherMouseDown(TMouseButton::mbLeft, 0, 5, 5);
    EXPECT_EQ(m_host.calls, Calls{});
    m_triggers->WatchLauncherMouseDown(TMouseButton::mbRight, 0, 5, 5);
    EXPECT_EQ(m_host.calls, (Calls{"hide", "active", "trim"}));

    // Over an edge-opened menu: the menu lets go first. Over another menu: nothing opens.
    m_host.calls.clear();
    m_host.menuOpen = m_host.edgePopup = true;
    m_triggers->WatchLauncherMouseDown(TMouseButton::mbRight, 0, 5, 5);
    EXPECT_EQ(m_host.calls, (Calls{"release", "hide", "active", "trim"}));
    EXPECT_FALSE(m_host.menuOpen || m_host.edgePopup);
    m_host.calls.clear();
    m_host.menuOpen = true;
    m_triggers->WatchLauncherMouseDown(TMouseButton::mbRight, 0, 5, 5);
    EXPECT_EQ(m_host.calls, (Calls{"trim"}));
}

TEST_F(EdgeTriggersTest, KeysAndOutsideReleasesDismissOnlyAWindowOpenedByTheEdge)
{
    m_host.shownByEdge = true;
    m_host.cursorInWindow = true;
    m_triggers->WatchLauncherMouseUp(TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(m_host.calls, Calls{});
    m_host.cursorInWindow = false;
    m_triggers->WatchLauncherMouseUp(TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(m_host.calls, (Calls{"hide"}));

    m_host.calls.clear();
    Key('Q', true);  // the window is not up by the edge any more
    EXPECT_EQ(m_host.calls, Calls{});
    m_host.shownByEdge = true;
    Key('Q', false);  // a release counts as much as a press
    EXPECT_EQ(m_host.calls, (Calls{"hide"}));

    // An edge-opened menu gives up the mouse on a key and on a release, and stays the edge's.
    m_host.calls.clear();
    m_host.menuOpen = m_host.edgePopup = true;
    Key('Q', true);
    m_triggers->WatchLauncherMouseUp(TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(m_host.calls, (Calls{"release", "release"}));
    // A menu opened over the floating window becomes one the edge rules dismiss.
    m_host.edgePopup = false;
    m_host.cursorInWindow = true;
    m_triggers->WatchLauncherMouseUp(TMouseButton::mbRight, 0, 0, 0);
    EXPECT_TRUE(m_host.edgePopup);
}

TEST_F(EdgeTriggersTest, EdgeMenuIsOpenedOnceWhileItsLoopRuns)
{
    m_host.options.popupAt[1] = true;
    m_host.duringMenu = [&] {
        MoveTo(600, 0);
        m_timer->Advance(1000);
        m_triggers->OpenFloatingByEdge();  // lets the menu go, then opens the window
    };
    MoveTo(500, 0);
    m_timer->Advance(1000);
    EXPECT_EQ(m_host.calls, (Calls{"hide", "menu", "release", "hide", "passive"}));
}

TEST_F(EdgeTriggersTest, NoMonitorFallsBackToTheStartUpDesktop)
{
    m_monitor.reset();
    MoveTo(799, 300);  // the right band of the 800-wide start-up desktop
    m_timer->Advance(1000);
    EXPECT_EQ(m_host.calls, (Calls{"hide", "passive"}));
}

TEST_F(EdgeTriggersTest, MonitorLeftOfThePrimaryOneHasNegativeCoordinates)
{
    m_host.options.floatAt = {true, false, false, false};
    m_monitor = EdgeMonitor{{-1280, -200, 0, 824}, 96};
    m_cursor = {-1280, 300};
    m_triggers->WatchLauncherMouseMove(0, 0x10000 - 1280, 300);  // as the hook packs it
    m_timer->Advance(1000);
    EXPECT_EQ(m_host.calls, (Calls{"hide", "passive"}));
    m_host.calls.clear();
    m_cursor = {-600, -200};  // the top edge, above the primary monitor's
    m_triggers->WatchLauncherMouseMove(0, 0x10000 - 600, 0x10000 - 200);
    m_timer->Advance(1000);
    EXPECT_EQ(m_host.calls, (Calls{"hide", "menu"}));
}

TEST(IsKeyDown, SystemStateOnNt5AndTheTrackedModifierBefore)
{
    const KeyStateReader shiftDown = [](int vk) { return static_cast<std::int16_t>(vk == 16 ? 0x8000 : 1); };
    TrackedModifier tracked{16, true};
    EXPECT_TRUE(IsKeyDown(16, {OsPlatform::Nt, 5, 0}, shiftDown, tracked));
    EXPECT_FALSE(IsKeyDown(17, {OsPlatform::Nt, 10, 0}, shiftDown, tracked));  // only the low bit: toggled, not held
    EXPECT_FALSE(IsKeyDown(0, {OsPlatform::Nt, 6, 1}, shiftDown, tracked));
    EXPECT_EQ(tracked.key, 16u);  // untouched on NT 5 and later

    for (const OsVersion old : {OsVersion{OsPlatform::Nt, 4, 0}, OsVersion{OsPlatform::Win9x, 4, 10}}) {
        tracked = {16, true};
        EXPECT_TRUE(IsKeyDown(16, old, shiftDown, tracked));
        EXPECT_FALSE(IsKeyDown(16, old, shiftDown, tracked));  // used up by the first question
        tracked = {16, true};
        EXPECT_FALSE(IsKeyDown(17, old, shiftDown, tracked));
        EXPECT_EQ(tracked.key, 0u);
        tracked = {0, true};  // a plain key was pressed last: "None" is still not held
        EXPECT_FALSE(IsKeyDown(0, old, shiftDown, tracked));
    }
}

TEST_F(EdgeTriggersTest, KeyEventsTrackTheLastModifierForOldSystems)
{
    Key(17, true);
    EXPECT_EQ(m_triggers->Tracked().key, 17u);
    EXPECT_TRUE(m_triggers->Tracked().down);
    Key('Q', false);  // another key keeps the modifier but not its state
    EXPECT_EQ(m_triggers->Tracked().key, 17u);
    EXPECT_FALSE(m_triggers->Tracked().down);
    m_host.shownByEdge = true;
    Key(16, true);  // hiding the window starts the tracking afresh
    EXPECT_EQ(m_triggers->Tracked().key, 0u);
}

TEST(EdgeActionFor, FloatWinsWhenAnEdgeHasBoth)
{
    EdgeTriggerOptions options;
    options.floatAt = {true, false, false, false};
    options.popupAt = {true, true, false, false};
    EXPECT_EQ(EdgeActionFor(options, ScreenEdge::Left), EdgeAction::Float);
    EXPECT_EQ(EdgeActionFor(options, ScreenEdge::Top), EdgeAction::Popup);
    EXPECT_EQ(EdgeActionFor(options, ScreenEdge::Right), EdgeAction::None);
    EXPECT_EQ(EdgeActionFor(options, ScreenEdge::None), EdgeAction::None);
}

TEST(EdgeChecks, ToggleAndLoadKeepOneActionPerEdge)
{
    const EdgeChecks none{};
    const EdgeChecks floatOn{true, true, false, false};
    const EdgeChecks popupOn{false, false, true, true};
    EXPECT_EQ(ToggleEdgeCheck(none, true), floatOn);
    EXPECT_EQ(ToggleEdgeCheck(floatOn, true), none);
    EXPECT_EQ(ToggleEdgeCheck(none, false), popupOn);
    EXPECT_EQ(ToggleEdgeCheck(popupOn, false), none);
    // Checking one clears the other even when it was somehow enabled and checked.
    EXPECT_EQ(ToggleEdgeCheck(EdgeChecks{false, true, true, true}, true), floatOn);

    int popupReads = 0;
    const auto popup = [&](bool value) { return [&popupReads, value] { return ++popupReads, value; }; };
    EXPECT_EQ(LoadEdgeChecks([] { return true; }, popup(true)), floatOn);
    EXPECT_EQ(popupReads, 0);  // not read when float is set
    EXPECT_EQ(LoadEdgeChecks([] { return false; }, popup(true)), popupOn);
    EXPECT_EQ(LoadEdgeChecks([] { return false; }, popup(false)), none);

    EXPECT_EQ(TrackBarSensitivityKey(33), 34u);
    EXPECT_EQ(TrackBarSensitivityKey(34), 33u);
    EXPECT_EQ(TrackBarSensitivityKey(38), 40u);
    EXPECT_EQ(TrackBarSensitivityKey(40), 38u);
    EXPECT_EQ(TrackBarSensitivityKey(37), 37u);  // Left and Right keep their way
}

TEST(SensitivityTimer, WindowTimerTicksUntilStopped)
{
    auto timer = SensitivityTimer::CreateWindowTimer();
    int ticks = 0;
    timer->OnTimer = [&] { ++ticks; };
    timer->Start(20);
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (ticks < 2 && ::GetTickCount() - start < 3000) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
    EXPECT_EQ(ticks, 2);
    timer->Stop();
    ::Sleep(60);
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    EXPECT_EQ(ticks, 2);
}

} // namespace
