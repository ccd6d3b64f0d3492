#include "items/CollectionRules.h"

#include <algorithm>
#include <utility>

#include "base/Strings.h"

std::wstring FoldCaseSimple(std::wstring_view path) { return ToLowerInvariant(path); }

bool LessNoCaseSimple(const std::wstring& a, const std::wstring& b) { return FoldCaseSimple(a) < FoldCaseSimple(b); }

bool IconFolderLostFiles(const std::vector<std::wstring>& listed, const std::vector<std::wstring>& loaded,
                         PathCaseFold fold)
{
    if (listed.empty() || loaded.empty() || listed.size() < loaded.size()) return true;
    PathSet present(fold);
    for (const auto& path : listed) present.Insert(path);
    return std::any_of(loaded.begin(), loaded.end(), [&](const std::wstring& path) { return !present.Contains(path); });
}

std::vector<std::wstring> NewFiles(const std::vector<std::wstring>& listed, const PathSet& loaded)
{
    std::vector<std::wstring> result;
    for (const auto& path : listed)
        if (!loaded.Contains(path)) result.push_back(path);
    return result;
}

std::vector<std::wstring> PlacementOrder(std::vector<std::wstring> files, PathLess less)
{
    std::stable_sort(files.begin(), files.end(), less);
    std::reverse(files.begin(), files.end());
    return files;
}

std::vector<std::wstring> PlacementOrderByKey(std::vector<std::wstring> files, PathSortKey key)
{
    std::vector<std::pair<std::string, std::size_t>> keyed;
    keyed.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) keyed.emplace_back(key(files[i]), i);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::wstring> ordered;
    ordered.reserve(files.size());
    for (auto entry = keyed.rbegin(); entry != keyed.rend(); ++entry) ordered.push_back(std::move(files[entry->second]));
    return ordered;
}

bool ItemIdFor(std::uint16_t firstId, std::size_t index, std::uint16_t& id)
{
    if (index > static_cast<std::size_t>(0xFFFF - firstId)) return false;
    id = static_cast<std::uint16_t>(firstId + index);
    return true;
}
