// The hook procedures at work in another process: input driven with SendInput over a peer's window
// on the shared desktop, events observed at a receiver window in this process.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "hook/HookRecord.h"
#include "unit/hook/HookPeerProtocol.h"
#include "unit/hook/HookTestSupport.h"

using namespace hooktest;

namespace {

constexpr int kPeerX = 300, kPeerY = 200, kPeerWidth = 240, kPeerHeight = 160;
constexpr DWORD kRetryAfterMs = 250;

class HookInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_lib.Complete());
        ASSERT_TRUE(m_view.Valid());
        THookSharedData r = m_view.Read();
        ASSERT_TRUE(r.MouseWatchers == 0 && r.Receiver == 0) << "another program is using the hook library";
        m_receiver = CreateMessageWindow();
        m_notify = CreateMessageWindow();
        ASSERT_TRUE(m_receiver && m_notify);
        ASSERT_TRUE(m_lib.SetReceiver(m_receiver));
        m_lib.StartWatching(kWatchMouse);
    }
    void TearDown() override
    {
        if (m_lib.Complete()) {
            m_lib.StopAll();
            m_lib.SetReceiver(nullptr);
        }
        if (m_receiver) ::DestroyWindow(m_receiver);
        if (m_notify) ::DestroyWindow(m_notify);
    }

    std::wstring PeerWindowArguments(const NamedEvent& ready, const NamedEvent& quit) const
    {
        return L"window " + ready.Name() + L" " + quit.Name() + L" " + std::to_wstring(HandleToField(m_notify)) +
               L" " + std::to_wstring(kPeerX) + L" " + std::to_wstring(kPeerY) + L" " + std::to_wstring(kPeerWidth) +
               L" " + std::to_wstring(kPeerHeight);
    }

    // Moves the mouse and pumps until the peer's window reports a move; returns the point it saw
    // (0 when none came) and the time from the last move sent to the report. The point need not
    // be the one asked for: the X server may echo an earlier warp of the cursor, and the system
    // merges queued moves, so a move can get lost; it is sent again a little aside after a pause.
    // Hook events that arrive meanwhile are kept in m_hookEvents.
    std::uint32_t MoveOverPeer(int x, int y, DWORD timeoutMs, double* delayMs = nullptr)
    {
        PumpUntil(0, [&](const MSG& msg) { return KeepHookEvent(msg) && false; });
        LARGE_INTEGER frequency, sent, now;
        ::QueryPerformanceFrequency(&frequency);
        std::uint32_t seen = 0;
        DWORD start = ::GetTickCount();
        for (int attempt = 0; !seen && ::GetTickCount() - start < timeoutMs; ++attempt) {
            int sendX = x + (attempt % 2) * 2;
            POINT cursor{};
            // A move to where the cursor already is produces no message.
            if (::GetCursorPos(&cursor) && cursor.x == sendX && cursor.y == y) ++sendX;
            ::QueryPerformanceCounter(&sent);
            SendMouseMove(sendX, y);
            PumpUntil(kRetryAfterMs, [&](const MSG& msg) {
                KeepHookEvent(msg);
                if (msg.hwnd != m_notify || msg.message != kPeerSawMove) return false;
                seen = static_cast<std::uint32_t>(msg.lParam);
                return true;
            });
        }
        ::QueryPerformanceCounter(&now);
        if (delayMs)
            *delayMs = 1000.0 * static_cast<double>(now.QuadPart - sent.QuadPart) / static_cast<double>(frequency.QuadPart);
        return seen;
    }

    static bool InsidePeer(std::uint32_t point)
    {
        int x = static_cast<int>(point & 0xFFFF), y = static_cast<int>(point >> 16);
        return x >= kPeerX && x < kPeerX + kPeerWidth && y >= kPeerY && y < kPeerY + kPeerHeight;
    }

    bool HookEventSeen(WPARAM mouseMessage, std::uint32_t point) const
    {
        return std::any_of(m_hookEvents.begin(), m_hookEvents.end(), [&](const MSG& m) {
            return m.wParam == mouseMessage && static_cast<std::uint32_t>(m.lParam) == point;
        });
    }

    bool WaitForHookEvent(WPARAM mouseMessage, std::uint32_t point, DWORD timeoutMs)
    {
        if (HookEventSeen(mouseMessage, point)) return true;
        return PumpUntil(timeoutMs, [&](const MSG& msg) {
            return KeepHookEvent(msg) && msg.wParam == mouseMessage && static_cast<std::uint32_t>(msg.lParam) == point;
        });
    }

    bool KeepHookEvent(const MSG& msg)
    {
        if (msg.hwnd != m_receiver || msg.message != m_mouseMessage) return false;
        m_hookEvents.push_back(msg);
        return true;
    }

    HookLibrary m_lib;
    RecordView m_view;
    HWND m_receiver = nullptr;
    HWND m_notify = nullptr;
    UINT m_mouseMessage = ::RegisterWindowMessageW(kWatchMouseMessage);
    std::vector<MSG> m_hookEvents;
};

TEST_F(HookInputTest, MouseEventsOfAnotherProcessReachTheReceiverWithThePackedPoint)
{
    int attachedBefore = m_view.Read().AttachedProcesses;
    NamedEvent ready(L"ready"), quit(L"quit");
    PeerProcess peer(PeerWindowArguments(ready, quit));
    ASSERT_TRUE(peer.WaitFor(ready, 10000)) << "peer window ended with " << peer.WaitForExit(0);

    std::uint32_t seen = MoveOverPeer(kPeerX + 100, kPeerY + 75, 5000);
    ASSERT_TRUE(InsidePeer(seen)) << "the peer window never saw the move";
    EXPECT_TRUE(WaitForHookEvent(WM_MOUSEMOVE, seen, 3000)) << "no hook event with the point the peer saw";
    EXPECT_GT(m_view.Read().AttachedProcesses, attachedBefore) << "the system did not load the library into the peer";

    std::uint32_t pressedAt = 0;
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpUntil(3000, [&](const MSG& msg) {
        KeepHookEvent(msg);
        if (msg.hwnd != m_notify || msg.message != kPeerSawLeftDown) return false;
        pressedAt = static_cast<std::uint32_t>(msg.lParam);
        return true;
    });
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(InsidePeer(pressedAt)) << "the peer window never saw the press";
    EXPECT_TRUE(WaitForHookEvent(WM_LBUTTONDOWN, pressedAt, 3000));

    quit.Set();
    EXPECT_EQ(0, peer.WaitForExit(10000));
}

TEST_F(HookInputTest, KeysOfAnotherProcessReachTheReceiverAsPosted)
{
    UINT keyMessage = ::RegisterWindowMessageW(kWatchKeyMessage);
    m_lib.StartWatching(kWatchKeyboard);
    NamedEvent ready(L"ready"), quit(L"quit");
    PeerProcess peer(PeerWindowArguments(ready, quit));
    ASSERT_TRUE(peer.WaitFor(ready, 10000)) << "peer window ended with " << peer.WaitForExit(0);

    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = 'Q';
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    LPARAM peerFlags = 0;
    std::vector<MSG> hookKeys;
    bool peerSaw = false;
    // The peer may take a moment to become the active window.
    for (int attempt = 0; attempt < 10 && !peerSaw; ++attempt) {
        ::SendInput(2, keys, sizeof(INPUT));
        peerSaw = PumpUntil(kRetryAfterMs, [&](const MSG& msg) {
            if (msg.hwnd == m_receiver && msg.message == keyMessage) hookKeys.push_back(msg);
            if (msg.hwnd != m_notify || msg.message != kPeerSawKey || msg.wParam != 'Q') return false;
            peerFlags = msg.lParam;
            return true;
        });
    }
    ASSERT_TRUE(peerSaw) << "the peer window never got the key";
    PumpUntil(500, [&](const MSG& msg) {
        if (msg.hwnd == m_receiver && msg.message == keyMessage) hookKeys.push_back(msg);
        return false;
    });
    bool down = false, up = false;
    for (const MSG& m : hookKeys) {
        if (m.wParam != 'Q') continue;
        if (static_cast<std::uint32_t>(m.lParam) == static_cast<std::uint32_t>(peerFlags)) down = true;
        if (static_cast<std::uint32_t>(m.lParam) & 0x80000000u) up = true;
    }
    EXPECT_TRUE(down) << "no key event with the flags the peer saw";
    EXPECT_TRUE(up) << "no key release event";
    quit.Set();
    EXPECT_EQ(0, peer.WaitForExit(10000));
}

// A process that holds the record's mutex (hung, or stopped in a debugger) must not hold up input
// anywhere else: each hooked event waits at most the short time-out and is then passed on.
TEST_F(HookInputTest, HeldMutexDelaysInputElsewhereByAtMostTheShortWait)
{
    NamedEvent ready(L"ready"), quit(L"quit");
    PeerProcess window(PeerWindowArguments(ready, quit));
    ASSERT_TRUE(window.WaitFor(ready, 10000)) << "peer window ended with " << window.WaitForExit(0);
    // The first hooked event loads the library into the peer; attach is not part of the measurement.
    std::uint32_t warmUp = MoveOverPeer(kPeerX + 10, kPeerY + 10, 5000);
    ASSERT_TRUE(InsidePeer(warmUp));
    ASSERT_TRUE(WaitForHookEvent(WM_MOUSEMOVE, warmUp, 3000));

    auto measure = [&](int row) {
        std::vector<double> delays;
        for (int i = 0; i < 8; ++i) {
            double delay = 0;
            if (!MoveOverPeer(kPeerX + 20 + i * 20, kPeerY + row, 3000, &delay)) return std::vector<double>{};
            delays.push_back(delay);
        }
        std::sort(delays.begin(), delays.end());
        return delays;
    };
    std::vector<double> free = measure(40);
    ASSERT_FALSE(free.empty());

    // Let late events (echoed cursor warps) settle so that what arrives during the hold was posted then.
    for (std::size_t before = SIZE_MAX; before != m_hookEvents.size();) {
        before = m_hookEvents.size();
        PumpUntil(300, [&](const MSG& msg) { return KeepHookEvent(msg) && false; });
    }
    NamedEvent held(L"held");
    PeerProcess holder(L"hold-mutex " + held.Name() + L" 3000");
    ASSERT_TRUE(holder.WaitFor(held, 10000));
    m_hookEvents.clear();
    std::vector<double> blocked = measure(80);
    // Pick up whatever was posted before the holder lets go.
    PumpUntil(100, [&](const MSG& msg) { KeepHookEvent(msg); return false; });
    std::size_t postedWhileHeld = m_hookEvents.size();
    bool stillHeld = holder.Running();
    EXPECT_EQ(0, holder.WaitForExit(10000));

    ASSERT_FALSE(blocked.empty()) << "input in the peer stopped while another process held the mutex";
    EXPECT_TRUE(stillHeld) << "the measurement outlasted the hold";
    EXPECT_EQ(0u, postedWhileHeld) << "nothing can be posted without the record";
    double freeWorst = free.back(), blockedWorst = blocked.back(), blockedMedian = blocked[blocked.size() / 2];
    // Each held event waits the short time-out once, plus scheduling noise.
    EXPECT_LE(blockedWorst, freeWorst + hook::kHookWaitMs + 60.0)
        << "free worst " << freeWorst << " ms, held worst " << blockedWorst << " ms";
    EXPECT_GE(blockedMedian, hook::kHookWaitMs * 0.8) << "the hook did not wait for the mutex at all";

    // Released: events are posted again.
    std::uint32_t after = MoveOverPeer(kPeerX + 50, kPeerY + 120, 3000);
    ASSERT_TRUE(InsidePeer(after));
    EXPECT_TRUE(WaitForHookEvent(WM_MOUSEMOVE, after, 3000));
    quit.Set();
    EXPECT_EQ(0, window.WaitForExit(10000));
}

} // namespace
