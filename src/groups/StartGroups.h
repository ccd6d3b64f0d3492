#pragma once
// Start groups as the main window offers them: the "Group Start" page, the submenu's entries,
// the runner with its progress and its stop, the New, Edit and Delete commands with their editor,
// a group run by name (from another copy of the program) and the group that runs at start.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "groups/StartGroupPage.h"
#include "groups/StartGroupRunner.h"
#include "groups/StartGroupStore.h"

// What the start groups need of the main window.
class StartGroupHost {
public:
    virtual ~StartGroupHost() = default;
    virtual GroupSettingsFile& GroupSettings() = 0;
    virtual HWND MainWindow() const = 0;
    virtual void ClearMenuOpen() = 0;
    virtual void HideIconWindow() = 0;
    // One modal window at a time: asked before the editor opens.
    virtual bool CanOpenModal() = 0;
    // The editor opens (its window comes with WindowChanged) and closes.
    virtual void BeginEditorModal() = 0;
    virtual void EditorWindowChanged(HWND editor) = 0;
    virtual void EndEditorModal() = 0;
    // The "Group Start" submenu shows these captions, in this order.
    virtual void SetGroupSubmenu(const std::vector<std::wstring>& captions) = 0;
    // A group started, took a turn, or ended (nothing).
    virtual void GroupProgressChanged(const std::optional<GroupProgress>& progress) = 0;
    // The settings file the program was started with, which a command that runs a group names
    // too; empty when it was started without one.
    virtual std::wstring SettingsArgument() const = 0;
    virtual void ShowHelp() = 0;
    virtual void ShowContextHelp(HWND control, DWORD contextId, POINT at) = 0;
    // Hands a file to the shell.
    virtual void LaunchFile(const std::wstring& path) = 0;
};

class TStartGroups {
public:
    explicit TStartGroups(StartGroupHost& host);
    ~TStartGroups();

    // The page on the main window, its rows drawn with image `imageIndex` of `images`.
    void CreatePage(HINSTANCE instance, HWND parent, HIMAGELIST images, int imageIndex);
    HWND PageHandle() const noexcept { return m_page.Handle(); }
    StartGroupPage& Page() noexcept { return m_page; }

    // The list and the submenu from the settings file.
    void LoadStartGroups();
    void RebuildGroupSubmenu();
    // A submenu entry was chosen.
    void RunStartGroup(const std::wstring& caption);
    bool GroupRunning() const noexcept { return m_runner.Running(); }
    std::optional<GroupProgress> Progress() const { return m_runner.Progress(); }
    // "Stop <group>": nothing more of the running group starts.
    void StopStartGroup() { m_runner.Stop(); }
    // A group named from outside, letter case ignored; an unknown name is told to the user.
    void RunGroupNamed(const std::wstring& name);
    // The first group of the list that runs when the program starts, if any.
    void RunAtStartGroup();

    void ActionNewGroup();
    void ActionEditGroup();
    void ActionDeleteGroup();

private:
    void EditGroup(const std::wstring& windowCaption, bool isNew);
    void ShowProgress(const std::optional<GroupProgress>& progress);
    void CopyCommandLine();
    void CreateDesktopShortcut();

    StartGroupHost& m_host;
    StartGroupPage m_page;
    StartGroupRunner m_runner;
    // The exchange fields with the editor.
    std::wstring m_groupCaption;
    int m_groupFileCount = 0;
};
