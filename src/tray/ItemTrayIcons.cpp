#include "tray/ItemTrayIcons.h"

#include "base/WinUtil.h"
#include "components/ToolBarPager.h"
#include "items/ShellOperations.h"
#include "tray/TrayRules.h"

TItemTrayIcons::TItemTrayIcons(HWND owner, TrayHost& host, NotifyIconFunction notify)
    : m_owner(owner), m_host(host), m_notify(std::move(notify))
{
}

void TItemTrayIcons::BeginIconsLoad(HIMAGELIST images)
{
    m_images = images;
    // The loader removes the buttons itself when it rebuilds; a load that only adds keeps them.
    if (m_toolBar) m_toolBar->BeginAppend(images);
}

void TItemTrayIcons::RemoveIconItems(const std::vector<Item>& items)
{
    for (const Item& item : items) RemoveItemTrayIcon(item.Id);
    m_records.clear();
    if (m_toolBar) m_toolBar->RemoveAllButtons();
}

void TItemTrayIcons::AddIconItem(const Item& item)
{
    if (m_toolBar) m_toolBar->AddItemButton(item.Id, item.Caption, item.ImageIndex);
    SetItemTrayIcon(item, !m_host.TrayIconsDisabled(), true);
}

void TItemTrayIcons::EndIconsLoad()
{
    if (m_toolBar) m_toolBar->EndLoad();
}

void TItemTrayIcons::UpdateIconItem(const Item& item)
{
    if (m_toolBar) m_toolBar->SetButtonImage(item.Id, item.ImageIndex);
    const auto found = m_records.find(item.Id);
    if (found == m_records.end()) return;
    const bool shown = found->second.hIcon != nullptr;
    SetItemTrayIcon(item, shown, false);
    if (!shown) m_records[item.Id].hIcon = nullptr;
}

void TItemTrayIcons::SetItemTrayIcon(const Item& item, bool enabled, bool add)
{
    // The shell keeps its own copy of the icon: ours goes right after the call, but its handle
    // value stays in the record as the mark that the icon is present.
    HICON icon = m_images ? ::ImageList_GetIcon(m_images, item.ImageIndex, ILD_NORMAL) : nullptr;
    NOTIFYICONDATAW record =
        MakeNotifyRecord(m_owner, item.Id, ItemTrayCallbackMessage(item.Id), icon, item.Caption);
    if (enabled) m_notify(add ? NIM_ADD : NIM_MODIFY, record);
    if (icon) ::DestroyIcon(icon);
    m_records[item.Id] = record;
}

void TItemTrayIcons::RemoveItemTrayIcon(std::uint16_t id)
{
    auto found = m_records.find(id);
    if (found == m_records.end() || !found->second.hIcon) return;
    m_notify(NIM_DELETE, found->second);
    found->second.hIcon = nullptr;
}

void TItemTrayIcons::ShowAllItemTrayIcons(const std::vector<Item>& items)
{
    if (m_host.TrayIconsDisabled()) return;
    for (auto item = items.rbegin(); item != items.rend(); ++item)
        if (item->Kind == CollectionKind::Icons) SetItemTrayIcon(*item, true, true);
}

void TItemTrayIcons::HideAllItemTrayIcons(const std::vector<Item>& items)
{
    for (const Item& item : items) {
        auto found = m_records.find(item.Id);
        if (found != m_records.end()) m_notify(NIM_DELETE, found->second);
    }
}

bool TItemTrayIcons::ItemTrayMessage(unsigned message, LPARAM mouseMessage, const std::vector<Item>& items)
{
    const auto index = ItemTrayIndexFromMessage(message, items.size());
    if (!index) return false;
    if (!m_host.AreCollectionsReady()) return true;
    const ItemTrayAction action = ItemTrayMouseAction(static_cast<unsigned>(mouseMessage), m_host.IsShiftDown(),
                                                      m_host.OneClickToActivate());
    if (action.clearMenuOpen) m_host.ClearMenuOpen();
    if (action.hideIconWindow) m_host.HideIconWindow();
    if (action.launch) {
        const std::wstring& file = items[*index].FileName;
        if (FileExists(file)) LaunchItemFile(file);
    }
    if (action.openMenu) m_host.OpenMainMenu();
    return true;
}

const NOTIFYICONDATAW* TItemTrayIcons::RecordOf(std::uint16_t id) const
{
    auto found = m_records.find(id);
    return found == m_records.end() ? nullptr : &found->second;
}
