#pragma once
// The narrow interfaces through which the collection loaders place items on the surfaces that show
// them. Each surface implements its interface and is attached to the loader; a loader with no surface
// attached still loads and holds its collection.
//
// An `Item&` handed to a surface is valid only during the call (the item table may grow afterwards);
// a surface keeps the `Id`, never the reference.

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "items/Item.h"

// Item tray icons and the Icons tool bar.
class IconsSurface {
public:
    virtual ~IconsSurface() = default;
    // A load begins: scroll the tool bar back to its start and draw from `images` (the system image list
    // or the collection's own list, by the image mode).
    virtual void BeginIconsLoad(HIMAGELIST images) = 0;
    // The collection is discarded: remove every tool button and every item's notification icon.
    virtual void RemoveIconItems(const std::vector<Item>& items) = 0;
    // A new item is placed (kind Icons, hotkey already registered): a tool button in front of the others
    // and its notification icon.
    virtual void AddIconItem(const Item& item) = 0;
    // The load ended: size the tool bar to its buttons.
    virtual void EndIconsLoad() = 0;
    // A placed item's file has been read: its tool button and icon show its own image now.
    virtual void UpdateIconItem(const Item& item) = 0;
};

// The floating window's buttons and the Floating tool bar.
class FloatingSurface {
public:
    virtual ~FloatingSurface() = default;
    // A load begins: scroll the tool bar back, remove the window's buttons, and point both bars at `images`.
    virtual void BeginFloatingLoad(HIMAGELIST images) = 0;
    // The collection is discarded: remove every Floating tool button.
    virtual void RemoveFloatingItems(const std::vector<Item>& items) = 0;
    // The folder was listed: lay the window out for this many files.
    virtual void SetFloatingFileCount(std::size_t fileCount) = 0;
    // A new item is placed (kind Floating): a tool button and a window button, each in front of the others.
    virtual void AddFloatingItem(const Item& item) = 0;
    // The load ended: size the tool bar, lay the window out for the final button count and hide it.
    virtual void EndFloatingLoad(std::size_t buttonCount) = 0;
    // A placed item's file has been read: both its buttons show its own image now, in place.
    virtual void UpdateFloatingItem(const Item& item) = 0;
};

// A sub-folder of "Menus": a submenu in the popup menu and a node in the menu tree.
struct MenuFolder {
    std::wstring Path;                    // full path, the tree node's data
    std::wstring Name;                    // the folder's name, the tree node's text
    std::wstring Caption;                 // ItemCaption of the name, the submenu's caption
    std::int32_t MenuImageIndex = -1;     // in the popup menu's image list (system index or its copy)
    std::int32_t TreeImageIndex = -1;     // system index, closed
    std::int32_t TreeOpenImageIndex = -1; // system index, open (the selected image)
};

// The "Menus" entries of the popup menu and the menu tree.
class MenusSurface {
public:
    virtual ~MenusSurface() = default;
    // The collection is discarded: remove the popup menu's "Menus" entries (those after its fixed ones)
    // and clear the tree.
    virtual void RemoveMenuItems(const std::vector<Item>& items) = 0;
    // A load begins: begin the tree update, draw the tree from `treeImages` and the menu from `menuImages`,
    // and add the tree's root node ("Orvo Launcher", `rootImageIndex`, data `menusFolder`). The popup
    // menu's top level and the root node become the current folder.
    virtual void BeginMenusLoad(HIMAGELIST menuImages, HIMAGELIST treeImages, const std::wstring& menusFolder,
                                std::int32_t rootImageIndex) = 0;
    // Appends a submenu and a child node to the current folder; they become the current folder.
    virtual void BeginMenuFolder(const MenuFolder& folder) = 0;
    // Back to the parent of the current folder.
    virtual void EndMenuFolder() = 0;
    // A file of the current folder: a tree node always (text = its Caption, images = `treeImageIndex`,
    // data = its FileName); a popup menu entry only when `placed` (kind Menus, hotkey registered).
    virtual void AddMenuFile(const Item& item, std::int32_t treeImageIndex, bool placed) = 0;
    // The load ended: expand the root node one level, select it, make it visible, end the tree update.
    virtual void EndMenusLoad() = 0;
    // A placed file has been read: its entry takes its own image and hint, its node `treeImageIndex`.
    virtual void UpdateMenuFile(const Item& item, std::int32_t treeImageIndex) = 0;
};

// Item hotkeys, registered system-wide on the main window.
class ItemHotKeyRegistrar {
public:
    virtual ~ItemHotKeyRegistrar() = default;
    // Registers the item's hotkey (its `Id` is the hotkey id) and appends its hotkey text and relative
    // path to `hotKeyTexts`.
    virtual void RegisterItemHotKey(const Item& item, std::vector<std::wstring>& hotKeyTexts) = 0;
    // Appends the entry of an item kept registered from an earlier load (the Icons load that only adds
    // files empties the list but keeps the loaded items).
    virtual void AppendItemHotKeyText(const Item& item, std::vector<std::wstring>& hotKeyTexts) = 0;
    virtual void UnregisterItemHotKey(Item& item) = 0;
};
