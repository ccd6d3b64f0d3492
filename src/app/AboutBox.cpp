#include "app/AboutBox.h"

#include <shellapi.h>

#include "app/Registry.h"
#include "components/EnterLeaveLabel.h"
#include "resources/resource.h"

namespace {
struct AboutState {
    HWND* openWindow;
    const std::wstring* dataFolder;
    TEnterLeaveLabel link;
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* state = reinterpret_cast<AboutState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<AboutState*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        if (state->openWindow) *state->openWindow = dialog;
        // The link underlines while the mouse is over it.
        HWND link = ::GetDlgItem(dialog, IDC_ABOUT_DATA_FOLDER);
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0)), sizeof(font), &font);
        font.lfUnderline = TRUE;
        try {
            state->link.Attach(link);
            state->link.SetHoverFont(font);
        } catch (...) {
        }
        ProgramVersion version;
        if (ReadProgramVersion(version)) {
            const std::wstring text = L"Version " + VersionText(version.major, version.minor, version.release, version.build);
            ::SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, text.c_str());
        }
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        // The link reads as one.
        if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(dialog, IDC_ABOUT_DATA_FOLDER)) {
            ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 90, 190));
            ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_DATA_FOLDER && HIWORD(wParam) == STN_CLICKED) {
            ::ShellExecuteW(dialog, nullptr, state->dataFolder->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (state && state->openWindow) *state->openWindow = nullptr;
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}
} // namespace

void ShowAboutBox(HWND owner, HWND* openWindow, const std::wstring& dataFolder)
{
    AboutState state{openWindow, &dataFolder, {}};
    ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, &AboutProc,
                      reinterpret_cast<LPARAM>(&state));
}
