#include "app/LauncherHotKeys.h"

#include "app/Commands.h"
#include "app/ModalKind.h"
#include "app/Options.h"
#include "app/Settings.h"
#include "app/SettingsKeys.h"
#include "base/LauncherError.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "hotkeys/HotKeysXml.h"
#include "floating/IconWindowUnit.h"
#include "hotkeys/UnitHotKeysList.h"
#include "items/CollectionLoader.h"
#include "items/ShellOperations.h"
#include "popupmenu/PopupMenuRight.h"

LauncherHotKeys::LauncherHotKeys(LauncherHotKeysHost& host, const LauncherHotKeysSetup& setup)
    : m_host(host),
      m_setup(setup),
      m_items(setup.mainWindow, *setup.collections),
      m_surface(setup.mainWindow, m_hook, m_ids, static_cast<SurfaceHotKeyHost&>(*this))
{
}

LauncherHotKeys::~LauncherHotKeys() = default;

void LauncherHotKeys::RestoreSurfaceHotKeys()
{
    const LauncherOptions& options = m_host.EditableOptions();
    m_surface.Restore(SurfaceHotKey::Popup, options.popupHotkey.modifiers, options.popupHotkey.virtualKey);
    m_surface.Restore(SurfaceHotKey::IconWindow, options.iconWindowHotkey.modifiers, options.iconWindowHotkey.virtualKey);
}

void LauncherHotKeys::OnHotKey(WPARAM id)
{
    const Item* item = m_items.ItemOfHotKey(id);
    if (!item) return;
    m_host.HideIconWindow();
    const std::wstring file = item->FileName;
    if (FileExists(file)) LaunchItemFile(file);
}

bool LauncherHotKeys::OnCommand(unsigned id)
{
    CollectionLoader& collections = *m_setup.collections;
    switch (id) {
    case kCmdRefreshHKey: ActionRefreshHKeyExecute(); return true;
    case kCmdIconRefreshHK: m_items.RefreshHotKeys(collections.Icons()); return true;
    case kCmdMenuRefreshMenuHK: m_items.RefreshHotKeys(collections.Menus()); return true;
    case kCmdFloatRefreshHK: m_items.RefreshHotKeys(collections.Floating()); return true;
    case kCmdViewHotKeys: ActionViewHotKeysExecute(); return true;
    default: return false;
    }
}

void LauncherHotKeys::ActionRefreshHKeyExecute()
{
    CollectionLoader& collections = *m_setup.collections;
    m_items.RefreshHotKeys(collections.Menus());
    m_items.RefreshHotKeys(collections.Icons());
    m_items.RefreshHotKeys(collections.Floating());
    // A surface hotkey another program held at start-up may be free by now.
    m_surface.RegisterAgain();
    m_host.SetMenuOpen(false);
}

void LauncherHotKeys::ActionViewHotKeysExecute()
{
    if (!m_host.CanOpenModal()) return;
    const ModalKindValue saved = m_host.ExchangeModalKind(ModalKindValue::HotkeyList);
    try {
        TFormHotKeysList list(m_setup.hotKeysXmlName);
        list.ShowModal(m_setup.mainWindow);
    } catch (...) {
        // The window could not be made: the error box says so, and the next opening may work.
        m_host.ExchangeModalKind(saved);
        m_host.SetMenuOpen(false);
        throw;
    }
    m_host.ExchangeModalKind(saved);
    m_host.SetMenuOpen(false);
    ::SetWindowTextW(m_setup.applicationWindow, WindowText(m_setup.mainWindow).c_str());
}

void LauncherHotKeys::WriteHotKeysFile()
{
    const CollectionLoader& collections = *m_setup.collections;
    // A file that cannot be written keeps what it had; start-up says so and goes on.
    if (!::WriteHotKeysFile(m_setup.hotKeysXmlName, collections.Icons().HotKeyTexts(),
                            collections.Menus().HotKeyTexts(), collections.Floating().HotKeyTexts()))
        throw LauncherError(FormatMessageText(L"Cannot write %s", m_setup.hotKeysXmlName));
}

void LauncherHotKeys::OpenPopupMenuByHotkey()
{
    m_host.HideIconWindow();
    if (TBPopupMenuRight* popup = m_host.TriggeredPopupMenu()) popup->OpenMainMenuByHotkey();
    TrimWorkingSet();
}

void LauncherHotKeys::OpenIconWindowByHotkey()
{
    // As the key + right click does: a menu the edge opened gives up the mouse first.
    TBPopupMenuRight* popup = m_host.TriggeredPopupMenu();
    if (popup && popup->EdgePopup() && m_host.IsMenuOpen()) {
        ::ReleaseCapture();
        popup->SetEdgePopup(false);
        m_host.SetMenuOpen(false);
    }
    if (!m_host.IsMenuOpen()) {
        m_host.HideIconWindow();
        if (TIconWindow* iconWindow = m_host.TriggeredIconWindow()) iconWindow->ShowIconWindowActive();
    }
    TrimWorkingSet();
}

void LauncherHotKeys::StoreSurfaceHotKey(SurfaceHotKey which, int modifiers, int virtualKey)
{
    const IniFile& settings = *m_setup.settings;
    LauncherOptions& options = m_host.EditableOptions();
    HotkeyPair& pair = which == SurfaceHotKey::Popup ? options.popupHotkey : options.iconWindowHotkey;
    pair = {modifiers, virtualKey};
    settings.Write(which == SurfaceHotKey::Popup ? keys::HKPopupMod : keys::HKIconWinMod, modifiers);
    settings.Write(which == SurfaceHotKey::Popup ? keys::HKPopupVir : keys::HKIconWinVir, virtualKey);
}

bool LauncherHotKeys::HideTrayIconChecked() const { return m_host.EditableOptions().hideTrayIcon; }

void LauncherHotKeys::UncheckHideTrayIcon() { m_host.EditableOptions().hideTrayIcon = false; }

void LauncherHotKeys::StoreHideTrayIcon(bool hidden) { m_setup.settings->Write(keys::HideTrayIcon, hidden); }

void LauncherHotKeys::UpdateMainTrayIcon() { m_host.UpdateMainTrayIcon(); }
