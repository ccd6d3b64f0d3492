#include "app/LauncherTriggers.h"

#include "app/LauncherMainUnit.h"
#include "app/SettingsKeys.h"
#include "triggers/Watch.h"

LauncherTriggers::LauncherTriggers(TOrvoLauncherClass& main) : m_main(main)
{
    EdgeTriggerSystem system = EdgeTriggerSystem::Default();
    // The sizes the main window took at start-up.
    system.ToleranceX = m_main.m_frameWidth;
    system.ToleranceY = m_main.m_frameHeight;
    const RECT& desktop = m_main.m_desktopRect;
    system.DesktopRect = {desktop.left, desktop.top, desktop.right, desktop.bottom};
    m_triggers = std::make_unique<TEdgeTriggers>(static_cast<EdgeTriggerHost&>(*this), std::move(system));

    m_watch = std::make_unique<TWatch>();
    m_watch->SetNotifyOwnEvents(true);
    m_watch->SetApplicationWindow(m_main.m_application.Handle());
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
    if (m_main.m_iconWindow) m_main.m_iconWindow->ShowIconWindowPassive();
}

void LauncherTriggers::ShowIconWindowActive()
{
    if (m_main.m_iconWindow) m_main.m_iconWindow->ShowIconWindowActive();
}

void LauncherTriggers::HideIconWindow() { m_main.HideIconWindow(); }

bool LauncherTriggers::IsShownByEdge() const { return m_main.m_iconWindow && m_main.m_iconWindow->IsShownByEdge(); }

bool LauncherTriggers::IsCursorInIconWindow() const
{
    return m_main.m_iconWindow && m_main.m_iconWindow->IsCursorInIconWindow();
}

void LauncherTriggers::OpenMainMenuByEdge()
{
    if (m_main.m_popupMenu) m_main.m_popupMenu->OpenMainMenuByEdge();
}

bool LauncherTriggers::MenuOpen() const { return m_main.MenuOpen; }

void LauncherTriggers::SetMenuOpen(bool open) { m_main.MenuOpen = open; }

bool LauncherTriggers::EdgePopup() const { return m_main.m_popupMenu && m_main.m_popupMenu->EdgePopup(); }

void LauncherTriggers::SetEdgePopup(bool value)
{
    if (m_main.m_popupMenu) m_main.m_popupMenu->SetEdgePopup(value);
}

EdgeTriggerOptions LauncherTriggers::Options() const
{
    const LauncherOptions& o = m_main.m_options;
    EdgeTriggerOptions options;
    options.floatAt = {o.floatLeft, o.floatTop, o.floatRight, o.floatBottom};
    options.popupAt = {o.popupLeft, o.popupTop, o.popupRight, o.popupBottom};
    options.disableKey = o.disableKey;
    options.floatingKey = o.floatRightKey;
    options.sensitivity = o.sensitivity;
    return options;
}

bool LauncherTriggers::EnableCornerEdge() const { return m_main.m_settings.Read(keys::EnableCornerEdge); }
