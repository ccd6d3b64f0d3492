#include "tray/ItemTrayIcons.h"

#include "base/Strings.h"
#include "base/WinUtil.h"
#include "components/ToolBarPager.h"
#include "items/ShellOperations.h"
#include "tray/TrayIdentity.h"
#include "tray/TrayRules.h"

namespace {
std::wstring EntryKey(const Item& item) { return ToLowerInvariant(ExtractFileName(item.FileName)); }
} // namespace

TItemTrayIcons::TItemTrayIcons(HWND owner, TrayHost& host, NotifyIconFunction notify)
    : m_owner(owner), m_host(host), m_notify(std::move(notify)), m_programPath(ToLowerInvariant(ModuleFileName()))
{
}

GUID TItemTrayIcons::IdentityOf(const Item& item) const
{
    const Uuid uuid = EntryIconUuid(m_programPath, EntryKey(item));
    GUID guid{};
    guid.Data1 = (static_cast<unsigned long>(uuid[0]) << 24) | (uuid[1] << 16) | (uuid[2] << 8) | uuid[3];
    guid.Data2 = static_cast<unsigned short>((uuid[4] << 8) | uuid[5]);
    guid.Data3 = static_cast<unsigned short>((uuid[6] << 8) | uuid[7]);
    for (int i = 0; i < 8; ++i) guid.Data4[i] = uuid[8 + i];
    return guid;
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
    if (OnIconsLoaded) OnIconsLoaded();
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
    const GUID identity = IdentityOf(item);
    const bool withIdentity = !m_refusedIdentity.contains(EntryKey(item));
    NOTIFYICONDATAW record = MakeNotifyRecord(m_owner, item.Id, ItemTrayCallbackMessage(item.Id), icon,
                                              item.Caption, withIdentity ? &identity : nullptr);
    if (enabled && add) AddWithIdentity(item, record);
    else if (enabled) m_notify(NIM_MODIFY, record);
    if (icon) ::DestroyIcon(icon);
    m_records[item.Id] = record;
}

void TItemTrayIcons::AddWithIdentity(const Item& item, NOTIFYICONDATAW& record)
{
    if (m_notify(NIM_ADD, record) || !(record.uFlags & NIF_GUID)) return;
    // An icon left under this identity by a copy of ours that ended without removing it makes the
    // shell refuse the add: remove it and try once more.
    m_notify(NIM_DELETE, record);
    if (m_notify(NIM_ADD, record)) return;
    // Older shells know no identities, and a shell that registered this one to another path (the
    // program moved) refuses it: the icon goes by window and id alone from now on, quietly.
    NOTIFYICONDATAW plain = MakeNotifyRecord(m_owner, record.uID, record.uCallbackMessage, record.hIcon, item.Caption);
    if (!m_notify(NIM_ADD, plain)) return; // no taskbar yet: the next add tries the identity again
    m_refusedIdentity.insert(EntryKey(item));
    record = plain;
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
