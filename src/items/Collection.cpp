#include "items/Collection.h"

#include "items/ItemFiles.h"
#include "items/ShellImages.h"

Collection::Collection(CollectionKind kind, std::uint16_t firstId)
    : m_kind(kind), m_firstId(firstId), m_imageList(CreateItemImageList()), m_loadedSet(FoldPathCase)
{
}

const Item* Collection::ItemById(std::uint16_t id) const noexcept
{
    if (id < m_firstId || static_cast<std::size_t>(id - m_firstId) >= m_items.size()) return nullptr;
    return &m_items[id - m_firstId];
}

Item* Collection::ItemById(std::uint16_t id) noexcept
{
    return const_cast<Item*>(static_cast<const Collection*>(this)->ItemById(id));
}

void Collection::AddLoadedIconFile(const std::wstring& path)
{
    if (m_loadedSet.Contains(path)) return;
    m_loadedFiles.push_back(path);
    m_loadedSet.Insert(path);
}

void Collection::ClearLoadedIconFiles()
{
    m_loadedFiles.clear();
    m_loadedSet.Clear();
}

void Collection::ClearItems() { m_items.clear(); }

std::int32_t Collection::ImageCopyOf(HIMAGELIST system, std::int32_t systemIndex)
{
    if (const auto found = m_copies.find(systemIndex); found != m_copies.end()) return found->second;
    const std::int32_t copy = CopySystemImage(m_imageList.get(), system, systemIndex);
    if (copy >= 0) m_copies.emplace(systemIndex, copy);
    return copy;
}

void Collection::ClearImages()
{
    m_copies.clear();
    if (m_imageList) ::ImageList_RemoveAll(m_imageList.get());
}
