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

bool IsAcceptableItemName(std::wstring_view name)
{
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name) {
        if (c < 32) return false;
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    return true;
}

std::wstring RenamedItemPath(std::wstring_view oldPath, std::wstring_view typedName)
{
    if (!IsAcceptableItemName(typedName)) return {};
    const std::wstring name = ExtractFileName(oldPath);
    const std::size_t dot = name.rfind(L'.');
    const std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
    return ExtractFilePath(oldPath) + std::wstring(typedName) + extension;
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
