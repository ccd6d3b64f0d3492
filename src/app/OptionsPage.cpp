#include "app/OptionsPage.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Commands.h"
#include "app/MainTrayIcon.h"
#include "app/Options.h"
#include "app/OptionsRules.h"
#include "base/Dpi.h"
#include "base/ErrorReport.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "components/HintShadow.h"
#include "components/OrvoPickIcon.h"
#include "floating/IconWindowUnit.h"
#include "hotkeys/SurfaceHotKeys.h"
#include "tray/TrayPromotion.h"
#include "resources/resource.h"

namespace {
constexpr UINT_PTR kSubclassId = 1;
// The room between the data folder field's border and its text, at 96 DPI.
constexpr int kFieldTextMargin = 3;
constexpr const wchar_t* kKeyNames[] = {L"None", L"Ctrl", L"Alt", L"Shift"};

// The help topic of each control; a label shares its field's.
struct HelpContext {
    int id;
    DWORD context;
};
constexpr HelpContext kHelpContexts[] = {
    {IDC_OPTIONS_PANEL, 3001},        {IDC_START_WITH_WIN, 3002},        {IDC_ONE_CLICK, 3003},
    {IDC_NO_CONFIRM_EXIT, 3004},      {IDC_DISABLE_TRAY_ICON, 3005},     {IDC_CUSTOM_MAIN_ICON, 3006},
    {IDC_BUILT_IN_ICON_IMAGE, 3007},  {IDC_CUSTOM_ICON_IMAGE, 3008},     {IDC_CHANGE_MAIN_ICON, 3009},
    {IDC_SYSTEM_MENU_LABEL, 3010},    {IDC_RADIO_OPEN, 3011},            {IDC_RADIO_EXPLORE, 3012},
    {IDC_NUM_OF_ICON_LABEL, 3013},    {IDC_EDIT_NUM_OF_ICON, 3013},      {IDC_UPDOWN_NUM_OF_ICON, 3014},
    {IDC_HOTKEY_ICON_WIN_LABEL, 3015}, {IDC_HOTKEY_ICON_WIN, 3015},      {IDC_HOTKEY_POPUP_LABEL, 3016},
    {IDC_HOTKEY_POPUP, 3016},         {IDC_HIDE_TRAY_ICON, 3017},        {IDC_MORE_OPTIONS, 3018},
    {IDC_MORE_PANEL, 3019},           {IDC_DATA_FOLDER_LABEL, 3020},     {IDC_EDIT_DATA_FOLDER, 3020},
    {IDC_BROWSE_DATA_FOLDER, 3021},   {IDC_FLOAT_EDGES_LABEL, 3022},     {IDC_FLOAT_LEFT, 3022},
    {IDC_FLOAT_RIGHT, 3022},          {IDC_FLOAT_TOP, 3022},             {IDC_FLOAT_BOTTOM, 3022},
    {IDC_POPUP_EDGES_LABEL, 3023},    {IDC_POPUP_LEFT, 3023},            {IDC_POPUP_RIGHT, 3023},
    {IDC_POPUP_TOP, 3023},            {IDC_POPUP_BOTTOM, 3023},          {IDC_DELAY_LABEL, 3024},
    {IDC_DELAY_SHORT, 3024},          {IDC_DELAY_LONG, 3024},            {IDC_TRACKBAR_SENSITIVITY, 3025},
    {IDC_DISABLE_KEYS_LABEL, 3026},   {IDC_COMBO_DISABLE_KEYS, 3026},    {IDC_FLOATING_KEY_LABEL, 3027},
    {IDC_COMBO_FLOATING_KEY, 3027},   {IDC_BACK_OPTIONS, 3028},          {IDC_HOTKEY_NOTE, 3016},
    {IDC_PROMOTE_TRAY_ICONS, 3029},   {IDC_PROMOTE_TRAY_ICONS_NOTE, 3029},
};
} // namespace

TOptionsPage::TOptionsPage(OptionsPageHost& host, const IniFile& settings) : m_host(host), m_settings(settings) {}

TOptionsPage::~TOptionsPage()
{
    for (HWND field : {m_hotKeyIconWin, m_hotKeyPopup})
        if (field) ::RemoveWindowSubclass(field, &TOptionsPage::HotKeySubclassProc, kSubclassId);
    if (m_trackBar.Handle())
        ::RemoveWindowSubclass(m_trackBar.Handle(), &TOptionsPage::TrackBarSensitivityKeyDown, kSubclassId);
}

void TOptionsPage::CreatePage(HINSTANCE instance, HWND parent)
{
    Create(instance, IDD_PAGE_OPTIONS, parent);
    AttachControls();
    SetHelpContexts();
    RememberDesignedLayout();
    LayOut();
    ShowPanel(false);
}

void TOptionsPage::AttachControls()
{
    HWND page = Handle();
    ::SendDlgItemMessageW(page, IDC_UPDOWN_NUM_OF_ICON, UDM_SETRANGE32, keys::kMaxIconInRowLow, keys::kMaxIconInRowHigh);
    m_trackBar = TOrvoTrackBar::Attach(::GetDlgItem(page, IDC_TRACKBAR_SENSITIVITY));
    m_trackBar.SetRange(kSensitivityMin, kSensitivityMax);
    ::SetWindowSubclass(m_trackBar.Handle(), &TOptionsPage::TrackBarSensitivityKeyDown, kSubclassId, 0);
    for (int id : {IDC_COMBO_DISABLE_KEYS, IDC_COMBO_FLOATING_KEY})
        for (const wchar_t* name : kKeyNames)
            ::SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));

    m_hotKeyIconWin = ::GetDlgItem(page, IDC_HOTKEY_ICON_WIN);
    m_hotKeyPopup = ::GetDlgItem(page, IDC_HOTKEY_POPUP);
    for (HWND field : {m_hotKeyIconWin, m_hotKeyPopup}) {
        // A key without Ctrl or Alt would be taken from every program while the launcher runs:
        // the field makes such a key Ctrl + Alt + key, as the system's own hotkey fields do.
        ::SendMessageW(field, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        ::SetWindowSubclass(field, &TOptionsPage::HotKeySubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    }

    // The data folder's field keeps its text off its border.
    const int textMargin = ScaleForDpi(kFieldTextMargin, WindowDpi(page));
    ::SendDlgItemMessageW(page, IDC_EDIT_DATA_FOLDER, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                          MAKELPARAM(textMargin, textMargin));
    // The data folder's hint holds the whole path.
    m_dataFolderHint = TShadowedHintWindow::Create(page);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(page, IDC_EDIT_DATA_FOLDER));
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_dataFolderHint, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A width of its own lets the hint break its lines where its text does.
    ::SendMessageW(m_dataFolderHint, TTM_SETMAXTIPWIDTH, 0, ScaleForDpi(500, WindowDpi(page)));
}

void TOptionsPage::SetHelpContexts()
{
    for (const HelpContext& help : kHelpContexts)
        if (HWND control = ::GetDlgItem(Handle(), help.id)) ::SetWindowContextHelpId(control, help.context);
}

namespace {
RECT RectInParent(HWND control)
{
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool HasClass(HWND window, const wchar_t* className)
{
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    return lstrcmpiW(name, className) == 0;
}

// Buttons and images look wrong stretched; texts, check boxes and fields may grow.
bool KeepsWidth(HWND control)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    if (HasClass(control, WC_BUTTONW)) {
        const DWORD type = style & BS_TYPEMASK;
        return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
    }
    return HasClass(control, WC_STATICW) && (style & SS_TYPEMASK) == SS_ICON;
}
} // namespace

void TOptionsPage::RememberDesignedLayout()
{
    HWND page = Handle();
    m_designedFrame = RectInParent(::GetDlgItem(page, IDC_OPTIONS_PANEL));
    HWND upDown = ::GetDlgItem(page, IDC_UPDOWN_NUM_OF_ICON);
    HWND field = reinterpret_cast<HWND>(::SendMessageW(upDown, UDM_GETBUDDY, 0, 0));
    m_designed.clear();
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        // The frames are stretched to the page, and the up-down sits on its field's right end.
        if (id == IDC_OPTIONS_PANEL || id == IDC_MORE_PANEL || child == upDown) continue;
        RECT r = RectInParent(child);
        // The up-down took its room from its field when it was attached: the two move as one.
        if (child == field) {
            const RECT arrows = RectInParent(upDown);
            ::UnionRect(&r, &r, &arrows);
        }
        m_designed.push_back({child, r, KeepsWidth(child)});
    }
}

void TOptionsPage::LayOut()
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    // The frames' margins, the controls' margin inside them and the buttons' distance from the
    // frames' bottom.
    RECT units{4, 2, 8, 6};
    ::MapDialogRect(Handle(), &units);
    const RECT frame{units.left, units.top, client.right - units.left, client.bottom - units.top};
    for (int id : {IDC_OPTIONS_PANEL, IDC_MORE_PANEL})
        ::SetWindowPos(::GetDlgItem(Handle(), id), nullptr, frame.left, frame.top, frame.right - frame.left,
                       frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_designed.empty()) return;

    std::vector<PanelControl> controls;
    for (const DesignedControl& control : m_designed)
        controls.push_back({{control.rect.left, control.rect.right}, control.keepsWidth});
    const int margin = units.right;
    const std::vector<PixelSpan> spans =
        FitPanelToFrame(controls, {m_designedFrame.left + margin, m_designedFrame.right - margin},
                        {frame.left + margin, frame.right - margin});
    for (std::size_t i = 0; i < m_designed.size(); ++i) {
        const DesignedControl& control = m_designed[i];
        const int id = ::GetDlgCtrlID(control.window);
        const int height = control.rect.bottom - control.rect.top;
        // "More..." and "Back..." keep to the frame's lower right corner.
        const int top = id == IDC_MORE_OPTIONS || id == IDC_BACK_OPTIONS ? frame.bottom - units.bottom - height
                                                                          : control.rect.top;
        ::SetWindowPos(control.window, nullptr, spans[i].left, top, spans[i].right - spans[i].left, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Attached again, the up-down takes its room from the field's new right end.
    HWND upDown = ::GetDlgItem(Handle(), IDC_UPDOWN_NUM_OF_ICON);
    ::SendMessageW(upDown, UDM_SETBUDDY, ::SendMessageW(upDown, UDM_GETBUDDY, 0, 0), 0);

    // The data folder shortened to the field's new width.
    if (!m_dataFolder.empty()) ShowDataFolder(m_dataFolder);

    // The hotkeys' note fills the room left of "More...", its last line level with the button's.
    const RECT more = RectInParent(::GetDlgItem(Handle(), IDC_MORE_OPTIONS));
    const RECT note = RectInParent(::GetDlgItem(Handle(), IDC_HOTKEY_NOTE));
    const int noteHeight = note.bottom - note.top;
    ::SetWindowPos(::GetDlgItem(Handle(), IDC_HOTKEY_NOTE), nullptr, note.left, more.bottom - noteHeight,
                   std::max<int>(0, more.left - units.left - note.left), noteHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TOptionsPage::ShowPanel(bool more)
{
    m_moreShown = more;
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        const bool inMore = id >= IDC_MORE_FIRST && id <= IDC_MORE_LAST;
        const bool inOptions = id >= IDC_OPTIONS_FIRST && id <= IDC_OPTIONS_LAST;
        if (inMore || inOptions) ::ShowWindow(child, inMore == more ? SW_SHOWNA : SW_HIDE);
    }
    // The icon images share one place: only the visible one of them shows.
    if (!more) ShowMainIconImages();
    // Whether Windows keeps per-icon settings can change while the program runs (an upgrade, or
    // the shell making the key for the first icon it shows).
    else ShowPromoteTrayIconsState();
    // The focus goes to the button that swaps back, as it would after a click on it.
    if (::IsWindowVisible(Handle())) ::SetFocus(::GetDlgItem(Handle(), more ? IDC_BACK_OPTIONS : IDC_MORE_OPTIONS));
}

void TOptionsPage::SetCheck(int id, bool checked) const
{
    ::CheckDlgButton(Handle(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void TOptionsPage::EnableControl(int id, bool enabled) const
{
    ::EnableWindow(::GetDlgItem(Handle(), id), enabled ? TRUE : FALSE);
}

void TOptionsPage::ShowOptions()
{
    const LauncherOptions& o = m_host.EditableOptions();
    SetCheck(IDC_START_WITH_WIN, o.autoStart);
    SetCheck(IDC_ONE_CLICK, o.oneClickToActivate);
    // The exit confirmation's own check box writes this too.
    SetCheck(IDC_NO_CONFIRM_EXIT, m_settings.Read(keys::ExitDialog));
    SetCheck(IDC_DISABLE_TRAY_ICON, o.disableTrayIcon);
    ShowPromoteTrayIconsState();
    SetCheck(IDC_CUSTOM_MAIN_ICON, o.useCustomMainIcon);
    ::CheckRadioButton(Handle(), IDC_RADIO_OPEN, IDC_RADIO_EXPLORE, o.openSystemMenu ? IDC_RADIO_OPEN : IDC_RADIO_EXPLORE);
    ::SendDlgItemMessageW(Handle(), IDC_UPDOWN_NUM_OF_ICON, UDM_SETPOS32, 0, o.maxIconInRow);
    // Attached once: from then on the fields hold what the user types.
    TSurfaceHotKeys* surface = m_host.SurfaceHotKeys();
    if (surface && !m_hotKeysAttached) {
        surface->AttachEdits(m_hotKeyPopup, m_hotKeyIconWin);
        // The hotkeys are freed before the page, so this never calls a page that is gone.
        surface->OnRegistrationChange = [this] {
            ShowHotKeyNote();
            ShowHideTrayIconState();
        };
        m_hotKeysAttached = true;
    }
    ShowHotKeyNote();
    ShowHideTrayIconState();
    ShowEdgeChecks();
    ::SendDlgItemMessageW(Handle(), IDC_COMBO_DISABLE_KEYS, CB_SETCURSEL, static_cast<WPARAM>(o.disableKey), 0);
    ::SendDlgItemMessageW(Handle(), IDC_COMBO_FLOATING_KEY, CB_SETCURSEL, static_cast<WPARAM>(o.floatRightKey), 0);
    m_trackBar.SetPosition(o.sensitivity);
    ShowMainIconImages();
}

void TOptionsPage::ShowMainIconImages()
{
    const MainTrayIcon* icon = m_host.MainIcon();
    HWND builtIn = ::GetDlgItem(Handle(), IDC_BUILT_IN_ICON_IMAGE);
    HWND custom = ::GetDlgItem(Handle(), IDC_CUSTOM_ICON_IMAGE);
    ::SendMessageW(builtIn, STM_SETICON, reinterpret_cast<WPARAM>(icon ? icon->BuiltInIcon() : nullptr), 0);
    ::SendMessageW(custom, STM_SETICON, reinterpret_cast<WPARAM>(icon ? icon->CustomIcon() : nullptr), 0);
    const bool useCustom = icon && icon->UsesCustom();
    ::ShowWindow(builtIn, !m_moreShown && !useCustom ? SW_SHOWNA : SW_HIDE);
    ::ShowWindow(custom, !m_moreShown && useCustom ? SW_SHOWNA : SW_HIDE);
}

void TOptionsPage::ShowPromoteTrayIconsState()
{
    const bool kept = IconSettingsKept();
    SetCheck(IDC_PROMOTE_TRAY_ICONS, m_host.EditableOptions().promoteTrayIcons);
    EnableControl(IDC_PROMOTE_TRAY_ICONS, kept);
    ::SetDlgItemTextW(Handle(), IDC_PROMOTE_TRAY_ICONS_NOTE,
                      kept ? L"" : L"Not here: this Windows keeps no taskbar setting per icon.");
}

void TOptionsPage::ShowHotKeyNote()
{
    // The fields keep a hotkey the system did not grant, and this says why it does nothing.
    const TSurfaceHotKeys* surface = m_host.SurfaceHotKeys();
    const bool popup = surface && surface->NotRegistered(SurfaceHotKey::Popup);
    const bool iconWindow = surface && surface->NotRegistered(SurfaceHotKey::IconWindow);
    const wchar_t* text = L"";
    if (popup && iconWindow) text = L"Neither hotkey works now: other programs hold them.";
    else if (popup) text = L"The popup menu hotkey does not work now: another program holds it.";
    else if (iconWindow) text = L"The icon window hotkey does not work now: another program holds it.";
    ::SetDlgItemTextW(Handle(), IDC_HOTKEY_NOTE, text);
}

void TOptionsPage::ShowHideTrayIconState()
{
    LauncherOptions& o = m_host.EditableOptions();
    const TSurfaceHotKeys* surface = m_host.SurfaceHotKeys();
    const bool enabled = surface && surface->HideTrayIconEnabled();
    // Without both hotkeys a hidden icon would leave no way to reach the program.
    if (!enabled && o.hideTrayIcon) {
        o.hideTrayIcon = false;
        m_settings.Write(keys::HideTrayIcon, false);
        m_host.UpdateMainTrayIcon();
    }
    EnableControl(IDC_HIDE_TRAY_ICON, enabled);
    SetCheck(IDC_HIDE_TRAY_ICON, o.hideTrayIcon);
}

bool TOptionsPage::OnCommand(int id, int code)
{
    if (OnMoreCommand(id, code)) return true;
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_START_WITH_WIN: m_host.ExecuteCommand(kCmdStartWithWin); break;
    case IDC_ONE_CLICK: m_host.ExecuteCommand(kCmdOneClickToActive); break;
    case IDC_DISABLE_TRAY_ICON: m_host.ExecuteCommand(kCmdDisableTrayIcon); break;
    case IDC_PROMOTE_TRAY_ICONS: m_host.ExecuteCommand(kCmdPromoteTrayIcons); break;
    case IDC_NO_CONFIRM_EXIT: {
        const bool dontAsk = !m_settings.Read(keys::ExitDialog);
        m_host.EditableOptions().exitDialog = dontAsk;
        m_settings.Write(keys::ExitDialog, dontAsk);
        break;
    }
    case IDC_CUSTOM_MAIN_ICON: ActionCustomMainIconExecute(); break;
    case IDC_CHANGE_MAIN_ICON: ActionChangeMainTrayIconExecute(); break;
    case IDC_RADIO_OPEN:
    case IDC_RADIO_EXPLORE: RadioButtonOpenClick(); break;
    case IDC_HIDE_TRAY_ICON: ActionHideTrayIconExecute(); break;
    case IDC_MORE_OPTIONS: ShowPanel(true); return true;
    case IDC_BACK_OPTIONS: ShowPanel(false); return true;
    default: return false;
    }
    ShowOptions();
    return true;
}

void TOptionsPage::ActionCustomMainIconExecute()
{
    LauncherOptions& o = m_host.EditableOptions();
    o.useCustomMainIcon = !o.useCustomMainIcon;
    m_settings.Write(keys::UseCustomMainIcon, o.useCustomMainIcon);
    m_host.ApplyMainIcon();
}

void TOptionsPage::ActionChangeMainTrayIconExecute()
{
    TOrvoPickIconDialog picker;
    picker.IconFile = m_settings.Read(keys::IconFile);
    if (picker.IconFile.empty()) picker.IconFile = ModuleFileName();
    picker.IconIndex = m_settings.Read(keys::IconIdx);
    picker.ParHandle = ::GetAncestor(Handle(), GA_ROOT);
    if (!picker.Execute()) return;
    m_host.EditableOptions().useCustomMainIcon = true;
    m_settings.Write(keys::IconFile, picker.IconFile);
    m_settings.Write(keys::IconIdx, picker.IconIndex);
    m_settings.Write(keys::UseCustomMainIcon, true);
    if (MainTrayIcon* icon = m_host.MainIcon()) icon->UseCustom(picker.IconFile, picker.IconIndex);
    m_host.UpdateMainTrayIcon();
}

void TOptionsPage::RadioButtonOpenClick()
{
    const bool open = ::IsDlgButtonChecked(Handle(), IDC_RADIO_OPEN) == BST_CHECKED;
    m_host.EditableOptions().openSystemMenu = open;
    m_settings.Write(keys::OpenSystemMenu, open);
}

void TOptionsPage::UpDownNumOfIconClick()
{
    BOOL failed = FALSE;
    const int position = static_cast<int>(
        ::SendDlgItemMessageW(Handle(), IDC_UPDOWN_NUM_OF_ICON, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (failed) return;
    m_host.EditableOptions().maxIconInRow = position;
    m_settings.Write(keys::MaxIconInRow, position);
    if (TIconWindow* window = m_host.TriggeredIconWindow()) {
        m_host.HideIconWindow();
        window->SetMaxIconInRow(position);
    }
}

void TOptionsPage::HotKeyExit(HWND field)
{
    TSurfaceHotKeys* surface = m_host.SurfaceHotKeys();
    if (!surface) return;
    // OnRegistrationChange brings the note and "Hide main tray icon" up to date.
    if (field == m_hotKeyPopup) surface->HotKeyPopupExit();
    else surface->HotKeyIconWinExit();
}

void TOptionsPage::ActionHideTrayIconExecute()
{
    LauncherOptions& o = m_host.EditableOptions();
    o.hideTrayIcon = !o.hideTrayIcon;
    // Without item icons the program would have no icon at all.
    if (!m_host.HasIconsItems()) o.hideTrayIcon = false;
    m_host.UpdateMainTrayIcon();
    m_settings.Write(keys::HideTrayIcon, o.hideTrayIcon);
}

INT_PTR TOptionsPage::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return TRUE;
        break;
    case WM_SIZE:
        LayOut();
        break;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(Handle(), IDC_UPDOWN_NUM_OF_ICON) &&
            LOWORD(wParam) == SB_THUMBPOSITION) {
            UpDownNumOfIconClick();
            return TRUE;
        }
        break;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == m_trackBar.Handle()) {
            TrackBarSensitivityChange();
            return TRUE;
        }
        break;
    default:
        break;
    }
    return ChildDialog::HandleDialogMessage(message, wParam, lParam);
}

LRESULT CALLBACK TOptionsPage::HotKeySubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                  DWORD_PTR data) noexcept
{
    // Backspace or Delete empties the field, as in the shell's own shortcut key fields: neither is
    // a hotkey anyone would choose, and the field offers no other way back to "none".
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && (wParam == VK_BACK || wParam == VK_DELETE)) {
        ::SendMessageW(hwnd, HKM_SETHOTKEY, 0, 0);
        return 0;
    }
    const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
    // Leaving the field applies its hotkey.
    if (message == WM_KILLFOCUS) {
        try {
            reinterpret_cast<TOptionsPage*>(data)->HotKeyExit(hwnd);
        } catch (...) {
            ShowCurrentException();
        }
    }
    return result;
}
