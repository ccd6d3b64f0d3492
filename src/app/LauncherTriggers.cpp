#include "app/LauncherTriggers.h"

#include "app/Options.h"
#include "floating/IconWindowUnit.h"
#include "popupmenu/PopupMenuRight.h"
#include "triggers/Watch.h"

LauncherTriggers::LauncherTriggers(LauncherTriggersHost& host, const LauncherTriggersSetup& setup) : m_host(host)
{
    EdgeTriggerSystem system = EdgeTriggerSystem::Default();
    // The sizes the main window took at start-up.
    system.ToleranceX = setup.frameWidth;
    system.ToleranceY = setup.frameHeight;
    const RECT& desktop = setup.desktopRect;
    system.DesktopRect = {desktop.left, desktop.top, desktop.right, desktop.bottom};
    m_triggers = std::make_unique<TEdgeTriggers>(static_cast<EdgeTriggerHost&>(*this), std::move(system));

    m_watch = std::make_unique<TWatch>();
    m_watch->SetNotifyOwnEvents(true);
    m_watch->SetApplicationWindow(setup.applicationWindow);
    m_watch->OnMouseMove = [this](TWatch&, TShiftState shift, int x, int y) {
        m_triggers->WatchLauncherMouseMove(shift, x, y);
    };
    m_watch->OnMouseDown = [this](TWatch&, TMouseButton button, TShiftState shift, int x, int y) {
        m_triggers->WatchLauncherMouseDown(button, shift, x, y);
    };
    m_watch->OnMouseUp = [this](TWatch&, TMouseButton button, TShiftState shift, int x, int y) {
        m_triggers->WatchLauncherMouseUp(button, shift, x, y);
    };
    m_watch->OnKeyNative = [this](TWatch&, WPARAM wParam, LPARAM lParam) {
        m_triggers->WatchLauncherKeyNative(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
    };
}

LauncherTriggers::~LauncherTriggers() { Stop(); }

void LauncherTriggers::Start()
{
    m_watch->StartWatch(kWatchMouse);
    m_watch->StartWatch(kWatchKeyboard);
}

void LauncherTriggers::Stop()
{
    if (!m_watch) return;
    m_watch->StopWatch(kWatchMouse);
    m_watch->StopWatch(kWatchKeyboard);
}

void LauncherTriggers::ShowFloatingIconByEdge() { m_triggers->OpenFloatingByEdge(); }

void LauncherTriggers::IconWindowHidden() noexcept { m_triggers->IconWindowHidden(); }

void LauncherTriggers::ShowIconWindowPassive()
{
    if (TIconWindow* window = m_host.TriggeredIconWindow()) window->ShowIconWindowPassive();
}

void LauncherTriggers::ShowIconWindowActive()
{
    if (TIconWindow* window = m_host.TriggeredIconWindow()) window->ShowIconWindowActive();
}

void LauncherTriggers::HideIconWindow() { m_host.HideIconWindow(); }

bool LauncherTriggers::IsShownByEdge() const
{
    const TIconWindow* window = m_host.TriggeredIconWindow();
    return window && window->IsShownByEdge();
}

bool LauncherTriggers::IsCursorInIconWindow() const
{
    const TIconWindow* window = m_host.TriggeredIconWindow();
    return window && window->IsCursorInIconWindow();
}

void LauncherTriggers::OpenMainMenuByEdge()
{
    if (TBPopupMenuRight* menu = m_host.TriggeredPopupMenu()) menu->OpenMainMenuByEdge();
}

bool LauncherTriggers::MenuOpen() const { return m_host.IsMenuOpen(); }

void LauncherTriggers::SetMenuOpen(bool open) { m_host.SetMenuOpen(open); }

bool LauncherTriggers::EdgePopup() const
{
    const TBPopupMenuRight* menu = m_host.TriggeredPopupMenu();
    return menu && menu->EdgePopup();
}

void LauncherTriggers::SetEdgePopup(bool value)
{
    if (TBPopupMenuRight* menu = m_host.TriggeredPopupMenu()) menu->SetEdgePopup(value);
}

EdgeTriggerOptions LauncherTriggers::Options() const
{
    const LauncherOptions& o = m_host.CurrentOptions();
    EdgeTriggerOptions options;
    options.floatAt = {o.floatLeft, o.floatTop, o.floatRight, o.floatBottom};
    options.popupAt = {o.popupLeft, o.popupTop, o.popupRight, o.popupBottom};
    options.disableKey = o.disableKey;
    options.floatingKey = o.floatRightKey;
    options.sensitivity = o.sensitivity;
    return options;
}

bool LauncherTriggers::EnableCornerEdge() const { return m_host.EnableCornerEdge(); }
