#pragma once
// The "Options" page of the main window: its two panels, " Options " and " More Options ", with
// every control, their layout and their handlers. Each control writes its setting the moment it
// changes; nothing waits for the OK button.

#include <windows.h>

#include <string>
#include <vector>

#include "app/Settings.h"
#include "base/Handles.h"
#include "base/Window.h"
#include "components/OrvoTrackBar.h"
#include "triggers/TriggerRules.h"

class MainTrayIcon;
class TIconWindow;
class TSurfaceHotKeys;
struct LauncherOptions;

// What the page needs of the main window.
class OptionsPageHost {
public:
    virtual ~OptionsPageHost() = default;
    // The options in effect: the page changes them, and everything reading them follows at once.
    virtual LauncherOptions& EditableOptions() = 0;
    virtual void SetMenuOpen(bool open) = 0;
    virtual void HideIconWindow() = 0;
    // The floating window; null while it does not exist.
    virtual TIconWindow* TriggeredIconWindow() const = 0;
    // A command the page shares with the popup menu ("Start with Windows", "Single click to
    // activate the icon", "Disable tray icon").
    virtual void ExecuteCommand(unsigned id) = 0;
    // The main tray icon with its two images; null until it exists.
    virtual MainTrayIcon* MainIcon() = 0;
    // The custom or the built-in image, as "UseCustomMainIcon" says, and the icon placed.
    virtual void ApplyMainIcon() = 0;
    // The icon placed or removed as "Hide main tray icon" says.
    virtual void UpdateMainTrayIcon() = 0;
    // Whether the Icons collection holds any item.
    virtual bool HasIconsItems() const = 0;
    // The popup menu and floating window hotkeys; null until they exist.
    virtual TSurfaceHotKeys* SurfaceHotKeys() = 0;
    // The data folder in use (with its trailing backslash), and a change to another: false when
    // its collection folders cannot be made, after the user was told; the old folder stays.
    virtual const std::wstring& DataFolder() const = 0;
    virtual bool ChangeDataFolder(const std::wstring& folder) = 0;
};

class TOptionsPage : public ChildDialog {
public:
    TOptionsPage(OptionsPageHost& host, const IniFile& settings);
    ~TOptionsPage() override;

    // Creates the page from its template, showing the " Options " panel.
    void CreatePage(HINSTANCE instance, HWND parent);
    // Every control from the options in effect (after they were loaded, and after a command of
    // the popup menu changed one). The hotkey fields show the surface hotkeys from now on.
    void ShowOptions();
    // The two images of the main tray icon, the visible one shown.
    void ShowMainIconImages();
    // `ApplyDataFolder`'s label: the folder shortened to the label, the whole path as its hint.
    void ShowDataFolder(const std::wstring& folder);

    bool MoreOptionsShown() const noexcept { return m_moreShown; }

protected:
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void AttachControls();
    void SetHelpContexts();
    // Where the template put each control, for LayOut to fit them to the frames the page has.
    void RememberDesignedLayout();
    void LayOut();
    void ShowPanel(bool more);
    void SetCheck(int id, bool checked) const;
    void EnableControl(int id, bool enabled) const;
    void ShowEdgeChecks();
    void ShowHotKeyNote();
    void ShowPromoteTrayIconsState();
    void ShowHideTrayIconState();
    bool OnCommand(int id, int code);
    bool OnMoreCommand(int id, int code);

    void ActionCustomMainIconExecute();
    void ActionChangeMainTrayIconExecute();
    void RadioButtonOpenClick();
    void UpDownNumOfIconClick();
    void HotKeyExit(HWND field);
    void ActionHideTrayIconExecute();
    void ActionBrowseDataFolderExecute();
    void EdgeActionExecute(std::size_t edge, bool floatAction);
    void ComboBoxChange(int id);
    void TrackBarSensitivityChange();

    static LRESULT CALLBACK HotKeySubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR id, DWORD_PTR data) noexcept;
    static LRESULT CALLBACK TrackBarSensitivityKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                       UINT_PTR id, DWORD_PTR data) noexcept;

    // A control as the template placed it, in pixels of the page.
    struct DesignedControl {
        HWND window;
        RECT rect;
        bool keepsWidth;
    };

    OptionsPageHost& m_host;
    const IniFile& m_settings;
    TOrvoTrackBar m_trackBar;
    HWND m_hotKeyIconWin = nullptr;
    HWND m_hotKeyPopup = nullptr;
    HWND m_dataFolderHint = nullptr;  // the tooltip of the data folder label
    std::wstring m_dataFolder;         // the folder the field shows, shortened to its width
    std::wstring m_dataFolderText;     // the hint's text
    std::vector<DesignedControl> m_designed;
    RECT m_designedFrame{};
    bool m_moreShown = false;
    bool m_hotKeysAttached = false;
};
