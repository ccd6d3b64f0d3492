#include "groups/StartGroups.h"

#include "base/Strings.h"
#include "base/WinUtil.h"
#include "groups/StartGroupCommand.h"
#include "groups/StartGroupLaunch.h"
#include "groups/StartGroupShortcut.h"
#include "groups/StartGroupUnit.h"

namespace {
constexpr const wchar_t* kTitle = L"Orvo Launcher";
constexpr const wchar_t* kInProgress = L"Other Start Group is currently in progress\r\nPlease wait until the progress finish";
constexpr const wchar_t* kNoSuchGroup = L"There is no start group named \"%s\".";
constexpr const wchar_t* kNoShortcut = L"The shortcut cannot be created on the desktop.";
constexpr const wchar_t* kNoClipboard = L"The command line cannot be put on the clipboard.";
constexpr const wchar_t* kNotDeleted =
    L"The start group cannot be deleted: the settings file cannot be written.\r\nThe group stays as it was.";
// "Interval" when the key is missing.
constexpr int kDefaultInterval = 1;
} // namespace

TStartGroups::TStartGroups(StartGroupHost& host)
    : m_host(host),
      m_page(StartGroupPageEvents{[this] { ActionNewGroup(); }, [this] { ActionEditGroup(); },
                                  [this] { ActionDeleteGroup(); }, [this] { m_host.ShowHelp(); },
                                  [this] { CopyCommandLine(); }, [this] { CreateDesktopShortcut(); }}),
      m_runner(
          [this](const std::wstring& path, bool waitReady) {
              if (waitReady) return LaunchForWaiting(path);
              m_host.LaunchFile(path);
              return UniqueHandle();
          },
          [](const std::wstring& path) { return FileExists(path); })
{
    m_runner.OnProgress = [this](const std::optional<GroupProgress>& progress) { ShowProgress(progress); };
}

TStartGroups::~TStartGroups() = default;

void TStartGroups::CreatePage(HINSTANCE instance, HWND parent, HIMAGELIST images, int imageIndex)
{
    m_page.CreatePage(instance, parent, images, imageIndex);
    m_runner.Create();
}

void TStartGroups::LoadStartGroups()
{
    m_page.SetRows(LoadGroupRows(m_host.GroupSettings()));
    RebuildGroupSubmenu();
}

void TStartGroups::RebuildGroupSubmenu() { m_host.SetGroupSubmenu(m_page.Captions()); }

void TStartGroups::RunStartGroup(const std::wstring& caption)
{
    m_host.ClearMenuOpen();
    m_host.HideIconWindow();
    if (m_runner.Running()) {
        ::MessageBeep(MB_ICONASTERISK);
        ::MessageBoxW(m_host.MainWindow(), kInProgress, kTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    GroupSettingsFile& settings = m_host.GroupSettings();
    const int count = ReadGroupFileCount(settings, caption);
    if (count > 0) {
        const StartGroup group = ReadStartGroup(settings, caption, count, kDefaultInterval);
        m_runner.Run(group.caption, group.files, GroupPaceOf(group.interval, group.waitReady));
    }
    m_host.ClearMenuOpen();
}

void TStartGroups::ShowProgress(const std::optional<GroupProgress>& progress)
{
    m_page.ShowRunning(progress);
    m_host.GroupProgressChanged(progress);
}

void TStartGroups::RunGroupNamed(const std::wstring& name)
{
    // Group names are told apart as the settings file tells its sections apart.
    for (const auto& caption : m_page.Captions()) {
        if (EqualsOrdinalNoCase(caption, name)) {
            RunStartGroup(caption);
            return;
        }
    }
    m_host.HideIconWindow();
    ::MessageBeep(MB_ICONASTERISK);
    ::MessageBoxW(m_host.MainWindow(), FormatMessageText(kNoSuchGroup, name).c_str(), kTitle, MB_OK | MB_ICONERROR);
}

void TStartGroups::RunAtStartGroup()
{
    const std::wstring caption = FirstRunAtStartGroup(m_host.GroupSettings(), m_page.Captions());
    if (!caption.empty()) RunStartGroup(caption);
}

void TStartGroups::CopyCommandLine()
{
    const auto row = m_page.SelectedRow();
    if (!row) return;
    const std::wstring command = GroupCommandLine(ModuleFileName(), m_host.SettingsArgument(), row->caption);
    if (!PutTextOnClipboard(m_host.MainWindow(), command))
        ::MessageBoxW(m_host.MainWindow(), kNoClipboard, kTitle, MB_OK | MB_ICONERROR);
}

void TStartGroups::CreateDesktopShortcut()
{
    const auto row = m_page.SelectedRow();
    if (!row) return;
    if (!CreateGroupShortcut(ModuleFileName(), GroupArguments(m_host.SettingsArgument(), row->caption), row->caption))
        ::MessageBoxW(m_host.MainWindow(), kNoShortcut, kTitle, MB_OK | MB_ICONERROR);
}

void TStartGroups::EditGroup(const std::wstring& windowCaption, bool isNew)
{
    GroupEditorContext context;
    context.settings = &m_host.GroupSettings();
    context.existingCaptions = m_page.Captions();
    context.help = [this] { m_host.ShowHelp(); };
    context.contextHelp = [this](HWND control, DWORD id, POINT at) { m_host.ShowContextHelp(control, id, at); };
    context.windowChanged = [this](HWND window) { m_host.EditorWindowChanged(window); };
    const std::wstring original = m_groupCaption;
    m_host.BeginEditorModal();
    bool ok = false;
    bool fileChanged = false;
    {
        TKLGroupForm editor(std::move(context));
        ok = editor.ShowModal(m_host.MainWindow(), windowCaption, m_groupCaption, m_groupFileCount);
        fileChanged = editor.FileChanged();
    }
    if (fileChanged) {
        // A failed save left the file other than the list shows: the list shows the file again.
        m_page.SetRows(LoadGroupRows(m_host.GroupSettings()));
    } else if (ok && !m_groupCaption.empty()) {
        if (isNew) m_page.AddRow({m_groupCaption, m_groupFileCount});
        else m_page.ReplaceRow(original, {m_groupCaption, m_groupFileCount});
    }
    RebuildGroupSubmenu();
    m_host.EndEditorModal();
}

void TStartGroups::ActionNewGroup()
{
    if (!m_host.CanOpenModal()) return;
    m_groupCaption.clear();
    m_groupFileCount = 0;
    EditGroup(L"Add New Start Group", true);
}

void TStartGroups::ActionEditGroup()
{
    if (!m_host.CanOpenModal()) return;
    const auto row = m_page.SelectedRow();
    if (!row) return;
    m_groupCaption = row->caption;
    m_groupFileCount = row->fileCount;
    EditGroup(L"Edit Start Group", false);
}

void TStartGroups::ActionDeleteGroup()
{
    const auto row = m_page.SelectedRow();
    if (!row) return;
    if (!DeleteStartGroup(m_host.GroupSettings(), row->caption)) {
        // The row would come back at the next start: it stays, and the user knows why.
        ::MessageBoxW(m_host.MainWindow(), kNotDeleted, kTitle, MB_OK | MB_ICONERROR);
        return;
    }
    m_page.RemoveRow(row->caption);
    RebuildGroupSubmenu();
}
