#pragma once
// Places the Floating collection on its two surfaces while the collection loader runs: the floating
// window's buttons and, when the page has one, the `ToolBarFloating` bar.

#include <cstddef>
#include <vector>

#include "floating/IconWindowUnit.h"
#include "components/ToolBarPager.h"
#include "items/ItemSurfaces.h"

class FloatingSurfaceLink : public FloatingSurface {
public:
    // Neither is owned; `toolBar` may be null (no page yet).
    FloatingSurfaceLink(TIconWindow& window, ToolBarPager* toolBar) : m_window(window), m_toolBar(toolBar) {}
    void AttachToolBar(ToolBarPager* toolBar) { m_toolBar = toolBar; }

    void BeginFloatingLoad(HIMAGELIST images) override;
    void RemoveFloatingItems(const std::vector<Item>& items) override;
    void SetFloatingFileCount(std::size_t fileCount) override;
    void AddFloatingItem(const Item& item) override;
    void EndFloatingLoad(std::size_t buttonCount) override;
    void UpdateFloatingItem(const Item& item) override;

private:
    TIconWindow& m_window;
    ToolBarPager* m_toolBar;
    HIMAGELIST m_images = nullptr;
    std::vector<Item> m_placed;  // in table order, as the loader places them
};
