#include "floating/FloatingSurfaceLink.h"

void FloatingSurfaceLink::BeginFloatingLoad(HIMAGELIST images)
{
    m_images = images;
    m_placed.clear();
    if (m_toolBar) m_toolBar->BeginLoad(images);
}

void FloatingSurfaceLink::RemoveFloatingItems(const std::vector<Item>&)
{
    if (m_toolBar) m_toolBar->RemoveAllButtons();
}

void FloatingSurfaceLink::SetFloatingFileCount(std::size_t)
{
    // The window is laid out once, for the buttons actually placed, when the load ends; until
    // then it keeps its old buttons, and nothing can click them while the load runs.
}

void FloatingSurfaceLink::AddFloatingItem(const Item& item)
{
    m_placed.push_back(item);
    if (m_toolBar) m_toolBar->AddItemButton(item.Id, item.Caption, item.ImageIndex);
}

void FloatingSurfaceLink::UpdateFloatingItem(const Item& item)
{
    for (Item& placed : m_placed)
        if (placed.Id == item.Id) placed = item;
    if (m_toolBar) m_toolBar->SetButtonImage(item.Id, item.ImageIndex);
    m_window.SetButtonImage(item.Id, item.ImageIndex);
}

void FloatingSurfaceLink::EndFloatingLoad(std::size_t)
{
    if (m_toolBar) m_toolBar->EndLoad();
    // Every load ends with the window hidden.
    m_window.HideIconWindow();
    m_window.RebuildIconWindow(m_placed, m_images, m_window.MaxIconInRow());
    m_placed.clear();
}
