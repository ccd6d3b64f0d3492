// The main window's commands.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/AboutBox.h"
#include "app/Commands.h"
#include "app/LauncherMainUnit.h"
#include "app/Registry.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "components/OrvoDialogs.h"
#include "items/ShellImages.h"
#include "items/ShellOperations.h"

namespace {
RunEntry RunEntryOf(const std::vector<std::wstring>& arguments, const IniFile& settings)
{
    return MakeRunEntry(!arguments.empty(), settings.Exists(), settings.FileName(), ModuleFileName());
}
} // namespace

bool TOrvoLauncherClass::OnCommand(unsigned id)
{
    switch (id) {
    case kCmdShowMainWindow: ActionShowMainWindowExecute(); return true;
    case kCmdOK: ActionOKExecute(); return true;
    case kCmdExit: ActionExitExecute(); return true;
    case kCmdShowHelp: ActionShowHelpExecute(); return true;
    case kCmdShowAboutDialog: ActionShowAboutDialogExecute(); return true;
    case kCmdShowFloatingIcon: ActionShowFloatingIconExecute(); return true;
    case kCmdOpenDataFolder: ActionOpenDataFolderExecute(); return true;
    case kCmdStartWithWin: ActionStartWithWinExecute(); return true;
    case kCmdOneClickToActive: ActionOneClickToActiveExecute(); return true;
    case kCmdDisableTrayIcon: ActionDisableTrayIconExecute(); return true;
    case kCmdPromoteTrayIcons: ActionPromoteTrayIconsExecute(); return true;
    case kCmdStopGroup:
        MenuOpen = false;
        if (m_groups) m_groups->StopStartGroup();
        return true;
    case kCmdIconReloadIcon: if (m_reload) m_reload->ReloadIcons(); return true;
    case kCmdReloadMenu: if (m_reload) m_reload->ReloadMenus(); return true;
    case kCmdFloatReloadIcon: if (m_reload) m_reload->ReloadFloating(); return true;
    default:
        if (m_systemMenu && m_systemMenu->OnCommand(id)) {
            MenuOpen = false;
            return true;
        }
        return m_hotKeys && m_hotKeys->OnCommand(id);
    }
}

std::vector<MenuCommand> TOrvoLauncherClass::RefreshProgramMenu()
{
    // "Start with Windows" follows the registry, and the option follows it.
    const bool autoStart = IsAutoStart(RunEntryOf(m_arguments, m_settings));
    m_settings.Write(keys::AutoStart, autoStart);
    // The page is filled again only when the registry changed behind its back: filling every
    // control costs more than the whole menu on a slow machine, and each click waits for it.
    if (autoStart != m_options.autoStart) {
        m_options.autoStart = autoStart;
        ShowOptionsPage();
    }
    // The "All Users" entries only where their folders exist now.
    m_popupMenu->SetSystemMenuEntries(m_systemMenu->Entries());

    const bool showing = ::IsWindowVisible(Handle()) != FALSE;
    HIMAGELIST strip = nullptr;  // the menu's own images
    std::vector<MenuCommand> menu;
    menu.push_back({kCmdShowMainWindow, showing ? L"Hide &Main Window" : L"Show &Main Window", strip,
                    showing ? kImageHideMainWindow : kImageShowMainWindow, true, false, true});
    menu.push_back({});
    menu.push_back({kCmdShowFloatingIcon, L"Show Floating Icon", strip, kImageShowFloatingIcon});
    menu.push_back({});
    menu.push_back({kCmdRefreshHKey, L"&Refresh HotKey", strip, kImageRefreshHotKey});
    menu.push_back({kCmdOpenDataFolder, L"Open &Data Folder", m_systemMenu->ProgramFolderImages(),
                    m_systemMenu->ProgramFolderIndex()});
    menu.push_back({});
    menu.push_back({kCmdStartWithWin, L"Start with Windows", strip, -1, true, m_options.autoStart});
    menu.push_back({kCmdOneClickToActive, L"Single Click to Activate", strip, -1, true, m_options.oneClickToActivate});
    menu.push_back({});
    menu.push_back({kCmdShowAboutDialog, L"&About Orvo Launcher", strip, kImageAbout});
    menu.push_back({kCmdShowHelp, L"&Help", strip, kImageHelp});
    menu.push_back({});
    menu.push_back({kCmdExit, L"&Exit", strip, kImageExit});
    return menu;
}

void TOrvoLauncherClass::ActionShowMainWindowExecute()
{
    m_application.SetShownStyle();
    if (CanOpenModal()) {
        if (::IsWindowVisible(Handle())) {
            ActionOKExecute();
        } else {
            ::ShowWindow(Handle(), SW_SHOW);
            ::SetWindowPos(m_application.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            m_application.ShowNormal();
            ForceForegroundWindow(Handle());
        }
    } else if (!::IsWindowVisible(Handle())) {
        m_application.SetResidentStyle();
    }
    MenuOpen = false;
    TrimWorkingSet();
}

void TOrvoLauncherClass::ActionOKExecute()
{
    HideIconWindow();
    MinimizeApplication();
}

void TOrvoLauncherClass::ActionExitExecute()
{
    const std::wstring message = FormatMessageText(L"Do you really want to close %s?", kProgramTitle);
    bool close = true;
    if (!m_settings.Read(keys::ExitDialog)) {
        ::MessageBeep(MB_ICONASTERISK);
        bool dontShowAgain = false;
        const int answer =
            MessageDlgWithCheckBox(Handle(), message, MsgDlgType::Confirmation, mbYes | mbNo, 0, dontShowAgain);
        // Only a "Yes" ends the program: a box that could not open (or failed inside) is no consent.
        close = answer == mrYes;
        m_settings.Write(keys::ExitDialog, dontShowAgain);
    }
    if (close) {
        FreeIconWindow();
        ::PostQuitMessage(0);
    }
    MenuOpen = false;
}

void TOrvoLauncherClass::ActionShowHelpExecute()
{
    m_help->ShowTopic(Handle(), CurrentHelpPage());
}

void TOrvoLauncherClass::ShowContextHelpPopup(DWORD contextId, POINT at)
{
    if (m_help) m_help->ShowContextHelp(Handle(), contextId, at, CurrentHelpPage());
}

std::wstring TOrvoLauncherClass::CurrentHelpPage() const
{
    return HelpPageOfTab(TabCtrl_GetCurSel(m_pageControl), ::IsWindowVisible(Handle()) != FALSE);
}

void TOrvoLauncherClass::OnHelp(const HELPINFO& info)
{
    if (info.iContextType != HELPINFO_WINDOW) return;
    // F1 on one of the buttons below the pages, which hold the focus whenever nothing on the page
    // does, is help on the page shown; the "?" pointed at such a button is help on the button.
    if (IsBottomButton(static_cast<HWND>(info.hItemHandle)) && (::GetKeyState(VK_F1) & 0x8000) != 0) {
        ActionShowHelpExecute();
        return;
    }
    ShowContextHelpPopup(static_cast<DWORD>(info.dwContextId), info.MousePos);
}

void TOrvoLauncherClass::ActionShowAboutDialogExecute()
{
    HideIconWindow();
    if (!CanOpenModal()) return;
    const ModalKindValue saved = ModalKind;
    ModalKind = ModalKindValue::AboutBox;
    if (!m_aboutBox) m_aboutBox = std::make_unique<TAboutBox>([this] { return MenuOpen; });
    m_aboutBox->ShowModal(Handle(), &m_modalWindow, m_dataFolder);
    m_modalWindow = nullptr;
    ModalKind = saved;
}

void TOrvoLauncherClass::ActionShowFloatingIconExecute()
{
    // Opens as at a screen edge: passively, after an edge-opened menu lets go.
    if (m_triggers) m_triggers->ShowFloatingIconByEdge();
}

void TOrvoLauncherClass::ActionOpenDataFolderExecute()
{
    ::ShellExecuteW(nullptr, nullptr, m_dataFolder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    MenuOpen = false;
}

void TOrvoLauncherClass::ActionStartWithWinExecute()
{
    m_options.autoStart = !m_options.autoStart;
    m_settings.Write(keys::AutoStart, m_options.autoStart);
    SetAutoStart(m_options.autoStart, RunEntryOf(m_arguments, m_settings));
    MenuOpen = false;
    ShowOptionsPage();
}

void TOrvoLauncherClass::ActionOneClickToActiveExecute()
{
    m_options.oneClickToActivate = !m_options.oneClickToActivate;
    m_settings.Write(keys::OneClickToActivate, m_options.oneClickToActivate);
    MenuOpen = false;
    ShowOptionsPage();
}

void TOrvoLauncherClass::ActionDisableTrayIconExecute()
{
    m_options.disableTrayIcon = !m_options.disableTrayIcon;
    m_settings.Write(keys::DisableTrayIcon, m_options.disableTrayIcon);
    if (!m_itemTray) return;
    if (m_options.disableTrayIcon) m_itemTray->HideAllItemTrayIcons(m_collections.Icons().Items());
    else m_itemTray->ShowAllItemTrayIcons(m_collections.Icons().Items());
}
