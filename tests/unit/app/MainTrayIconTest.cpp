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

TEST_F(MainTrayIconTest, CustomIconFallsBackToTheBuiltInOne)
{
    MainTrayIcon icon(nullptr, Recorder());
    icon.UseBuiltIn();
    const HICON builtIn = icon.VisibleIcon();

    // A file with icons: its icon shows.
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    icon.UseCustom(std::wstring(system) + L"\\shell32.dll", 3);
    ASSERT_NE(icon.VisibleIcon(), nullptr);
    EXPECT_NE(icon.VisibleIcon(), builtIn);

    // No such file, or no icon at that index: the built-in artwork in the custom place.
    icon.UseCustom(L"C:\\no such folder\\none.dll", 0);
    EXPECT_NE(icon.VisibleIcon(), nullptr);
    icon.UseCustom(std::wstring(system) + L"\\shell32.dll", 100000);
    EXPECT_NE(icon.VisibleIcon(), nullptr);

    icon.Show(false, false);
    ASSERT_EQ(m_calls.size(), 1u);
    EXPECT_EQ(m_calls[0].icon, icon.VisibleIcon());
    icon.UseBuiltIn();
    EXPECT_EQ(icon.VisibleIcon(), builtIn);
}
