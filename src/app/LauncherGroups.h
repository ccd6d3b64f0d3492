#pragma once
// The main window's wiring of the start groups: the settings file as the groups see it, the modal
// bookkeeping of the editor, the submenu, help and launching.

#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "groups/StartGroups.h"

class TOrvoLauncherClass;

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
    explicit LauncherGroups(TOrvoLauncherClass& main);
    ~LauncherGroups() override;

    // The "Group Start" page, its column widths from "GroupStartCol".
    void CreatePage(HINSTANCE instance, HWND parent);
    HWND PageHandle() const noexcept { return m_groups.PageHandle(); }
    void LoadStartGroups() { m_groups.LoadStartGroups(); }
    void RunStartGroup(const std::wstring& caption) { m_groups.RunStartGroup(caption); }
    // The column widths go back to "GroupStartCol".
    void SaveColumnWidths();

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
    void ShowHelp() override;
    void ShowContextHelp(HWND control, DWORD contextId, POINT at) override;
    void LaunchFile(const std::wstring& path) override;

    TOrvoLauncherClass& m_main;
    IniGroupSettings m_settings;
    TStartGroups m_groups;
    std::vector<int> m_savedModalKinds;
};
