#pragma once
// Item images: the shell's shared small-icon system image list, indexes into it, and the copies kept
// in a surface's own image list when the image mode asks for them.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "base/Handles.h"

// The shell's small-icon system image list. Shared by every process of the session: never destroyed.
HIMAGELIST SystemImageList();

// System image list index of the small icon of a path (its open variant when `open`), as the shell
// shows it; -1 when the desktop folder cannot be obtained or the path cannot be parsed.
std::int32_t ShellIconIndex(const std::wstring& path, bool open);

// The shell's image of a document of no known type, taken from its attributes alone (no file is
// touched): what an entry shows until its own image has been read.
std::int32_t NeutralDocumentIconIndex();

// Every "Menus" folder is drawn with the data folder's own icons, closed and open.
std::int32_t FolderIconIndex(const std::wstring& dataFolder);
std::int32_t FolderOpenIconIndex(const std::wstring& dataFolder);

// The image mode of the running system (SharesSystemImages over the version and the two registry values).
bool SharesSystemImagesNow();

// An empty 32-bit colour image list of the system list's icon size, so alpha-blended icons keep their edges.
UniqueImageList CreateItemImageList();

// Copies the icon at a system index of `system` (SystemImageList, asked once per load: asking the shell
// for it costs as much as a copy) into `target`; returns the copy's index (the last index of the
// list), or -1 when the copy could not be made.
std::int32_t CopySystemImage(HIMAGELIST target, HIMAGELIST system, std::int32_t systemIndex);
