#include "items/ItemFileRules.h"

#include "base/Strings.h"
#include "items/ItemRules.h"

std::wstring ShownItemName(std::wstring_view sourcePath) { return ItemCaption(ExtractFileName(sourcePath)); }

std::wstring MenuTargetFolderFor(std::wstring_view nodePath, std::wstring_view menusFolder, bool nodeIsFile)
{
    if (nodePath.empty()) return IncludeTrailingBackslash(menusFolder);
    if (nodeIsFile) return ExtractFilePath(nodePath);
    return IncludeTrailingBackslash(nodePath);
}

namespace {
// Windows drops trailing dots and spaces from the last part of a path when it opens it.
std::wstring_view WithoutTrailingDotsAndSpaces(std::wstring_view name)
{
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
    return name;
}

// The device names Windows resolves in every folder: the name before its first ".", trailing
// spaces dropped, so "nul.txt", "CON .lnk" and "Com1." are the devices as well. Leading spaces are
// dropped too, to be safe: refusing " nul" costs the user nothing.
bool IsDeviceName(std::wstring_view name)
{
    name = WithoutTrailingDotsAndSpaces(name);
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
    while (!name.empty() && name.front() == L' ') name.remove_prefix(1);
    if (name.size() == 3) {
        for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"})
            if (EqualsNoCase(name, device)) return true;
        return false;
    }
    // "COM1" to "COM9" and "LPT1" to "LPT9"; Windows takes the superscript digits as digits too.
    constexpr std::wstring_view kPortDigits = L"123456789\u00B9\u00B2\u00B3";
    if (name.size() != 4 || kPortDigits.find(name[3]) == std::wstring_view::npos) return false;
    return EqualsNoCase(name.substr(0, 3), L"COM") || EqualsNoCase(name.substr(0, 3), L"LPT");
}

// Where the part a rename keeps begins: the last ".", unless it begins the name (".config" is all name).
std::size_t KeptPartStart(std::wstring_view name)
{
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos || dot == 0 ? name.size() : dot;
}
} // namespace

bool IsAcceptableItemName(std::wstring_view name)
{
    // "", ".", ".." and "..." alike would name the folder itself or its parent.
    if (WithoutTrailingDotsAndSpaces(name).empty()) return false;
    for (wchar_t c : name) {
        if (c < 32) return false;
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    return !IsDeviceName(name);
}

std::wstring RenameEditText(std::wstring_view path)
{
    const std::wstring name = ExtractFileName(path);
    return name.substr(0, KeptPartStart(name));
}

std::wstring RenamedItemPath(std::wstring_view oldPath, std::wstring_view typedName)
{
    if (!IsAcceptableItemName(typedName)) return {};
    const std::wstring name = ExtractFileName(oldPath);
    return ExtractFilePath(oldPath) + std::wstring(typedName) + name.substr(KeptPartStart(name));
}

std::optional<std::wstring> DroppedItemFile(ItemDropTarget target, ItemDragSource source,
                                            const std::wstring& draggedButtonFile, const std::wstring& treeNodeFile)
{
    if (!AcceptsItemDrop(target, source)) return std::nullopt;
    return source == ItemDragSource::MenuTree ? treeNodeFile : draggedButtonFile;
}

bool AcceptsItemDrop(ItemDropTarget target, ItemDragSource source)
{
    switch (target) {
    case ItemDropTarget::IconsBar: return source != ItemDragSource::IconsButton;
    case ItemDropTarget::FloatingBar: return source != ItemDragSource::FloatingButton;
    case ItemDropTarget::MenuTree: return true;
    }
    return false;
}
