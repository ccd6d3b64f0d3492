#pragma once
// One collection folder's items, its own image list and its hotkey text list.

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Handles.h"
#include "items/CollectionRules.h"
#include "items/Item.h"

class Collection {
public:
    Collection(CollectionKind kind, std::uint16_t firstId);

    CollectionKind Kind() const noexcept { return m_kind; }
    std::uint16_t FirstId() const noexcept { return m_firstId; }

    // The item table, indexed by Id - first Id. Items whose image could not be placed keep their slot
    // with kind None.
    const std::vector<Item>& Items() const noexcept { return m_items; }
    std::vector<Item>& Items() noexcept { return m_items; }
    std::size_t Count() const noexcept { return m_items.size(); }
    const Item* ItemById(std::uint16_t id) const noexcept;
    Item* ItemById(std::uint16_t id) noexcept;

    // The surface's own 32-bit image list (used when the image mode copies icons).
    HIMAGELIST ImageList() const noexcept { return m_imageList.get(); }
    // The index in the own list of the copy of a system image, made the first time an item shows
    // that image: items with the same icon draw the same copy, and a rebuild copies only icons it has
    // not met. -1 when no copy could be made.
    std::int32_t ImageCopyOf(HIMAGELIST system, std::int32_t systemIndex);
    std::size_t ImageCopyCount() const noexcept { return m_copies.size(); }
    // Empties the own image list (the copies may no longer match the system images, or the items
    // that showed them are gone).
    void ClearImages();

    // Pairs of strings: the hotkey text, then the item's path relative to the data folder.
    std::vector<std::wstring>& HotKeyTexts() noexcept { return m_hotKeyTexts; }
    const std::vector<std::wstring>& HotKeyTexts() const noexcept { return m_hotKeyTexts; }

    // Icons only: the full paths of the files loaded so far.
    const std::vector<std::wstring>& LoadedIconFiles() const noexcept { return m_loadedFiles; }
    bool IsLoadedIconFile(const std::wstring& path) const { return m_loadedSet.Contains(path); }
    const PathSet& LoadedIconFileSet() const noexcept { return m_loadedSet; }
    void AddLoadedIconFile(const std::wstring& path);
    void ClearLoadedIconFiles();

    // Empties the table (the caller has already taken the items off their surfaces); the own image
    // list keeps its copies for the next load.
    void ClearItems();

private:
    CollectionKind m_kind;
    std::uint16_t m_firstId;
    std::vector<Item> m_items;
    UniqueImageList m_imageList;
    std::unordered_map<std::int32_t, std::int32_t> m_copies;  // system index -> own index
    std::vector<std::wstring> m_hotKeyTexts;
    std::vector<std::wstring> m_loadedFiles;
    PathSet m_loadedSet;
};
