#include "app/AboutBox.h"

#include "app/Registry.h"
#include "resources/resource.h"

namespace {
INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_INITDIALOG: {
        auto** openWindow = reinterpret_cast<HWND*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        if (openWindow) *openWindow = dialog;
        ProgramVersion version;
        if (ReadProgramVersion(version)) {
            const std::wstring text = L"Version " + VersionText(version.major, version.minor, version.release, version.build);
            ::SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, text.c_str());
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (auto* openWindow = reinterpret_cast<HWND*>(::GetWindowLongPtrW(dialog, DWLP_USER))) *openWindow = nullptr;
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

void ShowAboutBox(HWND owner, HWND* openWindow)
{
    ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, &AboutProc,
                      reinterpret_cast<LPARAM>(openWindow));
}
