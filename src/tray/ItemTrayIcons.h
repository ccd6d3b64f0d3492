#pragma once
// One notification icon per Icons item, and the Icons tool bar of the "Launcher" page.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "items/ItemSurfaces.h"
#include "tray/NotifyIcon.h"

class ToolBarPager;

// What the icons need of the main window.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    // Mouse messages of the icons count only once the collections are loaded.
    virtual bool AreCollectionsReady() const = 0;
    virtual void ClearMenuOpen() = 0;
    virtual void HideIconWindow() = 0;
    virtual void OpenMainMenu() = 0;
    virtual bool IsShiftDown() const = 0;
    virtual bool OneClickToActivate() const = 0;
    virtual bool TrayIconsDisabled() const = 0;
};

class TItemTrayIcons : public IconsSurface {
public:
    TItemTrayIcons(HWND owner, TrayHost& host, NotifyIconFunction notify = SystemNotifyIcon());

    // The Icons bar of the "Launcher" page, once the page exists (not owned; may be null).
    void AttachToolBar(ToolBarPager* toolBar) noexcept { m_toolBar = toolBar; }

    void BeginIconsLoad(HIMAGELIST images) override;
    void RemoveIconItems(const std::vector<Item>& items) override;
    // Places a new item: its tool button in front of the others and its icon (unless disabled).
    void AddIconItem(const Item& item) override;
    void EndIconsLoad() override;
    // The item's tool button and icon (when it is shown) take its new image.
    void UpdateIconItem(const Item& item) override;

    // Fills the item's record and, only when enabled, adds or modifies its icon.
    void SetItemTrayIcon(const Item& item, bool enabled, bool add);
    // Deletes the icon when it was added.
    void RemoveItemTrayIcon(std::uint16_t id);
    // Re-adds every icon, last table index first (after the taskbar was re-created).
    void ShowAllItemTrayIcons(const std::vector<Item>& items);
    // Deletes every icon, first table index first; the records keep their icon marks.
    void HideAllItemTrayIcons(const std::vector<Item>& items);

    // An item tray callback message; false when the message is none of ours.
    bool ItemTrayMessage(unsigned message, LPARAM mouseMessage, const std::vector<Item>& items);

    // Called when a load of the Icons collection has placed its items.
    std::function<void()> OnIconsLoaded;

    // For tests: the record an item's icon was last given.
    const NOTIFYICONDATAW* RecordOf(std::uint16_t id) const;

    // The identity the shell keeps an entry's icon settings under, from this program's path and
    // the entry file's name: a renumbering rebuild keeps it, a renamed file gets another.
    GUID IdentityOf(const Item& item) const;

private:
    // Adds the icon under its identity; where the shell refuses that, under window and id alone.
    void AddWithIdentity(const Item& item, NOTIFYICONDATAW& record);

    HWND m_owner;
    TrayHost& m_host;
    NotifyIconFunction m_notify;
    ToolBarPager* m_toolBar = nullptr;
    HIMAGELIST m_images = nullptr;
    std::unordered_map<std::uint16_t, NOTIFYICONDATAW> m_records;
    std::wstring m_programPath;
    // Entry file names (lower case) whose identity the shell refused: their icons go by id.
    std::unordered_set<std::wstring> m_refusedIdentity;
};
