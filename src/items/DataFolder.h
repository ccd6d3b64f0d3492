#pragma once
// The data folder and its three collection folders.

#include <string>

// Makes sure "Icons", "Menus" and "Floating" exist under the data folder. When the data folder
// itself does not exist it becomes the program's own folder. `dataFolder` is updated in place and
// always ends with a backslash. False at the first collection folder that can be neither found
// nor created.
bool EnsureCollectionFolders(std::wstring& dataFolder);

// What the user is told when the collection folders cannot be made.
inline constexpr const wchar_t* kDataFolderFailureMessage =
    L"Orvo Launcher cannot create folder to store the data.\r\rPlease verify that you have permission to create a "
    L"folder inside\rOrvo Launcher folder.";
