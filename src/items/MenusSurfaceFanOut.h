#pragma once
// One "Menus" load placed on several surfaces at once: the popup menu and the menu tree.

#include <utility>
#include <vector>

#include "items/ItemSurfaces.h"

class MenusSurfaceFanOut : public MenusSurface {
public:
    // Surfaces are not owned; each hears every call, in the order given.
    explicit MenusSurfaceFanOut(std::vector<MenusSurface*> surfaces) : m_surfaces(std::move(surfaces)) {}

    void RemoveMenuItems(const std::vector<Item>& items) override
    {
        for (MenusSurface* s : m_surfaces) s->RemoveMenuItems(items);
    }
    void BeginMenusLoad(HIMAGELIST menuImages, HIMAGELIST treeImages, const std::wstring& menusFolder,
                        std::int32_t rootImageIndex) override
    {
        for (MenusSurface* s : m_surfaces) s->BeginMenusLoad(menuImages, treeImages, menusFolder, rootImageIndex);
    }
    void BeginMenuFolder(const MenuFolder& folder) override
    {
        for (MenusSurface* s : m_surfaces) s->BeginMenuFolder(folder);
    }
    void EndMenuFolder() override
    {
        for (MenusSurface* s : m_surfaces) s->EndMenuFolder();
    }
    void AddMenuFile(const Item& item, std::int32_t treeImageIndex, bool placed) override
    {
        for (MenusSurface* s : m_surfaces) s->AddMenuFile(item, treeImageIndex, placed);
    }
    void EndMenusLoad() override
    {
        for (MenusSurface* s : m_surfaces) s->EndMenusLoad();
    }
    void UpdateMenuFile(const Item& item, std::int32_t treeImageIndex) override
    {
        for (MenusSurface* s : m_surfaces) s->UpdateMenuFile(item, treeImageIndex);
    }

private:
    std::vector<MenusSurface*> m_surfaces;
};
