// The hook library's exports and shared record, loaded in this process and in peer processes.
// These tests need the record to themselves: no other program may be watching the desktop.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/TempFolder.h"
#include "hook/HookRecord.h"
#include "unit/hook/HookTestSupport.h"

using namespace hooktest;

namespace {

class HookLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_lib.Complete()) << "cannot load or bind " << WideToNarrow(HookLibraryPath());
        ASSERT_TRUE(m_view.Valid());
        THookSharedData r = m_view.Read();
        ASSERT_TRUE(r.ShellWatchers == 0 && r.KeyWatchers == 0 && r.MouseWatchers == 0 && r.Receiver == 0)
            << "another program is using the hook library";
        ASSERT_GE(r.AttachedProcesses, 1);
    }
    void TearDown() override
    {
        if (!m_lib.Complete()) return;
        m_lib.StopAll();
        m_lib.SetReceiver(nullptr);
    }

    static std::string WideToNarrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

    HookLibrary m_lib;
    RecordView m_view;
};

TEST_F(HookLibraryTest, MouseKindCountsItsWatchersAndHooksOnce)
{
    m_lib.StartWatching(kWatchMouse);
    THookSharedData first = m_view.Read();
    ASSERT_NE(0u, first.MouseHook);
    m_lib.StartWatching(kWatchMouse);
    THookSharedData r = m_view.Read();
    EXPECT_EQ(2, r.MouseWatchers);
    EXPECT_EQ(first.MouseHook, r.MouseHook) << "a second start must not install a second hook";

    m_lib.StopWatching(kWatchMouse);
    r = m_view.Read();
    EXPECT_EQ(1, r.MouseWatchers);
    EXPECT_EQ(first.MouseHook, r.MouseHook);
    EXPECT_TRUE(m_lib.StillWatching());

    m_lib.StopWatching(kWatchMouse);
    r = m_view.Read();
    EXPECT_EQ(0, r.MouseWatchers);
    EXPECT_EQ(0u, r.MouseHook);
    EXPECT_FALSE(m_lib.StillWatching());

    m_lib.StopWatching(kWatchMouse);
    EXPECT_EQ(0, m_view.Read().MouseWatchers) << "the count never stays below 0 without a hook";
}

TEST_F(HookLibraryTest, EachKindUsesItsOwnFieldsAndOtherKindsSelectNothing)
{
    m_lib.StartWatching(kWatchShell);
    m_lib.StartWatching(kWatchKeyboard);
    THookSharedData r = m_view.Read();
    EXPECT_NE(0u, r.ShellHook);
    EXPECT_EQ(1, r.ShellWatchers);
    EXPECT_NE(0u, r.KeyHook);
    EXPECT_EQ(1, r.KeyWatchers);
    EXPECT_EQ(0u, r.MouseHook);
    EXPECT_EQ(0, r.MouseWatchers);

    for (WatchKind kind : {WatchKind{3}, WatchKind{5}, WatchKind{255}}) {
        m_lib.StartWatching(kind);
        m_lib.StopWatching(kind);
    }
    EXPECT_TRUE(SameRecord(r, m_view.Read()));

    m_lib.StopWatching(kWatchShell);
    r = m_view.Read();
    EXPECT_EQ(0u, r.ShellHook);
    EXPECT_NE(0u, r.KeyHook);
    EXPECT_TRUE(m_lib.StillWatching());
}

TEST_F(HookLibraryTest, FailedInstallStaysCountedUntilStopped)
{
    // A kind whose hook could not be installed: counted, no handle.
    m_view.Change([](THookSharedData& r) { r.MouseWatchers = 1; });
    EXPECT_TRUE(m_lib.StillWatching());
    m_lib.StartWatching(kWatchMouse);
    THookSharedData r = m_view.Read();
    EXPECT_EQ(2, r.MouseWatchers);
    EXPECT_EQ(0u, r.MouseHook) << "installing is not retried while the count is raised";

    m_lib.StopWatching(kWatchMouse);
    EXPECT_EQ(0, m_view.Read().MouseWatchers);
    EXPECT_FALSE(m_lib.StillWatching());
}

TEST_F(HookLibraryTest, StopAllRemovesEveryHookAndDoesNothingWhenNothingIsCounted)
{
    m_lib.StartWatching(kWatchShell);
    m_lib.StartWatching(kWatchKeyboard);
    m_lib.StartWatching(kWatchMouse);
    m_lib.StartWatching(kWatchMouse);
    m_lib.StopAll();
    THookSharedData r = m_view.Read();
    EXPECT_EQ(0u, r.ShellHook);
    EXPECT_EQ(0u, r.KeyHook);
    EXPECT_EQ(0u, r.MouseHook);
    EXPECT_EQ(0, r.ShellWatchers + r.KeyWatchers + r.MouseWatchers);
    EXPECT_FALSE(m_lib.StillWatching());

    // With every count at 0 no hook call is made: a (stale) handle is left as it is.
    m_view.Change([](THookSharedData& rec) { rec.MouseHook = 0x1234; });
    m_lib.StopAll();
    EXPECT_EQ(0x1234u, m_view.Read().MouseHook);
    m_view.Change([](THookSharedData& rec) { rec.MouseHook = 0; });
}

TEST_F(HookLibraryTest, ReceiverRoleIsClaimedOnceAndReleasedWithZero)
{
    HWND a = CreateMessageWindow();
    HWND b = CreateMessageWindow();
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(m_lib.SetReceiver(b));
    EXPECT_EQ(b, m_lib.GetReceiver());
    EXPECT_FALSE(m_lib.SetReceiver(a));
    EXPECT_FALSE(m_lib.SetReceiver(b)) << "setting the same window again fails like any other";
    EXPECT_EQ(b, m_lib.GetReceiver());
    EXPECT_EQ(HandleToField(b), m_view.Read().Receiver);

    EXPECT_TRUE(m_lib.SetReceiver(nullptr));
    EXPECT_EQ(nullptr, m_lib.GetReceiver());
    EXPECT_TRUE(m_lib.SetReceiver(a));
    EXPECT_EQ(a, m_lib.GetReceiver());
    ::DestroyWindow(a);
    ::DestroyWindow(b);
}

TEST_F(HookLibraryTest, RoleOfAReceiverThatIsGoneCanBeClaimed)
{
    HWND gone = CreateMessageWindow();
    ASSERT_TRUE(m_lib.SetReceiver(gone));
    // Its program dies with a hook counted: the system removes the hook, the record keeps it.
    m_view.Change([](THookSharedData& rec) {
        rec.MouseHook = 0x1234;
        rec.MouseWatchers = 2;
    });
    ::DestroyWindow(gone);
    HWND next = CreateMessageWindow();
    ASSERT_TRUE(next);
    EXPECT_TRUE(m_lib.SetReceiver(next));
    EXPECT_EQ(next, m_lib.GetReceiver());
    EXPECT_EQ(0u, m_view.Read().MouseHook);
    EXPECT_EQ(0, m_view.Read().MouseWatchers);
    EXPECT_TRUE(m_lib.SetReceiver(nullptr));
    ::DestroyWindow(next);
}

TEST_F(HookLibraryTest, SecondProcessSharesTheRecord)
{
    HWND receiver = CreateMessageWindow();
    ASSERT_TRUE(m_lib.SetReceiver(receiver));
    int before = m_view.Read().AttachedProcesses;
    {
        NamedEvent ready(L"ready"), quit(L"quit");
        PeerProcess peer(L"load \"" + HookLibraryPath() + L"\" " + ready.Name() + L" " + quit.Name());
        ASSERT_TRUE(peer.Started());
        ASSERT_TRUE(peer.WaitFor(ready, 10000));
        EXPECT_EQ(before + 1, m_view.Read().AttachedProcesses);
        quit.Set();
        EXPECT_EQ(0, peer.WaitForExit(10000));
    }
    EXPECT_EQ(before, m_view.Read().AttachedProcesses);
    EXPECT_EQ(receiver, m_lib.GetReceiver()) << "a peer's detach that is not the last leaves the record alone";

    // A watcher counted by another process is seen here, and stopped from here.
    PeerProcess watcher(L"watch-mouse-and-unload \"" + HookLibraryPath() + L"\"");
    EXPECT_EQ(0, watcher.WaitForExit(10000));
    EXPECT_EQ(1, m_view.Read().MouseWatchers);
    EXPECT_TRUE(m_lib.StillWatching());
    m_lib.StopAll();
    EXPECT_FALSE(m_lib.StillWatching());
    ::DestroyWindow(receiver);
}

// A process that holds the record's mutex (hung, or hostile) holds up no export for long: each
// waits the bounded time, then answers as without a record and leaves the record alone.
TEST_F(HookLibraryTest, ExportsAnswerAsWithoutRecordWhileAnotherProcessHoldsTheMutex)
{
    HWND receiver = CreateMessageWindow();
    ASSERT_TRUE(m_lib.SetReceiver(receiver));
    // Counted without a hook: no process that receives input meanwhile loads the library and
    // finds the mutex held.
    m_view.Change([](THookSharedData& r) { r.MouseWatchers = 1; });
    const THookSharedData before = m_view.Read();

    NamedEvent held(L"held");
    PeerProcess holder(L"hold-mutex " + held.Name() + L" 6000");
    ASSERT_TRUE(holder.WaitFor(held, 10000));
    const DWORD start = ::GetTickCount();
    const BOOLEAN still = m_lib.StillWatching();
    const HWND current = m_lib.GetReceiver();
    const BOOLEAN released = m_lib.SetReceiver(nullptr);
    m_lib.StartWatching(kWatchKeyboard);
    m_lib.StopWatching(kWatchMouse);
    m_lib.StopAll();
    const DWORD took = ::GetTickCount() - start;
    const bool stillHeld = holder.Running();
    EXPECT_EQ(0, holder.WaitForExit(10000));

    EXPECT_TRUE(stillHeld) << "the six calls outlasted the hold";
    // Each waited its bound (the tick count moves in steps of up to 16 ms).
    EXPECT_GE(took + 16, 6 * hook::kExportWaitMs);
    EXPECT_FALSE(still);
    EXPECT_EQ(nullptr, current);
    EXPECT_FALSE(released);
    EXPECT_TRUE(SameRecord(before, m_view.Read())) << "an export changed the record without its mutex";
    ::DestroyWindow(receiver);
}

// A process that loads the library while another holds the mutex past the attach's short wait gets
// the record with its first call once the mutex is let go, and only then counts itself in it.
TEST_F(HookLibraryTest, AttachThatFindsTheMutexHeldOpensTheRecordLater)
{
    TempFolder folder(L"hookcopy");
    const std::wstring copy = folder / L"OrvoHookCopy.dll";  // the library again, with a state of its own
    ASSERT_TRUE(::CopyFileW(HookLibraryPath().c_str(), copy.c_str(), FALSE));
    const int attached = m_view.Read().AttachedProcesses;
    HMODULE module = nullptr;
    {
        NamedEvent held(L"held");
        PeerProcess holder(L"hold-mutex " + held.Name() + L" " + std::to_wstring(4 * hook::kAttachWaitMs));
        ASSERT_TRUE(holder.WaitFor(held, 10000));
        module = ::LoadLibraryW(copy.c_str());
        ASSERT_TRUE(module);
        EXPECT_TRUE(holder.Running()) << "the attach waited out the hold";
        EXPECT_EQ(0, holder.WaitForExit(10000));
    }
    EXPECT_EQ(attached, m_view.Read().AttachedProcesses) << "counted without the mutex";
    auto setReceiver = reinterpret_cast<TSetReceiver>(reinterpret_cast<void*>(::GetProcAddress(module, "SetReceiver")));
    HWND receiver = CreateMessageWindow();
    EXPECT_TRUE(setReceiver && setReceiver(receiver)) << "the copy never got the record";
    EXPECT_EQ(attached + 1, m_view.Read().AttachedProcesses);
    EXPECT_EQ(receiver, m_lib.GetReceiver());
    ::FreeLibrary(module);
    EXPECT_EQ(attached, m_view.Read().AttachedProcesses);
    ::DestroyWindow(receiver);
}

// The last process to unload the library removes the hooks still installed. Other desktop processes
// may keep the library loaded since an earlier hook call, so these tests make their peer the only
// attached process for the duration and restore the count afterwards.
//
// The count and the clean-up go under one hold of the mutex: once the unload let go of it in
// between, any process could take it and keep the unload waiting inside the loader. Threads here
// take the mutex over and over while the peer unloads; waiters get a mutex in turn, so it is had
// here the moment the unload lets go of it the first time.
TEST(HookLibraryLastDetach, RemovesHooksStillInstalledUnderTheSameHold)
{
    RecordView view;  // keeps the record alive without loading the library here
    ASSERT_TRUE(view.Valid());
    THookSharedData start = view.Read();
    ASSERT_TRUE(start.MouseWatchers == 0 && start.MouseHook == 0) << "another program is using the hook library";
    int others = start.AttachedProcesses;
    view.Change([](THookSharedData& r) { r.AttachedProcesses = 0; });

    NamedEvent ready(L"ready"), go(L"go");
    PeerProcess peer(L"watch-mouse-and-unload \"" + HookLibraryPath() + L"\" " + ready.Name() + L" " + go.Name());
    bool watching = peer.WaitFor(ready, 10000);
    NamedEvent contending(L"contending");
    std::atomic<bool> ended{false};
    std::atomic<bool> sawCountGoneHooksKept{false};
    std::atomic<int> running{0};
    // Two, so that one of them is always waiting for the mutex when the peer lets go of it.
    auto contend = [&] {
        RecordView own;
        for (bool first = true; !ended; first = false) {
            THookSharedData r = own.Read();
            if (r.AttachedProcesses <= 0 && (r.MouseWatchers != 0 || r.MouseHook != 0)) sawCountGoneHooksKept = true;
            if (first && ++running == 2) contending.Set();
        }
    };
    std::thread contenders[2] = {std::thread(contend), std::thread(contend)};
    bool contended = ::WaitForSingleObject(contending.Handle(), 10000) == WAIT_OBJECT_0;
    go.Set();
    long code = peer.WaitForExit(10000);
    ended = true;
    for (std::thread& contender : contenders) contender.join();
    THookSharedData after = view.Read();
    view.Change([others](THookSharedData& r) { r.AttachedProcesses += others; });

    EXPECT_TRUE(watching && contended);
    EXPECT_EQ(0, code) << "the peer did not get to watch";
    EXPECT_FALSE(sawCountGoneHooksKept) << "the unload let go of the mutex between its count and its clean-up";
    EXPECT_EQ(0, after.AttachedProcesses);
    EXPECT_EQ(0u, after.MouseHook);
    EXPECT_EQ(0, after.MouseWatchers);
}

// An ending process leaves the shared record exactly as it was, even as the last one attached with
// a kind still counted: an unload would have given back its count and removed the hook.
TEST(HookLibraryLastDetach, EndingProcessTouchesNothingShared)
{
    RecordView view;
    ASSERT_TRUE(view.Valid());
    THookSharedData start = view.Read();
    ASSERT_TRUE(start.MouseWatchers == 0 && start.MouseHook == 0) << "another program is using the hook library";
    int others = start.AttachedProcesses;
    view.Change([](THookSharedData& r) { r.AttachedProcesses = 0; });

    PeerProcess peer(L"watch-mouse-and-end \"" + HookLibraryPath() + L"\"");
    long code = peer.WaitForExit(10000);
    THookSharedData after = view.Read();
    view.Change([others](THookSharedData& r) {
        r.AttachedProcesses += others - 1;
        RemoveLeftoverHooks(r);
    });

    EXPECT_EQ(0, code) << "the peer did not get to watch";
    EXPECT_GE(after.AttachedProcesses, 1);
    EXPECT_EQ(1, after.MouseWatchers);
    EXPECT_NE(0u, after.MouseHook);
}

} // namespace
