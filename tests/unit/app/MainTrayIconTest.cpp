#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/MainTrayIcon.h"
#include "base/WinUtil.h"

namespace {
struct Call {
    DWORD message;
    UINT id;
    UINT callback;
    HICON icon;
    std::wstring tip;
};

// What an icon looks like: its pixels drawn at 16 x 16 over a fixed background.
std::vector<COLORREF> Pixels(HICON icon)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT all{0, 0, 16, 16};
    HBRUSH background = ::CreateSolidBrush(RGB(1, 2, 3));
    ::FillRect(dc, &all, background);
    ::DeleteObject(background);
    ::DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

class MainTrayIconTest : public testing::Test {
protected:
    NotifyIconFunction Recorder()
    {
        return [this](DWORD message, NOTIFYICONDATAW& data) {
            m_calls.push_back({message, data.uID, data.uCallbackMessage, data.hIcon, data.szTip});
            return true;
        };
    }
    std::vector<Call> m_calls;
};
} // namespace

TEST_F(MainTrayIconTest, AddedOnceThenModifiedReAddedWhenForcedAndDeletedWhenHidden)
{
    MainTrayIcon icon(nullptr, Recorder());
    icon.UseBuiltIn();
    ASSERT_NE(icon.VisibleIcon(), nullptr) << "NICON1 loads";
    icon.Show(false, false);
    icon.Show(false, false);
    icon.Show(false, true);  // the taskbar was re-created
    icon.Show(true, false);  // "HideTrayIcon"
    icon.Show(true, false);
    ASSERT_EQ(m_calls.size(), 4u);
    EXPECT_EQ(m_calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(m_calls[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(m_calls[2].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(m_calls[3].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(m_calls[0].id, 1u);
    EXPECT_EQ(m_calls[0].callback, static_cast<UINT>(WM_USER));
    EXPECT_EQ(m_calls[0].tip, L"Orvo Launcher");
    EXPECT_FALSE(icon.Shown());
    icon.Remove();
    EXPECT_EQ(m_calls.size(), 4u) << "nothing to delete";
}

TEST_F(MainTrayIconTest, TipGoesAndComesBackOnceAndAReAddedIconKeepsTheCurrentOne)
{
    MainTrayIcon icon(nullptr, Recorder());
    icon.UseBuiltIn();
    icon.SetTipShown(false);  // not in the notification area yet: nothing to change
    EXPECT_TRUE(m_calls.empty());
    icon.Show(false, false);
    icon.SetTipShown(false);
    icon.Show(false, true);  // the taskbar was re-created meanwhile
    icon.SetTipShown(true);
    icon.SetTipShown(true);
    ASSERT_EQ(m_calls.size(), 3u);
    EXPECT_EQ(m_calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(m_calls[0].tip, L"");
    EXPECT_EQ(m_calls[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(m_calls[1].tip, L"");
    EXPECT_EQ(m_calls[2].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(m_calls[2].tip, L"Orvo Launcher");
    EXPECT_EQ(m_calls[2].icon, icon.VisibleIcon());
}

TEST_F(MainTrayIconTest, CustomIconFallsBackToTheBuiltInOne)
{
    MainTrayIcon icon(nullptr, Recorder());
    icon.UseBuiltIn();
    const HICON builtIn = icon.VisibleIcon();
    const std::vector<COLORREF> builtInLook = Pixels(builtIn);

    // A file with icons: its icon shows.
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    icon.UseCustom(std::wstring(system) + L"\\shell32.dll", 3);
    ASSERT_NE(icon.VisibleIcon(), nullptr);
    EXPECT_NE(Pixels(icon.VisibleIcon()), builtInLook);

    // No such file, or no icon at that index: the built-in artwork in the custom place.
    icon.UseCustom(L"C:\\no such folder\\none.dll", 0);
    ASSERT_NE(icon.VisibleIcon(), nullptr);
    EXPECT_EQ(Pixels(icon.VisibleIcon()), builtInLook);
    icon.UseCustom(std::wstring(system) + L"\\shell32.dll", 100000);
    ASSERT_NE(icon.VisibleIcon(), nullptr);
    EXPECT_EQ(Pixels(icon.VisibleIcon()), builtInLook);

    icon.Show(false, false);
    ASSERT_EQ(m_calls.size(), 1u);
    EXPECT_EQ(m_calls[0].icon, icon.VisibleIcon());
    icon.UseBuiltIn();
    EXPECT_EQ(icon.VisibleIcon(), builtIn);
}
