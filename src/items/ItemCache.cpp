#include "items/ItemCache.h"

#include <unordered_set>

const Item* ItemCache::Find(const std::wstring& path, const FileStamp& stamp) const
{
    const auto found = m_entries.find(path);
    if (found == m_entries.end() || !(found->second.stamp == stamp)) return nullptr;
    return &found->second.item;
}

void ItemCache::Store(const std::wstring& path, const FileStamp& stamp, const Item& item)
{
    Entry& entry = m_entries[path];
    entry.stamp = stamp;
    entry.item = item;
    entry.item.Id = 0;
    entry.item.Kind = CollectionKind::None;
}

void ItemCache::Retain(const std::vector<std::wstring>& paths)
{
    if (m_entries.empty()) return;
    const std::unordered_set<std::wstring> keep(paths.begin(), paths.end());
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        if (keep.count(entry->first)) ++entry;
        else entry = m_entries.erase(entry);
    }
}
