#pragma once
// The main window: the hub that owns the subsystems and the shared flags, routes messages and
// commands, and delegates.

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "app/ApplicationWindow.h"
#include "app/Help.h"
#include "app/Options.h"
#include "app/Settings.h"
#include "base/Handles.h"
#include "base/Window.h"

// Which modal window is open: one at a time.
enum class ModalKindValue : int { None = 0, AboutBox = 1, StartGroupEditor = 2, HotkeyList = 3 };

class TOrvoLauncherClass : public Window {
public:
    TOrvoLauncherClass(ApplicationWindow& application, std::vector<std::wstring> arguments);
    ~TOrvoLauncherClass() override;

    // Creates the window; FormCreate runs inside.
    void Create();

    // Shared flags read by the surfaces.
    bool MenuOpen = false;
    bool CollectionsReady = false;
    ModalKindValue ModalKind = ModalKindValue::None;

    const IniFile& Settings() const noexcept { return m_settings; }
    const std::wstring& DataFolder() const noexcept { return m_dataFolder; }

    // Every command that opens a modal window asks first.
    bool CanOpenModal();
    // Hides the application window and the floating window; called before almost every command.
    void HideIconWindow();

    void ActionShowMainWindowExecute();
    void ActionOKExecute();
    void ActionExitExecute();
    void ActionShowHelpExecute();
    void ActionShowAboutDialogExecute();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    void FormDestroy();
    void CreateControls();
    void LayOutControls();
    void ShowPage(int index);
    void MinimizeApplication();
    bool OnCommand(unsigned id);
    void OnHelp(const HELPINFO& info);
    void OnQueryEndSession();
    RECT TabDisplayRect() const;
    int Scale(int pixels) const;

    ApplicationWindow& m_application;
    std::vector<std::wstring> m_arguments;
    IniFile m_settings;
    std::wstring m_dataFolder;
    std::wstring m_hotKeysXmlName;
    LauncherOptions m_options;
    std::unique_ptr<HelpSystem> m_help;

    RECT m_desktopRect{};
    RECT m_workArea{};
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    UINT m_taskbarCreatedMessage = 0;
    UINT m_showYourselfMessage = 0;
    unsigned m_dpi = 96;

    UniqueHfont m_font;
    HWND m_pageControl = nullptr;
    std::array<ChildDialog, 3> m_pages;
    HWND m_okButton = nullptr;
    HWND m_helpButton = nullptr;
    HWND m_aboutButton = nullptr;
    HWND m_modalWindow = nullptr;  // the open About box (ModalKind 1)
    bool m_destroyed = false;
};
