#pragma once
// Item hotkeys: every placed item's shortcut hotkey, registered system-wide on the main window
// while the item is loaded, and the hotkey texts that the hotkey list is written from.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "items/CollectionLoader.h"
#include "items/ItemSurfaces.h"

class TItemHotKeys : public ItemHotKeyRegistrar {
public:
    // `window` receives WM_HOTKEY; `collections` gives the data folder and the items.
    TItemHotKeys(HWND window, CollectionLoader& collections);

    // The hotkey identifier of a placed item (none when its index is past every range).
    static std::optional<std::uint16_t> HotKeyIdOf(const Item& item);

    // ItemHotKeyRegistrar. A refused registration is silent; its text is listed all the same.
    void RegisterItemHotKey(const Item& item, std::vector<std::wstring>& hotKeyTexts) override;
    void AppendItemHotKeyText(const Item& item, std::vector<std::wstring>& hotKeyTexts) override;
    void UnregisterItemHotKey(Item& item) override;

    // "&Refresh Hotkey" of a collection: every placed item's hotkey as it is in memory is given back
    // and registered again, so a combination another program has released since works now.
    void RefreshHotKeys(Collection& collection);

    // The placed item whose hotkey has this identifier, or null (a surface hotkey's id).
    Item* ItemOfHotKey(WPARAM id);

private:
    HWND m_window;
    CollectionLoader& m_collections;
};
