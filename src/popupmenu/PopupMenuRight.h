#pragma once
// The program's popup menu at the cursor: the program submenu, "Group Start" and "System Menu",
// then the "Menus" tree. Opened from the tray, by the popup hotkey and by the screen edge.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "items/ItemSurfaces.h"
#include "popupmenu/OrvoTBPopupMenuEx.h"

// One entry of the program submenu as it is right now.
struct MenuCommand {
    unsigned id = 0;  // 0 for a separator
    std::wstring caption;
    HIMAGELIST images = nullptr;
    int imageIndex = -1;
    bool enabled = true;
    bool checked = false;
    bool isDefault = false;
    bool operator==(const MenuCommand&) const = default;
};

// What the menu needs of the main window.
class PopupMenuHost {
public:
    virtual ~PopupMenuHost() = default;
    virtual void HideIconWindow() = 0;
    // The same for a menu about to open: the hide may come once the menu is up.
    virtual void HideIconWindowBehindMenu() { HideIconWindow(); }
    virtual bool IsCursorInIconWindow() const = 0;
    virtual bool CanOpenModal() = 0;
    virtual bool IsMenuOpen() const = 0;
    virtual void SetMenuOpen(bool open) = 0;
    virtual void ForceForeground(HWND window) = 0;
    // The program submenu, brought up to date (the menu is opening).
    virtual std::vector<MenuCommand> RefreshProgramMenu() = 0;
    virtual bool NoMenuHint() const = 0;
    // "PopUpDelay" in milliseconds, read at each show.
    virtual int PopUpDelay() const = 0;
    // A program command was chosen from the menu.
    virtual void ExecuteCommand(unsigned id) = 0;
    // An entry of the "Group Start" submenu was chosen.
    virtual void RunStartGroup(const std::wstring& caption) { (void)caption; }
    // The entry that begins "Group Start" while a group runs ("Stop <group>"); asked as the menu
    // opens, and chosen as a program command.
    virtual std::optional<MenuCommand> GroupStopEntry() { return std::nullopt; }
};

class TBPopupMenuRight : public MenusSurface {
public:
    explicit TBPopupMenuRight(PopupMenuHost& host);
    ~TBPopupMenuRight() override;

    // Creates the menu's owner window and the five fixed entries. `images` is the menu image list
    // ("MENUIMAGE"); `programFolderImages`/`programFolderIndex` draw the program folder icon.
    void Create(HIMAGELIST images, HIMAGELIST programFolderImages, int programFolderIndex);
    // The program folder's icon again (after a theme change).
    void SetProgramFolderImage(HIMAGELIST images, int index);
    // The "Group Start" submenu: one entry per caption, in order, or "No Group Start".
    void SetGroupEntries(const std::vector<std::wstring>& captions);
    HMENU GroupMenu() const noexcept { return m_groupMenu; }
    // The "System Menu" submenu's entries (separators have id 0); chosen ones reach the host as
    // commands.
    void SetSystemMenuEntries(const std::vector<MenuCommand>& entries);
    HMENU SystemMenu() const noexcept { return m_systemMenu; }

    // The three ways of showing the menu at the cursor.
    void OpenMainMenu();         // from a tray icon
    void OpenMainMenuByHotkey(); // the popup hotkey
    void OpenMainMenuByEdge();   // the screen edge
    // As the popup menu of a control (a floating window button): at the point, unless it is up.
    void PopupAt(POINT at);
    bool EdgePopup() const noexcept { return m_edgePopup; }
    // The edge triggers take a menu opened over the floating window as one opened by the edge.
    void SetEdgePopup(bool value) noexcept { m_edgePopup = value; }
    // The quiet period after a tray-opened menu closed: hovering the tray icon shows nothing.
    bool QuietPeriodRunning() const noexcept { return m_quietPeriod; }

    HWND OwnerWindow() const noexcept { return m_menu.Handle(); }
    HMENU Root() const noexcept { return m_menu.Root(); }
    std::size_t MenusEntryCount() const noexcept { return m_files.size(); }

    // MenusSurface: the "Menus" entries after the fixed five.
    void RemoveMenuItems(const std::vector<Item>& items) override;
    void BeginMenusLoad(HIMAGELIST menuImages, HIMAGELIST treeImages, const std::wstring& menusFolder,
                        std::int32_t rootImageIndex) override;
    void BeginMenuFolder(const MenuFolder& folder) override;
    void EndMenuFolder() override;
    void AddMenuFile(const Item& item, std::int32_t treeImageIndex, bool placed) override;
    void EndMenusLoad() override;
    void UpdateMenuFile(const Item& item, std::int32_t treeImageIndex) override;

private:
    unsigned Show(POINT at);
    void Dispatch(unsigned chosen);
    void FillProgramMenu();
    void FillMenu(HMENU menu, const std::vector<MenuCommand>& commands);
    void MenuEntryClick(std::size_t entry);
    void GroupEntryClick(std::size_t entry);
    void FillGroupMenu();
    void StartQuietPeriod();

    PopupMenuHost& m_host;
    TOrvoTBPopupMenuEx m_menu;
    HMENU m_programMenu = nullptr;
    HMENU m_groupMenu = nullptr;
    HMENU m_systemMenu = nullptr;
    std::vector<MenuCommand> m_systemEntries;  // what the system submenu holds
    HIMAGELIST m_images = nullptr;
    HIMAGELIST m_menuImages = nullptr;  // of the "Menus" entries, by the image mode
    std::vector<HMENU> m_folderStack;
    std::vector<std::wstring> m_files;  // the file of each "Menus" entry, by command offset
    std::unordered_map<std::uint16_t, unsigned> m_commandOfItem;  // item Id -> its entry's command
    std::vector<std::wstring> m_groupCaptions;  // the group of each "Group Start" entry
    std::vector<std::wstring> m_groupEntries;   // the captions the submenu was given
    std::optional<MenuCommand> m_groupStop;     // its first entry while a group runs
    bool m_edgePopup = false;
    bool m_quietPeriod = false;
};

// Command ids of the "Group Start" entries: one per group.
constexpr unsigned kFirstGroupEntryCommand = 41000;
constexpr unsigned kLastGroupEntryCommand = 49999;
// Command ids of the "Menus" entries: one per entry from here on, up to the top of the range.
constexpr unsigned kFirstMenusEntryCommand = 50000;
constexpr unsigned kLastMenusEntryCommand = 65535;
