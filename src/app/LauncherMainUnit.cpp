#include "app/LauncherMainUnit.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/AboutBox.h"
#include "app/Commands.h"
#include "app/Registry.h"
#include "app/SettingsRules.h"
#include "app/SingleInstance.h"
#include "base/Dpi.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "components/OrvoDialogs.h"
#include "items/DataFolder.h"
#include "items/ShellOperations.h"
#include "resources/resource.h"

namespace {
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
constexpr int kPageTemplates[] = {IDD_PAGE_LAUNCHER, IDD_PAGE_GROUPSTART, IDD_PAGE_OPTIONS};

// Help context ids of the bottom buttons.
constexpr DWORD kHelpContextOK = 4001;
constexpr DWORD kHelpContextHelp = 4002;
constexpr DWORD kHelpContextAbout = 4003;

constexpr const wchar_t* kDataFolderFailure =
    L"Orvo Launcher cannot create folder to store the data.\r\rPlease verify that you have permission to create a "
    L"folder inside\rOrvo Launcher folder.";

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

    // 6.
    CollectionsReady = false;

    // 7. Version value, messages, caption and help.
    WriteVersionValue();
    m_taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");
    m_showYourselfMessage = ::RegisterWindowMessageW(kShowYourselfMessage);
    ::SetWindowTextW(Handle(), kProgramTitle);
    ::SetWindowTextW(m_application.Handle(), kProgramTitle);
    m_help = std::make_unique<HelpSystem>(ChangeFileExt(ModuleFileName(), L".chm"));
    m_application.onMinimize = [this] { MinimizeApplication(); };
    m_application.onActivate = [this] {
        if (::IsWindowVisible(Handle())) ::SetActiveWindow(Handle());
    };

    // 8.
    m_frameWidth = ::GetSystemMetrics(SM_CXFRAME);
    m_frameHeight = ::GetSystemMetrics(SM_CYFRAME);

    CreateControls();

    // 11. Options, in their loading order.
    m_options = LoadOptions(m_settings, m_dataFolder);
    SetAutoStart(m_options.autoStart,
                 MakeRunEntry(!m_arguments.empty(), m_settings.Exists(), m_settings.FileName(), ModuleFileName()));

    // 12. The collection folders.
    if (!EnsureCollectionFolders(m_dataFolder)) {
        ::MessageBeep(MB_ICONASTERISK);
        ::MessageBoxW(Handle(), kDataFolderFailure, kProgramTitle, MB_OK | MB_ICONERROR);
        ::PostQuitMessage(0);
        return;
    }

    // 13. Apply the data folder.
    m_settings.Write(keys::DataFolder, m_dataFolder);

    // 14.
    ShowPage(0);
    m_application.Hide();
    ModalKind = ModalKindValue::None;
    MenuOpen = false;

    // 16.
    TrimWorkingSet();
}

void TOrvoLauncherClass::CreateControls()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_pageControl = ::CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                                      0, 0, 0, 0, Handle(), nullptr, instance, nullptr);
    ::SendMessageW(m_pageControl, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kPageCaptions[i]);
        TabCtrl_InsertItem(m_pageControl, i, &item);
        m_pages[static_cast<std::size_t>(i)].Create(instance, kPageTemplates[i], Handle());
        HWND page = m_pages[static_cast<std::size_t>(i)].Handle();
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
    m_okButton = makeButton(L"&OK", kCmdOK, BS_DEFPUSHBUTTON, kHelpContextOK);
    m_helpButton = makeButton(L"&Help", kCmdShowHelp, BS_PUSHBUTTON, kHelpContextHelp);
    m_aboutButton = makeButton(L"&About", kCmdShowAboutDialog, BS_PUSHBUTTON, kHelpContextAbout);
    LayOutControls();
}

void TOrvoLauncherClass::LayOutControls()
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int margin = Scale(kMargin);
    ::SetWindowPos(m_pageControl, nullptr, margin, margin, client.right - 2 * margin, Scale(kPageControlHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT display = TabDisplayRect();
    for (auto& page : m_pages)
        ::SetWindowPos(page.Handle(), nullptr, display.left, display.top, display.right - display.left,
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

void TOrvoLauncherClass::ShowPage(int index)
{
    TabCtrl_SetCurSel(m_pageControl, index);
    for (int i = 0; i < 3; ++i)
        ::ShowWindow(m_pages[static_cast<std::size_t>(i)].Handle(), i == index ? SW_SHOW : SW_HIDE);
}

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
    m_application.Hide();
}

void TOrvoLauncherClass::MinimizeApplication()
{
    ::ShowWindow(Handle(), SW_HIDE);
    m_application.Hide();
    m_application.SetResidentStyle();
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
        close = answer != mrNo;
        m_settings.Write(keys::ExitDialog, dontShowAgain);
    }
    if (close) ::PostQuitMessage(0);
    MenuOpen = false;
}

void TOrvoLauncherClass::ActionShowHelpExecute()
{
    const bool showing = ::IsWindowVisible(Handle()) != FALSE;
    m_help->ShowTopic(Handle(), HelpPageOfTab(TabCtrl_GetCurSel(m_pageControl), showing));
}

void TOrvoLauncherClass::ActionShowAboutDialogExecute()
{
    HideIconWindow();
    if (!CanOpenModal()) return;
    const ModalKindValue saved = ModalKind;
    ModalKind = ModalKindValue::AboutBox;
    ShowAboutBox(Handle(), &m_modalWindow);
    m_modalWindow = nullptr;
    ModalKind = saved;
}

void TOrvoLauncherClass::OnHelp(const HELPINFO& info)
{
    if (info.iContextType != HELPINFO_WINDOW || info.dwContextId == 0) return;
    m_help->ShowContextPopup(Handle(), static_cast<DWORD>(info.dwContextId), info.MousePos);
}

void TOrvoLauncherClass::OnQueryEndSession()
{
    // The session ends: no confirmation, nothing that could hold up the log-off.
    HideIconWindow();
    ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
    ::PostQuitMessage(0);
}

bool TOrvoLauncherClass::OnCommand(unsigned id)
{
    switch (id) {
    case kCmdShowMainWindow: ActionShowMainWindowExecute(); return true;
    case kCmdOK: ActionOKExecute(); return true;
    case kCmdExit: ActionExitExecute(); return true;
    case kCmdShowHelp: ActionShowHelpExecute(); return true;
    case kCmdShowAboutDialog: ActionShowAboutDialogExecute(); return true;
    default: return false;
    }
}

void TOrvoLauncherClass::FormDestroy()
{
    if (m_destroyed) return;
    m_destroyed = true;
}

LRESULT TOrvoLauncherClass::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == m_showYourselfMessage && message != 0) {
        ActionShowMainWindowExecute();
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) return 0;
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
