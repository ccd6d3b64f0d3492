// The screen-edge and key + right-click triggers on the real program: the mouse and the keyboard
// driven with SendInput on the 1024 x 768 virtual desktop, the windows observed from outside.

#include <gtest/gtest.h>

#include <windows.h>

#include "app/Settings.h"
#include "common/TempFolder.h"
#include "e2e/Harness.h"
#include "e2e/LauncherTest.h"
#include "unit/items/ItemTestFiles.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 8000;
// What "nothing happens" waits for: several times the 200 ms delay of the lowest sensitivity.
constexpr DWORD kQuietMs = 1200;
// A window of this test that has the focus, away from the edges and the screen's middle.
constexpr RECT kTargetRect{120, 450, 320, 550};
constexpr POINT kMiddle{620, 330};

void SendMouse(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

void SendKey(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

bool KeyHeld(WORD vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

// Presses a key and keeps it down. When a window of the desktop takes the focus, the X server's
// own key state (where nothing is held) replaces the system's, so a press made just before that
// is lost; it is made again until it sticks.
bool HoldKey(WORD vk)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        SendKey(vk, false);
        Pump(300);
        if (KeyHeld(vk)) return true;
    }
    return false;
}


class TriggersTest : public testing::Test {
protected:
    void SetUp() override
    {
        KillStrayLaunchers();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (const wchar_t* name : {L"Icons", L"Menus", L"Floating"}) ::CreateDirectoryW((m_folder / name).c_str(), nullptr);
        for (const wchar_t* name : {L"Floating\\one.lnk", L"Floating\\two.lnk"})
            item_test::MakeShortcut(m_folder / name, RecordLaunchExePath(), L"x");
        const IniFile ini(Ini());
        ini.Write(keys::DataFolder, m_folder.Path() + L"\\");
        ini.Write(keys::ExitDialog, true);
        ini.Write(keys::Sensitivity, 1);  // 200 ms
        // The floating window hides by itself "ShowTime" seconds after it showed; far longer than
        // any wait here, so a window that goes was closed by the key or the click under test.
        ini.Write(keys::ShowTime, 60);

        m_target = std::make_unique<FocusTarget>(kTargetRect);
        ASSERT_NE(m_target->Handle(), nullptr);
        MoveCursorTo(kMiddle.x, kMiddle.y);
    }
    void TearDown() override
    {
        // No key may stay down for the tests that come after.
        for (WORD vk : {VK_SHIFT, VK_CONTROL}) SendKey(vk, true);
        m_launcher.reset();
        KillStrayLaunchers();
        m_target.reset();
        ::CoUninitialize();
    }

    std::wstring Ini() const { return m_folder / L"settings.ini"; }

    // Starts the program; the floating window exists once start-up (and with it the watch) has run.
    void Start()
    {
        m_launcher = std::make_unique<LauncherProcess>(std::vector<std::wstring>{Ini()});
        ASSERT_NE(m_launcher->StartAndWaitForMainWindow(), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return (m_floating = FindProcessWindow(m_launcher->Id(), L"TIconWindow")) != nullptr; },
                              kTimeout));
        Focus();
    }

    void Focus() { m_target->Focus(); }

    HWND Menu() const { return FindProcessWindow(m_launcher->Id(), L"#32768"); }
    bool MenuVisible() const { return Visible(Menu()); }
    void Click(DWORD down, DWORD up, POINT at)
    {
        ASSERT_TRUE(MoveCursorTo(at.x, at.y));
        SendMouse(down);
        Pump(50);
        SendMouse(up);
    }

    TempFolder m_folder;
    std::unique_ptr<FocusTarget> m_target;
    HWND m_floating = nullptr;
    std::unique_ptr<LauncherProcess> m_launcher;
};
} // namespace

TEST_F(TriggersTest, RestAtRightEdgeOpensFloatingPassivelyAndKeyOrOutsideClickHidesIt)
{
    Start();
    ASSERT_EQ(::GetForegroundWindow(), m_target->Handle());
    ASSERT_FALSE(Visible(m_floating));

    const DWORD movedAt = ::GetTickCount();
    ASSERT_TRUE(MoveCursorTo(1023, 300));
    ASSERT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
    EXPECT_GE(::GetTickCount() - movedAt, 150u) << "opened before the cursor rested for the delay";
    // Passive: the focus stays where it was; the window sits at the cursor, pushed in at the right.
    EXPECT_EQ(::GetForegroundWindow(), m_target->Handle());
    RECT r{};
    ::GetWindowRect(m_floating, &r);
    EXPECT_EQ(r.right, 1024);
    EXPECT_EQ(r.top, 300);

    // Any key event closes a window the edge opened.
    SendKey('Q', false);
    SendKey('Q', true);
    EXPECT_TRUE(PumpUntil([&] { return !Visible(m_floating); }, kTimeout));

    // Resting again (the cursor moved) opens it again; a button released outside it closes it.
    ASSERT_TRUE(MoveCursorTo(1023, 500));
    ASSERT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, {(kTargetRect.left + kTargetRect.right) / 2, kTargetRect.top + 20});
    EXPECT_TRUE(PumpUntil([&] { return !Visible(m_floating); }, kTimeout));
}

TEST_F(TriggersTest, CornerRestDoesNothingUnlessEnableCornerEdgeIsSet)
{
    Start();
    ASSERT_TRUE(MoveCursorTo(1023, 20));  // within 40 pixels of the top
    Pump(kQuietMs);
    EXPECT_FALSE(Visible(m_floating));

    // Read at every edge check: no restart needed, only a move.
    IniFile(Ini()).Write(keys::EnableCornerEdge, true);
    ASSERT_TRUE(MoveCursorTo(1023, 22));
    EXPECT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
}

TEST_F(TriggersTest, RestAtTopEdgeOpensPopupMenuUnlessShiftIsHeld)
{
    Start();
    // Straight from the floating window at the right edge: the window gives way to the menu.
    ASSERT_TRUE(MoveCursorTo(1023, 300));
    ASSERT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
    ASSERT_TRUE(MoveCursorTo(500, 0));
    ASSERT_TRUE(PumpUntil([&] { return MenuVisible(); }, kTimeout));
    EXPECT_FALSE(Visible(m_floating));
    RECT r{};
    ::GetWindowRect(Menu(), &r);
    EXPECT_NEAR(r.left, 500, 2);
    SendKey(VK_ESCAPE, false);
    SendKey(VK_ESCAPE, true);
    ASSERT_TRUE(PumpUntil([&] { return !MenuVisible(); }, kTimeout));
    ASSERT_TRUE(MoveCursorTo(kMiddle.x, kMiddle.y));
    Focus();

    // Shift, the default disable key, suspends the trigger while it is held.
    ASSERT_TRUE(HoldKey(VK_SHIFT));
    ASSERT_TRUE(MoveCursorTo(520, 0));
    Pump(kQuietMs);
    ASSERT_TRUE(KeyHeld(VK_SHIFT));
    EXPECT_FALSE(MenuVisible());
    SendKey(VK_SHIFT, true);
    Pump(100);
    ASSERT_TRUE(MoveCursorTo(530, 0));
    EXPECT_TRUE(PumpUntil([&] { return MenuVisible(); }, kTimeout));
    SendKey(VK_ESCAPE, false);
    SendKey(VK_ESCAPE, true);
    EXPECT_TRUE(PumpUntil([&] { return !MenuVisible(); }, kTimeout));
}

TEST_F(TriggersTest, CtrlAndRightClickOpensFloatingActive)
{
    Start();
    const POINT inTarget{(kTargetRect.left + kTargetRect.right) / 2, (kTargetRect.top + kTargetRect.bottom) / 2};
    // Without the key a right click opens nothing.
    Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, inTarget);
    Pump(kQuietMs);
    EXPECT_FALSE(Visible(m_floating));

    ASSERT_TRUE(HoldKey(VK_CONTROL));
    Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, inTarget);
    SendKey(VK_CONTROL, true);
    ASSERT_TRUE(PumpUntil([&] { return Visible(m_floating); }, kTimeout));
    // Active: the window takes the focus, at the cursor.
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == m_floating; }, kTimeout));
    RECT r{};
    ::GetWindowRect(m_floating, &r);
    EXPECT_EQ(r.left, inTarget.x);
    EXPECT_EQ(r.top, inTarget.y);
    // Not opened by the edge: a key event leaves it up.
    SendKey('Q', false);
    SendKey('Q', true);
    Pump(500);
    EXPECT_TRUE(Visible(m_floating));
}
