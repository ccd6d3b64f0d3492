#pragma once
// The main window's side of the system-wide triggers: the watch component that receives the hook
// library's mouse and key events, and the edge and key triggers they drive, reaching the floating
// window and the popup menu through the main window.

#include <windows.h>

#include <memory>

#include "triggers/EdgeTriggers.h"

class TBPopupMenuRight;
class TIconWindow;
class TWatch;
struct LauncherOptions;

// What the triggers need of the main window.
class LauncherTriggersHost {
public:
    virtual ~LauncherTriggersHost() = default;
    // The surfaces the triggers open; null while they do not exist.
    virtual TIconWindow* TriggeredIconWindow() const = 0;
    virtual TBPopupMenuRight* TriggeredPopupMenu() const = 0;
    virtual void HideIconWindow() = 0;
    virtual bool IsMenuOpen() const = 0;
    virtual void SetMenuOpen(bool open) = 0;
    virtual const LauncherOptions& CurrentOptions() const = 0;
    // "EnableCornerEdge", read afresh at every edge check.
    virtual bool EnableCornerEdge() const = 0;
};

// What the main window took once at start-up.
struct LauncherTriggersSetup {
    int frameWidth = 0;
    int frameHeight = 0;
    RECT desktopRect{};
    HWND applicationWindow = nullptr;
};

class LauncherTriggers : private EdgeTriggerHost {
public:
    LauncherTriggers(LauncherTriggersHost& host, const LauncherTriggersSetup& setup);
    ~LauncherTriggers() override;
    LauncherTriggers(const LauncherTriggers&) = delete;
    LauncherTriggers& operator=(const LauncherTriggers&) = delete;

    // Start-up: watching the mouse, then the keyboard; each on its own, failures ignored.
    void Start();
    // Shutdown: the mouse kind, then the keyboard kind.
    void Stop();

    // The "Show Floating Icon" command: the floating window opens as it does at an edge.
    void ShowFloatingIconByEdge();
    // The floating window was hidden (by anyone): the tracked modifier key starts afresh.
    void IconWindowHidden() noexcept;

private:
    // EdgeTriggerHost
    void ShowIconWindowPassive() override;
    void ShowIconWindowActive() override;
    void HideIconWindow() override;
    bool IsShownByEdge() const override;
    bool IsCursorInIconWindow() const override;
    void OpenMainMenuByEdge() override;
    bool MenuOpen() const override;
    void SetMenuOpen(bool open) override;
    bool EdgePopup() const override;
    void SetEdgePopup(bool value) override;
    EdgeTriggerOptions Options() const override;
    bool EnableCornerEdge() const override;

    LauncherTriggersHost& m_host;
    // Declared before the watch, so the watch (whose events call the triggers) goes first.
    std::unique_ptr<TEdgeTriggers> m_triggers;
    std::unique_ptr<TWatch> m_watch;
};
