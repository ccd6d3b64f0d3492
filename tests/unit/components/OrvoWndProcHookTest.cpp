// The window procedure hook on real windows: the order of the two chains around the window's own
// procedure, callbacks that leave while they run, and windows or hooks that go first.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/ErrorReport.h"
#include "base/LauncherError.h"
#include "common/ThreadBoxes.h"
#include "components/OrvoWndProcHook.h"

namespace {
constexpr UINT kProbe = WM_APP + 7;
std::string g_log;  // what the callbacks and the window's own procedure saw, in order

LRESULT CALLBACK OwnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kProbe) {
        g_log += "own ";
        return 42;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// A callback that logs its name, then runs `then` and answers `handled`.
struct Probe {
    std::string name;
    bool handled = false;
    std::function<void()> then = {};
    static bool Call(void* self, TWndMessage& m)
    {
        auto* probe = static_cast<Probe*>(self);
        if (m.Msg != kProbe) return false;
        g_log += probe->name + " ";
        if (probe->then) probe->then();
        return probe->handled;
    }
    TWndProcCallback Callback() { return {&Probe::Call, this}; }
};

class WndProcHookTest : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &OwnProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WndProcHookTest";
        ::RegisterClassW(&wc);
        m_window = ::CreateWindowExW(0, L"WndProcHookTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     wc.hInstance, nullptr);
        ASSERT_NE(m_window, nullptr);
        g_log.clear();
    }
    void TearDown() override { ::DestroyWindow(m_window); }
    std::string Send()
    {
        g_log.clear();
        m_result = ::SendMessageW(m_window, kProbe, 0, 0);
        return g_log;
    }

    HWND m_window = nullptr;
    LRESULT m_result = 0;
};
} // namespace

TEST_F(WndProcHookTest, BeforeChainThenOwnProcedureThenAfterChainEachInHookOrder)
{
    TOrvoWndProcHook hook;
    Probe a{"a"}, b{"b"}, c{"c"}, d{"d"};
    ASSERT_TRUE(hook.HookWndProc(m_window, THookKind::After, c.Callback()));
    ASSERT_TRUE(hook.HookWndProc(m_window, THookKind::Before, a.Callback()));
    ASSERT_TRUE(hook.HookWndProc(m_window, THookKind::After, d.Callback()));
    ASSERT_TRUE(hook.HookWndProc(m_window, THookKind::Before, b.Callback()));
    EXPECT_EQ(Send(), "a b own c d ");
    EXPECT_EQ(m_result, 42);

    // A handled message goes no further: from a before callback not even to the window.
    c.handled = true;
    EXPECT_EQ(Send(), "a b own c ");
    b.handled = true;
    EXPECT_EQ(Send(), "a b ");
    EXPECT_EQ(m_result, 0);

    // The same callback twice is two entries; one unhook removes one of them.
    b.handled = c.handled = false;
    ASSERT_TRUE(hook.HookWndProc(m_window, THookKind::After, d.Callback()));
    EXPECT_EQ(Send(), "a b own c d d ");
    EXPECT_TRUE(hook.UnhookWndProc(m_window, THookKind::After, d.Callback()));
    EXPECT_TRUE(hook.UnhookWndProc(m_window, THookKind::Before, d.Callback()));  // not in that chain: nothing
    EXPECT_EQ(Send(), "a b own c d ");

    EXPECT_FALSE(hook.HookWndProc(nullptr, THookKind::Before, a.Callback()));
    EXPECT_FALSE(hook.HookWndProc(m_window, THookKind::Before, {nullptr, &a}));
    EXPECT_FALSE(hook.UnhookWndProc(::GetDesktopWindow(), THookKind::Before, a.Callback()));  // never hooked
}

TEST_F(WndProcHookTest, CallbacksLeavingWhileCalledAndTheLastOneRestoringTheWindow)
{
    TOrvoWndProcHook hook;
    Probe once{"once"}, stays{"stays"}, later{"later"};
    once.then = [&] {
        hook.UnhookWndProc(m_window, THookKind::After, once.Callback());
        // Added during the dispatch: heard from the next message on.
        hook.HookWndProc(m_window, THookKind::After, later.Callback());
    };
    hook.HookWndProc(m_window, THookKind::After, once.Callback());
    hook.HookWndProc(m_window, THookKind::After, stays.Callback());
    EXPECT_EQ(Send(), "own once stays ");
    EXPECT_EQ(Send(), "own stays later ");

    // The last callback leaving, even from inside its own call, gives the window its procedure back.
    stays.then = [&] { hook.UnhookWndProc(m_window, THookKind::After, stays.Callback()); };
    hook.UnhookWndProc(m_window, THookKind::After, later.Callback());
    EXPECT_EQ(Send(), "own stays ");
    EXPECT_FALSE(hook.IsHooked(m_window));
    EXPECT_EQ(hook.KnownWindowCount(), 0u);
    EXPECT_EQ(Send(), "own ");

    // Hooking again installs the dispatcher anew.
    stays.then = nullptr;
    EXPECT_TRUE(hook.HookWndProc(m_window, THookKind::Before, stays.Callback()));
    EXPECT_TRUE(hook.IsHooked(m_window));
    EXPECT_EQ(Send(), "stays own ");
}

TEST_F(WndProcHookTest, DestroyedWindowsAndHooksLeaveNothingDangling)
{
    auto hook = std::make_unique<TOrvoWndProcHook>();
    Probe a{"a"};
    hook->HookWndProc(m_window, THookKind::After, a.Callback());
    ::DestroyWindow(m_window);
    EXPECT_EQ(hook->KnownWindowCount(), 0u);
    EXPECT_FALSE(hook->UnhookWndProc(m_window, THookKind::After, a.Callback()));

    // A window destroyed by a callback of its own dispatch: the rest of the chain is skipped.
    SetUp();
    Probe destroyer{"destroyer"}, next{"next"};
    destroyer.then = [&] { ::DestroyWindow(m_window); };
    hook->HookWndProc(m_window, THookKind::Before, destroyer.Callback());
    hook->HookWndProc(m_window, THookKind::Before, next.Callback());
    EXPECT_EQ(Send(), "destroyer ");
    EXPECT_FALSE(::IsWindow(m_window));
    EXPECT_EQ(hook->KnownWindowCount(), 0u);

    // The hook itself going while it dispatches: the window keeps working with its own procedure.
    SetUp();
    Probe ender{"ender"};
    ender.then = [&] { hook.reset(); };
    hook->HookWndProc(m_window, THookKind::Before, ender.Callback());
    hook->HookWndProc(m_window, THookKind::After, next.Callback());
    EXPECT_EQ(Send(), "ender own ");
    EXPECT_EQ(Send(), "own ");
}

TEST_F(WndProcHookTest, AFailingCallbackIsReportedAndAnotherFailureWhileItsBoxIsUpComesAfterIt)
{
    SetErrorBoxCaption(L"Orvo Launcher");
    TOrvoWndProcHook hook;
    std::atomic<int> failures{0};
    Probe failing{"failing"};
    failing.then = [&] { throw LauncherError(++failures == 1 ? L"First failure" : L"Second failure"); };
    hook.HookWndProc(m_window, THookKind::Before, failing.Callback());

    const DWORD uiThread = ::GetCurrentThreadId();
    std::vector<std::wstring> seen;
    std::thread user([&] {
        const auto await = [&](const std::wstring& text) {
            HWND box = nullptr;
            for (int i = 0; i < 250 && !box; ++i) {
                const std::vector<HWND> boxes = thread_boxes::BoxesShowing(uiThread, text.c_str());
                if (!boxes.empty()) box = boxes.front();
                else ::Sleep(20);
            }
            if (box) seen.push_back(text);
            return box;
        };
        const auto close = [](HWND box) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
        HWND first = await(L"First failure");
        if (!first) return;
        // The second failure happens while the first box is up: its own loop dispatches it.
        ::PostMessageW(m_window, kProbe, 0, 0);
        for (int i = 0; i < 250 && failures < 2; ++i) ::Sleep(20);
        close(first);
        if (HWND second = await(L"Second failure")) close(second);
    });
    ::SendMessageW(m_window, kProbe, 0, 0);
    user.join();
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"First failure", L"Second failure"}));
}
