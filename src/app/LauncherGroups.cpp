#include "app/LauncherGroups.h"

#include <algorithm>

#include "app/Commands.h"
#include "app/LauncherMainUnit.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/ShellOperations.h"

namespace {
constexpr int kMostColumnWidth = 4000;
} // namespace

bool IniGroupSettings::EraseSection(const std::wstring& section)
{
    if (m_file.EraseSection(section.c_str())) return true;
    for (const auto& name : m_file.SectionNames())
        if (EqualsNoCase(name, section)) return false;
    return true;  // there was none
}

LauncherGroups::LauncherGroups(TOrvoLauncherClass& main)
    : m_main(main), m_settings(main.m_settings), m_groups(static_cast<StartGroupHost&>(*this))
{
}

LauncherGroups::~LauncherGroups() = default;

void LauncherGroups::CreatePage(HINSTANCE instance, HWND parent)
{
    m_groups.CreatePage(instance, parent, m_main.m_menuImages.get(), kImageGroupStart);
    // A width typed into the file that no list could show gives the column its design width; the
    // design width grows to show its header whole where the font is wider than it was made for.
    auto width = [&](const IntKey& key, int column) {
        int stored = m_main.m_settings.Read(key);
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
    m_main.m_settings.Write(keys::GroupStartCol1, caption);
    m_main.m_settings.Write(keys::GroupStartCol2, count);
}

HWND LauncherGroups::MainWindow() const { return m_main.Handle(); }

void LauncherGroups::ClearMenuOpen() { m_main.MenuOpen = false; }

void LauncherGroups::HideIconWindow() { m_main.HideIconWindow(); }

bool LauncherGroups::CanOpenModal() { return m_main.CanOpenModal(); }

void LauncherGroups::BeginEditorModal()
{
    m_savedModalKinds.push_back(static_cast<int>(m_main.ModalKind));
    m_main.ModalKind = ModalKindValue::StartGroupEditor;
}

void LauncherGroups::EditorWindowChanged(HWND editor) { m_main.m_modalWindow = editor; }

void LauncherGroups::EndEditorModal()
{
    m_main.m_modalWindow = nullptr;
    if (m_savedModalKinds.empty()) {
        m_main.ModalKind = ModalKindValue::None;
        return;
    }
    m_main.ModalKind = static_cast<ModalKindValue>(m_savedModalKinds.back());
    m_savedModalKinds.pop_back();
}

void LauncherGroups::SetGroupSubmenu(const std::vector<std::wstring>& captions)
{
    if (m_main.m_popupMenu) m_main.m_popupMenu->SetGroupEntries(captions);
}

void LauncherGroups::ShowHelp() { m_main.ActionShowHelpExecute(); }

void LauncherGroups::ShowContextHelp(HWND, DWORD contextId, POINT at)
{
    if (m_main.m_help) m_main.m_help->ShowContextPopup(m_main.Handle(), contextId, at);
}

void LauncherGroups::LaunchFile(const std::wstring& path)
{
    if (FileExists(path)) LaunchItemFile(path);
}
