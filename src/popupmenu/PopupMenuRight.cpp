#include "popupmenu/PopupMenuRight.h"

#include "base/WinUtil.h"
#include "items/ShellOperations.h"

namespace {
constexpr UINT_PTR kQuietTimerId = 1;
// Images of the menu strip.
constexpr int kImageGroupStart = 7;
// The fixed top-level entries: program submenu, separator, "Group Start", "System Menu", separator.
constexpr int kFixedEntryCount = 5;
constexpr int kProgramMenuPosition = 0;
constexpr int kSystemMenuPosition = 3;
} // namespace

TBPopupMenuRight::TBPopupMenuRight(PopupMenuHost& host) : m_host(host) {}

TBPopupMenuRight::~TBPopupMenuRight() = default;

void TBPopupMenuRight::Create(HIMAGELIST images, HIMAGELIST programFolderImages, int programFolderIndex)
{
    m_images = images;
    m_menu.Create();
    m_menu.OnPopup = [this] {
        if (!m_host.IsCursorInIconWindow()) m_host.HideIconWindowBehindMenu();
        m_host.SetMenuOpen(true);
        FillProgramMenu();
        // Made again only when a run began or ended since the last showing.
        if (auto stop = m_host.GroupStopEntry(); stop != m_groupStop) {
            m_groupStop = std::move(stop);
            FillGroupMenu();
        }
        m_menu.SetShowHints(!m_host.NoMenuHint());
    };
    m_menu.OnCloseUp = [this] {
        m_host.SetMenuOpen(false);
        m_edgePopup = false;
    };
    m_menu.OnTimer = [this](UINT_PTR id) {
        if (id != kQuietTimerId) return;
        ::KillTimer(m_menu.Handle(), kQuietTimerId);
        m_quietPeriod = false;
    };

    HMENU root = m_menu.Root();
    const MenuEntryLook folderLook{programFolderImages, programFolderIndex, {}};
    m_programMenu = m_menu.AppendSubmenu(root, L"Orvo Launcher Menu", folderLook);
    m_menu.AppendSeparator(root);
    m_groupMenu = m_menu.AppendSubmenu(root, L"Group Start", MenuEntryLook{images, kImageGroupStart, {}});
    m_systemMenu = m_menu.AppendSubmenu(root, L"System Menu", folderLook);
    m_menu.AppendSeparator(root);
    m_menu.SetDefaultEntry(root, 0);
    SetGroupEntries({});
}

void TBPopupMenuRight::SetGroupEntries(const std::vector<std::wstring>& captions)
{
    m_groupEntries = captions;
    FillGroupMenu();
}

void TBPopupMenuRight::FillGroupMenu()
{
    if (!m_groupMenu) return;
    m_menu.RemoveEntriesFrom(m_groupMenu, 0);
    m_groupCaptions.clear();
    if (m_groupStop) {
        m_menu.AppendEntry(m_groupMenu, m_groupStop->id, m_groupStop->caption,
                           MenuEntryLook{m_groupStop->images ? m_groupStop->images : m_images, m_groupStop->imageIndex, {}});
        m_menu.AppendSeparator(m_groupMenu);
    }
    for (const auto& caption : m_groupEntries) {
        const unsigned id = kFirstGroupEntryCommand + static_cast<unsigned>(m_groupCaptions.size());
        if (id > kLastGroupEntryCommand) break;
        if (m_menu.AppendEntry(m_groupMenu, id, caption, MenuEntryLook{m_images, kImageGroupStart, caption}))
            m_groupCaptions.push_back(caption);
    }
    // An entry that does nothing when chosen.
    if (m_groupCaptions.empty()) m_menu.AppendEntry(m_groupMenu, 0, L"No Group Start", MenuEntryLook{});
}

void TBPopupMenuRight::SetProgramFolderImage(HIMAGELIST images, int index)
{
    // The program submenu and "System Menu" show the program folder; "Group Start" keeps its own image.
    m_menu.SetEntryImage(m_menu.Root(), kProgramMenuPosition, images, index);
    m_menu.SetEntryImage(m_menu.Root(), kSystemMenuPosition, images, index);
}

void TBPopupMenuRight::FillProgramMenu()
{
    // The program submenu is made afresh each time, so captions, checks and states are current.
    FillMenu(m_programMenu, m_host.RefreshProgramMenu());
}

void TBPopupMenuRight::SetSystemMenuEntries(const std::vector<MenuCommand>& entries)
{
    // Asked at every popup: the submenu is made again only when its entries changed.
    if (!m_systemMenu || entries == m_systemEntries) return;
    FillMenu(m_systemMenu, entries);
    m_systemEntries = entries;
}

void TBPopupMenuRight::FillMenu(HMENU menu, const std::vector<MenuCommand>& commands)
{
    m_menu.RemoveEntriesFrom(menu, 0);
    int position = 0, defaultPosition = -1;
    for (const MenuCommand& command : commands) {
        if (command.id == 0) {
            m_menu.AppendSeparator(menu);
        } else {
            m_menu.AppendEntry(menu, command.id, command.caption,
                               MenuEntryLook{command.images ? command.images : m_images, command.imageIndex, {}},
                               command.enabled, command.checked);
            if (command.isDefault) defaultPosition = position;
        }
        ++position;
    }
    if (defaultPosition >= 0) m_menu.SetDefaultEntry(menu, defaultPosition);
}

unsigned TBPopupMenuRight::Show(POINT at) { return m_menu.Popup(at); }

void TBPopupMenuRight::Dispatch(unsigned chosen)
{
    if (chosen == 0) return;
    if (chosen >= kFirstMenusEntryCommand) MenuEntryClick(chosen - kFirstMenusEntryCommand);
    else if (chosen >= kFirstGroupEntryCommand && chosen <= kLastGroupEntryCommand) GroupEntryClick(chosen - kFirstGroupEntryCommand);
    else m_host.ExecuteCommand(chosen);
}

void TBPopupMenuRight::OpenMainMenu()
{
    m_host.HideIconWindowBehindMenu();
    if (!m_host.CanOpenModal() || m_host.IsMenuOpen()) return;
    m_host.ForceForeground(m_menu.Handle());
    ::SetForegroundWindow(m_menu.Handle());
    POINT at{};
    ::GetCursorPos(&at);
    const unsigned chosen = Show(at);
    StartQuietPeriod();
    m_host.HideIconWindow();
    // Lets the menu's window go cleanly, as the shell's tray menus need.
    ::PostMessageW(m_menu.Handle(), WM_NULL, 0, 0);
    Dispatch(chosen);
}

void TBPopupMenuRight::OpenMainMenuByHotkey()
{
    if (m_host.IsMenuOpen()) return;
    POINT at{};
    ::GetCursorPos(&at);
    m_host.ForceForeground(m_menu.Handle());
    // While the menu's window holds the foreground (a menu shown before), the hotkey's own
    // key-downs come to it, and a posted WM_HOTKEY overtakes those that arrived in the same burst
    // (keys sent at once, as by a macro tool). Left queued, the Alt key-down would reach the menu
    // loop and end the menu at once.
    MSG pending;
    while (::PeekMessageW(&pending, m_menu.Handle(), WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    Dispatch(Show(at));
}

void TBPopupMenuRight::OpenMainMenuByEdge()
{
    if (m_host.IsMenuOpen()) return;
    POINT at{};
    ::GetCursorPos(&at);
    m_edgePopup = true;
    m_host.ForceForeground(m_menu.Handle());
    const unsigned chosen = Show(at);
    m_edgePopup = false;
    Dispatch(chosen);
}

void TBPopupMenuRight::PopupAt(POINT at)
{
    if (m_host.IsMenuOpen()) return;
    m_host.ForceForeground(m_menu.Handle());
    Dispatch(Show(at));
}

void TBPopupMenuRight::StartQuietPeriod()
{
    // A one-shot timer at the deadline; any delay, even one of seconds, ends.
    const int delay = m_host.PopUpDelay();
    m_quietPeriod = true;
    ::SetTimer(m_menu.Handle(), kQuietTimerId, static_cast<UINT>(delay > 0 ? delay : 1), nullptr);
}

void TBPopupMenuRight::MenuEntryClick(std::size_t entry)
{
    m_host.HideIconWindow();
    if (entry < m_files.size() && FileExists(m_files[entry])) LaunchItemFile(m_files[entry]);
    m_host.SetMenuOpen(false);
}

void TBPopupMenuRight::GroupEntryClick(std::size_t entry)
{
    // The caption is copied: running the group may rebuild the submenu.
    if (entry < m_groupCaptions.size()) m_host.RunStartGroup(std::wstring(m_groupCaptions[entry]));
}

void TBPopupMenuRight::RemoveMenuItems(const std::vector<Item>&)
{
    m_menu.RemoveEntriesFrom(m_menu.Root(), kFixedEntryCount);
    m_files.clear();
    m_commandOfItem.clear();
}

void TBPopupMenuRight::BeginMenusLoad(HIMAGELIST menuImages, HIMAGELIST, const std::wstring&, std::int32_t)
{
    m_menuImages = menuImages;
    m_folderStack.assign(1, m_menu.Root());
}

void TBPopupMenuRight::BeginMenuFolder(const MenuFolder& folder)
{
    HMENU parent = m_folderStack.empty() ? m_menu.Root() : m_folderStack.back();
    HMENU submenu = m_menu.AppendSubmenu(parent, folder.Caption, MenuEntryLook{m_menuImages, folder.MenuImageIndex, {}});
    // A submenu that could not be made still takes its place in the stack; its entries go nowhere.
    m_folderStack.push_back(submenu);
}

void TBPopupMenuRight::EndMenuFolder()
{
    if (m_folderStack.size() > 1) m_folderStack.pop_back();
}

void TBPopupMenuRight::AddMenuFile(const Item& item, std::int32_t, bool placed)
{
    if (!placed || m_folderStack.empty() || !m_folderStack.back()) return;
    const unsigned id = kFirstMenusEntryCommand + static_cast<unsigned>(m_files.size());
    if (id > kLastMenusEntryCommand) return;
    if (m_menu.AppendEntry(m_folderStack.back(), id, item.Caption, MenuEntryLook{m_menuImages, item.ImageIndex, item.Hint})) {
        m_files.push_back(item.FileName);
        m_commandOfItem[item.Id] = id;
    }
}

void TBPopupMenuRight::UpdateMenuFile(const Item& item, std::int32_t)
{
    const auto found = m_commandOfItem.find(item.Id);
    if (found != m_commandOfItem.end()) m_menu.SetEntryLook(found->second, MenuEntryLook{m_menuImages, item.ImageIndex, item.Hint});
}

void TBPopupMenuRight::EndMenusLoad() { m_folderStack.clear(); }
