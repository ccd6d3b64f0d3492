#include "hotkeys/ItemHotKeys.h"

#include <algorithm>

#include "hotkeys/HotKeyRules.h"

namespace {
std::uint16_t FirstIdOf(CollectionKind kind)
{
    return kind == CollectionKind::Icons ? kIconsFirstId : kind == CollectionKind::Floating ? kFloatingFirstId : kMenusFirstId;
}
} // namespace

TItemHotKeys::TItemHotKeys(HWND window, CollectionLoader& collections) : m_window(window), m_collections(collections) {}

std::optional<std::uint16_t> TItemHotKeys::HotKeyIdOf(const Item& item)
{
    if (item.Kind == CollectionKind::None || item.Id < FirstIdOf(item.Kind)) return std::nullopt;
    return ItemHotKeyId(item.Kind, item.Id - FirstIdOf(item.Kind));
}

void TItemHotKeys::RegisterItemHotKey(const Item& item, std::vector<std::wstring>& hotKeyTexts)
{
    if (item.HotKeyKey == 0) return;
    const std::uint16_t modifiers = ItemHotKeyModifiers(item.HotKeyModifiers);
    if (modifiers == 0) return;
    if (const std::optional<std::uint16_t> id = HotKeyIdOf(item))
        ::RegisterHotKey(m_window, *id, modifiers, item.HotKeyKey);
    AppendItemHotKeyText(item, hotKeyTexts);
}

void TItemHotKeys::AppendItemHotKeyText(const Item& item, std::vector<std::wstring>& hotKeyTexts)
{
    std::wstring text = ItemHotKeyText(item.HotKeyKey, item.HotKeyModifiers);
    if (text.empty()) return;
    // Relative to the data folder: a Floating item reads "Floating\name.lnk".
    const std::size_t prefix = std::min(m_collections.DataFolder().size(), item.FileName.size());
    hotKeyTexts.push_back(std::move(text));
    hotKeyTexts.push_back(item.FileName.substr(prefix));
}

void TItemHotKeys::UnregisterItemHotKey(Item& item)
{
    if (item.HotKeyKey == 0) return;
    if (const std::optional<std::uint16_t> id = HotKeyIdOf(item)) ::UnregisterHotKey(m_window, *id);
    item.HotKeyKey = 0;
    item.HotKeyModifiers = 0;
}

void TItemHotKeys::RefreshHotKeys(Collection& collection)
{
    for (Item& item : collection.Items()) {
        // Items that were never placed have no hotkey to renew.
        if (item.Kind == CollectionKind::None) continue;
        if (item.HotKeyKey != 0)
            if (const std::optional<std::uint16_t> id = HotKeyIdOf(item)) ::UnregisterHotKey(m_window, *id);
        RegisterItemHotKey(item, collection.HotKeyTexts());
    }
}

Item* TItemHotKeys::ItemOfHotKey(WPARAM id)
{
    if (id > 0xFFFF) return nullptr;
    const std::optional<ItemHotKeyOwner> owner = ItemOfHotKeyId(static_cast<std::uint32_t>(id));
    if (!owner) return nullptr;
    Collection& collection = owner->Kind == CollectionKind::Icons      ? m_collections.Icons()
                             : owner->Kind == CollectionKind::Floating ? m_collections.Floating()
                                                                       : m_collections.Menus();
    if (owner->Index >= collection.Count()) return nullptr;
    Item& item = collection.Items()[owner->Index];
    return item.Kind == owner->Kind ? &item : nullptr;
}
