#pragma once
// Stable command ids of the main window. Menus, hotkeys, buttons and tests invoke commands by
// sending WM_COMMAND with these ids to the main window.

enum LauncherCommand : unsigned {
    kCmdShowMainWindow = 40001,     // ActionShowMainWindow: toggles the main window
    kCmdOK = 40002,                 // ActionOK: hides the main window (the default button)
    kCmdExit = 40003,               // ActionExit: asks, then ends the program
    kCmdShowHelp = 40004,           // ActionShowHelp
    kCmdShowAboutDialog = 40005,    // ActionShowAboutDialog
    kCmdShowFloatingIcon = 40006,   // ActionShowFloatingIcon: the floating window at the cursor, passive
    kCmdRefreshHKey = 40007,        // ActionRefreshHKey "&Refresh HotKey" (shown disabled: no item hotkeys yet)
    kCmdOpenDataFolder = 40008,     // ActionOpenDataFolder
    kCmdStartWithWin = 40009,       // ActionStartWithWin: toggles "Start with Windows"
    kCmdOneClickToActive = 40010,   // ActionOneClickToActive: toggles single-click activation
    kCmdDisableTrayIcon = 40011,    // ActionDisableTrayIcon: toggles "Disable tray icon"
    kCmdPromoteTrayIcons = 40012,   // ActionPromoteTrayIcons: toggles "Show entry icons on the taskbar"
    kCmdIconReloadIcon = 40101,     // ActionIconReloadIcon "Re&load Icon": rebuilds Icons a second later
    kCmdReloadMenu = 40102,         // ActionReloadMenu "Re&load Menu"
    kCmdFloatReloadIcon = 40103,    // ActionFloatReloadIcon "Re&load Icon" of the Floating bar
    kCmdIconRefreshHK = 40201,      // ActionIconRefreshHK "&Refresh Hotkey": the Icons items' hotkeys again
    kCmdMenuRefreshMenuHK = 40202,  // ActionMenuRefreshMenuHK: the Menus items' hotkeys again
    kCmdFloatRefreshHK = 40203,     // ActionFloatRefreshHK: the Floating items' hotkeys again
    kCmdViewHotKeys = 40204,        // ActionViewHotKeys "&View HotKeys": the modal hotkey list
    // The "System Menu" entries, in their order.
    kCmdOpenDesktop = 40301,        // ActionOpenDesktop "Desktop Folder"
    kCmdOpenMyComp = 40302,         // ActionOpenMyComp
    kCmdOpenMyDoc = 40303,          // ActionOpenMyDoc
    kCmdOpenRecycle = 40304,        // ActionOpenRecycle
    kCmdOpenStartMenuAll = 40305,   // ActionOpenStartMenuAll
    kCmdOpenStartUpAll = 40306,     // ActionOpenStartUpAll
    kCmdOpenStartMenu = 40307,      // ActionOpenStartMenu
    kCmdOpenStartUp = 40308,        // ActionOpenStartUp
    kCmdOpenControlPanel = 40309,   // ActionOpenControlPanel
    kCmdOpenPrinter = 40310,        // ActionOpenPrinter
    kCmdOpenDialUp = 40311,         // ActionOpenDialUp: the network connections applet
};

// The window classes and titles other processes (and tests) look for.
inline constexpr const wchar_t* kProgramTitle = L"Orvo Launcher";
inline constexpr const wchar_t* kMainWindowClass = L"TOrvoLauncherClass";
inline constexpr const wchar_t* kMakerWord = L"Orvo Solution";

// Images of the menu strip "MENUIMAGE".
enum MenuImage : int {
    kImageShowMainWindow = 0,
    kImageHideMainWindow = 1,
    kImageOptions = 2,
    kImageAbout = 3,
    kImageHelp = 4,
    kImageExit = 5,
    kImageRefreshHotKey = 6,
    kImageGroupStart = 7,
    kImageShowFloatingIcon = 8,
};
