#pragma once
// The options of the program as loaded from the settings file at start-up.

#include <string>

#include "app/Settings.h"

struct HotkeyPair {
    int modifiers = 0;  // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4
    int virtualKey = 0;
    bool IsSet() const { return modifiers != 0 && virtualKey != 0; }
};

struct LauncherOptions {
    int showTime = 3;
    bool autoStart = false;
    bool oneClickToActivate = false;
    bool noMenuHint = false;
    bool exitDialog = false;
    bool openSystemMenu = true;  // the Open radio button; off means Explore
    bool hideTrayIcon = false;
    bool disableTrayIcon = false;
    bool promoteTrayIcons = false;
    int maxIconInRow = 10;
    bool useCustomMainIcon = false;
    HotkeyPair popupHotkey;
    HotkeyPair iconWindowHotkey;
    bool floatLeft = false, floatTop = false, floatRight = true, floatBottom = false;
    bool popupLeft = false, popupTop = true, popupRight = false, popupBottom = false;
    int disableKey = 3;
    int floatRightKey = 1;
    int sensitivity = 5;
    // The folder the "DataFolder" setting names, and whether the file holds that key at all. The
    // folder in use differs from it only in a session that began while it was missing.
    std::wstring dataFolderChoice;
    bool dataFolderStored = false;
};

// Reads every option in the fixed loading order. `dataFolder` comes in as the settings file's
// folder and goes out as the data folder of this session, with its trailing backslash: the folder
// the "DataFolder" setting names when it exists, else the settings file's folder. The setting is
// read, never changed.
LauncherOptions LoadOptions(const IniFile& settings, std::wstring& dataFolder);

// The last step of loading: the two key lists (indexes clamped to 0-3), the edges in the order
// left, top, right, bottom (a float key that is set leaves that edge's popup key unread and off),
// and the delay position (kept within 1-11).
void LoadEdgeOptions(const IniFile& settings, LauncherOptions& options);
