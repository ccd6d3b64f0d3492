#pragma once
// The main window's operations on item files. Each works on the collection folders only and
// reports its own failures; none touches a surface: the folder watch sees the change and rebuilds
// the surface about a second later.

#include <windows.h>

#include <string>
#include <vector>

// Copies or moves one file into a folder (with its trailing backslash), keeping its name. A name
// that already exists there stops it with a message; nothing is ever overwritten. `owner` owns the
// messages.
bool CopyOrMoveItem(HWND owner, const std::wstring& source, const std::wstring& targetFolder, bool move);

// Copies every dropped path that is an existing file into the folder, in list order; folders are
// passed over silently, and a file that cannot be copied is reported before the next one.
void CopyDroppedFiles(HWND owner, const std::vector<std::wstring>& paths, const std::wstring& targetFolder);

// Sends a file, or a folder with its content, to the recycle bin; the shell asks first and reports
// its own failures. True when the shell reports success.
bool DeleteItemFile(HWND owner, const std::wstring& path);

// The open dialog for shortcut files, on the user's Start menu folder. The shortcut file itself is
// returned, not its target; empty when cancelled.
std::wstring PickShortcutFile(HWND owner);

// Where a new or dropped item goes for a menu tree node with this path (empty for the root): the
// "Menus" folder, a file's folder, or the node's own folder; always with a trailing backslash.
std::wstring MenuTargetFolder(const std::wstring& nodePath, const std::wstring& menusFolder);

// "New Folder" inside a folder of "Menus" (one level). A folder that cannot be made (one of that
// name is already there) is reported with "Cannot create new folder".
bool CreateNewMenuFolder(HWND owner, const std::wstring& parentFolder);
