#pragma once
// What a load derives from an entry file (caption, hint, hotkey, the shell's image index), kept
// between loads so that a rebuild asks the shell and reads shortcut files only for the entries
// that changed. An entry is known by its exact full path (the caption comes from the name, so a
// rename that only changes case is a different entry) and is trusted only while the file's
// last-write time and size are those it was read at. No Windows headers.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "items/Item.h"

// A file as the folder listing saw it.
struct FileStamp {
    std::uint64_t LastWrite = 0;  // the last-write FILETIME as one number
    std::uint64_t Size = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct ListedFile {
    std::wstring Path;
    FileStamp Stamp;
};

// FAT keeps write times in 2-second steps: a file rewritten within that step of the load may keep
// its stamp, so what was read from it is trusted only once its write time is this far behind.
inline constexpr std::uint64_t kStampSettleTicks = 2ull * 10'000'000ull;  // FILETIME ticks: 2 s
// The stamp can no longer hide a change made after `now` (a FILETIME as one number).
constexpr bool StampSettled(const FileStamp& stamp, std::uint64_t now) noexcept
{
    return now >= stamp.LastWrite && now - stamp.LastWrite >= kStampSettleTicks;
}

class ItemCache {
public:
    // The item last read from this file at this stamp, its system image index in `ImageIndex`;
    // null when the file is unknown or changed since.
    const Item* Find(const std::wstring& path, const FileStamp& stamp) const;
    // Remembers what was read; `Id` and `Kind` belong to one load and are not kept.
    void Store(const std::wstring& path, const FileStamp& stamp, const Item& item);
    // Forgets every file not among `paths` (gone from the folder), so the cache never outgrows it.
    void Retain(const std::vector<std::wstring>& paths);
    void Clear() noexcept { m_entries.clear(); }
    std::size_t Size() const noexcept { return m_entries.size(); }

private:
    struct Entry {
        FileStamp stamp;
        Item item;
    };
    std::unordered_map<std::wstring, Entry> m_entries;
};
