// TCollectionReload on real temporary folders: its monitors, its window timers and the rebuilds,
// driven by the thread's own message loop as the program drives them.

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/TempFolder.h"
#include "items/CollectionLoader.h"
#include "items/CollectionReload.h"

namespace {
// A change on disk reaches the change handler within this time, even on a busy machine.
constexpr DWORD kArrivalMs = 3000;
// Pumping this long without a notification shows that none came.
constexpr DWORD kSilenceMs = 800;
// Slack for notification latency and timer jitter on a busy machine.
constexpr std::int64_t kSlackMs = 400;

std::int64_t NowMs() { return static_cast<std::int64_t>(::GetTickCount64()); }

// Dispatches this thread's messages until `done` holds or the time is up, sleeping until the next
// message arrives (no polling of its own, so CPU figures taken around it are the program's).
// Counts the messages addressed to `watched`.
struct MessagePump {
    std::vector<HWND> watched;
    int watchedMessages = 0;
    int watchedTimers = 0;

    bool Until(const std::function<bool()>& done, DWORD timeoutMs)
    {
        const std::int64_t end = NowMs() + timeoutMs;
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (std::find(watched.begin(), watched.end(), msg.hwnd) != watched.end()) {
                    ++watchedMessages;
                    if (msg.message == WM_TIMER) ++watchedTimers;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
                if (done()) return true;
            }
            if (done()) return true;
            const std::int64_t now = NowMs();
            if (now >= end) return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        }
    }
    void For(DWORD ms) { Until([] { return false; }, ms); }
};

std::int64_t ProcessCpuMs()
{
    FILETIME creation, exit, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user);
    const auto value = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return static_cast<std::int64_t>((value(kernel) + value(user)) / 10000);
}

void WriteFile(const std::wstring& path) { WriteFileBytes(path, "x"); }

// What the rebuilds did, in order ("icons", "menus", "floating"), with the time of each.
struct RebuildLog {
    std::vector<std::string> calls;
    std::vector<std::int64_t> times;
    std::function<void(const std::string&)> inside;  // runs inside each rebuild
    std::function<void()> dropped;                   // the loads' caches were dropped
    std::vector<WatchedCollection> droppedOne;       // one collection's cache was dropped
    int loading = 0;                                 // rebuilds under way

    int Count(const std::string& name) const
    {
        return static_cast<int>(std::count(calls.begin(), calls.end(), name));
    }
    std::function<void()> Recorder(const std::string& name, std::function<void()> load = {})
    {
        return [this, name, load] {
            calls.push_back(name);
            times.push_back(NowMs());
            struct Running {
                int& count;
                ~Running() { --count; }
            } running{++loading};
            if (inside) inside(name);
            if (load) load();
        };
    }
    CollectionRebuilds Rebuilds(CollectionLoader* loader = nullptr)
    {
        CollectionRebuilds rebuilds;
        rebuilds.LoadIcons = Recorder("icons", loader ? std::function<void()>([loader] { loader->LoadIcons(); }) : nullptr);
        rebuilds.LoadMenus = Recorder("menus", loader ? std::function<void()>([loader] { loader->LoadMenus(); }) : nullptr);
        rebuilds.LoadFloating =
            Recorder("floating", loader ? std::function<void()>([loader] { loader->LoadFloating(); }) : nullptr);
        rebuilds.DropCaches = [this] {
            if (dropped) dropped();
        };
        rebuilds.DropCache = [this](WatchedCollection collection) { droppedOne.push_back(collection); };
        rebuilds.Loading = [this] { return loading > 0; };
        return rebuilds;
    }
};

class CollectionReloadTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (const wchar_t* name : {L"Icons", L"Menus", L"Floating"})
            ::CreateDirectoryW((m_data / name).c_str(), nullptr);
    }
    void TearDown() override { ::CoUninitialize(); }

    std::wstring DataFolder() const { return m_data.Path() + L"\\"; }
    std::wstring Folder(const wchar_t* name) const { return m_data / name; }

    // A reload on this folder with the clock under the test's control; no monitor watching yet.
    std::unique_ptr<TCollectionReload> MakeReload(bool fakeClock = true)
    {
        auto reload = fakeClock ? std::make_unique<TCollectionReload>(m_log.Rebuilds(), [this] { return m_clock; })
                                : std::make_unique<TCollectionReload>(m_log.Rebuilds());
        reload->SetDataFolder(DataFolder());
        reload->SetWatchFailedHandler([this](TDirMon&) { ++m_watchFailures; });
        return reload;
    }

    TempFolder m_data{L"reload"};
    RebuildLog m_log;
    std::int64_t m_clock = 0;
    int m_watchFailures = 0;
};

using enum WatchedCollection;
} // namespace

TEST_F(CollectionReloadTest, WatchesEachFolderNestedWithItsFilterAndStartsAndStopsInOrder)
{
    auto reload = MakeReload();
    std::vector<std::string> events;
    const std::pair<WatchedCollection, std::string> names[] = {{Icons, "icons"}, {Menus, "menus"}, {Floating, "floating"}};
    for (const auto& [collection, name] : names) {
        reload->Monitor(collection).OnStart = [&events, name](TDirMon&) { events.push_back("start " + name); };
        reload->Monitor(collection).OnStop = [&events, name](TDirMon&) { events.push_back("stop " + name); };
    }

    reload->StartWatching();
    EXPECT_TRUE(reload->IsWatching());
    EXPECT_EQ(events, (std::vector<std::string>{"start icons", "start menus", "start floating"}));
    EXPECT_EQ(reload->DirMonIcon().Directory(), DataFolder() + L"Icons");
    EXPECT_EQ(reload->DirMonMenu().Directory(), DataFolder() + L"Menus");
    EXPECT_EQ(reload->DirMonFloat().Directory(), DataFolder() + L"Floating");
    EXPECT_EQ(reload->DirMonIcon().NotifyMask(), 0x001u);
    EXPECT_EQ(reload->DirMonMenu().NotifyMask(), 0x003u) << "file and folder names";
    EXPECT_EQ(reload->DirMonFloat().NotifyMask(), 0x001u);
    for (const auto& [collection, name] : names) {
        EXPECT_TRUE(reload->Monitor(collection).Nested()) << name;
        EXPECT_TRUE(reload->Monitor(collection).Watching()) << name;
    }

    // Starting again while running is discarded silently.
    events.clear();
    EXPECT_NO_THROW(reload->StartWatching());
    EXPECT_TRUE(events.empty());

    reload->StopWatching();
    EXPECT_FALSE(reload->IsWatching());
    EXPECT_EQ(events, (std::vector<std::string>{"stop menus", "stop icons", "stop floating"}));
    for (const auto& [collection, name] : names) EXPECT_FALSE(reload->Monitor(collection).Running()) << name;
    EXPECT_NO_THROW(reload->StopWatching()) << "\"DirMon not started\" is discarded";
    EXPECT_EQ(m_watchFailures, 0);
}

TEST_F(CollectionReloadTest, HandlersTicksAndCommandsReachOnlyTheirOwnCollection)
{
    auto reload = MakeReload();
    TCollectionReload& r = *reload;
    struct Route {
        WatchedCollection collection;
        std::string name;
        std::function<void()> change, command, tick;
    };
    const Route routes[] = {
        {Icons, "icons", [&] { r.DirMonIconDirChange(); }, [&] { r.ReloadIcons(); }, [&] { r.TimerDirMonIconTimer(); }},
        {Menus, "menus", [&] { r.DirMonMenuDirChange(); }, [&] { r.ReloadMenus(); }, [&] { r.TimerDirMonMenuTimer(); }},
        {Floating, "floating", [&] { r.DirMonFloatDirChange(); }, [&] { r.ReloadFloating(); },
         [&] { r.TimerDirMonFloatTimer(); }},
    };
    for (const Route& route : routes) {
        for (const auto& trigger : {route.change, route.command}) {
            SCOPED_TRACE(route.name);
            m_log.calls.clear();
            m_clock += 10000;
            const std::int64_t start = m_clock;
            trigger();
            for (const Route& other : routes) {
                EXPECT_EQ(r.ReloadPending(other.collection), &other == &route) << other.name;
                EXPECT_EQ(r.TimerRunning(other.collection), &other == &route) << other.name;
            }
            // Every other tick finds nothing to do; the own tick waits up to the deadline itself.
            for (const Route& other : routes)
                if (&other != &route) other.tick();
            m_clock = start + 1000;
            route.tick();
            EXPECT_TRUE(m_log.calls.empty());
            EXPECT_TRUE(r.TimerRunning(route.collection));
            m_clock = start + 1001;
            route.tick();
            EXPECT_EQ(m_log.calls, std::vector<std::string>{route.name});
            EXPECT_FALSE(r.ReloadPending(route.collection));
            EXPECT_FALSE(r.TimerRunning(route.collection));
            m_clock = start + 3000;
            route.tick();
            EXPECT_EQ(m_log.calls.size(), 1u) << "one rebuild per pending reload";
        }
    }
    // Each command read its own collection afresh, and a change alone kept what was read.
    EXPECT_EQ(m_log.droppedOne, (std::vector<WatchedCollection>{Icons, Menus, Floating}));
}

TEST_F(CollectionReloadTest, HeldBackRebuildWaitsForTheFirstTickAfterItsRelease)
{
    auto reload = MakeReload();
    bool menuOpen = true;
    reload->SetRebuildHold([&](WatchedCollection collection) { return collection == Menus && menuOpen; });
    reload->ReloadMenus();
    reload->ReloadIcons();
    m_clock = 5000;
    reload->TimerDirMonMenuTimer();
    reload->TimerDirMonIconTimer();
    EXPECT_EQ(m_log.calls, std::vector<std::string>{"icons"}) << "only the held collection waits";
    EXPECT_TRUE(reload->ReloadPending(Menus));
    EXPECT_TRUE(reload->TimerRunning(Menus));
    menuOpen = false;
    m_clock = 6000;
    reload->TimerDirMonMenuTimer();
    EXPECT_EQ(m_log.calls, (std::vector<std::string>{"icons", "menus"}));
    EXPECT_FALSE(reload->TimerRunning(Menus));
}

TEST_F(CollectionReloadTest, MonitorWatchesThroughTheRebuildSoAChangeDuringItBringsOneMore)
{
    auto reload = MakeReload();
    reload->StartWatching();
    MessagePump pump;
    std::vector<bool> watchingInside;
    m_log.inside = [&](const std::string&) {
        watchingInside = {reload->DirMonIcon().Watching(), reload->DirMonMenu().Watching(),
                          reload->DirMonFloat().Watching()};
        WriteFile(Folder(L"Icons") + L"\\during.txt");
        // The folder is read after the change was made, but a notification may not be in yet.
        ::Sleep(300);
    };

    reload->ReloadIcons();
    m_clock = 1001;
    reload->TimerDirMonIconTimer();
    ASSERT_EQ(m_log.Count("icons"), 1);
    EXPECT_EQ(watchingInside, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(reload->DirMonIcon().Directory(), DataFolder() + L"Icons");
    EXPECT_TRUE(pump.Until([&] { return reload->ReloadPending(Icons); }, kArrivalMs))
        << "a change made during the rebuild brings another";
}

TEST_F(CollectionReloadTest, NotificationAlreadyPostedWhenTheTickStopsSchedulesOneMoreRebuild)
{
    auto reload = MakeReload();
    reload->StartWatching();
    MessagePump pump;
    reload->DirMonMenuDirChange();
    // The worker had posted a change that the message loop has not delivered yet.
    ASSERT_TRUE(::PostMessageW(reload->DirMonMenu().NotificationWindow(), kDirMonChangeMessage, 0, 0));
    m_clock = 1001;
    reload->TimerDirMonMenuTimer();
    EXPECT_EQ(m_log.Count("menus"), 1);
    EXPECT_TRUE(pump.Until([&] { return reload->ReloadPending(Menus); }, kArrivalMs));
    m_clock = 5000;
    reload->TimerDirMonMenuTimer();
    EXPECT_EQ(m_log.Count("menus"), 2);
}

TEST_F(CollectionReloadTest, RebuildThatThrowsStillWatchesAgainAndPassesTheErrorOn)
{
    auto reload = MakeReload();
    reload->StartWatching();
    m_log.inside = [](const std::string&) { throw std::runtime_error("rebuild failed"); };
    reload->ReloadFloating();
    m_clock = 1001;
    EXPECT_THROW(reload->TimerDirMonFloatTimer(), std::runtime_error);
    EXPECT_FALSE(reload->TimerRunning(Floating));
    EXPECT_FALSE(reload->ReloadPending(Floating));
    EXPECT_TRUE(reload->DirMonFloat().Watching()) << "later changes still reach the surface";

    EXPECT_THROW(reload->ThemeChanged(), std::runtime_error);
    EXPECT_TRUE(reload->DirMonIcon().Watching());
    EXPECT_TRUE(reload->DirMonMenu().Watching());
    EXPECT_TRUE(reload->DirMonFloat().Watching());
}

TEST_F(CollectionReloadTest, ThemeChangeRenewsAndRebuildsInItsOrderButNeverInsideALoadOrUnderTheMenu)
{
    auto reload = MakeReload();
    reload->StartWatching();
    std::vector<std::string> events;
    m_log.inside = [&](const std::string& name) { events.push_back("load " + name); };
    m_log.dropped = [&] { events.push_back("drop caches"); };
    const auto renew = [&] { events.push_back("renew menu images"); };
    const std::vector<std::string> themeChange{"renew menu images", "drop caches", "load menus", "load icons",
                                               "load floating"};
    reload->ReloadIcons();  // pending: the theme change rebuilds it anyway

    reload->ThemeChanged(renew);
    EXPECT_EQ(events, themeChange);
    EXPECT_FALSE(reload->ReloadPending(Icons));
    EXPECT_FALSE(reload->TimerRunning(Icons));
    EXPECT_TRUE(reload->DirMonIcon().Watching() && reload->DirMonMenu().Watching() && reload->DirMonFloat().Watching());

    // Asked for inside a load (a message it dispatched), it runs once the load has ended.
    MessagePump pump;
    events.clear();
    bool asked = false;
    m_log.inside = [&](const std::string& name) {
        events.push_back("load " + name);
        if (name == "floating" && !std::exchange(asked, true)) reload->ThemeChanged(renew);
    };
    reload->ReloadFloating();
    m_clock += 2500;
    reload->TimerDirMonFloatTimer();
    EXPECT_EQ(events, std::vector<std::string>{"load floating"});
    ASSERT_TRUE(pump.Until([&] { return events.size() == 1 + themeChange.size(); }, kArrivalMs));
    EXPECT_EQ(std::vector<std::string>(events.begin() + 1, events.end()), themeChange);

    // Under the open popup menu it waits for the menu to close.
    m_log.inside = [&](const std::string& name) { events.push_back("load " + name); };
    bool menuOpen = true;
    reload->SetRebuildHold([&](WatchedCollection collection) { return collection == Menus && menuOpen; });
    events.clear();
    reload->ThemeChanged(renew);
    pump.For(kSilenceMs);
    EXPECT_TRUE(events.empty());
    menuOpen = false;
    EXPECT_TRUE(pump.Until([&] { return events == themeChange; }, kArrivalMs));
    pump.For(kSilenceMs);
    EXPECT_EQ(events, themeChange) << "once";
    reload->SetRebuildHold({});

    // Not watching (after a data folder change): the theme change rebuilds but watches nothing.
    reload->StopWatching();
    events.clear();
    reload->ThemeChanged();
    EXPECT_EQ(events, (std::vector<std::string>{"drop caches", "load menus", "load icons", "load floating"}));
    // A change of a folder rebuilds from what the loads kept.
    events.clear();
    reload->ReloadIcons();
    m_clock += 2500;
    reload->TimerDirMonIconTimer();
    EXPECT_EQ(events, (std::vector<std::string>{"load icons"}));
}

TEST_F(CollectionReloadTest, StopWatchingDropsPendingReloadsAndLaterCommandsRestartNoMonitor)
{
    auto reload = MakeReload();
    reload->StartWatching();
    reload->ReloadMenus();
    reload->StopWatching();
    EXPECT_FALSE(reload->ReloadPending(Menus));
    EXPECT_FALSE(reload->TimerRunning(Menus));
    m_clock = 5000;
    reload->TimerDirMonMenuTimer();
    EXPECT_EQ(m_log.Count("menus"), 0);

    reload->ReloadMenus();
    m_clock = 7000;
    reload->TimerDirMonMenuTimer();
    EXPECT_EQ(m_log.Count("menus"), 1) << "the command still rebuilds";
    EXPECT_FALSE(reload->DirMonMenu().Running()) << "but watches no folder that was given up";

    // A notification its monitor posted before the folders were given up arrives late: no reload.
    MessagePump pump;
    ASSERT_TRUE(::PostMessageW(reload->DirMonIcon().NotificationWindow(), kDirMonChangeMessage, 0, 0));
    EXPECT_FALSE(pump.Until([&] { return reload->ReloadPending(Icons); }, 500));
    EXPECT_FALSE(reload->TimerRunning(Icons));
}

TEST_F(CollectionReloadTest, TenFilesCopiedWithinHalfASecondRebuildOnceASecondAfterTheLast)
{
    CollectionLoader loader;
    loader.SetDataFolder(DataFolder());
    loader.LoadIcons();
    TCollectionReload reload(m_log.Rebuilds(&loader));
    reload.SetDataFolder(DataFolder());
    reload.SetWatchFailedHandler([this](TDirMon&) { ++m_watchFailures; });
    reload.StartWatching();
    MessagePump pump;
    pump.watched = {reload.TimerWindow()};

    std::int64_t lastCopy = 0;
    for (int i = 0; i < 10; ++i) {
        WriteFile(Folder(L"Icons") + L"\\file" + std::to_wstring(i) + L".txt");
        lastCopy = NowMs();
        pump.For(45);
    }
    ASSERT_TRUE(pump.Until([&] { return m_log.Count("icons") > 0; }, 2000 + kArrivalMs));
    const std::int64_t delay = m_log.times[0] - lastCopy;
    EXPECT_GE(delay, 1000);
    EXPECT_LE(delay, 1000 + kSlackMs);
    EXPECT_EQ(loader.Icons().Items().size(), 10u);

    pump.watchedTimers = 0;
    pump.For(2500);
    EXPECT_EQ(m_log.Count("icons"), 1) << "one rebuild for the burst";
    EXPECT_EQ(pump.watchedTimers, 0) << "no timer runs once the rebuild is done";
    EXPECT_FALSE(reload.TimerRunning(Icons));
    EXPECT_EQ(m_log.Count("menus") + m_log.Count("floating"), 0);
    EXPECT_EQ(m_watchFailures, 0);
}

TEST_F(CollectionReloadTest, ChangeDuringTheWaitPushesTheDeadlineAndTheRebuildFollowsItAtOnce)
{
    auto reload = MakeReload(false);
    MessagePump pump;
    const std::int64_t start = NowMs();
    reload->ReloadFloating();
    pump.For(500);
    reload->ReloadFloating();
    ASSERT_TRUE(pump.Until([&] { return m_log.Count("floating") > 0; }, 4000));
    // The tick at 1 s finds the deadline moved to 1.5 s and comes again just after it, not at 2 s.
    const std::int64_t at = m_log.times[0] - start;
    EXPECT_GE(at, 1500);
    EXPECT_LE(at, 1500 + kSlackMs - 150);
    pump.For(1200);
    EXPECT_EQ(m_log.Count("floating"), 1);
}

TEST_F(CollectionReloadTest, ReloadCommandWithNoChangeRebuildsOneToTwoSecondsLater)
{
    auto reload = MakeReload(false);
    reload->StartWatching();
    MessagePump pump;
    const std::int64_t start = NowMs();
    reload->ReloadMenus();
    ASSERT_TRUE(pump.Until([&] { return m_log.Count("menus") > 0; }, 4000));
    EXPECT_GT(m_log.times[0] - start, 1000);
    EXPECT_LE(m_log.times[0] - start, 2000 + kSlackMs);
    EXPECT_TRUE(reload->DirMonMenu().Watching());
}

TEST_F(CollectionReloadTest, FoldersAreWatchedForTheirKindOfChangeAndBelow)
{
    auto reload = MakeReload();
    reload->StartWatching();
    MessagePump pump;

    // Icons watches file names only: a new sub-folder is no change, a file inside it is.
    ASSERT_TRUE(::CreateDirectoryW((Folder(L"Icons") + L"\\Sub").c_str(), nullptr));
    pump.For(kSilenceMs);
    EXPECT_FALSE(reload->ReloadPending(Icons)) << "a new sub-folder of Icons";
    WriteFile(Folder(L"Icons") + L"\\Sub\\inner.txt");
    EXPECT_TRUE(pump.Until([&] { return reload->ReloadPending(Icons); }, kArrivalMs)) << "a file in a sub-folder";

    // Menus watches folder names too: its sub-folders are submenus.
    ASSERT_TRUE(::CreateDirectoryW((Folder(L"Menus") + L"\\Tools").c_str(), nullptr));
    EXPECT_TRUE(pump.Until([&] { return reload->ReloadPending(Menus); }, kArrivalMs)) << "a new submenu";

    // Floating: a new file, then (watched again after its rebuild) a renamed one.
    WriteFile(Folder(L"Floating") + L"\\a.txt");
    ASSERT_TRUE(pump.Until([&] { return reload->ReloadPending(Floating); }, kArrivalMs));
    m_clock = 10000;
    reload->TimerDirMonFloatTimer();
    ASSERT_TRUE(::MoveFileW((Folder(L"Floating") + L"\\a.txt").c_str(), (Folder(L"Floating") + L"\\b.txt").c_str()));
    EXPECT_TRUE(pump.Until([&] { return reload->ReloadPending(Floating); }, kArrivalMs)) << "a renamed file";
    EXPECT_EQ(m_watchFailures, 0);
}

TEST_F(CollectionReloadTest, FolderThatVanishedOrIsMissingNeverHangsAndStaysSilent)
{
    auto reload = MakeReload();
    reload->StartWatching();
    MessagePump pump;
    TempFolder::RemoveTree(Folder(L"Floating"));
    pump.For(300);
    const std::int64_t before = NowMs();
    reload->StopWatching();
    EXPECT_LT(NowMs() - before, 1000) << "stopping a monitor whose folder vanished";

    // Started without the folder: Start itself succeeds, the monitor reports the folder it cannot
    // watch once, and a rebuild of that collection does not hang.
    reload->StartWatching();
    EXPECT_TRUE(pump.Until([&] { return m_watchFailures > 0; }, kArrivalMs));
    EXPECT_TRUE(reload->DirMonIcon().Watching());
    reload->ReloadFloating();
    m_clock = 1001;
    const std::int64_t tick = NowMs();
    reload->TimerDirMonFloatTimer();
    EXPECT_EQ(m_log.Count("floating"), 1);
    EXPECT_LT(NowMs() - tick, 1000);

    // The folder comes back: it is watched again, and rebuilt, without a restart; waiting for it
    // tried no start that could fail.
    pump.For(kSilenceMs);
    const int failures = m_watchFailures;
    ASSERT_TRUE(::CreateDirectoryW(Folder(L"Floating").c_str(), nullptr));
    EXPECT_TRUE(pump.Until([&] { return reload->DirMonFloat().Watching() && reload->ReloadPending(Floating); },
                           2000 + kArrivalMs));
    EXPECT_EQ(m_watchFailures, failures);
    WriteFile(Folder(L"Floating") + L"\\back.txt");
    m_clock = 5000;
    reload->TimerDirMonFloatTimer();
    EXPECT_TRUE(pump.Until([&] { return reload->ReloadPending(Floating); }, kArrivalMs)) << "a change in it is seen";
    const std::int64_t stop = NowMs();
    reload->StopWatching();
    EXPECT_LT(NowMs() - stop, 1000);
}

TEST_F(CollectionReloadTest, IdleMonitorsUseNoTimerAndNoCpu)
{
    auto reload = MakeReload(false);
    reload->StartWatching();
    MessagePump pump;
    pump.watched = {reload->TimerWindow(), reload->DirMonIcon().NotificationWindow(),
                    reload->DirMonMenu().NotificationWindow(), reload->DirMonFloat().NotificationWindow()};
    pump.For(200);
    pump.watchedMessages = 0;
    const std::int64_t cpuBefore = ProcessCpuMs();
    pump.For(3000);
    const std::int64_t cpu = ProcessCpuMs() - cpuBefore;
    EXPECT_EQ(pump.watchedMessages, 0) << "no timer tick and no notification while nothing changes";
    EXPECT_LT(cpu, 60) << "CPU time over three idle seconds, in ms";
    for (WatchedCollection collection : {Icons, Menus, Floating}) EXPECT_FALSE(reload->TimerRunning(collection));
}
