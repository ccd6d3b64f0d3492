#pragma once
// The data folder and its three collection folders.

#include <string>

// Makes sure "Icons", "Menus" and "Floating" exist under the data folder (with its trailing
// backslash). False when the data folder itself is missing (no other folder is put in its place:
// which one is for the caller to say) or at the first collection folder that can be neither found
// nor created.
bool EnsureCollectionFolders(const std::wstring& dataFolder);

// What the user is told when the collection folders cannot be made.
inline constexpr const wchar_t* kDataFolderFailureMessage =
    L"Orvo Launcher cannot create folder to store the data.\r\rPlease verify that you have permission to create a "
    L"folder inside\rOrvo Launcher folder.";
