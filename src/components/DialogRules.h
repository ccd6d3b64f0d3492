#pragma once
// The rules of the dialog components that need no Windows: open-dialog filters and results, the
// folder browser's flags, roots, "New folder" button placement and status text.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/OsVersion.h"

// "Text|pattern|Text|pattern" (blanks around each part dropped) as the open dialog takes it:
// each part ended by a null, the whole by a second null.
std::wstring OpenDialogFilter(std::wstring_view filter);
// The files of a multiple-selection answer: "folder\0name\0name\0\0", or one full path.
std::vector<std::wstring> MultiSelectFiles(std::wstring_view buffer);
// Whether the open dialog takes the extended structure with the places bar switch: Windows 2000
// or later, and Windows Me.
bool UsesExtendedOpenFileName(const OsVersion& version);
// Whether the start group editor's "Add" uses the system's own open dialog (Vista and later).
bool UsesSystemOpenDialog(const OsVersion& version);

// The folder browser's options and the browse flags they add.
enum class BrowseInfoFlag {
    OnlyComputers,
    OnlyPrinters,
    OnlyDomains,
    OnlyAncestors,
    OnlyFileSystem,
    ShowPath,
    EditBox,
    Includefiles,
    IncludeURLs,
    NewDialogStyle,
    UsageHint,
    HideNewFolderButton,
    ShowShared,
    Validate,
};
using BrowseInfoFlagSet = std::set<BrowseInfoFlag>;
std::uint32_t BrowseFlagsOf(const BrowseInfoFlagSet& flags);
BrowseInfoFlagSet DefaultBrowseInfoFlags();

// Roots of the folder tree; foDesktopExpanded has no root (the whole desktop tree).
enum class SHFolders {
    foDesktop,
    foDesktopExpanded,
    foPrograms,
    foControlPanel,
    foPrinters,
    foPersonal,
    foFavorites,
    foStartup,
    foRecent,
    foSendto,
    foRecycleBin,
    foStartMenu,
    foDesktopFolder,
    foMyComputer,
    foNetwork,
    foNetworkNeighborhood,
    foFonts,
    foTemplates,
};
// The special-folder number (CSIDL) of a root, none for the expanded desktop.
std::optional<int> RootSpecialFolder(SHFolders root);
// The new-style dialog only from Windows 2000 (major version 5) on, and only when asked for.
bool UsesNewDialogStyle(unsigned majorVersion, const BrowseInfoFlagSet& flags);

// Place of the own "New folder" button by the screen's pixels per inch.
struct ButtonPlace {
    int left, top, width, height;
    bool operator==(const ButtonPlace&) const = default;
};
ButtonPlace NewFolderButtonPlace(int ppi, int clientHeight, int captionHeight);
// Its width once its caption is known: the caption + 12 pixels, but at least the least width.
int NewFolderButtonWidth(int ppi, int captionWidth);

// A display name shortened to at most `limit` characters, keeping its first element and as
// much of its end as fits ("C:\...\User\Application Data\Data").
std::wstring ShortenDisplayName(std::wstring_view name, std::size_t limit);
// The path of a new folder: the selection's path and the typed name, one "\" between them.
std::wstring JoinNewFolderPath(std::wstring_view selection, std::wstring_view name);

// "NAME=VALUE" lines: the value of "Default", empty when there is none.
std::wstring DefaultCaption(const std::vector<std::wstring>& lines);
