#pragma once
// Reading entry files and listing collection folders.

#include <windows.h>
#include <shobjidl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Handles.h"
#include "items/Item.h"
#include "items/ItemCache.h"
#include "items/ItemRules.h"

struct ShortcutInfo {
    std::wstring Description;
    std::uint16_t HotKey = 0;  // low byte key, high byte HOTKEYF_ modifiers
    bool Read = false;         // the shortcut loaded; false says nothing about what it holds
};
// Description and hotkey of a shell shortcut, through the shell link object (COM must be initialised on
// the calling thread). A shortcut that does not load reads as one without description and hotkey.
ShortcutInfo ReadShortcutInfo(const std::wstring& fileName);
// The shell link object with the shortcut file loaded (COM initialised on the calling thread);
// null when the object cannot be made or the file does not load.
ComPtr<IShellLinkW> LoadShellLink(const std::wstring& fileName);

// URL and HotKey of an Internet shortcut file (ParseInternetShortcut over its text). A file that cannot
// be opened or read gives an empty URL and hotkey 0, and `read` (when given) false.
InternetShortcutInfo ReadInternetShortcut(const std::wstring& fileName, bool* read = nullptr);

// One item: caption, hint, hotkey from the file; `Id`, `FileName`, `ImageIndex` as given; kind None.
// `complete` (when given) is false when the file could not be read (locked, say): the item then
// holds its name alone, which is not what the file holds.
Item ReadItem(const std::wstring& fileName, std::uint16_t id, std::int32_t systemIndex, bool* complete = nullptr);

// Full paths of the files in a folder, in enumeration order: hidden files count; folders, system files
// and volume labels do not.
std::vector<std::wstring> ListCollectionFiles(const std::wstring& folder);
// The same files with the last-write time and size the listing saw, which tell a load whether what it
// read from a file before still holds.
std::vector<ListedFile> ListCollectionEntries(const std::wstring& folder);
// The system time in the same units as a stamp's write time.
std::uint64_t SystemTimeNow();

// The entries of a "Menus" folder in enumeration order: sub-folders (not hidden, not system, name not
// beginning with ".") and files (the ListCollectionFiles filter), both as full paths.
struct MenuFolderEntries {
    std::vector<std::wstring> SubFolders;
    std::vector<std::wstring> Files;
    std::vector<FileStamp> FileStamps;  // one per file, in the same order
};
MenuFolderEntries ListMenuFolder(const std::wstring& folder);

// Case folding and order of paths as the file system and the user's locale see them.
std::wstring FoldPathCase(std::wstring_view path);
bool LessPathNoCase(const std::wstring& a, const std::wstring& b);
// The key whose byte order is LessPathNoCase's order.
std::string PathSortKeyNoCase(const std::wstring& path);
