#include "tray/TrayRules.h"

namespace {
constexpr unsigned kMouseMove = 0x0200, kLButtonDown = 0x0201, kLButtonDblClk = 0x0203, kRButtonDown = 0x0204;
constexpr std::size_t kTipLength = 127;
} // namespace

std::wstring TrayTip(const std::wstring& caption)
{
    return caption.size() > kTipLength ? caption.substr(0, kTipLength) : caption;
}

ItemTrayAction ItemTrayMouseAction(unsigned mouseMessage, bool shiftDown, bool oneClickToActivate)
{
    ItemTrayAction action;
    switch (mouseMessage) {
    case kMouseMove:
        action.hideIconWindow = shiftDown;
        break;
    case kLButtonDown:
    case kLButtonDblClk:
        action.clearMenuOpen = true;
        action.hideIconWindow = true;
        // With single-click activation the first press launches, so a double click launches once.
        action.launch = (mouseMessage == kLButtonDown) == oneClickToActivate;
        break;
    case kRButtonDown:
        action.openMenu = true;
        break;
    default:
        break;
    }
    return action;
}

MainTrayAction MainTrayMouseAction(unsigned mouseMessage, bool shiftDown, bool quietPeriodRunning, bool menuOpen,
                                   const std::function<bool()>& mainLeftPopup)
{
    MainTrayAction action;
    const bool left = mouseMessage == kLButtonDown || mouseMessage == kLButtonDblClk;
    switch (mouseMessage) {
    case kMouseMove:
        if (shiftDown) action.hideIconWindow = true;
        else if (!quietPeriodRunning && !menuOpen) action.showIconWindowActive = true;
        break;
    case kLButtonDown:
    case kLButtonDblClk:
    case kRButtonDown:
        // Left toggles the main window and right opens the menu, unless the buttons are swapped.
        if (left != mainLeftPopup()) action.toggleMainWindow = true;
        else action.openMenu = true;
        break;
    default:
        break;
    }
    return action;
}

bool ExecutablePathNamesProgram(std::wstring_view executablePath, std::wstring_view programPath,
                                const std::vector<KnownFolderPath>& folders)
{
    if (executablePath.empty()) return false;
    if (executablePath == programPath) return true;
    for (const KnownFolderPath& folder : folders) {
        if (folder.id.empty() || folder.path.empty() || !executablePath.starts_with(folder.id)) continue;
        const std::wstring_view rest = executablePath.substr(folder.id.size());
        if (!rest.starts_with(L'\\')) continue;
        if (programPath.size() == folder.path.size() + rest.size() && programPath.starts_with(folder.path) &&
            programPath.substr(folder.path.size()) == rest)
            return true;
    }
    return false;
}
