#include "app/LauncherGroups.h"

#include <algorithm>

#include "app/Commands.h"
#include "app/ModalKind.h"
#include "app/SingleInstance.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/ShellOperations.h"
#include "popupmenu/PopupMenuRight.h"

namespace {
constexpr int kMostColumnWidth = 4000;
// The notification area's tip holds 128 characters with its terminator.
constexpr std::size_t kTipLength = 127;
} // namespace

bool IniGroupSettings::EraseSection(const std::wstring& section)
{
    if (m_file.EraseSection(section.c_str())) return true;
    for (const auto& name : m_file.SectionNames())
        if (EqualsOrdinalNoCase(name, section)) return false;
    return true;  // there was none
}

LauncherGroups::LauncherGroups(LauncherGroupsHost& host, const LauncherGroupsSetup& setup)
    : m_host(host), m_setup(setup), m_settings(*setup.settings), m_groups(static_cast<StartGroupHost&>(*this))
{
}

LauncherGroups::~LauncherGroups() = default;

void LauncherGroups::CreatePage(HINSTANCE instance, HWND parent)
{
    m_groups.CreatePage(instance, parent, m_setup.menuImages, kImageGroupStart);
    // A width typed into the file that no list could show gives the column its design width; the
    // design width grows to show its header whole where the font is wider than it was made for.
    auto width = [&](const IntKey& key, int column) {
        int stored = m_setup.settings->Read(key);
        if (stored < 0 || stored > kMostColumnWidth) stored = key.defaultValue;
        if (stored == key.defaultValue) stored = std::max(stored, m_groups.Page().HeaderFitWidth(column));
        return stored;
    };
    m_groups.Page().SetColumnWidths(width(keys::GroupStartCol1, 0), width(keys::GroupStartCol2, 1));
}

void LauncherGroups::SaveColumnWidths()
{
    if (!m_groups.PageHandle()) return;
    const auto [caption, count] = m_groups.Page().ColumnWidths();
    m_setup.settings->Write(keys::GroupStartCol1, caption);
    m_setup.settings->Write(keys::GroupStartCol2, count);
}

HWND LauncherGroups::MainWindow() const { return m_setup.mainWindow; }

void LauncherGroups::ClearMenuOpen() { m_host.SetMenuOpen(false); }

void LauncherGroups::HideIconWindow() { m_host.HideIconWindow(); }

bool LauncherGroups::CanOpenModal() { return m_host.CanOpenModal(); }

void LauncherGroups::BeginEditorModal()
{
    m_savedModalKinds.push_back(m_host.ExchangeModalKind(ModalKindValue::StartGroupEditor));
}

void LauncherGroups::EditorWindowChanged(HWND editor) { m_host.SetModalWindow(editor); }

void LauncherGroups::EndEditorModal()
{
    m_host.SetModalWindow(nullptr);
    if (m_savedModalKinds.empty()) {
        m_host.ExchangeModalKind(ModalKindValue::None);
        return;
    }
    m_host.ExchangeModalKind(m_savedModalKinds.back());
    m_savedModalKinds.pop_back();
}

void LauncherGroups::SetGroupSubmenu(const std::vector<std::wstring>& captions)
{
    if (TBPopupMenuRight* menu = m_host.TriggeredPopupMenu()) menu->SetGroupEntries(captions);
}

void LauncherGroups::ShowHelp() { m_host.ShowHelpTopic(); }

void LauncherGroups::ShowContextHelp(HWND, DWORD contextId, POINT at)
{
    m_host.ShowContextHelpPopup(contextId, at);
}

void LauncherGroups::LaunchFile(const std::wstring& path)
{
    if (FileExists(path)) LaunchItemFile(path);
}

void LauncherGroups::GroupProgressChanged(const std::optional<GroupProgress>& progress)
{
    m_host.SetMainTrayTip(progress ? GroupProgressTip(kProgramTitle, *progress, kTipLength) : std::wstring());
}

std::wstring LauncherGroups::SettingsArgument() const
{
    // As the Run entry names it: only a file that is there (a name that could not be used gave
    // way to another file, which the program finds again by itself).
    return m_setup.settingsFromCommandLine && m_setup.settings->Exists() ? m_setup.settings->FileName()
                                                                        : std::wstring();
}

std::optional<MenuCommand> LauncherGroups::StopEntry(unsigned stopCommand) const
{
    const auto progress = m_groups.Progress();
    if (!progress) return std::nullopt;
    MenuCommand entry;
    entry.id = stopCommand;
    entry.caption = L"Stop " + progress->caption;
    return entry;
}

bool LauncherGroups::AcceptGroupRequest(HWND sender, const COPYDATASTRUCT& data)
{
    auto name = ReadStartGroupRequest(sender, data);
    if (!name) return false;
    // The sender waits for the answer: the group runs after it has it.
    m_requests.push_back(std::move(*name));
    if (m_started) ::PostMessageW(m_setup.mainWindow, m_setup.requestMessage, 0, 0);
    return true;
}

void LauncherGroups::RunRequestedGroups()
{
    if (!m_started) return;
    while (!m_requests.empty()) {
        const std::wstring name = std::move(m_requests.front());
        m_requests.pop_front();
        m_groups.RunGroupNamed(name);
    }
}

void LauncherGroups::RunAtStart(const std::optional<std::wstring>& commandLineGroup)
{
    if (m_started) return;
    m_started = true;
    if (commandLineGroup) m_requests.push_front(*commandLineGroup);
    // A group asked for by name stands in for the one that runs at every start.
    if (m_requests.empty()) m_groups.RunAtStartGroup();
    else RunRequestedGroups();
}
