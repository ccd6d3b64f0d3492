#pragma once
// Rebuilds a collection's surfaces when its folder changes on disk, whoever changed it (the shell,
// another program, our own item file operations). One directory monitor and one reload timer per
// collection folder; the timers belong to a hidden window of this class, so the main window
// forwards nothing but the theme change and the three reload commands.
//
// A timer runs only while a reload is pending: with nothing changing on disk the monitors' workers
// sleep in their waits and nothing here wakes the user-interface thread.
//
// Everything runs on the user-interface thread that created the object.

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "components/DirMon.h"
#include "items/ReloadRules.h"

class CollectionLoader;

enum class WatchedCollection { Icons, Menus, Floating };

// How each collection is rebuilt. Each call reads its folder again and renews the surfaces.
struct CollectionRebuilds {
    std::function<void()> LoadIcons;
    std::function<void()> LoadMenus;
    std::function<void()> LoadFloating;
    // Forgets what the loads kept of the files and of the shell's images, before a theme change
    // rebuilds everything.
    std::function<void()> DropCaches;
    // Forgets what the loads kept of one collection's files, before its "Re&load" command.
    std::function<void(WatchedCollection)> DropCache;
    // A load is under way: a rebuild asked for inside it (a message dispatched by the load) waits.
    std::function<bool()> Loading;

    // The loader's own LoadIcons, LoadMenus and LoadFloating; the loader must outlive the user.
    static CollectionRebuilds Of(CollectionLoader& loader);
};

class TCollectionReload {
public:
    // `nowMs` is a monotonic clock in milliseconds (GetTickCount64 unless replaced).
    explicit TCollectionReload(CollectionRebuilds rebuilds, std::function<std::int64_t()> nowMs = {});
    TCollectionReload(const TCollectionReload&) = delete;
    TCollectionReload& operator=(const TCollectionReload&) = delete;
    // The monitors end their workers; the timers go with their window.
    ~TCollectionReload();

    // The data folder with its trailing backslash; the monitors watch "Icons", "Menus" and
    // "Floating" under it from the next StartWatching.
    void SetDataFolder(const std::wstring& dataFolder);
    const std::wstring& DataFolder() const noexcept { return m_dataFolder; }

    // Program start, after the first loads: the Icons, Menus and Floating monitors, each on its own.
    // A monitor that cannot start leaves its collection unwatched, without a message.
    void StartWatching();
    // Shutdown and a change of the data folder: the Menus, Icons and Floating monitors, failures
    // discarded. Pending reloads are dropped and the monitors stay stopped (a later reload command
    // still rebuilds, but restarts no monitor) until the next StartWatching.
    void StopWatching();
    // Between StartWatching and StopWatching.
    bool IsWatching() const noexcept { return m_watching; }

    // The monitors' OnDirChange handlers: the deadline moves a second ahead and the timer runs.
    void DirMonIconDirChange() { Change(Slot(WatchedCollection::Icons)); }
    void DirMonMenuDirChange() { Change(Slot(WatchedCollection::Menus)); }
    void DirMonFloatDirChange() { Change(Slot(WatchedCollection::Floating)); }

    // The timers' ticks: past the deadline, stop the timer and rebuild. The monitor keeps watching
    // meanwhile, so a change made during the rebuild brings one more; it is started afresh after
    // the rebuild. A collection folder that has gone is watched again once it is back (polled
    // while it is missing), and the collection is then rebuilt. The exception of a failing
    // rebuild goes on to the caller, the monitor still watching.
    void TimerDirMonIconTimer() { Tick(Slot(WatchedCollection::Icons)); }
    void TimerDirMonMenuTimer() { Tick(Slot(WatchedCollection::Menus)); }
    void TimerDirMonFloatTimer() { Tick(Slot(WatchedCollection::Floating)); }

    // The "Re&load" commands: the same path as a change, so the rebuild comes about a second later,
    // and it reads every file of the collection again.
    void ReloadIcons() { Reload(WatchedCollection::Icons); }
    void ReloadMenus() { Reload(WatchedCollection::Menus); }
    void ReloadFloating() { Reload(WatchedCollection::Floating); }

    // WM_THEMECHANGED, before the default handling: calls `renewMenuImages` (the main menu's
    // special-folder images), drops the loads' caches (the shell's images follow the theme) and
    // rebuilds Menus, Icons and Floating at once. Pending reloads are dropped: everything was just
    // read afresh. While a load runs or the rebuild hold is on for Menus (the popup menu is open),
    // all of it waits, polled by a timer, and the latest `renewMenuImages` is called then.
    void ThemeChanged(const std::function<void()>& renewMenuImages = {});

    bool ReloadPending(WatchedCollection collection) const noexcept;
    // The collection's timer runs (exactly while its reload is pending).
    bool TimerRunning(WatchedCollection collection) const noexcept;

    TDirMon& DirMonIcon() noexcept { return Slot(WatchedCollection::Icons).monitor; }
    TDirMon& DirMonMenu() noexcept { return Slot(WatchedCollection::Menus).monitor; }
    TDirMon& DirMonFloat() noexcept { return Slot(WatchedCollection::Floating).monitor; }
    TDirMon& Monitor(WatchedCollection collection) noexcept { return Slot(collection).monitor; }

    // While `hold` answers true for a collection, its pending rebuild waits for a later tick (the
    // popup menu is open: its entries must not change under the user's cursor).
    void SetRebuildHold(std::function<bool(WatchedCollection)> hold) { m_hold = std::move(hold); }

    // A monitor whose folder cannot be watched calls this (every monitor shows its "Warning" box
    // while it is unassigned).
    void SetWatchFailedHandler(const TDirMonEvent& handler);

    // The hidden window that owns the three timers.
    HWND TimerWindow() const noexcept;

private:
    class TimerWindowImpl;

    struct Watched {
        WatchedCollection collection{};
        const wchar_t* folderName = L"";
        UINT_PTR timerId = 0;
        std::function<void()> load;
        TDirMon monitor;
        ReloadDeadline deadline;
        bool timerRunning = false;
        UINT_PTR reviveTimerId = 0;
        bool reviveRunning = false;  // the folder has gone: polled until it is back
    };

    Watched& Slot(WatchedCollection collection) noexcept { return m_slots[static_cast<std::size_t>(collection)]; }
    const Watched& Slot(WatchedCollection collection) const noexcept
    {
        return m_slots[static_cast<std::size_t>(collection)];
    }
    std::int64_t Now() const;
    void Change(Watched& slot);
    void Reload(WatchedCollection collection);
    void Tick(Watched& slot);
    bool Busy() const;
    void RunThemeChange();
    // Watches the folder again when its monitor has ended (the folder went): at once when it is
    // back, else from a poll.
    void Revive(Watched& slot) noexcept;
    void AfterRebuild(Watched& slot) noexcept;
    void StopRevive(Watched& slot) noexcept;
    void OnTimer(UINT_PTR timerId);
    void StopTimer(Watched& slot) noexcept;
    void StartMonitor(Watched& slot) noexcept;
    void StopMonitor(Watched& slot) noexcept;
    void RestartMonitor(Watched& slot) noexcept;

    std::array<Watched, 3> m_slots;
    std::function<std::int64_t()> m_nowMs;
    std::function<bool(WatchedCollection)> m_hold;
    std::function<void()> m_dropCaches;
    std::function<void(WatchedCollection)> m_dropCache;
    std::function<bool()> m_loading;
    std::function<void()> m_renewMenuImages;  // of the theme change that waits
    bool m_themePending = false;
    std::unique_ptr<TimerWindowImpl> m_window;
    std::wstring m_dataFolder;
    bool m_watching = false;
};
