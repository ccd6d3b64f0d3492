// A process whose attach could not get the shared record (the security library missing, the
// mapping refused): the library's code built into this test program without attaching, so the
// process has no record. Every export must then watch nothing and refuse the receiver role, and
// the hook procedures must pass events on without touching anything.

#include <gtest/gtest.h>

#include "hook/HookProcs.h"
#include "hook/HookRecord.h"

extern "C" {
void WINAPI StartWatching(WatchKind kind);
void WINAPI StopWatching(WatchKind kind);
void WINAPI StopAll();
BOOLEAN WINAPI StillWatching();
BOOLEAN WINAPI SetReceiver(HWND receiver);
HWND WINAPI GetReceiver();
}

namespace {

TEST(HookWithoutRecord, ExportsWatchNothingAndRefuseTheReceiverRole)
{
    ASSERT_EQ(nullptr, hook::g_state.record.load());
    StartWatching(kWatchMouse);
    StartWatching(kWatchKeyboard);
    EXPECT_FALSE(StillWatching());
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    EXPECT_FALSE(SetReceiver(window));
    EXPECT_FALSE(SetReceiver(nullptr));
    EXPECT_EQ(nullptr, GetReceiver());
    StopWatching(kWatchMouse);
    StopAll();
    ::DestroyWindow(window);
}

TEST(HookWithoutRecord, HookProceduresPassEveryEventOnAndPostNothing)
{
    MOUSEHOOKSTRUCT info{};
    info.pt = {10, 20};
    EXPECT_EQ(0, hook::MouseHookProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(0, hook::KeyboardHookProc(HC_ACTION, 'A', 0x001E0001));
    EXPECT_EQ(0, hook::ShellHookProc(HSHELL_WINDOWCREATED, 0, 0));
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "something was posted";
}

} // namespace
