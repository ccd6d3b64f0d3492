#pragma once
// The main window: the hub that owns the subsystems and the shared flags, routes messages and
// commands, and delegates.

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/AboutBox.h"
#include "app/ApplicationWindow.h"
#include "app/Help.h"
#include "app/LauncherGroups.h"
#include "app/LauncherHotKeys.h"
#include "app/LauncherPage.h"
#include "app/LauncherTriggers.h"
#include "app/MainTrayIcon.h"
#include "app/ModalKind.h"
#include "app/Options.h"
#include "app/OptionsPage.h"
#include "app/Settings.h"
#include "app/SystemMenu.h"
#include "base/Handles.h"
#include "base/Window.h"
#include "components/DialogFocus.h"
#include "floating/FloatingSurfaceLink.h"
#include "floating/IconWindowUnit.h"
#include "items/CollectionLoader.h"
#include "items/CollectionReload.h"
#include "items/MenusSurfaceFanOut.h"
#include "popupmenu/PopupMenuRight.h"
#include "tray/ItemTrayIcons.h"


class TOrvoLauncherClass : public Window,
                           private TrayHost,
                           private PopupMenuHost,
                           private LauncherTriggersHost,
                           private LauncherHotKeysHost,
                           private LauncherGroupsHost,
                           private LauncherPageHost,
                           private OptionsPageHost {
public:
    TOrvoLauncherClass(ApplicationWindow& application, std::vector<std::wstring> arguments);
    ~TOrvoLauncherClass() override;

    // Creates the window; FormCreate runs inside.
    void Create();
    // Start-up steps after the main window: the floating window, then the three collections.
    void CreateIconWindow();
    void LoadCollections();
    // Start-up step after the loads: the hotkey list file.
    void WriteHotKeysFile();
    void RewriteHotKeysFile();
    // The program ends: the floating window is freed first.
    void FreeIconWindow();
    // Start-up step after the loads: the three folders are watched from now on.
    void StartWatchingFolders();
    // The custom or the built-in main tray icon, as the options say.
    void ApplyMainIcon() override;
    // Start-up is done: the start group the command line names, else the one that runs at start.
    void RunStartUpGroup(const std::optional<std::wstring>& group);

    // Shared flags read by the surfaces.
    bool MenuOpen = false;
    bool CollectionsReady = false;
    ModalKindValue ModalKind = ModalKindValue::None;

    const IniFile& Settings() const noexcept { return m_settings; }
    const std::wstring& DataFolder() const noexcept override { return m_dataFolder; }

    // Every command that opens a modal window asks first.
    bool CanOpenModal() override;
    // Hides the application window and the floating window; called before almost every command.
    void HideIconWindow() override;
    void HideIconWindowBehindMenu() override;

    void ActionShowMainWindowExecute();
    void ActionOKExecute();
    void ActionExitExecute();
    void ActionShowHelpExecute();
    void ActionShowAboutDialogExecute();
    void ActionShowFloatingIconExecute();
    void ActionOpenDataFolderExecute();
    void ActionStartWithWinExecute();
    void ActionOneClickToActiveExecute();
    void ActionDisableTrayIconExecute();
    void ActionPromoteTrayIconsExecute();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // TrayHost
    bool AreCollectionsReady() const override { return CollectionsReady; }
    void ClearMenuOpen() override { MenuOpen = false; }
    void OpenMainMenu() override;
    bool IsShiftDown() const override;
    bool OneClickToActivate() const override { return m_options.oneClickToActivate; }
    bool TrayIconsDisabled() const override { return m_options.disableTrayIcon; }
    // PopupMenuHost
    bool IsCursorInIconWindow() const override;
    bool IsMenuOpen() const override { return MenuOpen; }
    void SetMenuOpen(bool open) override { MenuOpen = open; }
    void ForceForeground(HWND window) override;
    std::vector<MenuCommand> RefreshProgramMenu() override;
    bool NoMenuHint() const override;
    int PopUpDelay() const override;
    void ExecuteCommand(unsigned id) override { OnCommand(id); }
    void RunStartGroup(const std::wstring& caption) override;
    std::optional<MenuCommand> GroupStopEntry() override;
    // LauncherTriggersHost (with HideIconWindow, IsMenuOpen and SetMenuOpen above)
    TIconWindow* TriggeredIconWindow() const override { return m_iconWindow.get(); }
    TBPopupMenuRight* TriggeredPopupMenu() const override { return m_popupMenu.get(); }
    const LauncherOptions& CurrentOptions() const override { return m_options; }
    bool EnableCornerEdge() const override;
    // LauncherHotKeysHost (with the surfaces, HideIconWindow, CanOpenModal and the menu flag above)
    ModalKindValue ExchangeModalKind(ModalKindValue kind) override { return std::exchange(ModalKind, kind); }
    LauncherOptions& EditableOptions() override { return m_options; }
    void UpdateMainTrayIcon() override { ShowMainTrayIcon(false); }
    // LauncherGroupsHost (with the menu, HideIconWindow, CanOpenModal and the modal kind above)
    void SetModalWindow(HWND window) override { m_modalWindow = window; }
    void ShowHelpTopic() override { ActionShowHelpExecute(); }
    void ShowContextHelpPopup(DWORD contextId, POINT at) override;
    void SetMainTrayTip(const std::wstring& tip) override;
    // OptionsPageHost (with the options, the menu flag, the floating window, the commands, the
    // main icon and the data folder above)
    MainTrayIcon* MainIcon() override { return m_mainIcon.get(); }
    bool HasIconsItems() const override { return m_collections.Icons().Count() > 0; }
    TSurfaceHotKeys* SurfaceHotKeys() override { return m_hotKeys ? &m_hotKeys->SurfaceHotKeys() : nullptr; }
    bool ChangeDataFolder(const std::wstring& folder) override;
    // LauncherPageHost
    std::wstring PageDataFolder() const override { return m_dataFolder; }
    std::wstring IconsItemFile(std::uint16_t id) const override { return FileOfItem(m_collections.Icons(), id); }
    std::wstring FloatingItemFile(std::uint16_t id) const override { return FileOfItem(m_collections.Floating(), id); }
    void ExecutePageCommand(unsigned id) override { OnCommand(id); }
    static std::wstring FileOfItem(const Collection& collection, std::uint16_t id)
    {
        const Item* item = collection.ItemById(id);
        return item ? item->FileName : std::wstring();
    }

    void FormCreate();
    void FormDestroy();
    void CreateControls();
    void CreateImageLists();
    // The images of the system menu and of the entries showing the program folder's icon.
    void RenewMenuImages();
    // The data folder in use from now on: the page's label, the setting, the image caches.
    void ApplyDataFolder();
    // The Options page and the system menu follow options the popup menu changed.
    void ShowOptionsPage();
    void LayOutControls();
    void ShowPage(int index);
    void MinimizeApplication();
    void HideApplicationWindow();
    bool IsBottomButton(HWND control) const;
    void ShowMainTrayIcon(bool forceAdd);
    bool OnCommand(unsigned id);
    void OnHelp(const HELPINFO& info);
    // The help page of the tab shown, or none (the help's first page) while the window is hidden.
    std::wstring CurrentHelpPage() const;
    void OnQueryEndSession();
    void OnMainTrayMessage(LPARAM mouseMessage);
    void OnTaskbarCreated();
    void OnColorThemeChanged();
    // "Show entry icons on the taskbar": a pass over the shell's per-icon settings a moment after
    // each load, and what the user had put back when the option goes off.
    static constexpr UINT_PTR kTimerPromoteTrayIcons = 1;
    void SchedulePromoteTrayIcons();
    void PromoteTrayIcons();
    void RestoreTrayIconSettings();
    void LaunchFloatingItem(std::uint16_t id);
    RECT TabDisplayRect() const;
    std::array<HWND, 3> PageHandles() const;
    int Scale(int pixels) const;

    ApplicationWindow& m_application;
    std::vector<std::wstring> m_arguments;
    IniFile m_settings;
    std::wstring m_dataFolder;
    std::wstring m_hotKeysXmlName;
    LauncherOptions m_options;
    std::unique_ptr<HelpSystem> m_help;

    RECT m_desktopRect{};
    RECT m_workArea{};
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    UINT m_taskbarCreatedMessage = 0;
    UINT m_showYourselfMessage = 0;
    unsigned m_dpi = 96;

    // The menu images ("MENUIMAGE"); the system menu keeps the program folder's icon.
    UniqueImageList m_menuImages;
    std::unique_ptr<TSystemMenu> m_systemMenu;

    UniqueHfont m_font;
    HWND m_pageControl = nullptr;
    LauncherPage m_launcherPage;
    std::unique_ptr<LauncherGroups> m_groups;  // the "Group Start" page and the runner
    std::unique_ptr<TOptionsPage> m_optionsPage;
    HWND m_okButton = nullptr;
    HWND m_helpButton = nullptr;
    HWND m_aboutButton = nullptr;
    std::unique_ptr<DialogFocus> m_focus;  // the focus and the default frame across activations
    HWND m_modalWindow = nullptr;  // the open About box (ModalKind 1)
    std::unique_ptr<TAboutBox> m_aboutBox;  // made at its first showing; its update check outlives the window

    CollectionLoader m_collections;
    std::unique_ptr<TCollectionReload> m_reload;  // after the loader it rebuilds
    std::unique_ptr<MainTrayIcon> m_mainIcon;
    std::unique_ptr<TItemTrayIcons> m_itemTray;
    std::unique_ptr<TBPopupMenuRight> m_popupMenu;
    std::unique_ptr<MenusSurfaceFanOut> m_menusSurfaces;  // the popup menu and the page's tree
    std::unique_ptr<TIconWindow> m_iconWindow;
    std::unique_ptr<FloatingSurfaceLink> m_floatingLink;
    std::unique_ptr<LauncherTriggers> m_triggers;
    std::unique_ptr<LauncherHotKeys> m_hotKeys;
    // The start groups' wiring reads the settings, the menu images and the modal bookkeeping.
    bool m_destroyed = false;
    bool m_formCreated = false;  // start-up ran to its end (not cut short by a missing data folder)
    bool m_hotKeysFileFails = false;  // the last write of HotKeys.xml failed (and was reported)
};
