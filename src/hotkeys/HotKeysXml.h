#pragma once
// "HotKeys.xml": every item hotkey registered at start-up, grouped by collection, written and read
// through the system's XML DOM. COM must be initialised on the calling thread.
//
//   <Application Name="Orvo Launcher" Author="Orvo Solution">
//     <item type="Icon"><item hotkey="Ctrl + Alt + N" path="Icons\Notepad.lnk"/>...</item>
//     <item type="Menu">...</item>
//     <item type="Float">...</item>
//   </Application>

#include <string>
#include <vector>

// Writes the file from the three hotkey text lists (pairs: text, relative path; a trailing unpaired
// entry is ignored), replacing any file there. False when the XML DOM is missing or the file cannot
// be written; an existing file then stays as it was.
bool WriteHotKeysFile(const std::wstring& path, const std::vector<std::wstring>& icons,
                      const std::vector<std::wstring>& menus, const std::vector<std::wstring>& floating);

struct HotKeyRow {
    std::wstring HotKey;
    std::wstring Path;
};

enum class HotKeysFileState {
    Missing,  // no such file: an empty list, no message
    NoNode,   // nothing in it could be read as a node (empty, or not XML)
    Foreign,  // another program's file: shown as an empty list
    Read,
};

struct HotKeysFileContent {
    HotKeysFileState State = HotKeysFileState::Missing;
    // Every node with a "hotkey" attribute under the root, depth first in document order.
    std::vector<HotKeyRow> Rows;
};

HotKeysFileContent ReadHotKeysFile(const std::wstring& path);
