#pragma once
// The main window's side of the hotkeys: the item hotkeys of the three collections, the popup and
// floating-window hotkeys, the hotkey list file and its window.

#include <windows.h>

#include "app/ModalKind.h"
#include "components/OrvoWndProcHook.h"
#include "hotkeys/ItemHotKeys.h"
#include "hotkeys/SurfaceHotKeys.h"

#include <string>

class CollectionLoader;
class IniFile;
class TBPopupMenuRight;
class TIconWindow;
struct LauncherOptions;

// What the hotkeys need of the main window.
class LauncherHotKeysHost {
public:
    virtual ~LauncherHotKeysHost() = default;
    // The surfaces the surface hotkeys open; null while they do not exist.
    virtual TIconWindow* TriggeredIconWindow() const = 0;
    virtual TBPopupMenuRight* TriggeredPopupMenu() const = 0;
    virtual void HideIconWindow() = 0;
    virtual bool IsMenuOpen() const = 0;
    virtual void SetMenuOpen(bool open) = 0;
    // One modal window at a time: asks (beeping when one is open), and swaps the open kind.
    virtual bool CanOpenModal() = 0;
    virtual ModalKindValue ExchangeModalKind(ModalKindValue kind) = 0;
    // The options in effect: the two surface hotkeys and "Hide main tray icon" change here.
    virtual LauncherOptions& EditableOptions() = 0;
    // The main tray icon is placed or removed as the options say.
    virtual void UpdateMainTrayIcon() = 0;
};

// What the main window holds from start-up on, for the life of the hotkeys.
struct LauncherHotKeysSetup {
    HWND mainWindow = nullptr;
    HWND applicationWindow = nullptr;
    CollectionLoader* collections = nullptr;
    const IniFile* settings = nullptr;
    std::wstring hotKeysXmlName;
};

class LauncherHotKeys : private SurfaceHotKeyHost {
public:
    LauncherHotKeys(LauncherHotKeysHost& host, const LauncherHotKeysSetup& setup);
    ~LauncherHotKeys() override;
    LauncherHotKeys(const LauncherHotKeys&) = delete;
    LauncherHotKeys& operator=(const LauncherHotKeys&) = delete;

    // While the options load: the stored popup, then floating-window hotkey.
    void RestoreSurfaceHotKeys();
    // WM_HOTKEY, after the main window's default handling: an item's hotkey launches the item.
    void OnHotKey(WPARAM id);
    // The refresh commands and "&View HotKeys"; false for any other command.
    bool OnCommand(unsigned id);
    // Start-up, after the three loads: "HotKeys.xml" beside the settings file. Throws
    // LauncherError when the file cannot be written.
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

    LauncherHotKeysHost& m_host;
    LauncherHotKeysSetup m_setup;
    // Declared first, so every component has given its callbacks back before it goes.
    TOrvoWndProcHook m_hook;
    HotKeyIdSource m_ids;
    TItemHotKeys m_items;
    TSurfaceHotKeys m_surface;
};
