#include "triggers/EdgeTriggers.h"

#include "base/Dpi.h"
#include "base/Window.h"
#include "base/WinUtil.h"
#include "triggers/KeyDecode.h"
#include "triggers/Watch.h"

namespace {

constexpr wchar_t kTimerWindowClass[] = L"OrvoEdgeTimer";
constexpr UINT_PTR kTimerSensitivityId = 1;

// The DPI of a monitor where the system can tell (Windows 8.1 and later), else the screen's.
unsigned MonitorDpi(HMONITOR monitor)
{
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const GetDpiForMonitorFn getDpiForMonitor = [] {
        HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!shcore) shcore = ::LoadLibraryW(L"shcore.dll");
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT dpiX = 0, dpiY = 0;
    if (getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &dpiX, &dpiY)) && dpiX)
        return dpiX;
    return WindowDpi(nullptr);
}

// A stdcall callback: a lambda does not convert to one in the 32-bit build.
BOOL CALLBACK CollectMonitorRect(HMONITOR, HDC, LPRECT r, LPARAM list)
{
    reinterpret_cast<std::vector<EdgeRect>*>(list)->push_back({r->left, r->top, r->right, r->bottom});
    return TRUE;
}

// `TimerSensitivity` as a window timer on a message-only window of its own.
class WindowSensitivityTimer final : public SensitivityTimer, public Window {
public:
    WindowSensitivityTimer()
    {
        RegisterWindowClass(kTimerWindowClass, 0);
        CreateWindowInstance(0, kTimerWindowClass, L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE);
    }
    ~WindowSensitivityTimer() override
    {
        Stop();
        Destroy();
    }

    void Start(unsigned intervalMs) override { ::SetTimer(Handle(), kTimerSensitivityId, intervalMs, nullptr); }
    void Stop() override
    {
        if (Handle()) ::KillTimer(Handle(), kTimerSensitivityId);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER && wParam == kTimerSensitivityId) {
            if (OnTimer) OnTimer();
            return 0;
        }
        return DefaultHandling(message, wParam, lParam);
    }
};

} // namespace

std::unique_ptr<SensitivityTimer> SensitivityTimer::CreateWindowTimer()
{
    return std::make_unique<WindowSensitivityTimer>();
}

EdgeTriggerSystem EdgeTriggerSystem::Default()
{
    EdgeTriggerSystem system;
    system.CursorPos = [] {
        POINT point{};
        ::GetCursorPos(&point);
        return EdgePoint{point.x, point.y};
    };
    system.MonitorNear = [](EdgePoint point) -> std::optional<EdgeMonitor> {
        HMONITOR monitor = ::MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (!monitor || !::GetMonitorInfoW(monitor, &info)) return std::nullopt;
        const RECT& r = info.rcMonitor;
        return EdgeMonitor{{r.left, r.top, r.right, r.bottom}, MonitorDpi(monitor)};
    };
    system.Monitors = [] {
        std::vector<EdgeRect> monitors;
        ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitorRect, reinterpret_cast<LPARAM>(&monitors));
        return monitors;
    };
    system.KeyState = [](int virtualKey) { return static_cast<std::int16_t>(::GetKeyState(virtualKey)); };
    system.KeyName = [](unsigned virtualKey) { return TWatch::GetVirtualKeyName(virtualKey); };
    system.ReleaseCapture = [] { ::ReleaseCapture(); };
    system.TrimWorkingSet = [] { ::TrimWorkingSet(); };
    system.Os = CurrentOsVersion();
    system.ToleranceX = ::GetSystemMetrics(SM_CXFRAME);
    system.ToleranceY = ::GetSystemMetrics(SM_CYFRAME);
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    system.DesktopRect = {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                          top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return system;
}

TEdgeTriggers::TEdgeTriggers(EdgeTriggerHost& host, EdgeTriggerSystem system, std::unique_ptr<SensitivityTimer> timer)
    : m_host(host), m_system(std::move(system)), m_timer(std::move(timer))
{
    m_timer->OnTimer = [this] { TimerSensitivityTimer(); };
}

TEdgeTriggers::~TEdgeTriggers()
{
    m_timer->Stop();
    m_timer->OnTimer = nullptr;
}

bool TEdgeTriggers::IsKeyDown(unsigned virtualKey)
{
    return ::IsKeyDown(virtualKey, m_system.Os, m_system.KeyState, m_tracked);
}

void TEdgeTriggers::WatchLauncherMouseMove(TShiftState, int packedX, int packedY)
{
    const int x = ScreenCoordinate(packedX), y = ScreenCoordinate(packedY);
    // Every move on the desktop comes here: a repeat of the examined position returns before any
    // call to the system.
    if (m_buttonDown) return;
    const bool samePosition = x == m_lastX && y == m_lastY;
    if (samePosition && (m_timerRunning || m_edgeFired)) return;
    if (IsKeyDown(KeyComboIndexToVirtualKey(m_host.Options().disableKey))) return;
    if (!samePosition) {
        StopTimer();
        m_edgeFired = false;
    }
    m_lastX = x;
    m_lastY = y;
    EdgeCheck(x, y);
}

void TEdgeTriggers::EdgeCheck(int x, int y)
{
    const EdgeMonitor monitor = MonitorUnderCursor(m_system.CursorPos());
    // The monitors are listed and the settings file read only for a point in a band: elsewhere
    // neither the shared sides nor the corner rule can matter.
    if (EdgeAtPoint(monitor.rect, x, y, m_system.ToleranceX, m_system.ToleranceY) == ScreenEdge::None) return;
    const EdgeSides sides = SidesAt(monitor, x, y);
    if (EdgeAtPoint(monitor.rect, x, y, m_system.ToleranceX, m_system.ToleranceY, sides) == ScreenEdge::None) return;
    const bool enableCornerEdge = m_host.EnableCornerEdge();
    if (EdgeToArm(monitor.rect, x, y, m_system.ToleranceX, m_system.ToleranceY, enableCornerEdge, monitor.dpi,
                  sides) == ScreenEdge::None)
        return;
    m_timer->Start(SensitivityIntervalMs(m_host.Options().sensitivity));
    m_timerRunning = true;
}

void TEdgeTriggers::TimerSensitivityTimer()
{
    if (!m_timerRunning) return;  // a tick already queued when the timer was stopped
    const EdgePoint cursor = m_system.CursorPos();
    if (!CursorRested(cursor.x, cursor.y, m_lastX, m_lastY)) {
        // The cursor is far from the last examined move. Moves are posted by the hooks of every
        // process on the desktop, so a slow process can deliver an old position after a new one;
        // the cursor is then examined where it really is, as a move there would be, instead of
        // waiting for a move that may never come while the cursor rests.
        WatchLauncherMouseMove(0, cursor.x, cursor.y);
        return;
    }
    StopTimer();
    m_edgeFired = true;
    const EdgeTriggerOptions options = m_host.Options();
    if (m_buttonDown || IsKeyDown(KeyComboIndexToVirtualKey(options.disableKey))) return;
    // The corner margins were applied when the delay started; here the band alone decides.
    const EdgeMonitor monitor = MonitorUnderCursor(cursor);
    const ScreenEdge edge = EdgeAtPoint(monitor.rect, cursor.x, cursor.y, m_system.ToleranceX, m_system.ToleranceY,
                                        SidesAt(monitor, cursor.x, cursor.y));
    switch (EdgeActionFor(options, edge)) {
    case EdgeAction::Float: OpenFloatingByEdge(); break;
    case EdgeAction::Popup: OpenPopupByEdge(); break;
    case EdgeAction::None: break;
    }
}

void TEdgeTriggers::OpenFloatingByEdge()
{
    ReleaseEdgePopupIfUp();
    if (m_host.MenuOpen()) return;
    m_host.HideIconWindow();
    m_host.ShowIconWindowPassive();
}

void TEdgeTriggers::OpenPopupByEdge()
{
    if (m_host.MenuOpen()) return;
    m_host.HideIconWindow();
    // Runs the menu's modal loop: mouse and key events keep arriving here until it closes.
    m_host.OpenMainMenuByEdge();
}

void TEdgeTriggers::WatchLauncherMouseDown(TMouseButton button, TShiftState, int, int)
{
    m_buttonDown = true;
    if (button != TMouseButton::mbRight || !IsKeyDown(KeyComboIndexToVirtualKey(m_host.Options().floatingKey))) return;
    ReleaseEdgePopupIfUp();
    if (!m_host.MenuOpen()) {
        m_host.HideIconWindow();
        m_host.ShowIconWindowActive();
    }
    m_system.TrimWorkingSet();
}

void TEdgeTriggers::WatchLauncherMouseUp(TMouseButton, TShiftState, int, int)
{
    m_buttonDown = false;
    if (m_host.EdgePopup() && m_host.MenuOpen()) {
        m_system.ReleaseCapture();
        if (m_host.IsShownByEdge() && !m_host.IsCursorInIconWindow()) m_host.HideIconWindow();
        return;
    }
    // A menu opened over the floating window (a right click on a button) is from now on dismissed
    // like one opened by the edge.
    if (m_host.MenuOpen() && m_host.IsCursorInIconWindow()) m_host.SetEdgePopup(true);
    if (m_host.IsShownByEdge() && !m_host.IsCursorInIconWindow()) m_host.HideIconWindow();
}

void TEdgeTriggers::WatchLauncherKeyNative(std::uint32_t virtualKey, std::uint32_t keyFlags)
{
    if (const unsigned modifier = ModifierOfKeyName(m_system.KeyName(virtualKey))) m_tracked.key = modifier;
    m_tracked.down = DecodeKeyFlags(keyFlags).KeyDown;
    if (m_host.EdgePopup() && m_host.MenuOpen()) m_system.ReleaseCapture();
    if (m_host.IsShownByEdge()) m_host.HideIconWindow();
}

void TEdgeTriggers::ReleaseEdgePopupIfUp()
{
    if (!m_host.EdgePopup() || !m_host.MenuOpen()) return;
    m_system.ReleaseCapture();
    m_host.SetEdgePopup(false);
    m_host.SetMenuOpen(false);
}

EdgeMonitor TEdgeTriggers::MonitorUnderCursor(EdgePoint cursor) const
{
    if (std::optional<EdgeMonitor> monitor = m_system.MonitorNear(cursor)) return *monitor;
    return EdgeMonitor{m_system.DesktopRect, 96};
}

EdgeSides TEdgeTriggers::SidesAt(const EdgeMonitor& monitor, int x, int y) const
{
    if (!m_system.Monitors) return {};
    const std::vector<EdgeRect> monitors = m_system.Monitors();
    return EdgeSidesAt(monitor.rect, x, y, monitors);
}

void TEdgeTriggers::StopTimer()
{
    m_timer->Stop();
    m_timerRunning = false;
}
