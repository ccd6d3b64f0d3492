#include "app/AboutBox.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>

#include "app/AboutRules.h"
#include "app/Commands.h"
#include "base/LauncherError.h"
#include "base/OsVersion.h"
#include "base/WinUtil.h"
#include "components/HintShadow.h"
#include "items/ShellOperations.h"
#include "resources/resource.h"
#include "update/CheckNewVersion.h"
#include "update/UpdateAddresses.h"

namespace {
constexpr const wchar_t* kUpdateAgent = L"Orvo Launcher";
constexpr const wchar_t* kCheckHint = L"Check new version";
constexpr const wchar_t* kCheckingText = L"Checking for a new version...";
// Posted once the box shows, to bring it forward.
constexpr UINT kMessageShown = WM_APP + 1;
constexpr COLORREF kLinkColour = RGB(0, 90, 190);
constexpr int kLinkRoomDlu = 174;  // the width of the text lines in AboutBox.rc

UpdateCheckSettings CheckSettings()
{
    UpdateCheckSettings settings;
    settings.programFile = ModuleFileName();
    settings.agent = kUpdateAgent;
    settings.url = kUpdateAddresses.updateUrl;
    settings.homePage = kUpdateAddresses.homePage;
    settings.caption = kProgramTitle;
    settings.timeOut = std::chrono::seconds(kUpdateAddresses.timeOutSeconds);
    return settings;
}

ProgramBuild ThisBuild()
{
    ProgramBuild build;
    build.bits = sizeof(void*) * 8;
    BOOL wow64 = FALSE;
    build.onWow64 = build.bits == 32 && ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
    return build;
}

HFONT FontOf(HWND control) { return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)); }

// A link is only as wide as its text, so the blank space beside it is not a click target. The links'
// room in the template is their widest.
void FitToText(HWND dialog, HWND control)
{
    RECT room{0, 0, kLinkRoomDlu, 10};
    ::MapDialogRect(dialog, &room);
    RECT bounds{};
    ::GetWindowRect(control, &bounds);
    const int height = bounds.bottom - bounds.top;
    int width = room.right;
    const std::wstring text = WindowText(control);
    if (HDC dc = ::GetDC(control)) {
        HGDIOBJ old = ::SelectObject(dc, FontOf(control));
        SIZE extent{};
        if (::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent) && extent.cx > 0)
            width = std::min<int>(width, extent.cx + 2);
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
    }
    ::SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
} // namespace

TAboutBox::TAboutBox(std::function<bool()> isMenuOpen)
    : m_isMenuOpen(std::move(isMenuOpen)), m_check(*this, CheckSettings())
{
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::ShowModal(HWND owner, HWND* openWindow, const std::wstring& dataFolder)
{
    m_owner = owner;
    m_openWindow = openWindow;
    m_dataFolder = dataFolder;
    ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, &TAboutBox::DialogProc,
                      reinterpret_cast<LPARAM>(this));
    m_dialog = nullptr;
    m_hint = nullptr;
    if (m_openWindow) *m_openWindow = nullptr;
}

INT_PTR CALLBACK TAboutBox::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* self = reinterpret_cast<TAboutBox*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<TAboutBox*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->m_dialog = dialog;
    }
    if (!self) return FALSE;
    try {
        return self->HandleDialogMessage(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

void TAboutBox::InitDialog()
{
    if (m_openWindow) *m_openWindow = m_dialog;

    HWND title = ::GetDlgItem(m_dialog, IDC_ABOUT_TITLE);
    LOGFONTW font{};
    if (::GetObjectW(FontOf(title), sizeof(font), &font)) {
        font.lfWeight = FW_BOLD;
        m_titleFont.reset(::CreateFontIndirectW(&font));
        if (m_titleFont) ::SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont.get()), FALSE);
    }

    if (const auto version = ReadFileVersion(ModuleFileName()))
        m_versionLine = L"Version " + VersionDisplayText(*version);
    ::SetDlgItemTextW(m_dialog, IDC_ABOUT_SYSTEM, SystemLine(CurrentOsVersion(), ThisBuild()).c_str());
    ::SetDlgItemTextW(m_dialog, IDC_ABOUT_HOME_PAGE, kUpdateAddresses.homePage);

    try {
        m_hint = TShadowedHintWindow::Create(m_dialog);
    } catch (const LauncherError&) {
        m_hint = nullptr;  // the links then show no hints
    }
    AttachLink(m_versionLabel, IDC_ABOUT_VERSION, kCheckHint);
    AttachLink(m_homePageLink, IDC_ABOUT_HOME_PAGE, kUpdateAddresses.homePage);
    AttachLink(m_dataFolderLink, IDC_ABOUT_DATA_FOLDER, m_dataFolder);
    ShowVersionLine();
    FitToText(m_dialog, ::GetDlgItem(m_dialog, IDC_ABOUT_HOME_PAGE));
    FitToText(m_dialog, ::GetDlgItem(m_dialog, IDC_ABOUT_DATA_FOLDER));
}

void TAboutBox::AttachLink(TEnterLeaveLabel& label, int id, const std::wstring& hint)
{
    HWND control = ::GetDlgItem(m_dialog, id);
    // A link underlines while the mouse is over it.
    LOGFONTW font{};
    ::GetObjectW(FontOf(control), sizeof(font), &font);
    font.lfUnderline = TRUE;
    try {
        label.Attach(control);
        label.SetHoverFont(font);
    } catch (const LauncherError&) {
    }
    if (!m_hint) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(hint.c_str());
    ::SendMessageW(m_hint, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TAboutBox::ShowVersionLine()
{
    if (!m_dialog) return;
    HWND label = ::GetDlgItem(m_dialog, IDC_ABOUT_VERSION);
    // A running check shows, and the line takes no second click until the answer has been given.
    const bool running = m_check.Running();
    ::SetWindowTextW(label, running ? kCheckingText : m_versionLine.c_str());
    ::EnableWindow(label, !running);
    FitToText(m_dialog, label);
    ::InvalidateRect(label, nullptr, TRUE);
}

bool TAboutBox::IsLink(HWND control) const
{
    return control == m_versionLabel.Handle() || control == m_homePageLink.Handle() ||
           control == m_dataFolderLink.Handle();
}

INT_PTR TAboutBox::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitDialog();
        ::PostMessageW(m_dialog, kMessageShown, 0, 0);
        return TRUE;
    case kMessageShown:
        // Opened from a tray icon or a hotkey, the program does not hold the foreground: the box
        // would show behind the window the user was working in.
        ForceForegroundWindow(m_dialog);
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        // The links read as links; a disabled one is drawn grey by the system.
        HWND control = reinterpret_cast<HWND>(lParam);
        if (!IsLink(control) || !::IsWindowEnabled(control)) break;
        ::SetTextColor(reinterpret_cast<HDC>(wParam), kLinkColour);
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == STN_CLICKED) {
            switch (LOWORD(wParam)) {
            case IDC_ABOUT_VERSION:
                m_check.Start();
                return TRUE;
            case IDC_ABOUT_HOME_PAGE:
                OpenUrlInBrowser(kUpdateAddresses.homePage);
                return TRUE;
            case IDC_ABOUT_DATA_FOLDER:
                ::ShellExecuteW(m_dialog, nullptr, m_dataFolder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
                return TRUE;
            default:
                break;
            }
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (m_openWindow) *m_openWindow = nullptr;
            ::EndDialog(m_dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        m_dialog = nullptr;
        break;
    default:
        break;
    }
    return FALSE;
}

HWND TAboutBox::UpdateAnswerOwner() { return m_dialog ? m_dialog : m_owner; }

bool TAboutBox::CanShowUpdateAnswer() { return !m_isMenuOpen || !m_isMenuOpen(); }

void TAboutBox::UpdateCheckChanged() { ShowVersionLine(); }
