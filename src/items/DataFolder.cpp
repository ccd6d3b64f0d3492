#include "items/DataFolder.h"

#include <windows.h>

#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/Item.h"

bool EnsureCollectionFolders(const std::wstring& dataFolder)
{
    if (dataFolder.empty() || !DirectoryExists(dataFolder)) return false;
    for (const wchar_t* name : {kIconsFolderName, kMenusFolderName, kFloatingFolderName}) {
        const std::wstring folder = IncludeTrailingBackslash(dataFolder) + name;
        if (DirectoryExists(folder)) continue;
        if (!::CreateDirectoryW(folder.c_str(), nullptr) && !DirectoryExists(folder)) return false;
    }
    return true;
}
