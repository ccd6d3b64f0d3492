#pragma once
// The rules of the notification icons that need no operating system: callback message numbers,
// tips, and what each mouse message on an icon asks for.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr unsigned kWmUser = 0x0400;
// The main tray icon calls back with WM_USER; an item's icon with WM_USER + 1 + its Id, so the
// Icons items (Ids from 100) call back from 1125 on.
constexpr unsigned kMainTrayMessage = kWmUser;
constexpr unsigned kMainTrayIconId = 1;
constexpr unsigned kFirstItemTrayMessage = kWmUser + 1 + 100;

constexpr unsigned ItemTrayCallbackMessage(std::uint16_t id) { return kWmUser + 1 + id; }

// The Icons table index a window message stands for, when it is an item tray message.
constexpr std::optional<std::size_t> ItemTrayIndexFromMessage(unsigned message, std::size_t iconCount)
{
    if (message < kFirstItemTrayMessage || message - kFirstItemTrayMessage >= iconCount) return std::nullopt;
    return message - kFirstItemTrayMessage;
}

// The tip field holds 128 characters with its terminator.
std::wstring TrayTip(const std::wstring& caption);

// What a mouse message on an item's icon asks for.
struct ItemTrayAction {
    bool clearMenuOpen = false;
    bool hideIconWindow = false;
    bool launch = false;
    bool openMenu = false;
};
ItemTrayAction ItemTrayMouseAction(unsigned mouseMessage, bool shiftDown, bool oneClickToActivate);

// What a mouse message on the main icon asks for.
struct MainTrayAction {
    bool hideIconWindow = false;
    bool showIconWindowActive = false;
    bool toggleMainWindow = false;
    bool openMenu = false;
};
// `mainLeftPopup` (the buttons are swapped) is asked only for a click.
MainTrayAction MainTrayMouseAction(unsigned mouseMessage, bool shiftDown, bool quietPeriodRunning, bool menuOpen,
                                   const std::function<bool()>& mainLeftPopup);

// A folder Windows may write as its id in a per-icon settings key's "ExecutablePath"
// ("{6D809377-...}\\Tools\\Launcher.exe" for a program under Program Files).
struct KnownFolderPath {
    std::wstring id;   // with braces
    std::wstring path; // without a trailing backslash
};
// Whether a key's "ExecutablePath" names the program at `programPath`; the file system's case
// rule is the caller's: both paths, the ids and the folders come folded to lower case.
bool ExecutablePathNamesProgram(std::wstring_view executablePath, std::wstring_view programPath,
                                const std::vector<KnownFolderPath>& folders);
