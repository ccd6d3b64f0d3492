#pragma once
// A popup menu with images, hints and submenus on native menus, shown modally at a screen point.
// Its own hidden window owns the menu while it is up (draws the images, shows the hints) and
// raises OnCloseUp once the menu has closed, whether an entry was chosen or not.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <unordered_set>

#include "base/Handles.h"
#include "base/Window.h"

// One entry's look: where its image comes from and what its hint says.
struct MenuEntryLook {
    HIMAGELIST images = nullptr;
    int imageIndex = -1;
    std::wstring hint;
};

class TOrvoTBPopupMenuEx : public Window {
public:
    TOrvoTBPopupMenuEx();
    ~TOrvoTBPopupMenuEx() override;

    void Create();
    HMENU Root() const noexcept { return m_root.get(); }

    // Appends an entry, a submenu or a separator to `parent`. False when the entry could not be
    // made (it is then left out).
    bool AppendEntry(HMENU parent, unsigned id, const std::wstring& caption, const MenuEntryLook& look,
                     bool enabled = true, bool checked = false);
    HMENU AppendSubmenu(HMENU parent, const std::wstring& caption, const MenuEntryLook& look);
    void AppendSeparator(HMENU parent);
    // Removes the entries of `parent` from `position` on, with their submenus.
    void RemoveEntriesFrom(HMENU parent, int position);
    void SetDefaultEntry(HMENU parent, int position);
    // Gives the entry at `position` of `parent` another image (its hint stays).
    void SetEntryImage(HMENU parent, int position, HIMAGELIST images, int imageIndex);
    // Gives the entry with this command id, in any submenu, another look.
    void SetEntryLook(unsigned id, const MenuEntryLook& look);

    // Whether entries show their hints near the hovered entry.
    void SetShowHints(bool show) noexcept { m_showHints = show; }
    bool ShowHints() const noexcept { return m_showHints; }

    // Runs the menu at the point until it closes; returns the chosen entry's id, or 0.
    unsigned Popup(POINT screenPoint);
    bool IsUp() const noexcept { return m_up; }

    std::function<void()> OnPopup;    // the menu is about to open
    std::function<void()> OnCloseUp;  // the menu has closed
    // A timer of the owner window fired (SetTimer on Handle()).
    std::function<void(UINT_PTR id)> OnTimer;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Entry {
        MenuEntryLook look;
    };
    const Entry* EntryOf(HMENU menu, UINT item, bool byPosition) const;
    void ShowHintFor(HMENU menu, UINT item, UINT flags);
    void HideHint();
    ULONG_PTR Remember(const MenuEntryLook& look);
    // The entry data of `menu`'s items and of all their submenus' items.
    static void CollectEntriesOf(HMENU menu, std::unordered_set<ULONG_PTR>& data);

    UniqueHmenu m_root;
    std::list<Entry> m_entries;  // stable addresses: each menu item's data points to one
    HWND m_hint = nullptr;       // tracking tooltip, child of our window's thread
    bool m_showHints = true;
    bool m_up = false;
    unsigned m_dpi = 96;
};
