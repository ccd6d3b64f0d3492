#include "groups/StartGroupUnit.h"

#include <shellapi.h>

#include "base/Dpi.h"
#include "base/OsVersion.h"
#include "components/DialogRules.h"
#include "components/OrvoOpenDialog.h"
#include "groups/StartGroupRules.h"
#include "resources/resource.h"

namespace {
constexpr const wchar_t* kTitle = L"Orvo Launcher";

// What the settings file holds after a save that could not be completed.
const wchar_t* SaveFailureMessage(GroupSaveResult result)
{
    switch (result) {
    case GroupSaveResult::UnderOldName:
        return L"The start group cannot be renamed: the settings file cannot be written.\r\n"
               L"It is saved as edited, under its old name.";
    case GroupSaveResult::UnderBothNames:
        return L"The start group cannot be renamed: the settings file cannot be written.\r\n"
               L"The settings file now holds it twice: as it was under its old name, and as edited under the new one.";
    case GroupSaveResult::Lost:
        return L"The start group cannot be saved: the settings file cannot be written.\r\n"
               L"The group is no longer in the settings file. Choose OK to write it again, or Cancel to give it up.";
    case GroupSaveResult::Unchanged:
    case GroupSaveResult::Saved: break;
    }
    return L"The start group cannot be saved: the settings file cannot be written.\r\nThe settings file is as it was.";
}
constexpr const wchar_t* kFilter = L"All Files (*.*) | *.*";

// Client area and control places, in pixels at 96 DPI.
constexpr int kClientWidth = 360;
constexpr int kClientHeight = 414;
constexpr int kFileColumnWidth = 278;
constexpr int kDropDownHeight = 220;
struct Place {
    int id, x, y, width, height;
};
constexpr Place kPlaces[] = {
    {IDC_EDITOR_BOX, 8, 6, 344, 366},
    {IDC_EDITOR_TEXT, 20, 24, 320, 32},
    {IDC_EDITOR_NAME_LABEL, 20, 60, 320, 16},
    {IDC_EDITOR_CAPTION, 20, 77, 320, 22},
    {IDC_EDITOR_FILES_LABEL, 20, 106, 320, 16},
    {IDC_EDITOR_DROP_TARGET, 20, 123, 320, 119},
    {IDC_EDITOR_ADD, 184, 248, 75, 25},
    {IDC_EDITOR_DELETE, 265, 248, 75, 25},
    {IDC_EDITOR_DELAY_LABEL, 20, 282, 320, 16},
    {IDC_EDITOR_MINUTES, 20, 299, 56, kDropDownHeight},
    {IDC_EDITOR_MINUTES_LABEL, 82, 303, 70, 16},
    {IDC_EDITOR_SECONDS, 160, 299, 56, kDropDownHeight},
    {IDC_EDITOR_SECONDS_LABEL, 222, 303, 80, 16},
    {IDC_EDITOR_WAIT_READY, 20, 328, 320, 18},
    {IDC_EDITOR_RUN_AT_START, 20, 348, 320, 18},
    {IDOK, 196, 382, 75, 25},
    {IDCANCEL, 277, 382, 75, 25},
};

// Help context ids of the editor's controls.
struct HelpId {
    int id;
    DWORD context;
};
constexpr HelpId kHelpIds[] = {
    {IDC_EDITOR_CAPTION, 5001}, {IDC_EDITOR_FILES, 5002}, {IDC_EDITOR_ADD, 5003}, {IDC_EDITOR_DELETE, 5004},
    {IDC_EDITOR_MINUTES, 5005}, {IDC_EDITOR_SECONDS, 5006}, {IDOK, 5007},         {IDCANCEL, 5008},
    {IDC_EDITOR_WAIT_READY, 5009}, {IDC_EDITOR_RUN_AT_START, 5010},
};

enum PopupCommand : UINT { kPopupAdd = 1, kPopupDelete, kPopupHelp };

BOOL CALLBACK SetFontOf(HWND child, LPARAM font)
{
    ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

int SelectedIndex(HWND combo)
{
    const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<int>(index);
}
} // namespace

TKLGroupForm::TKLGroupForm(GroupEditorContext context) : m_context(std::move(context)) {}

TKLGroupForm::~TKLGroupForm() = default;

bool TKLGroupForm::ShowModal(HWND owner, const std::wstring& windowCaption, std::wstring& groupCaption,
                             int& groupFileCount)
{
    m_windowCaption = windowCaption;
    m_originalCaption = groupCaption;
    m_originalFileCount = groupFileCount;
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_GROUP_EDITOR), owner,
                                             &TKLGroupForm::DialogProc, reinterpret_cast<LPARAM>(this));
    if (m_context.windowChanged) m_context.windowChanged(nullptr);
    m_dropTarget.reset();
    if (result != IDOK) return false;
    groupCaption = m_resultCaption;
    groupFileCount = m_resultFileCount;
    return true;
}

INT_PTR CALLBACK TKLGroupForm::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* self = reinterpret_cast<TKLGroupForm*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<TKLGroupForm*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->m_dialog = dialog;
    }
    if (!self) return FALSE;
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A failure inside one message must not unwind through the dialog manager.
        return FALSE;
    }
}

void TKLGroupForm::FormCreate()
{
    const unsigned dpi = WindowDpi(m_dialog);
    m_font.reset(CreateMessageFont(dpi));
    ::SetWindowTextW(m_dialog, m_windowCaption.c_str());

    // "File Lists:": the list of paths inside the drop target, in the tab order after the label.
    m_dropTarget = std::make_unique<TFileDropTarget>();
    m_dropTarget->Create(m_dialog, RECT{0, 0, 10, 10}, IDC_EDITOR_DROP_TARGET);
    ::SetWindowPos(m_dropTarget->Handle(), ::GetDlgItem(m_dialog, IDC_EDITOR_FILES_LABEL), 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_files = ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER |
                                    LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                                0, 0, 10, 10, m_dropTarget->Handle(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR_FILES)),
                                ::GetModuleHandleW(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(m_files, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(L"File List");
    column.cx = ScaleForDpi(kFileColumnWidth, dpi);
    ListView_InsertColumn(m_files, 0, &column);
    m_images.reset(::ImageList_Create(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                      ILC_COLOR32 | ILC_MASK, 8, 8));
    ListView_SetImageList(m_files, m_images.get(), LVSIL_SMALL);
    // Files dropped from the shell on the list (or the panel around it) are appended in order.
    m_dropTarget->OnDropFiles = [this](const DroppedFiles& files, POINT) {
        for (const auto& file : files) AddFile(file);
    };

    // The system's message font on every control.
    ::EnumChildWindows(m_dialog, &SetFontOf, reinterpret_cast<LPARAM>(m_font.get()));

    HWND minutes = ::GetDlgItem(m_dialog, IDC_EDITOR_MINUTES), seconds = ::GetDlgItem(m_dialog, IDC_EDITOR_SECONDS);
    for (int i = 0; i <= kMaxDelayMinutes; ++i)
        ::SendMessageW(minutes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    for (int i = 0; i <= kMaxDelaySeconds; ++i)
        ::SendMessageW(seconds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    ::SendMessageW(minutes, CB_SETCURSEL, 0, 0);
    ::SendMessageW(seconds, CB_SETCURSEL, 0, 0);

    for (const auto& help : kHelpIds) ::SetWindowContextHelpId(::GetDlgItem(m_dialog, help.id), help.context);
    ::SetWindowContextHelpId(m_files, 5002);
    LayOut();
}

void TKLGroupForm::LayOut()
{
    const unsigned dpi = WindowDpi(m_dialog);
    auto scale = [&](int pixels) { return ScaleForDpi(pixels, dpi); };
    for (const auto& place : kPlaces)
        ::SetWindowPos(::GetDlgItem(m_dialog, place.id), nullptr, scale(place.x), scale(place.y), scale(place.width),
                       scale(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
    RECT panel{};
    ::GetClientRect(m_dropTarget->Handle(), &panel);
    ::SetWindowPos(m_files, nullptr, 0, 0, panel.right, panel.bottom, SWP_NOZORDER | SWP_NOACTIVATE);

    // Client area 360 x 370, centred on the screen.
    RECT frame{0, 0, scale(kClientWidth), scale(kClientHeight)};
    AdjustWindowRectForDpi(&frame, static_cast<DWORD>(::GetWindowLongPtrW(m_dialog, GWL_STYLE)),
                           static_cast<DWORD>(::GetWindowLongPtrW(m_dialog, GWL_EXSTYLE)), dpi);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    ::SetWindowPos(m_dialog, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TKLGroupForm::FormShow()
{
    ImageList_RemoveAll(m_images.get());
    ::SetDlgItemTextW(m_dialog, IDC_EDITOR_CAPTION, m_originalCaption.c_str());
    if (m_originalCaption.empty() || !m_context.settings) return;
    const StartGroup group = ReadStartGroup(*m_context.settings, m_originalCaption, m_originalFileCount, 0);
    for (const auto& file : group.files) AddFile(file);
    const DelayChoice delay = DelayChoiceOfInterval(group.interval);
    ::SendDlgItemMessageW(m_dialog, IDC_EDITOR_MINUTES, CB_SETCURSEL, static_cast<WPARAM>(delay.minutes), 0);
    ::SendDlgItemMessageW(m_dialog, IDC_EDITOR_SECONDS, CB_SETCURSEL, static_cast<WPARAM>(delay.seconds), 0);
    ::CheckDlgButton(m_dialog, IDC_EDITOR_WAIT_READY, group.waitReady ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_dialog, IDC_EDITOR_RUN_AT_START, group.runAtStart ? BST_CHECKED : BST_UNCHECKED);
}

void TKLGroupForm::AddFile(const std::wstring& path)
{
    // The file's small shell icon; a missing file gets the icon of its kind.
    SHFILEINFOW info{};
    int image = -1;
    if (::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) ||
        ::SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                         SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES)) {
        if (info.hIcon) {
            image = ImageList_AddIcon(m_images.get(), info.hIcon);
            ::DestroyIcon(info.hIcon);
        }
    }
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ListView_GetItemCount(m_files);
    item.pszText = const_cast<wchar_t*>(path.c_str());
    item.iImage = image;
    ListView_InsertItem(m_files, &item);
}

std::vector<std::wstring> TKLGroupForm::FilePaths() const
{
    std::vector<std::wstring> paths;
    const int count = ListView_GetItemCount(m_files);
    for (int i = 0; i < count; ++i) {
        // The row text is read whole, however long the path.
        std::wstring text(260, L'\0');
        for (;;) {
            LVITEMW item{};
            item.iSubItem = 0;
            item.pszText = text.data();
            item.cchTextMax = static_cast<int>(text.size());
            const int length = static_cast<int>(::SendMessageW(m_files, LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                                                               reinterpret_cast<LPARAM>(&item)));
            if (length + 1 < static_cast<int>(text.size())) {
                text.resize(static_cast<std::size_t>(length));
                break;
            }
            text.resize(text.size() * 2);
        }
        paths.push_back(std::move(text));
    }
    return paths;
}

void TKLGroupForm::ActionAdd()
{
    std::vector<std::wstring> files;
    bool chosen = false;
    if (UsesSystemOpenDialog(CurrentOsVersion())) {
        chosen = ExecuteSystemOpenDialog(m_dialog, kFilter, true, files);
    } else {
        TOrvoOpenDialog dialog;
        dialog.Filter = kFilter;
        dialog.AllowMultiSelect = true;
        chosen = dialog.Execute(m_dialog);
        files = dialog.Files();
    }
    if (!chosen) return;
    for (const auto& file : files) AddFile(file);
}

void TKLGroupForm::ActionDelete()
{
    const int selected = ListView_GetNextItem(m_files, -1, LVNI_SELECTED);
    if (selected < 0) return;
    ListView_DeleteItem(m_files, selected);
    const int count = ListView_GetItemCount(m_files);
    if (count > 0) {
        const int next = selected < count ? selected : count - 1;
        ListView_SetItemState(m_files, next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void TKLGroupForm::Fail(const wchar_t* message, HWND focus)
{
    ::MessageBoxW(m_dialog, message, kTitle, MB_OK | MB_ICONERROR);
    if (focus) ::SetFocus(focus);
}

void TKLGroupForm::ActionOK()
{
    HWND captionEdit = ::GetDlgItem(m_dialog, IDC_EDITOR_CAPTION);
    std::wstring caption(static_cast<std::size_t>(::GetWindowTextLengthW(captionEdit)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(::GetWindowTextW(captionEdit, caption.data(), static_cast<int>(caption.size()))));
    const std::vector<std::wstring> files = FilePaths();
    const GroupEditError error = CheckGroupEdit(caption, files.size(), m_context.existingCaptions, m_originalCaption);
    if (error != GroupEditError::None) {
        const bool aboutName = error == GroupEditError::BlankName || error == GroupEditError::UnsafeName;
        Fail(GroupEditMessage(error), aboutName ? captionEdit : nullptr);
        return;
    }
    StartGroup group;
    group.caption = caption;
    group.interval = IntervalOfDelayChoice({SelectedIndex(::GetDlgItem(m_dialog, IDC_EDITOR_MINUTES)),
                                            SelectedIndex(::GetDlgItem(m_dialog, IDC_EDITOR_SECONDS))});
    group.files = files;
    group.waitReady = ::IsDlgButtonChecked(m_dialog, IDC_EDITOR_WAIT_READY) == BST_CHECKED;
    group.runAtStart = ::IsDlgButtonChecked(m_dialog, IDC_EDITOR_RUN_AT_START) == BST_CHECKED;
    const GroupSaveResult saved =
        m_context.settings ? SaveStartGroup(*m_context.settings, m_originalCaption, group) : GroupSaveResult::Unchanged;
    if (saved != GroupSaveResult::Saved) {
        if (saved != GroupSaveResult::Unchanged) m_fileChanged = true;
        Fail(SaveFailureMessage(saved), nullptr);
        return;
    }
    m_resultCaption = caption;
    m_resultFileCount = static_cast<int>(files.size());
    ::EndDialog(m_dialog, IDOK);
}

void TKLGroupForm::ShowFilesPopupMenu(POINT screen)
{
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    ::AppendMenuW(menu, MF_STRING, kPopupAdd, L"&Add");
    ::AppendMenuW(menu, MF_STRING, kPopupDelete, L"&Delete");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kPopupHelp, L"&Help");
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_dialog, nullptr));
    ::DestroyMenu(menu);
    if (chosen == kPopupAdd) ActionAdd();
    else if (chosen == kPopupDelete) ActionDelete();
    else if (chosen == kPopupHelp && m_context.help) m_context.help();
}

INT_PTR TKLGroupForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        FormCreate();
        FormShow();
        if (m_context.windowChanged) m_context.windowChanged(m_dialog);
        ::SetFocus(::GetDlgItem(m_dialog, IDC_EDITOR_CAPTION));
        return FALSE;  // the focus is set
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: ActionOK(); return TRUE;
        case IDCANCEL: ::EndDialog(m_dialog, IDCANCEL); return TRUE;
        case IDC_EDITOR_ADD: if (HIWORD(wParam) == BN_CLICKED) ActionAdd(); return TRUE;
        case IDC_EDITOR_DELETE: if (HIWORD(wParam) == BN_CLICKED) ActionDelete(); return TRUE;
        default: break;
        }
        break;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == m_files) {
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (at.x == -1 && at.y == -1) {
                RECT r{};
                ::GetWindowRect(m_files, &r);
                at = {r.left + 4, r.top + 4};
            }
            ShowFilesPopupMenu(at);
            return TRUE;
        }
        break;
    case WM_HELP: {
        const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
        if (info->iContextType == HELPINFO_WINDOW && info->dwContextId != 0 && m_context.contextHelp)
            m_context.contextHelp(static_cast<HWND>(info->hItemHandle), static_cast<DWORD>(info->dwContextId),
                                  info->MousePos);
        return TRUE;
    }
    default:
        break;
    }
    return FALSE;
}
