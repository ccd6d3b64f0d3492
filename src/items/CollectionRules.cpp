#include "items/CollectionRules.h"

#include <algorithm>

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

bool ItemIdFor(std::uint16_t firstId, std::size_t index, std::uint16_t& id)
{
    if (index > static_cast<std::size_t>(0xFFFF - firstId)) return false;
    id = static_cast<std::uint16_t>(firstId + index);
    return true;
}
