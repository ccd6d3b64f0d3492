#include "items/CollectionReload.h"

#include "base/Window.h"
#include "items/CollectionLoader.h"

namespace {
constexpr const wchar_t* kTimerWindowClassName = L"OrvoLauncherCollectionReload";

// Window timer ids of the hidden window, one per collection.
constexpr UINT_PTR kTimerDirMonIcon = 1;
constexpr UINT_PTR kTimerDirMonMenu = 2;
constexpr UINT_PTR kTimerDirMonFloat = 3;

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
    return {[&loader] { loader.LoadIcons(); }, [&loader] { loader.LoadMenus(); },
            [&loader] { loader.LoadFloating(); }, [&loader] { loader.ShellImagesChanged(); }};
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
      m_window(std::make_unique<TimerWindowImpl>(*this))
{
    struct Setup {
        WatchedCollection collection;
        const wchar_t* folderName;
        UINT_PTR timerId;
        std::function<void()>* load;
        const TDirMonTypes* filter;
    };
    const Setup setups[] = {
        {WatchedCollection::Icons, L"Icons", kTimerDirMonIcon, &rebuilds.LoadIcons, &kFileNames},
        {WatchedCollection::Menus, L"Menus", kTimerDirMonMenu, &rebuilds.LoadMenus, &kFileAndFolderNames},
        {WatchedCollection::Floating, L"Floating", kTimerDirMonFloat, &rebuilds.LoadFloating, &kFileNames},
    };
    for (const Setup& setup : setups) {
        Watched& slot = Slot(setup.collection);
        slot.collection = setup.collection;
        slot.folderName = setup.folderName;
        slot.timerId = setup.timerId;
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
    for (WatchedCollection collection : kStartOrder) StartMonitor(Slot(collection));
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
    }
}

void TCollectionReload::ThemeChanged(const std::function<void()>& renewMenuImages)
{
    for (WatchedCollection collection : kStopOrder) {
        Watched& slot = Slot(collection);
        StopMonitor(slot);
        slot.deadline.Cancel();
        StopTimer(slot);
    }
    try {
        if (renewMenuImages) renewMenuImages();
        if (m_dropCaches) m_dropCaches();
        for (WatchedCollection collection : kThemeLoadOrder) {
            Watched& slot = Slot(collection);
            if (slot.load) slot.load();
        }
    } catch (...) {
        // A failed rebuild must not leave the folders unwatched for the rest of the session.
        for (WatchedCollection collection : kStartOrder) RestartMonitor(Slot(collection));
        throw;
    }
    for (WatchedCollection collection : kStartOrder) RestartMonitor(Slot(collection));
}

void TCollectionReload::Change(Watched& slot)
{
    // Starting a timer that runs would restart its rhythm; a pending collection only moves its deadline.
    if (!slot.deadline.Change(Now()) && slot.timerRunning) return;
    if (::SetTimer(TimerWindow(), slot.timerId, kReloadTimerIntervalMs, nullptr)) slot.timerRunning = true;
}

void TCollectionReload::OnTimer(UINT_PTR timerId)
{
    for (Watched& slot : m_slots) {
        if (slot.timerId == timerId) {
            Tick(slot);
            return;
        }
    }
}

void TCollectionReload::Tick(Watched& slot)
{
    if (slot.deadline.Pending() && m_hold && m_hold(slot.collection)) return;
    const ReloadTick action = slot.deadline.Tick(Now());
    if (action == ReloadTick::Wait) return;
    StopTimer(slot);
    if (action == ReloadTick::Idle) return;

    // Stopped while the loader reads the folder: the rebuild itself must not schedule another.
    StopMonitor(slot);
    try {
        if (slot.load) slot.load();
    } catch (...) {
        RestartMonitor(slot);
        throw;
    }
    RestartMonitor(slot);
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
    if (!m_watching) return;
    try {
        slot.monitor.Start();
    } catch (...) {
    }
}
