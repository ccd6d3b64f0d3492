#pragma once
// The rules of the item file operations: the name a message shows, where a new or dropped item
// goes for a node of the menu tree, what a name typed into the tree may be, and which file an
// in-program drop copies. Pure: no Windows headers.

#include <optional>
#include <string>
#include <string_view>

// The name a message shows for an item file: the file name as the surfaces caption it, so
// "Editor.lnk" reads "Editor" and a name too short to lose four characters is shown whole.
std::wstring ShownItemName(std::wstring_view sourcePath);

// Where a new or dropped item goes for a tree node whose path is `nodePath` (empty for the root and
// for a node without data): the "Menus" folder for none, the folder of a file, else the path itself
// as a folder. Always with a trailing backslash.
std::wstring MenuTargetFolderFor(std::wstring_view nodePath, std::wstring_view menusFolder, bool nodeIsFile);

// A name typed into the tree: not empty, no path separator or character that Windows forbids in
// file names, not "." or ".." nor anything Windows trims to nothing, so a rename stays inside its
// folder; and no device name ("NUL", "CON", "COM1", ... in any letter case, with or without an
// extension), which Windows opens as the device instead of a file in the folder.
bool IsAcceptableItemName(std::wstring_view name);
// The text a node's rename starts from: its file or folder name without the part the rename puts
// back (from the last "." on, a leading "." not counted). The tree's labels show some names with
// that part and some without; the edit field always shows exactly what the typed text replaces.
std::wstring RenameEditText(std::wstring_view path);
// The path a renamed node's file or folder gets: the old folder + the typed name + the part of the
// old name that RenameEditText leaves out. The old path itself for the edit text confirmed as it
// stood; empty when the typed name is refused.
std::wstring RenamedItemPath(std::wstring_view oldPath, std::wstring_view typedName);

// Where an in-program drag began and where it ends.
enum class ItemDragSource { MenuTree, IconsButton, FloatingButton };
enum class ItemDropTarget { IconsBar, FloatingBar, MenuTree };

// The file a drop copies: the dragged button's file from the other bar or onto the tree, the tree's
// current node onto a bar or the tree. None for a button dropped on its own bar.
std::optional<std::wstring> DroppedItemFile(ItemDropTarget target, ItemDragSource source,
                                            const std::wstring& draggedButtonFile, const std::wstring& treeNodeFile);
// Whether a drop there would copy anything: the cursor says so while the drag is on the way.
bool AcceptsItemDrop(ItemDropTarget target, ItemDragSource source);
