#pragma once
// The main window's side of the system-wide triggers: the watch component that receives the hook
// library's mouse and key events, and the edge and key triggers they drive, reaching the floating
// window and the popup menu through the main window.

#include <memory>

#include "triggers/EdgeTriggers.h"

class TOrvoLauncherClass;
class TWatch;

class LauncherTriggers : private EdgeTriggerHost {
public:
    explicit LauncherTriggers(TOrvoLauncherClass& main);
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

    TOrvoLauncherClass& m_main;
    // Declared before the watch, so the watch (whose events call the triggers) goes first.
    std::unique_ptr<TEdgeTriggers> m_triggers;
    std::unique_ptr<TWatch> m_watch;
};
