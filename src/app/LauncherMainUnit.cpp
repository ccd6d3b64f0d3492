#include "app/LauncherMainUnit.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/Commands.h"
#include "app/Registry.h"
#include "app/SettingsRules.h"
#include "app/SingleInstance.h"
#include "base/ErrorReport.h"
#include "base/Dpi.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/DataFolder.h"
#include "items/ShellImages.h"
#include "items/ShellOperations.h"
#include "resources/resource.h"
#include "tray/TrayRules.h"

namespace {
// Posted to the own window: the floating window goes once the popup menu is up.
constexpr UINT kHideIconWindowMessage = WM_APP + 7;
// The worker has read entry files: their images and hotkeys go on the surfaces. It carries nothing;
// from anyone else it only makes the waiting results be taken sooner.
constexpr UINT kItemsReadMessage = WM_APP + 8;
// Start groups asked for from outside wait for the message loop.
constexpr UINT kRunGroupRequestsMessage = WM_APP + 9;

// Sizes at 96 DPI.
constexpr int kClientWidth = 388;
constexpr int kClientHeight = 401;
constexpr int kMargin = 6;
constexpr int kPageControlHeight = 356;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_CONTEXTHELP | WS_EX_CONTROLPARENT;

constexpr const wchar_t* kPageCaptions[] = {L"Launcher", L"Group Start", L"Options"};

// Help context ids of the bottom buttons.
constexpr DWORD kHelpContextOK = 4001;
constexpr DWORD kHelpContextHelp = 4002;
constexpr DWORD kHelpContextAbout = 4003;

// Pages drawn with the tab's themed background where visual styles offer one.
void EnableTabBackground(HWND page)
{
    using EnableThemeDialogTextureFn = HRESULT(WINAPI*)(HWND, DWORD);
    static HMODULE uxtheme = ::LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!uxtheme) return;
    static const auto enable = reinterpret_cast<EnableThemeDialogTextureFn>(
        reinterpret_cast<void*>(::GetProcAddress(uxtheme, "EnableThemeDialogTexture")));
    constexpr DWORD kEtdtEnableTab = 0x00000006;
    if (enable) enable(page, kEtdtEnableTab);
}
} // namespace

TOrvoLauncherClass::TOrvoLauncherClass(ApplicationWindow& application, std::vector<std::wstring> arguments)
    : m_application(application), m_arguments(std::move(arguments))
{
}

TOrvoLauncherClass::~TOrvoLauncherClass() { Destroy(); }

int TOrvoLauncherClass::Scale(int pixels) const { return ScaleForDpi(pixels, m_dpi); }

void TOrvoLauncherClass::Create()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterWindowClass(kMainWindowClass, 0, ::LoadIconW(instance, L"MAINICON"),
                        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    CreateWindowInstance(kMainExStyle, kMainWindowClass, kProgramTitle, kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         kClientWidth, kClientHeight, m_application.Handle());
    m_dpi = WindowDpi(Handle());

    // Fixed size, centred on the screen.
    RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
    AdjustWindowRectForDpi(&frame, kMainStyle, kMainExStyle, m_dpi);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    ::SetWindowPos(Handle(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    FormCreate();
}

void TOrvoLauncherClass::FormCreate()
{
    // 1. The system's message font.
    m_font.reset(CreateMessageFont(m_dpi));

    // 2. Settings paths.
    m_settings = IniFile(FindIniFileName(kMakerWord, kProgramTitle, m_arguments));
    m_dataFolder = ExtractFilePath(m_settings.FileName());
    m_hotKeysXmlName = m_dataFolder + L"HotKeys.xml";

    // 4. The desktop and the work area, taken once.
    m_desktopRect = {::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                     ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &m_workArea, 0);

    // 5. Image lists and the menu.
    CreateImageLists();

    // 6.
    CollectionsReady = false;

    // 7. Version value, messages, caption and help.
    WriteVersionValue();
    m_taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");
    m_showYourselfMessage = ::RegisterWindowMessageW(kShowYourselfMessage);
    ::SetWindowTextW(Handle(), kProgramTitle);
    ::SetWindowTextW(m_application.Handle(), kProgramTitle);
    m_help = std::make_unique<HelpSystem>(ChangeFileExt(ModuleFileName(), L".chm"),
                                          ExtractFilePath(ModuleFileName()) + L"help\\");
    m_application.onMinimize = [this] { MinimizeApplication(); };
    m_application.onActivate = [this] {
        // The taskbar button brings back the window the user left: an open About box or hotkey
        // list rather than the main window they hold disabled.
        if (::IsWindowVisible(Handle())) ::SetActiveWindow(::GetLastActivePopup(Handle()));
    };

    // 8.
    m_frameWidth = ::GetSystemMetrics(SM_CXFRAME);
    m_frameHeight = ::GetSystemMetrics(SM_CYFRAME);

    // 10. Inside: the start group list's column widths from "GroupStartCol".
    CreateControls();

    // 11. Options, in their loading order; the main tray icon shows for the first time.
    m_options = LoadOptions(m_settings, m_dataFolder);
    m_mainIcon = std::make_unique<MainTrayIcon>(Handle());
    m_mainIcon->UseBuiltIn();
    ShowMainTrayIcon(false);
    LauncherHotKeysSetup hotKeysSetup;
    hotKeysSetup.mainWindow = Handle();
    hotKeysSetup.applicationWindow = m_application.Handle();
    hotKeysSetup.collections = &m_collections;
    hotKeysSetup.settings = &m_settings;
    hotKeysSetup.hotKeysXmlName = m_hotKeysXmlName;
    m_hotKeys = std::make_unique<LauncherHotKeys>(static_cast<LauncherHotKeysHost&>(*this), hotKeysSetup);
    m_collections.AttachHotKeyRegistrar(&m_hotKeys->Registrar());
    m_hotKeys->RestoreSurfaceHotKeys();
    SetAutoStart(m_options.autoStart,
                 MakeRunEntry(!m_arguments.empty(), m_settings.Exists(), m_settings.FileName(), ModuleFileName()));
    m_groups->LoadStartGroups();
    m_optionsPage->ShowOptions();

    // 12. The collection folders.
    if (!EnsureCollectionFolders(m_dataFolder)) {
        ::MessageBeep(MB_ICONASTERISK);
        ::MessageBoxW(Handle(), kDataFolderFailureMessage, kProgramTitle, MB_OK | MB_ICONERROR);
        m_mainIcon->Remove();
        ::PostQuitMessage(0);
        return;
    }

    // 13. Apply the data folder.
    m_reload = std::make_unique<TCollectionReload>(CollectionRebuilds::Of(m_collections));
    // The menu's entries stay as they are while the user is choosing one.
    m_reload->SetRebuildHold([this](WatchedCollection c) { return c == WatchedCollection::Menus && MenuOpen; });
    ApplyDataFolder();

    // 14.
    ShowPage(0);
    m_application.Hide();
    ModalKind = ModalKindValue::None;
    MenuOpen = false;

    // 15. System-wide mouse and key events.
    LauncherTriggersSetup triggersSetup;
    triggersSetup.frameWidth = m_frameWidth;
    triggersSetup.frameHeight = m_frameHeight;
    triggersSetup.desktopRect = m_desktopRect;
    triggersSetup.applicationWindow = m_application.Handle();
    m_triggers = std::make_unique<LauncherTriggers>(static_cast<LauncherTriggersHost&>(*this), triggersSetup);
    m_triggers->Start();

    // 16.
    TrimWorkingSet();
    m_formCreated = true;
}

void TOrvoLauncherClass::CreateImageLists()
{
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    m_menuImages.reset(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 9, 4));
    if (HBITMAP strip = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), L"MENUIMAGE", IMAGE_BITMAP, 0,
                                                          0, LR_CREATEDIBSECTION))) {
        // The strip is drawn at 16 x 16; a larger small-icon size gets it stretched.
        if (size == 16) {
            ::ImageList_AddMasked(m_menuImages.get(), strip, RGB(255, 0, 255));
        } else {
            HIMAGELIST plain = ::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 9, 0);
            ::ImageList_AddMasked(plain, strip, RGB(255, 0, 255));
            for (int i = 0; i < ::ImageList_GetImageCount(plain); ++i) {
                HICON icon = ::ImageList_GetIcon(plain, i, ILD_NORMAL);
                ::ImageList_ReplaceIcon(m_menuImages.get(), -1, icon);
                ::DestroyIcon(icon);
            }
            ::ImageList_Destroy(plain);
        }
        ::DeleteObject(strip);
    }
    m_popupMenu = std::make_unique<TBPopupMenuRight>(static_cast<PopupMenuHost&>(*this));
    // Its entries and the program folder's icon come when the data folder is applied.
    m_systemMenu = std::make_unique<TSystemMenu>(m_application.Handle(), [this] { return m_options.openSystemMenu; });
    m_popupMenu->Create(m_menuImages.get(), nullptr, -1);
}

void TOrvoLauncherClass::CreateControls()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_pageControl = ::CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                                      0, 0, 0, 0, Handle(), nullptr, instance, nullptr);
    ::SendMessageW(m_pageControl, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    // Page images from the menu strip: Launcher 3, Group Start 7, Options 2.
    TabCtrl_SetImageList(m_pageControl, m_menuImages.get());
    const int pageImages[] = {kImageAbout, kImageGroupStart, kImageOptions};
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<wchar_t*>(kPageCaptions[i]);
        item.iImage = pageImages[i];
        TabCtrl_InsertItem(m_pageControl, i, &item);
    }

    m_launcherPage.CreatePage(instance, Handle(), static_cast<LauncherPageHost&>(*this), m_menuImages.get());
    LauncherGroupsSetup groupsSetup;
    groupsSetup.mainWindow = Handle();
    groupsSetup.settings = &m_settings;
    groupsSetup.menuImages = m_menuImages.get();
    groupsSetup.settingsFromCommandLine = !m_arguments.empty();
    groupsSetup.requestMessage = kRunGroupRequestsMessage;
    m_groups = std::make_unique<LauncherGroups>(static_cast<LauncherGroupsHost&>(*this), groupsSetup);
    m_groups->CreatePage(instance, Handle());
    m_optionsPage = std::make_unique<TOptionsPage>(static_cast<OptionsPageHost&>(*this), m_settings);
    m_optionsPage->CreatePage(instance, Handle());
    for (HWND page : PageHandles()) {
        EnableTabBackground(page);
        ::SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    auto makeButton = [&](const wchar_t* caption, unsigned id, DWORD style, DWORD helpContext) {
        HWND button = ::CreateWindowExW(0, WC_BUTTONW, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0,
                                        Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance,
                                        nullptr);
        ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        ::SetWindowContextHelpId(button, helpContext);
        return button;
    };
    // The buttons say when they gain and lose the focus, so the default frame follows it.
    m_okButton = makeButton(L"&OK", kCmdOK, BS_DEFPUSHBUTTON | BS_NOTIFY, kHelpContextOK);
    m_helpButton = makeButton(L"&Help", kCmdShowHelp, BS_PUSHBUTTON | BS_NOTIFY, kHelpContextHelp);
    m_aboutButton = makeButton(L"&About", kCmdShowAboutDialog, BS_PUSHBUTTON | BS_NOTIFY, kHelpContextAbout);
    m_focus = std::make_unique<DialogFocus>(Handle(), std::vector<HWND>{m_okButton, m_helpButton, m_aboutButton},
                                            m_okButton);
    LayOutControls();

    // The item tray icons and the Icons bar.
    m_itemTray = std::make_unique<TItemTrayIcons>(Handle(), static_cast<TrayHost&>(*this));
    m_itemTray->AttachToolBar(m_launcherPage.IconsBar());
    m_itemTray->OnIconsLoaded = [this] { SchedulePromoteTrayIcons(); };
    m_collections.AttachIconsSurface(m_itemTray.get());
    m_menusSurfaces = std::make_unique<MenusSurfaceFanOut>(
        std::vector<MenusSurface*>{m_popupMenu.get(), m_launcherPage.MenuTree()});
    m_collections.AttachMenusSurface(m_menusSurfaces.get());
    m_collections.SetCollectionsReadyHandler([this](bool ready) { CollectionsReady = ready; });
    // Each entry is placed at once with a neutral image; its file is read on a worker thread.
    HWND window = Handle();
    m_collections.ReadInBackground([window] { ::PostMessageW(window, kItemsReadMessage, 0, 0); },
                                   [this] { RewriteHotKeysFile(); });
}

void TOrvoLauncherClass::CreateIconWindow()
{
    IconWindowEvents events;
    events.ButtonClicked = [this](std::uint16_t id) {
        MenuOpen = false;
        LaunchFloatingItem(id);
    };
    events.RightClicked = [this](POINT at) { m_popupMenu->PopupAt(at); };
    events.Hidden = [this] {
        HideApplicationWindow();
        if (m_mainIcon) m_mainIcon->SetTipShown(true);
        if (m_triggers) m_triggers->IconWindowHidden();
    };
    events.IsMenuOpen = [this] { return MenuOpen; };
    IconWindowSystem system = IconWindowSystem::Default();
    system.ForceForeground = [](HWND window) { ForceForegroundWindow(window); };
    m_iconWindow = std::make_unique<TIconWindow>(std::move(events), std::move(system));
    m_iconWindow->SetOwner(m_application.Handle());
    m_iconWindow->Create();
    m_iconWindow->SetShowTime(m_options.showTime);
    m_iconWindow->SetMaxIconInRow(m_options.maxIconInRow);
    m_floatingLink = std::make_unique<FloatingSurfaceLink>(*m_iconWindow, m_launcherPage.FloatingBar());
    m_collections.AttachFloatingSurface(m_floatingLink.get());
}

void TOrvoLauncherClass::FreeIconWindow()
{
    // The Floating collection lets go of the window before it goes.
    m_collections.AttachFloatingSurface(nullptr);
    m_floatingLink.reset();
    m_iconWindow.reset();
}

void TOrvoLauncherClass::LoadCollections()
{
    if (m_destroyed || !EnsureCollectionFolders(m_dataFolder)) return;
    m_collections.LoadIcons();
    m_collections.LoadFloating();
    m_collections.LoadMenus();
}

void TOrvoLauncherClass::WriteHotKeysFile()
{
    if (m_destroyed || !m_hotKeys) return;
    m_hotKeysFileFails = true;
    m_hotKeys->WriteHotKeysFile();
    m_hotKeysFileFails = false;
}

void TOrvoLauncherClass::RewriteHotKeysFile()
{
    // Hotkeys read after the start-up wrote the list: the list follows. A file that could not be
    // written is reported when it first fails, not again at every rewrite.
    const bool failedBefore = m_hotKeysFileFails;
    try {
        WriteHotKeysFile();
    } catch (...) {
        if (!failedBefore) ShowCurrentException();
    }
}

void TOrvoLauncherClass::StartWatchingFolders()
{
    if (!m_destroyed && m_reload) m_reload->StartWatching();
}

void TOrvoLauncherClass::LaunchFloatingItem(std::uint16_t id)
{
    const Item* item = m_collections.Floating().ItemById(id);
    if (item && FileExists(item->FileName)) LaunchItemFile(item->FileName);
}

void TOrvoLauncherClass::LayOutControls()
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int margin = Scale(kMargin);
    ::SetWindowPos(m_pageControl, nullptr, margin, margin, client.right - 2 * margin, Scale(kPageControlHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT display = TabDisplayRect();
    for (HWND page : PageHandles())
        ::SetWindowPos(page, nullptr, display.left, display.top, display.right - display.left,
                       display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);

    const int buttonTop = client.bottom - margin - Scale(kButtonHeight);
    int left = client.right - margin - Scale(kButtonWidth);
    for (HWND button : {m_aboutButton, m_helpButton, m_okButton}) {
        ::SetWindowPos(button, nullptr, left, buttonTop, Scale(kButtonWidth), Scale(kButtonHeight),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        left -= Scale(kButtonWidth) + Scale(kButtonGap);
    }
}

RECT TOrvoLauncherClass::TabDisplayRect() const
{
    RECT r{};
    ::GetWindowRect(m_pageControl, &r);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    TabCtrl_AdjustRect(m_pageControl, FALSE, &r);
    return r;
}

std::array<HWND, 3> TOrvoLauncherClass::PageHandles() const
{
    return {m_launcherPage.Handle(), m_groups ? m_groups->PageHandle() : nullptr,
            m_optionsPage ? m_optionsPage->Handle() : nullptr};
}

void TOrvoLauncherClass::ShowPage(int index)
{
    TabCtrl_SetCurSel(m_pageControl, index);
    const std::array<HWND, 3> pages = PageHandles();
    for (int i = 0; i < 3; ++i) ::ShowWindow(pages[static_cast<std::size_t>(i)], i == index ? SW_SHOW : SW_HIDE);
}

void TOrvoLauncherClass::RunStartGroup(const std::wstring& caption)
{
    if (m_groups) m_groups->RunStartGroup(caption);
}

std::optional<MenuCommand> TOrvoLauncherClass::GroupStopEntry()
{
    return m_groups ? m_groups->StopEntry(kCmdStopGroup) : std::nullopt;
}

void TOrvoLauncherClass::RunStartUpGroup(const std::optional<std::wstring>& group)
{
    if (!m_destroyed && m_formCreated && m_groups) m_groups->RunAtStart(group);
}

void TOrvoLauncherClass::SetMainTrayTip(const std::wstring& tip)
{
    if (!m_mainIcon) return;
    m_mainIcon->SetTip(tip);
    ShowMainTrayIcon(false);
}

void TOrvoLauncherClass::ShowMainTrayIcon(bool forceAdd)
{
    if (m_mainIcon) m_mainIcon->Show(m_options.hideTrayIcon, forceAdd);
}

void TOrvoLauncherClass::ApplyMainIcon()
{
    if (m_destroyed || !m_mainIcon) return;
    const std::wstring file = m_settings.Read(keys::IconFile);
    if (m_options.useCustomMainIcon && !file.empty()) m_mainIcon->UseCustom(file, m_settings.Read(keys::IconIdx));
    else m_mainIcon->UseBuiltIn();
    ShowMainTrayIcon(false);
    if (m_optionsPage) m_optionsPage->ShowMainIconImages();
}

void TOrvoLauncherClass::OnColorThemeChanged()
{
    // A custom icon stays; only the built-in one follows the theme.
    if (m_destroyed || !m_mainIcon || !m_mainIcon->FollowTheme()) return;
    ShowMainTrayIcon(false);
    if (m_optionsPage) m_optionsPage->ShowMainIconImages();
}

void TOrvoLauncherClass::OnTaskbarCreated()
{
    // The shell lost every icon: ours come back, the main one first.
    ShowMainTrayIcon(true);
    if (m_itemTray) m_itemTray->ShowAllItemTrayIcons(m_collections.Icons().Items());
}

void TOrvoLauncherClass::OnMainTrayMessage(LPARAM mouseMessage)
{
    if (!CollectionsReady) return;
    // "MainLeftPopup" is read at every click, never for the stream of mouse moves.
    const MainTrayAction action = MainTrayMouseAction(
        static_cast<unsigned>(mouseMessage), IsShiftDown(), m_popupMenu->QuietPeriodRunning(), MenuOpen,
        [this] { return m_settings.Read(keys::MainLeftPopup); });
    if (action.hideIconWindow) HideIconWindow();
    if (action.showIconWindowActive && m_iconWindow) {
        // The tip goes first, before the shell's hover time runs out over the window.
        if (m_mainIcon) m_mainIcon->SetTipShown(false);
        const bool opening = !m_iconWindow->IsUp();
        m_iconWindow->ShowIconWindowActive();
        // A tip the shell showed before (while the menu was up) stays a few seconds, above every
        // window that is not topmost itself.
        if (opening)
            ::SetWindowPos(m_iconWindow->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (action.toggleMainWindow) {
        MenuOpen = false;
        HideIconWindow();
        ActionShowMainWindowExecute();
    }
    if (action.openMenu) OpenMainMenu();
}

void TOrvoLauncherClass::OpenMainMenu() { m_popupMenu->OpenMainMenu(); }

bool TOrvoLauncherClass::IsShiftDown() const { return (::GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }

bool TOrvoLauncherClass::IsCursorInIconWindow() const { return m_iconWindow && m_iconWindow->IsCursorInIconWindow(); }

void TOrvoLauncherClass::ForceForeground(HWND window) { ForceForegroundWindow(window); }

bool TOrvoLauncherClass::NoMenuHint() const { return m_settings.Read(keys::NoMenuHint); }

int TOrvoLauncherClass::PopUpDelay() const { return m_settings.Read(keys::PopUpDelay); }

bool TOrvoLauncherClass::EnableCornerEdge() const { return m_settings.Read(keys::EnableCornerEdge); }

bool TOrvoLauncherClass::CanOpenModal()
{
    if (ModalKind == ModalKindValue::None) return true;
    ::MessageBeep(MB_ICONASTERISK);
    if ((ModalKind == ModalKindValue::AboutBox || ModalKind == ModalKindValue::StartGroupEditor) && m_modalWindow)
        ForceForegroundWindow(m_modalWindow);
    return false;
}

void TOrvoLauncherClass::HideIconWindow()
{
    HideApplicationWindow();
    if (m_iconWindow) m_iconWindow->HideIconWindow();
}

void TOrvoLauncherClass::HideApplicationWindow()
{
    // The application window carries the main window's taskbar button (the shell gives none to an
    // owned window): while the main window shows, the About box, the hotkey list or the floating
    // window coming and going must not take the button away.
    if (!::IsWindowVisible(Handle())) m_application.Hide();
}

bool TOrvoLauncherClass::IsBottomButton(HWND control) const
{
    return control && (control == m_okButton || control == m_helpButton || control == m_aboutButton);
}

void TOrvoLauncherClass::HideIconWindowBehindMenu()
{
    // The order matters under Wine: a window hidden right before TrackPopupMenuEx holds the menu
    // back about two seconds. Posted, the hide runs inside the menu's own message loop once the
    // menu is on the screen; on Windows, where a hide is immediate, the order costs nothing.
    if (!::PostMessageW(Handle(), kHideIconWindowMessage, 0, 0)) HideIconWindow();
}

void TOrvoLauncherClass::MinimizeApplication()
{
    ::ShowWindow(Handle(), SW_HIDE);
    m_application.Hide();
    m_application.SetResidentStyle();
}

void TOrvoLauncherClass::OnQueryEndSession()
{
    // The session ends: no confirmation, nothing that could hold up the log-off.
    HideIconWindow();
    FreeIconWindow();
    ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
    ::PostQuitMessage(0);
}

void TOrvoLauncherClass::FormDestroy()
{
    if (m_destroyed) return;
    m_destroyed = true;
    if (m_groups) m_groups->SaveColumnWidths();
    if (m_triggers) m_triggers->Stop();
    // Every surface is emptied (tray icons removed) while the windows still exist.
    m_collections.ClearCollections();
    m_collections.AttachIconsSurface(nullptr);
    m_collections.AttachMenusSurface(nullptr);
    m_collections.AttachFloatingSurface(nullptr);
    m_collections.AttachHotKeyRegistrar(nullptr);
    m_hotKeys.reset();
    if (m_reload) m_reload->StopWatching();
    if (m_mainIcon) m_mainIcon->Remove();
}

LRESULT TOrvoLauncherClass::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == m_taskbarCreatedMessage && message != 0) {
        OnTaskbarCreated();
        return 0;
    }
    if (message == m_showYourselfMessage && message != 0) {
        ActionShowMainWindowExecute();
        return 0;
    }
    // DM_GETDEFID has the value of WM_USER, the main tray icon's callback. The shell's callback
    // carries the icon's id in wParam; the dialog manager's query for the default button carries 0.
    if (message == kMainTrayMessage && wParam == kMainTrayIconId) {
        OnMainTrayMessage(lParam);
        return 0;
    }
    if (m_itemTray && m_itemTray->ItemTrayMessage(message, lParam, m_collections.Icons().Items())) return 0;

    switch (message) {
    case WM_COMMAND:
        if (IsBottomButton(reinterpret_cast<HWND>(lParam)) && HIWORD(wParam) != BN_CLICKED) {
            // Only a click is a command; the other notifications tell where the focus went.
            if (HIWORD(wParam) == BN_SETFOCUS || HIWORD(wParam) == BN_KILLFOCUS)
                m_focus->OnButtonFocus(reinterpret_cast<HWND>(lParam), HIWORD(wParam) == BN_SETFOCUS);
            return 0;
        }
        if (OnCommand(LOWORD(wParam))) return 0;
        break;
    case WM_ACTIVATE:
        if (m_focus && m_focus->OnActivate(wParam)) return 0;
        break;
    case kHideIconWindowMessage:
        HideIconWindow();
        return 0;
    case kItemsReadMessage:
        if (!m_destroyed) m_collections.ApplyReadResults();
        return 0;
    case kRunGroupRequestsMessage:
        if (m_groups) m_groups->RunRequestedGroups();
        return 0;
    case WM_COPYDATA:
        // Another copy started with "/group NAME".
        if (m_groups && lParam &&
            m_groups->AcceptGroupRequest(reinterpret_cast<HWND>(wParam), *reinterpret_cast<const COPYDATASTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_THEMECHANGED:
        // Every collection again, with the images of the new theme.
        if (m_reload) m_reload->ThemeChanged([this] { RenewMenuImages(); });
        break;
    case WM_CLOSE:
        // Closing only hides; the program ends through Exit.
        MinimizeApplication();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            MinimizeApplication();
            return 0;
        }
        break;
    case WM_QUERYENDSESSION:
        OnQueryEndSession();
        return TRUE;
    case WM_HOTKEY: {
        // The window's own handling first; the surface hotkeys hear it after.
        const LRESULT result = DefaultHandling(message, wParam, lParam);
        if (m_hotKeys) m_hotKeys->OnHotKey(wParam);
        return result;
    }
    case WM_DISPLAYCHANGE:
        if (m_iconWindow) m_iconWindow->RecreateIconWindow();
        break;
    case WM_TIMER:
        if (wParam == kTimerPromoteTrayIcons) {
            PromoteTrayIcons();
            return 0;
        }
        break;
    case WM_SETTINGCHANGE:
        // Windows names the color theme this way when the taskbar turns light or dark.
        if (lParam && std::wstring_view(reinterpret_cast<const wchar_t*>(lParam)) == L"ImmersiveColorSet")
            OnColorThemeChanged();
        break;
    case WM_HELP:
        OnHelp(*reinterpret_cast<const HELPINFO*>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == m_pageControl && header->code == TCN_SELCHANGE) {
            ShowPage(TabCtrl_GetCurSel(m_pageControl));
            return 0;
        }
        break;
    }
    case DM_GETDEFID:
        // Enter presses "&OK".
        return MAKELRESULT(kCmdOK, DC_HASDEFID);
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        m_font.reset(CreateMessageFont(m_dpi));
        for (HWND control : {m_pageControl, m_okButton, m_helpButton, m_aboutButton})
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), TRUE);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        LayOutControls();
        return 0;
    }
    case WM_DESTROY:
        FormDestroy();
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}
