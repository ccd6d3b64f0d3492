// The " More Options " panel of the "Options" page: the data folder, the screen edges, the delay
// and the two keys of the edge triggers.

#include "app/OptionsPage.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "app/Options.h"
#include "app/OptionsRules.h"
#include "base/Dpi.h"
#include "base/Strings.h"
#include "components/OrvoBrowseFolderDialog.h"
#include "resources/resource.h"

namespace {
// The data folder label's text width at 96 DPI.
constexpr int kDataFolderWidth = 196;

// One screen edge's pair of check boxes, in the order left, top, right, bottom.
struct EdgeControls {
    int floatId;
    int popupId;
    const BoolKey& floatKey;
    const BoolKey& popupKey;
    bool LauncherOptions::*floatAt;
    bool LauncherOptions::*popupAt;
};
const EdgeControls kEdges[] = {
    {IDC_FLOAT_LEFT, IDC_POPUP_LEFT, keys::FloatLeft, keys::PopupLeft, &LauncherOptions::floatLeft,
     &LauncherOptions::popupLeft},
    {IDC_FLOAT_TOP, IDC_POPUP_TOP, keys::FloatTop, keys::PopupTop, &LauncherOptions::floatTop,
     &LauncherOptions::popupTop},
    {IDC_FLOAT_RIGHT, IDC_POPUP_RIGHT, keys::FloatRight, keys::PopupRight, &LauncherOptions::floatRight,
     &LauncherOptions::popupRight},
    {IDC_FLOAT_BOTTOM, IDC_POPUP_BOTTOM, keys::FloatBottom, keys::PopupBottom, &LauncherOptions::floatBottom,
     &LauncherOptions::popupBottom},
};

} // namespace

bool TOptionsPage::OnMoreCommand(int id, int code)
{
    if (code == CBN_SELCHANGE && (id == IDC_COMBO_DISABLE_KEYS || id == IDC_COMBO_FLOATING_KEY)) {
        ComboBoxChange(id);
        return true;
    }
    if (code != BN_CLICKED) return false;
    for (std::size_t edge = 0; edge < std::size(kEdges); ++edge) {
        if (id == kEdges[edge].floatId || id == kEdges[edge].popupId) {
            EdgeActionExecute(edge, id == kEdges[edge].floatId);
            ShowEdgeChecks();
            return true;
        }
    }
    if (id != IDC_BROWSE_DATA_FOLDER) return false;
    ActionBrowseDataFolderExecute();
    return true;
}

void TOptionsPage::ShowDataFolder(const std::wstring& folder)
{
    m_dataFolder = folder;
    HWND label = ::GetDlgItem(Handle(), IDC_EDIT_DATA_FOLDER);
    HDC dc = ::GetDC(label);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    const auto width = [dc](std::wstring_view text) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    // Never wider than the field shows inside its margins, where a large font leaves it less than
    // the usual width.
    RECT inside{};
    ::SendMessageW(label, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&inside));
    const int limit = std::min<int>(ScaleForDpi(kDataFolderWidth, WindowDpi(Handle())),
                                    static_cast<int>(inside.right - inside.left));
    const std::wstring shown = ShortenPathToWidth(folder, limit, width);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    ::SetWindowTextW(label, shown.c_str());

    // A session that began while the chosen folder was missing says so where the whole path shows.
    const std::wstring& choice = m_host.EditableOptions().dataFolderChoice;
    m_dataFolderText = folder;
    if (!choice.empty() && choice != folder)
        m_dataFolderText += L"\r\nIn use in place of " + choice +
                            L", which was missing at start. That folder is used again when it is there at the next start.";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    tool.lpszText = m_dataFolderText.data();
    ::SendMessageW(m_dataFolderHint, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TOptionsPage::ShowEdgeChecks()
{
    const LauncherOptions& o = m_host.EditableOptions();
    // An edge never opens both: a box is greyed while the other box of its edge is ticked.
    for (const EdgeControls& edge : kEdges) {
        SetCheck(edge.floatId, o.*edge.floatAt);
        EnableControl(edge.floatId, !(o.*edge.popupAt));
        SetCheck(edge.popupId, o.*edge.popupAt);
        EnableControl(edge.popupId, !(o.*edge.floatAt));
    }
}

void TOptionsPage::ActionBrowseDataFolderExecute()
{
    TOrvoFolderDialog dialog;
    dialog.Parent = ::GetAncestor(Handle(), GA_ROOT);
    dialog.Folder = ExcludeTrailingBackslash(m_host.DataFolder());
    // Data can only live in a folder of the file system.
    dialog.Flags.insert(BrowseInfoFlag::OnlyFileSystem);
    if (!dialog.Execute() || dialog.Folder.empty()) return;
    const std::wstring folder = IncludeTrailingBackslash(dialog.Folder);
    // Choosing the folder that stands in for a missing one makes it the choice.
    if (folder == m_host.DataFolder() && folder == m_host.EditableOptions().dataFolderChoice) return;
    m_host.ChangeDataFolder(folder);
}

void TOptionsPage::EdgeActionExecute(std::size_t edge, bool floatAction)
{
    const EdgeControls& controls = kEdges[edge];
    LauncherOptions& o = m_host.EditableOptions();
    bool& floatAt = o.*controls.floatAt;
    bool& popupAt = o.*controls.popupAt;
    const EdgeChecks checks = ToggleEdgeCheck(EdgeChecks{floatAt, !popupAt, popupAt, !floatAt}, floatAction);
    floatAt = checks.floatChecked;
    popupAt = checks.popupChecked;
    m_settings.Write(controls.floatKey, floatAt);
    m_settings.Write(controls.popupKey, popupAt);
}

void TOptionsPage::ComboBoxChange(int id)
{
    const auto index = static_cast<int>(::SendDlgItemMessageW(Handle(), id, CB_GETCURSEL, 0, 0));
    if (index < 0) return;
    LauncherOptions& o = m_host.EditableOptions();
    if (id == IDC_COMBO_DISABLE_KEYS) {
        o.disableKey = ClampKeyComboIndex(index);
        m_settings.Write(keys::DisableKey, o.disableKey);
    } else {
        o.floatRightKey = ClampKeyComboIndex(index);
        m_settings.Write(keys::FloatRightKey, o.floatRightKey);
    }
}

void TOptionsPage::TrackBarSensitivityChange()
{
    const int position = m_trackBar.Position();
    LauncherOptions& o = m_host.EditableOptions();
    if (position == o.sensitivity) return;
    o.sensitivity = position;
    m_settings.Write(keys::Sensitivity, position);
}

LRESULT CALLBACK TOptionsPage::TrackBarSensitivityKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                          UINT_PTR, DWORD_PTR) noexcept
{
    // Up and Page Up move towards "Long", as the labels read.
    if (message == WM_KEYDOWN || message == WM_KEYUP) wParam = TrackBarSensitivityKey(static_cast<unsigned>(wParam));
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
