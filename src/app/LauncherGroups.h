#pragma once
// The main window's wiring of the start groups: the settings file as the groups see it, the modal
// bookkeeping of the editor, the submenu and its stop entry, the main tray icon's tip while a group
// runs, help, launching, and the groups asked for from outside (command line, another copy).

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ModalKind.h"
#include "app/Settings.h"
#include "groups/StartGroups.h"
#include "popupmenu/PopupMenuRight.h"

// What the start groups need of the main window.
class LauncherGroupsHost {
public:
    virtual ~LauncherGroupsHost() = default;
    // The menu whose "Group Start" submenu mirrors the list; null while it does not exist.
    virtual TBPopupMenuRight* TriggeredPopupMenu() const = 0;
    virtual void HideIconWindow() = 0;
    virtual void SetMenuOpen(bool open) = 0;
    // One modal window at a time: asks (beeping when one is open), and swaps the open kind.
    virtual bool CanOpenModal() = 0;
    virtual ModalKindValue ExchangeModalKind(ModalKindValue kind) = 0;
    // The open modal window, which a refused opening brings forward; null when none.
    virtual void SetModalWindow(HWND window) = 0;
    // The "&Help" command, and a control's context popup.
    virtual void ShowHelpTopic() = 0;
    virtual void ShowContextHelpPopup(DWORD contextId, POINT at) = 0;
    // The main tray icon's tip; empty for the program's title.
    virtual void SetMainTrayTip(const std::wstring& tip) = 0;
};

// What the main window holds from start-up on, for the life of the groups.
struct LauncherGroupsSetup {
    HWND mainWindow = nullptr;
    const IniFile* settings = nullptr;
    HIMAGELIST menuImages = nullptr;  // "MENUIMAGE": the page shows image 7
    // The settings file came from the command line, so a command that runs a group names it too.
    bool settingsFromCommandLine = false;
    // Posted to the main window to run the groups asked for; handed to RunRequestedGroups.
    UINT requestMessage = 0;
};

// The settings file through the groups' interface.
class IniGroupSettings : public GroupSettingsFile {
public:
    explicit IniGroupSettings(const IniFile& file) : m_file(file) {}
    std::vector<std::wstring> SectionNames() const override { return m_file.SectionNames(); }
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) const override
    {
        return m_file.ReadString(section.c_str(), key.c_str(), defaultValue);
    }
    int ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const override
    {
        return m_file.ReadInteger(section.c_str(), key.c_str(), defaultValue);
    }
    std::vector<std::wstring> KeyNames(const std::wstring& section) const override
    {
        return m_file.KeyNames(section.c_str());
    }
    bool WriteSection(const std::wstring& section,
                      const std::vector<std::pair<std::wstring, std::wstring>>& values) override
    {
        return m_file.WriteSection(section.c_str(), values);
    }
    bool EraseSection(const std::wstring& section) override;

private:
    const IniFile& m_file;
};

class LauncherGroups : private StartGroupHost {
public:
    LauncherGroups(LauncherGroupsHost& host, const LauncherGroupsSetup& setup);
    ~LauncherGroups() override;

    // The "Group Start" page, its column widths from "GroupStartCol".
    void CreatePage(HINSTANCE instance, HWND parent);
    HWND PageHandle() const noexcept { return m_groups.PageHandle(); }
    void LoadStartGroups() { m_groups.LoadStartGroups(); }
    void RunStartGroup(const std::wstring& caption) { m_groups.RunStartGroup(caption); }
    // The column widths go back to "GroupStartCol".
    void SaveColumnWidths();

    // "Stop <group>" while a group runs (the main window's command `stopCommand`).
    std::optional<MenuCommand> StopEntry(unsigned stopCommand) const;
    void StopStartGroup() { m_groups.StopStartGroup(); }
    // A WM_COPYDATA: true when it is another copy's request to run a group, which then runs soon.
    bool AcceptGroupRequest(HWND sender, const COPYDATASTRUCT& data);
    // The requestMessage arrived.
    void RunRequestedGroups();
    // Once, when start-up is done: the group the command line names, else the first group of the
    // list that runs when the program starts. Requests that came before run from now on.
    void RunAtStart(const std::optional<std::wstring>& commandLineGroup);

private:
    GroupSettingsFile& GroupSettings() override { return m_settings; }
    HWND MainWindow() const override;
    void ClearMenuOpen() override;
    void HideIconWindow() override;
    bool CanOpenModal() override;
    void BeginEditorModal() override;
    void EditorWindowChanged(HWND editor) override;
    void EndEditorModal() override;
    void SetGroupSubmenu(const std::vector<std::wstring>& captions) override;
    void GroupProgressChanged(const std::optional<GroupProgress>& progress) override;
    std::wstring SettingsArgument() const override;
    void ShowHelp() override;
    void ShowContextHelp(HWND control, DWORD contextId, POINT at) override;
    void LaunchFile(const std::wstring& path) override;

    LauncherGroupsHost& m_host;
    LauncherGroupsSetup m_setup;
    IniGroupSettings m_settings;
    TStartGroups m_groups;
    std::vector<ModalKindValue> m_savedModalKinds;
    std::deque<std::wstring> m_requests;  // group names asked for, not yet run
    bool m_started = false;               // RunAtStart has run
};
