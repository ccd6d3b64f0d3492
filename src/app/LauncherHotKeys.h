#pragma once
// The main window's side of the hotkeys: the item hotkeys of the three collections, the popup and
// floating-window hotkeys, the hotkey list file and its window.

#include <windows.h>

#include "components/OrvoWndProcHook.h"
#include "hotkeys/ItemHotKeys.h"
#include "hotkeys/SurfaceHotKeys.h"

class TOrvoLauncherClass;

class LauncherHotKeys : private SurfaceHotKeyHost {
public:
    explicit LauncherHotKeys(TOrvoLauncherClass& main);
    ~LauncherHotKeys() override;
    LauncherHotKeys(const LauncherHotKeys&) = delete;
    LauncherHotKeys& operator=(const LauncherHotKeys&) = delete;

    // While the options load: the stored popup, then floating-window hotkey.
    void RestoreSurfaceHotKeys();
    // WM_HOTKEY, after the main window's default handling: an item's hotkey launches the item.
    void OnHotKey(WPARAM id);
    // The refresh commands and "&View HotKeys"; false for any other command.
    bool OnCommand(unsigned id);
    // Start-up, after the three loads: "HotKeys.xml" beside the settings file.
    void WriteHotKeysFile();

    ItemHotKeyRegistrar& Registrar() noexcept { return m_items; }
    // What the options page binds its two hotkey controls and "Hide main tray icon" to.
    TSurfaceHotKeys& SurfaceHotKeys() noexcept { return m_surface; }

    void ActionRefreshHKeyExecute();
    void ActionViewHotKeysExecute();

private:
    // SurfaceHotKeyHost
    void OpenPopupMenuByHotkey() override;
    void OpenIconWindowByHotkey() override;
    void StoreSurfaceHotKey(SurfaceHotKey which, int modifiers, int virtualKey) override;
    bool HideTrayIconChecked() const override;
    void UncheckHideTrayIcon() override;
    void StoreHideTrayIcon(bool hidden) override;
    void UpdateMainTrayIcon() override;

    TOrvoLauncherClass& m_main;
    // Declared first, so every component has given its callbacks back before it goes.
    TOrvoWndProcHook m_hook;
    HotKeyIdSource m_ids;
    TItemHotKeys m_items;
    TSurfaceHotKeys m_surface;
};
