#include "items/CollectionReload.h"

#include <utility>

#include "base/WinUtil.h"
#include "base/Window.h"
#include "items/CollectionLoader.h"

namespace {
constexpr const wchar_t* kTimerWindowClassName = L"OrvoLauncherCollectionReload";

// Window timer ids of the hidden window, one per collection.
constexpr UINT_PTR kTimerDirMonIcon = 1;
constexpr UINT_PTR kTimerDirMonMenu = 2;
constexpr UINT_PTR kTimerDirMonFloat = 3;
// A theme change that waits for a load or the popup menu to end.
constexpr UINT_PTR kTimerThemeChange = 4;
constexpr UINT kThemeChangePollMs = 250;
// A collection folder that went away, polled until it is back.
constexpr UINT_PTR kTimerReviveIcon = 11;
constexpr UINT_PTR kTimerReviveMenu = 12;
constexpr UINT_PTR kTimerReviveFloat = 13;
constexpr UINT kRevivePollMs = 2000;

// Icons and Floating hold files only; Menus also watches folder names, its sub-folders being submenus.
const TDirMonTypes kFileNames{TDirMonType::dmcFileName};
const TDirMonTypes kFileAndFolderNames{TDirMonType::dmcFileName, TDirMonType::dmcDirName};

// The orders the collections are stopped, rebuilt after a theme change and started in.
constexpr WatchedCollection kStopOrder[] = {WatchedCollection::Menus, WatchedCollection::Icons,
                                            WatchedCollection::Floating};
constexpr WatchedCollection kThemeLoadOrder[] = {WatchedCollection::Menus, WatchedCollection::Icons,
                                                 WatchedCollection::Floating};
constexpr WatchedCollection kStartOrder[] = {WatchedCollection::Icons, WatchedCollection::Menus,
                                             WatchedCollection::Floating};
} // namespace

CollectionRebuilds CollectionRebuilds::Of(CollectionLoader& loader)
{
    CollectionRebuilds rebuilds;
    rebuilds.LoadIcons = [&loader] { loader.LoadIcons(); };
    rebuilds.LoadMenus = [&loader] { loader.LoadMenus(); };
    rebuilds.LoadFloating = [&loader] { loader.LoadFloating(); };
    rebuilds.DropCaches = [&loader] { loader.ShellImagesChanged(); };
    rebuilds.DropCache = [&loader](WatchedCollection collection) {
        switch (collection) {
        case WatchedCollection::Icons: loader.DropItemCache(CollectionKind::Icons); break;
        case WatchedCollection::Menus: loader.DropItemCache(CollectionKind::Menus); break;
        case WatchedCollection::Floating: loader.DropItemCache(CollectionKind::Floating); break;
        }
    };
    rebuilds.Loading = [&loader] { return loader.Loading(); };
    return rebuilds;
}

class TCollectionReload::TimerWindowImpl final : public ::Window {
public:
    explicit TimerWindowImpl(TCollectionReload& owner) : m_owner(owner)
    {
        RegisterWindowClass(kTimerWindowClassName, 0);
        // Message-only: never shown, never enumerated, but its timers tick like any window's.
        CreateWindowInstance(0, kTimerWindowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            m_owner.OnTimer(static_cast<UINT_PTR>(wParam));
            return 0;
        }
        return DefaultHandling(message, wParam, lParam);
    }

private:
    TCollectionReload& m_owner;
};

TCollectionReload::TCollectionReload(CollectionRebuilds rebuilds, std::function<std::int64_t()> nowMs)
    : m_nowMs(std::move(nowMs)), m_dropCaches(std::move(rebuilds.DropCaches)),
      m_dropCache(std::move(rebuilds.DropCache)), m_loading(std::move(rebuilds.Loading)),
      m_window(std::make_unique<TimerWindowImpl>(*this))
{
    struct Setup {
        WatchedCollection collection;
        const wchar_t* folderName;
        UINT_PTR timerId;
        UINT_PTR reviveTimerId;
        std::function<void()>* load;
        const TDirMonTypes* filter;
    };
    const Setup setups[] = {
        {WatchedCollection::Icons, L"Icons", kTimerDirMonIcon, kTimerReviveIcon, &rebuilds.LoadIcons, &kFileNames},
        {WatchedCollection::Menus, L"Menus", kTimerDirMonMenu, kTimerReviveMenu, &rebuilds.LoadMenus,
         &kFileAndFolderNames},
        {WatchedCollection::Floating, L"Floating", kTimerDirMonFloat, kTimerReviveFloat, &rebuilds.LoadFloating,
         &kFileNames},
    };
    for (const Setup& setup : setups) {
        Watched& slot = Slot(setup.collection);
        slot.collection = setup.collection;
        slot.folderName = setup.folderName;
        slot.timerId = setup.timerId;
        slot.reviveTimerId = setup.reviveTimerId;
        slot.load = std::move(*setup.load);
        slot.monitor.SetNotifyFilter(*setup.filter);
        slot.monitor.SetNested(true);
        // A notification the monitor posted before the folders were given up still arrives; it
        // must not schedule a rebuild of a collection nobody watches any more.
        slot.monitor.OnDirChange = [this, &slot](TDirMon&) {
            if (m_watching) Change(slot);
        };
    }
}

TCollectionReload::~TCollectionReload()
{
    // The timer window goes first, so no tick can reach a monitor that is being taken down.
    m_window.reset();
}

void TCollectionReload::SetDataFolder(const std::wstring& dataFolder) { m_dataFolder = dataFolder; }

HWND TCollectionReload::TimerWindow() const noexcept { return m_window ? m_window->Handle() : nullptr; }

std::int64_t TCollectionReload::Now() const
{
    return m_nowMs ? m_nowMs() : static_cast<std::int64_t>(::GetTickCount64());
}

bool TCollectionReload::ReloadPending(WatchedCollection collection) const noexcept
{
    return Slot(collection).deadline.Pending();
}

bool TCollectionReload::TimerRunning(WatchedCollection collection) const noexcept
{
    return Slot(collection).timerRunning;
}

void TCollectionReload::SetWatchFailedHandler(const TDirMonEvent& handler)
{
    for (Watched& slot : m_slots) slot.monitor.OnWatchFailed = handler;
}

void TCollectionReload::StartWatching()
{
    m_watching = true;
    for (WatchedCollection collection : kStartOrder) {
        Watched& slot = Slot(collection);
        StartMonitor(slot);
        Revive(slot);
    }
}

void TCollectionReload::StopWatching()
{
    m_watching = false;
    for (WatchedCollection collection : kStopOrder) {
        Watched& slot = Slot(collection);
        StopMonitor(slot);
        // A tick still to come would rebuild from, and restart watching, a folder given up.
        slot.deadline.Cancel();
        StopTimer(slot);
        StopRevive(slot);
    }
}

bool TCollectionReload::Busy() const
{
    return (m_loading && m_loading()) || (m_hold && m_hold(WatchedCollection::Menus));
}

void TCollectionReload::ThemeChanged(const std::function<void()>& renewMenuImages)
{
    // Inside a load (a message it dispatched) a rebuild would clear the collection the load is
    // filling; under the open popup menu it would change the entries the user is choosing from.
    m_renewMenuImages = renewMenuImages;
    if (Busy()) {
        if (!m_themePending && ::SetTimer(TimerWindow(), kTimerThemeChange, kThemeChangePollMs, nullptr))
            m_themePending = true;
        if (m_themePending) return;
    }
    RunThemeChange();
}

void TCollectionReload::RunThemeChange()
{
    if (std::exchange(m_themePending, false)) ::KillTimer(TimerWindow(), kTimerThemeChange);
    const std::function<void()> renewMenuImages = std::exchange(m_renewMenuImages, nullptr);
    for (WatchedCollection collection : kStopOrder) {
        Watched& slot = Slot(collection);
        slot.deadline.Cancel();
        StopTimer(slot);
    }
    if (renewMenuImages) renewMenuImages();
    if (m_dropCaches) m_dropCaches();
    for (WatchedCollection collection : kThemeLoadOrder) {
        Watched& slot = Slot(collection);
        if (slot.load) slot.load();
    }
    for (WatchedCollection collection : kStartOrder) AfterRebuild(Slot(collection));
}

void TCollectionReload::Reload(WatchedCollection collection)
{
    if (m_dropCache) m_dropCache(collection);
    Change(Slot(collection));
}

void TCollectionReload::Change(Watched& slot)
{
    // A pending collection only moves its deadline; its tick then waits for the new one.
    if (!slot.deadline.Change(Now()) && slot.timerRunning) return;
    if (::SetTimer(TimerWindow(), slot.timerId, kReloadTimerIntervalMs, nullptr)) slot.timerRunning = true;
}

void TCollectionReload::OnTimer(UINT_PTR timerId)
{
    if (timerId == kTimerThemeChange) {
        if (!Busy()) RunThemeChange();
        return;
    }
    for (Watched& slot : m_slots) {
        if (slot.timerId == timerId) {
            Tick(slot);
            return;
        }
        if (slot.reviveTimerId == timerId) {
            Revive(slot);
            return;
        }
    }
}

void TCollectionReload::Tick(Watched& slot)
{
    if (slot.deadline.Pending() && m_hold && m_hold(slot.collection)) return;
    // A tick inside a load (a modal loop it ran) comes again after it.
    if (slot.deadline.Pending() && m_loading && m_loading()) return;
    const std::int64_t now = Now();
    const ReloadTick action = slot.deadline.Tick(now);
    if (action == ReloadTick::Wait) {
        // A later change moved the deadline: the next tick comes right after it, not a whole
        // interval on, so the rebuild follows the last change by the quiet period alone.
        ::SetTimer(TimerWindow(), slot.timerId, NextTickInMs(slot.deadline.DeadlineMs(), now), nullptr);
        return;
    }
    StopTimer(slot);
    if (action == ReloadTick::Idle) return;

    // The monitor goes on watching: a change made while the folder is read is posted and brings
    // one more rebuild, where stopping it here would lose it.
    if (slot.load) slot.load();
    AfterRebuild(slot);
}

void TCollectionReload::AfterRebuild(Watched& slot) noexcept
{
    if (!m_watching) return;
    // A new worker after every rebuild: one whose folder was removed may still wait on it, and its
    // open notification keeps the folder pending deletion, neither gone nor usable. Where the
    // folder is missing, the start says so (once per box) and the poll waits for it to return.
    RestartMonitor(slot);
    Revive(slot);
}

void TCollectionReload::Revive(Watched& slot) noexcept
{
    if (!m_watching) return StopRevive(slot);
    // While the folder is not there no worker can watch it: poll until it is back.
    if (!DirectoryExists(m_dataFolder + slot.folderName)) {
        if (!slot.reviveRunning && ::SetTimer(TimerWindow(), slot.reviveTimerId, kRevivePollMs, nullptr))
            slot.reviveRunning = true;
        return;
    }
    // Watching, or failed for another reason (no access): left as it is, or every retry would fail
    // and warn again.
    if (!slot.reviveRunning && !slot.monitor.FolderGone()) return;
    StopRevive(slot);
    RestartMonitor(slot);
    // What the folder holds now was never seen.
    Change(slot);
}

void TCollectionReload::StopRevive(Watched& slot) noexcept
{
    if (!slot.reviveRunning) return;
    ::KillTimer(TimerWindow(), slot.reviveTimerId);
    slot.reviveRunning = false;
}

void TCollectionReload::StopTimer(Watched& slot) noexcept
{
    if (!slot.timerRunning) return;
    ::KillTimer(TimerWindow(), slot.timerId);
    slot.timerRunning = false;
}

void TCollectionReload::StartMonitor(Watched& slot) noexcept
{
    try {
        slot.monitor.SetDirectory(m_dataFolder + slot.folderName);
        slot.monitor.SetNested(true);
        slot.monitor.Start();
    } catch (...) {
        // The collection is simply not watched.
    }
}

void TCollectionReload::StopMonitor(Watched& slot) noexcept
{
    try {
        slot.monitor.Stop();
    } catch (...) {
        // "DirMon not started": nothing to stop.
    }
}

void TCollectionReload::RestartMonitor(Watched& slot) noexcept
{
    StopMonitor(slot);
    StartMonitor(slot);
}
