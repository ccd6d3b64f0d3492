#include "app/LauncherHotKeys.h"

#include "app/Commands.h"
#include "app/LauncherMainUnit.h"
#include "app/SettingsKeys.h"
#include "base/LauncherError.h"
#include "base/WinUtil.h"
#include "hotkeys/HotKeysXml.h"
#include "hotkeys/UnitHotKeysList.h"
#include "items/ShellOperations.h"

LauncherHotKeys::LauncherHotKeys(TOrvoLauncherClass& main)
    : m_main(main),
      m_items(main.Handle(), main.m_collections),
      m_surface(main.Handle(), m_hook, m_ids, static_cast<SurfaceHotKeyHost&>(*this))
{
}

LauncherHotKeys::~LauncherHotKeys() = default;

void LauncherHotKeys::RestoreSurfaceHotKeys()
{
    const LauncherOptions& options = m_main.m_options;
    m_surface.Restore(SurfaceHotKey::Popup, options.popupHotkey.modifiers, options.popupHotkey.virtualKey);
    m_surface.Restore(SurfaceHotKey::IconWindow, options.iconWindowHotkey.modifiers, options.iconWindowHotkey.virtualKey);
}

void LauncherHotKeys::OnHotKey(WPARAM id)
{
    const Item* item = m_items.ItemOfHotKey(id);
    if (!item) return;
    m_main.HideIconWindow();
    const std::wstring file = item->FileName;
    if (FileExists(file)) LaunchItemFile(file);
}

bool LauncherHotKeys::OnCommand(unsigned id)
{
    CollectionLoader& collections = m_main.m_collections;
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
    CollectionLoader& collections = m_main.m_collections;
    m_items.RefreshHotKeys(collections.Menus());
    m_items.RefreshHotKeys(collections.Icons());
    m_items.RefreshHotKeys(collections.Floating());
    m_main.MenuOpen = false;
}

void LauncherHotKeys::ActionViewHotKeysExecute()
{
    if (!m_main.CanOpenModal()) return;
    const ModalKindValue saved = m_main.ModalKind;
    m_main.ModalKind = ModalKindValue::HotkeyList;
    try {
        TFormHotKeysList list(m_main.m_hotKeysXmlName);
        list.ShowModal(m_main.Handle());
    } catch (const LauncherError&) {
        // The window could not be made: nothing was shown.
    }
    m_main.ModalKind = saved;
    m_main.MenuOpen = false;
    ::SetWindowTextW(m_main.m_application.Handle(), WindowText(m_main.Handle()).c_str());
}

void LauncherHotKeys::WriteHotKeysFile()
{
    const CollectionLoader& collections = m_main.m_collections;
    // A folder that cannot be written keeps the file it has; the program runs on without it.
    ::WriteHotKeysFile(m_main.m_hotKeysXmlName, collections.Icons().HotKeyTexts(), collections.Menus().HotKeyTexts(),
                       collections.Floating().HotKeyTexts());
}

void LauncherHotKeys::OpenPopupMenuByHotkey()
{
    m_main.HideIconWindow();
    if (m_main.m_popupMenu) m_main.m_popupMenu->OpenMainMenuByHotkey();
    TrimWorkingSet();
}

void LauncherHotKeys::OpenIconWindowByHotkey()
{
    // As the key + right click does: a menu the edge opened gives up the mouse first.
    TBPopupMenuRight* popup = m_main.m_popupMenu.get();
    if (popup && popup->EdgePopup() && m_main.MenuOpen) {
        ::ReleaseCapture();
        popup->SetEdgePopup(false);
        m_main.MenuOpen = false;
    }
    if (!m_main.MenuOpen) {
        m_main.HideIconWindow();
        if (m_main.m_iconWindow) m_main.m_iconWindow->ShowIconWindowActive();
    }
    TrimWorkingSet();
}

void LauncherHotKeys::StoreSurfaceHotKey(SurfaceHotKey which, int modifiers, int virtualKey)
{
    const IniFile& settings = m_main.m_settings;
    HotkeyPair& pair = which == SurfaceHotKey::Popup ? m_main.m_options.popupHotkey : m_main.m_options.iconWindowHotkey;
    pair = {modifiers, virtualKey};
    settings.Write(which == SurfaceHotKey::Popup ? keys::HKPopupMod : keys::HKIconWinMod, modifiers);
    settings.Write(which == SurfaceHotKey::Popup ? keys::HKPopupVir : keys::HKIconWinVir, virtualKey);
}

bool LauncherHotKeys::HideTrayIconChecked() const { return m_main.m_options.hideTrayIcon; }

void LauncherHotKeys::UncheckHideTrayIcon() { m_main.m_options.hideTrayIcon = false; }

void LauncherHotKeys::StoreHideTrayIcon(bool hidden) { m_main.m_settings.Write(keys::HideTrayIcon, hidden); }

void LauncherHotKeys::UpdateMainTrayIcon() { m_main.ShowMainTrayIcon(false); }
