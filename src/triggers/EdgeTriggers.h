#pragma once
// The screen-edge, key + right-click and dismissal triggers: turn the watch component's system-wide
// mouse and key events into opening and closing the floating window and the popup menu.
//
// The owner forwards the four watch events and implements EdgeTriggerHost; the delay timer
// (`TimerSensitivity`) is a window timer of the triggers' own hidden window, so nothing else has
// to be forwarded.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/OsVersion.h"
#include "triggers/EdgeRules.h"
#include "triggers/MouseDecode.h"
#include "triggers/TriggerRules.h"

// What the triggers need of the main window and its surfaces.
class EdgeTriggerHost {
public:
    virtual ~EdgeTriggerHost() = default;
    virtual void ShowIconWindowPassive() = 0;
    virtual void ShowIconWindowActive() = 0;
    virtual void HideIconWindow() = 0;
    virtual bool IsShownByEdge() const = 0;
    virtual bool IsCursorInIconWindow() const = 0;
    // Shows the popup menu at the cursor; returns when it has closed.
    virtual void OpenMainMenuByEdge() = 0;
    virtual bool MenuOpen() const = 0;
    virtual void SetMenuOpen(bool open) = 0;
    // Set while the popup menu shown by the edge is up (the menu clears it when it closes).
    virtual bool EdgePopup() const = 0;
    virtual void SetEdgePopup(bool value) = 0;
    virtual EdgeTriggerOptions Options() const = 0;
    // "EnableCornerEdge", read afresh at every edge check.
    virtual bool EnableCornerEdge() const = 0;
};

struct EdgePoint {
    int x = 0;
    int y = 0;
};

// A monitor's full rectangle and its DPI (the corner margins are 96-DPI sizes).
struct EdgeMonitor {
    EdgeRect rect;
    unsigned dpi = 96;
};

// The system as the triggers see it; tests replace members. Default() asks the real system.
struct EdgeTriggerSystem {
    std::function<EdgePoint()> CursorPos;
    // The monitor nearest to the point; empty when the system returns none.
    std::function<std::optional<EdgeMonitor>(EdgePoint)> MonitorNear;
    // Every monitor's full rectangle: the sides two monitors share are no edges.
    std::function<std::vector<EdgeRect>()> Monitors;
    KeyStateReader KeyState;
    std::function<std::wstring(unsigned virtualKey)> KeyName;
    std::function<void()> ReleaseCapture;
    std::function<void()> TrimWorkingSet;
    OsVersion Os;
    // The edge bands' tolerance: the sizing frame's width and height, read once at start-up.
    int ToleranceX = 0;
    int ToleranceY = 0;
    // The bounding rectangle of all monitors at start-up: used when no monitor is found.
    EdgeRect DesktopRect;

    static EdgeTriggerSystem Default();
};

// `TimerSensitivity`: a repeating timer. The real one is a window timer; tests drive their own.
class SensitivityTimer {
public:
    virtual ~SensitivityTimer() = default;
    // (Re)starts the timer with the interval; OnTimer runs at every interval until Stop.
    virtual void Start(unsigned intervalMs) = 0;
    virtual void Stop() = 0;
    std::function<void()> OnTimer;

    // The real timer on a hidden window of its own. Throws LauncherError when the window cannot
    // be made.
    static std::unique_ptr<SensitivityTimer> CreateWindowTimer();
};

class TEdgeTriggers {
public:
    TEdgeTriggers(EdgeTriggerHost& host, EdgeTriggerSystem system,
                  std::unique_ptr<SensitivityTimer> timer = SensitivityTimer::CreateWindowTimer());
    ~TEdgeTriggers();
    TEdgeTriggers(const TEdgeTriggers&) = delete;
    TEdgeTriggers& operator=(const TEdgeTriggers&) = delete;

    // The watch component's events. A move's coordinates are as the watch decodes them (unsigned
    // 16-bit); the cursor is read as signed screen coordinates.
    void WatchLauncherMouseMove(TShiftState shift, int packedX, int packedY);
    void WatchLauncherMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void WatchLauncherMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void WatchLauncherKeyNative(std::uint32_t virtualKey, std::uint32_t keyFlags);
    void TimerSensitivityTimer();

    // Opens the floating window the way the edge does (also the "Show Floating Icon" command).
    void OpenFloatingByEdge();
    void OpenPopupByEdge();

    // The floating window was hidden: the tracked modifier starts afresh.
    void IconWindowHidden() noexcept { m_tracked = {}; }
    bool IsKeyDown(unsigned virtualKey);

    bool TimerRunning() const noexcept { return m_timerRunning; }
    bool EdgeFired() const noexcept { return m_edgeFired; }
    bool ButtonDown() const noexcept { return m_buttonDown; }
    const TrackedModifier& Tracked() const noexcept { return m_tracked; }

private:
    void EdgeCheck(int x, int y);
    EdgeMonitor MonitorUnderCursor(EdgePoint cursor) const;
    EdgeSides SidesAt(const EdgeMonitor& monitor, int x, int y) const;
    void StopTimer();
    // Both flags are set: the edge-opened menu gives up the mouse, and so ends.
    void ReleaseEdgePopupIfUp();

    EdgeTriggerHost& m_host;
    EdgeTriggerSystem m_system;
    std::unique_ptr<SensitivityTimer> m_timer;
    bool m_buttonDown = false;
    int m_lastX = 0;
    int m_lastY = 0;
    bool m_edgeFired = false;
    bool m_timerRunning = false;
    TrackedModifier m_tracked;
};
