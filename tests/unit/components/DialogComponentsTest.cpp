// The folder browser and the icon picker on the real shell, driven from a second thread as a
// user would click them.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <thread>

#include "base/Strings.h"
#include "base/WinUtil.h"
#include "common/TempFolder.h"
#include "components/OrvoBrowseFolderDialog.h"
#include "components/OrvoPickIcon.h"

namespace {
struct Search {
    HWND not_;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    wchar_t cls[64] = {};
    ::GetClassNameW(window, cls, 64);
    if (pid != ::GetCurrentProcessId() || window == s->not_ || lstrcmpW(cls, L"#32770") != 0 ||
        !::IsWindowVisible(window) || (s->title && WindowText(window) != s->title))
        return TRUE;
    s->found = window;
    return FALSE;
}

// A visible dialog of this process other than `not_`, within the time-out.
HWND WaitForDialog(HWND not_ = nullptr, const wchar_t* title = nullptr, DWORD timeoutMs = 15000)
{
    Search search{not_, title, nullptr};
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!search.found && ::GetTickCount64() < deadline) {
        ::EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found) ::Sleep(50);
    }
    return search.found;
}

// Runs `drive` on a second thread while `modal` runs here.
template <typename Modal>
auto WhileDriven(Modal modal, std::function<void()> drive)
{
    std::thread driver(std::move(drive));
    auto result = modal();
    driver.join();
    return result;
}
} // namespace

TEST(FolderDialog, ClassicNewFolderButtonMakesTheFolderAndReopensOnIt)
{
    TempFolder base;
    TOrvoFolderDialog dialog;
    dialog.Folder = base.Path();
    dialog.Flags = {BrowseInfoFlag::ShowPath};
    HWND button = nullptr;
    std::wstring buttonText;
    RECT buttonRect{}, clientRect{};
    const bool chosen = WhileDriven([&] { return dialog.Execute(); },
                                    [&] {
                                        HWND first = WaitForDialog();
                                        if (!first) return;
                                        // The button comes once the dialog is set up.
                                        for (int i = 0; i < 200 && !button; ++i, ::Sleep(50))
                                            button = ::GetDlgItem(first, 255);
                                        buttonText = WindowText(button);
                                        ::GetWindowRect(button, &buttonRect);
                                        ::MapWindowPoints(nullptr, first, reinterpret_cast<POINT*>(&buttonRect), 2);
                                        ::GetClientRect(first, &clientRect);
                                        ::PostMessageW(first, WM_COMMAND, MAKEWPARAM(255, BN_CLICKED),
                                                       reinterpret_cast<LPARAM>(button));
                                        HWND ask = WaitForDialog(first, L"New folder");
                                        if (!ask) return;
                                        ::SetDlgItemTextW(ask, 100, L"made\\sub");
                                        ::PostMessageW(ask, WM_COMMAND, IDOK, 0);
                                        HWND again = nullptr;
                                        for (int i = 0; i < 100 && !again; ++i) {
                                            again = WaitForDialog(first, nullptr, 200);
                                            if (again == ask) again = nullptr;
                                        }
                                        if (again) ::PostMessageW(again, WM_COMMAND, IDOK, 0);
                                    });
    ASSERT_NE(button, nullptr) << "the classic dialog has the own button";
    EXPECT_EQ(buttonText, L"New folder");
    HDC screen = ::GetDC(nullptr);
    const int ppi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (ppi == 96) {
        EXPECT_EQ(buttonRect.left, 12);
        EXPECT_EQ(buttonRect.top, clientRect.bottom - 36);
        EXPECT_GE(buttonRect.right - buttonRect.left, 75);
    }
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(DirectoryExists(base / L"made\\sub"));
    EXPECT_TRUE(EqualsNoCase(dialog.Folder, base / L"made\\sub")) << WideToUtf8(dialog.Folder);
    EXPECT_EQ(dialog.SpecialFolder, -1);
}

TEST(FolderDialog, ACancelledBrowseKeepsTheFolderItOpenedOn)
{
    TempFolder base;
    TOrvoFolderDialog dialog;
    dialog.Folder = base.Path();
    const bool chosen = WhileDriven([&] { return dialog.Execute(); },
                                    [] {
                                        if (HWND d = WaitForDialog()) ::PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
                                    });
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(EqualsNoCase(dialog.Folder, base.Path()));
}

TEST(PickIconDialog, StartsOnTheSystemIconLibraryAndLoadsOnlyIconsTheFileHas)
{
    EXPECT_EQ(TOrvoPickIconDialog::StartFile(L"", L"C:\\windows\\system32"), L"C:\\windows\\system32\\SHELL32.DLL");
    EXPECT_EQ(TOrvoPickIconDialog::StartFile(L"", L"C:\\windows\\system32\\"), L"C:\\windows\\system32\\SHELL32.DLL");
    EXPECT_EQ(TOrvoPickIconDialog::StartFile(L"D:\\icons.dll", L"C:\\x"), L"D:\\icons.dll");
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring shell = TOrvoPickIconDialog::StartFile(L"", system);
    EXPECT_TRUE(TOrvoPickIconDialog::LoadSmallIcon(shell, 0));
    EXPECT_FALSE(TOrvoPickIconDialog::LoadSmallIcon(shell, 100000));
    EXPECT_FALSE(TOrvoPickIconDialog::LoadSmallIcon(L"C:\\no\\such\\file.dll", 0));
}
