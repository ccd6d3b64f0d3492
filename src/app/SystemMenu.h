#pragma once
// The "System Menu" submenu of the popup menu: the shell's special folders, opened plainly or in
// the explorer view as "Clicking system menu:" says, and the network connections applet. It also
// holds the program folder's icon, which the menu's own entries show in the same image mode.

#include <windows.h>
#include <commctrl.h>
#include <shtypes.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/OsVersion.h"
#include "popupmenu/PopupMenuRight.h"

// What the system menu asks of the system; tests replace members. Default() asks the real one.
struct SystemMenuSystem {
    // Whether a special folder (CSIDL) exists as a folder on this system.
    std::function<bool(int csidl)> FolderExists;
    OsVersion Os;
    // Hands a folder's item ID list to the shell with a verb ("open" or "explore").
    std::function<void(PCIDLIST_ABSOLUTE folder, const wchar_t* verb)> OpenFolder;
    // Starts a program with a command line (its first word the quoted program).
    std::function<void(const std::wstring& program, std::wstring commandLine)> RunProgram;

    static SystemMenuSystem Default();
};

class TSystemMenu {
public:
    // `openVerb` answers whether the "Open" button is selected (else "Explore"); it is asked at
    // every click. `owner` owns the shell's error boxes.
    TSystemMenu(HWND owner, std::function<bool()> openVerb, SystemMenuSystem system = SystemMenuSystem::Default());
    TSystemMenu(const TSystemMenu&) = delete;
    TSystemMenu& operator=(const TSystemMenu&) = delete;

    // Gives every entry its image and renews the program folder's: straight from the shell's
    // system image list when `sharesSystemImages`, else as copies in the menu's own list, which
    // is emptied first. Called when the data folder is applied and after a theme change.
    void SetSystemMenuImages(bool sharesSystemImages);
    // The entries as the menu shows them now, in order, with their separators. The two
    // "All Users" entries are left out where the system has no such folders.
    std::vector<MenuCommand> Entries() const;
    // The program folder's icon, in the list its entries draw from.
    HIMAGELIST ProgramFolderImages() const noexcept { return m_programFolderImages; }
    int ProgramFolderIndex() const noexcept { return m_programFolderIndex; }

    // A command of the submenu: opens its folder or the applet. False for any other command.
    bool OnCommand(unsigned id);

    // Opens one special folder with the verb ("open" or "explore"); nothing when the system has
    // no such folder.
    void OpenSpecialFolder(int csidl, const wchar_t* verb) const;
    // The network connections control panel applet.
    void OpenNetworkConnections() const;

private:
    struct Image {
        HIMAGELIST images = nullptr;
        int index = -1;
    };

    HWND m_owner;
    std::function<bool()> m_openVerb;
    SystemMenuSystem m_system;
    UniqueImageList m_ownImages;
    std::vector<Image> m_images;  // by entry of the table
    HIMAGELIST m_programFolderImages = nullptr;
    int m_programFolderIndex = -1;
};
