#pragma once
// Ordering and bookkeeping rules of the collection loaders. Pure: the Windows comparisons (case folding
// and the locale-aware order) are passed in, so the rules are tested with plain functions.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Maps a path to its case-insensitive key (the Windows side folds like the file system does).
using PathCaseFold = std::wstring (*)(std::wstring_view path);
// Strict weak "less" over paths, without regard to case.
using PathLess = bool (*)(const std::wstring& a, const std::wstring& b);

std::wstring FoldCaseSimple(std::wstring_view path);
bool LessNoCaseSimple(const std::wstring& a, const std::wstring& b);

// A set of paths compared without regard to case: constant-time lookups keep loads near-linear.
class PathSet {
public:
    explicit PathSet(PathCaseFold fold = FoldCaseSimple) : m_fold(fold) {}
    void Insert(std::wstring_view path) { m_keys.insert(m_fold(path)); }
    void Erase(std::wstring_view path) { m_keys.erase(m_fold(path)); }
    bool Contains(std::wstring_view path) const { return m_keys.count(m_fold(path)) != 0; }
    std::size_t Size() const { return m_keys.size(); }
    void Clear() { m_keys.clear(); }

private:
    PathCaseFold m_fold;
    std::unordered_set<std::wstring> m_keys;
};

// True when the Icons collection must be rebuilt: the folder holds no file, or fewer files than were
// loaded, or nothing was loaded yet, or some loaded path is no longer listed.
bool IconFolderLostFiles(const std::vector<std::wstring>& listed, const std::vector<std::wstring>& loaded,
                         PathCaseFold fold = FoldCaseSimple);

// The listed files that are not loaded yet, in listing order.
std::vector<std::wstring> NewFiles(const std::vector<std::wstring>& listed, const PathSet& loaded);

// Files in the order they are placed: sorted by full path without regard to case, then taken from the
// last to the first. So the first item (the collection's first Id) is the last name in that order, and
// surfaces that insert each new button in front show the items in ascending name order.
std::vector<std::wstring> PlacementOrder(std::vector<std::wstring> files, PathLess less = LessNoCaseSimple);

// Maps a path to a key whose byte order is the "less" order of the paths (the Windows side: the
// locale's sort key, without regard to case).
using PathSortKey = std::string (*)(const std::wstring& path);
// PlacementOrder over keys made once per path: a large folder costs one key per file and cheap
// byte comparisons, not a locale comparison per step of the sort.
std::vector<std::wstring> PlacementOrderByKey(std::vector<std::wstring> files, PathSortKey key);

// The Id of the item at a table index; false when it would not fit in 16 bits (such an item is not
// loaded, since a wrapped Id would collide with another item's hotkey and tray identifiers).
bool ItemIdFor(std::uint16_t firstId, std::size_t index, std::uint16_t& id);
