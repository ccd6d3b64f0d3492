// TDirMon against real folders: the worker, the posted notifications and the owner thread's
// message loop, as the program uses them.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "base/LauncherError.h"
#include "components/DirMon.h"
#include "common/TempFolder.h"

using enum TDirMonType;

namespace {
// Every notification of one change on disk arrives within this time under load.
constexpr DWORD kArrivalTimeoutMs = 3000;
// A burst ends when the monitor has been quiet this long.
constexpr DWORD kQuietMs = 400;
// Waiting this long without a notification shows that none was raised.
constexpr DWORD kSilenceMs = 700;

ULONGLONG Now() { return ::GetTickCount64(); }

// Dispatches this thread's messages until `done` holds or the time is up; true when it holds.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG end = Now() + timeoutMs;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        const ULONGLONG now = Now();
        if (now >= end) return false;
        // Short slices: some conditions (a thread that ended) arrive without a message.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)),
                                    QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

// Counts what a monitor raises, and checks that it is raised on the owner (this) thread.
struct Recorder {
    int changes = 0;
    int starts = 0;
    int stops = 0;
    int failures = 0;
    bool onOtherThread = false;

    explicit Recorder(TDirMon& monitor)
    {
        monitor.OnDirChange = [this](TDirMon&) { Count(changes); };
        monitor.OnStart = [this](TDirMon&) { Count(starts); };
        monitor.OnStop = [this](TDirMon&) { Count(stops); };
        monitor.OnWatchFailed = [this](TDirMon&) { Count(failures); };
    }
    void Count(int& counter)
    {
        ++counter;
        if (::GetCurrentThreadId() != m_owner) onOtherThread = true;
    }

    // A burst: the OnDirChange calls that follow one change on disk, from the change until the
    // monitor has been quiet for kQuietMs (at most kArrivalTimeoutMs for the first one). Returns
    // how many there were and starts counting afresh.
    int Burst()
    {
        PumpUntil([this] { return changes > 0; }, kArrivalTimeoutMs);
        int seen = -1;
        const ULONGLONG end = Now() + kArrivalTimeoutMs;
        while (seen != changes && Now() < end) {
            seen = changes;
            PumpFor(kQuietMs);
        }
        return std::exchange(changes, 0);
    }
    // What is raised while nothing more happens on disk.
    int Silence()
    {
        PumpFor(kSilenceMs);
        return std::exchange(changes, 0);
    }

private:
    DWORD m_owner = ::GetCurrentThreadId();
};

void ExpectError(const std::function<void()>& call, const std::wstring& message)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const LauncherError& error) {
        EXPECT_EQ(error.Message(), message);
    }
}

ULONGLONG ProcessCpuMilliseconds()
{
    FILETIME creation, exit, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user);
    const auto value = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return (value(kernel) + value(user)) / 10000;
}

ULONGLONG MillisecondsOf(const std::function<void()>& call)
{
    const ULONGLONG start = Now();
    call();
    return Now() - start;
}
} // namespace

TEST(DirMonTests, StartsStoppedWithItsDefaults)
{
    TDirMon monitor;
    EXPECT_FALSE(monitor.Running());
    EXPECT_EQ(monitor.Directory(), L"");
    EXPECT_EQ(monitor.NotifyMask(), 0x001u);
    EXPECT_EQ(monitor.NotifyFilter(), TDirMonTypes{dmcFileName});
    EXPECT_FALSE(monitor.Nested());
    EXPECT_TRUE(::IsWindow(monitor.NotificationWindow()));

    monitor.SetNotifyFilter({dmcDirName, dmcSecurity});
    EXPECT_EQ(monitor.NotifyMask(), 0x102u);
    EXPECT_EQ(monitor.NotifyFilter(), (TDirMonTypes{dmcDirName, dmcSecurity}));
}

TEST(DirMonTests, WrongStateCallsThrowAndChangeNothing)
{
    TempFolder folder;
    TDirMon monitor;
    Recorder record(monitor);
    ExpectError([&] { monitor.Stop(); }, L"DirMon not started");

    monitor.SetDirectory(folder.Path());
    monitor.Start();
    ExpectError([&] { monitor.Start(); }, L"DirMon already started");
    EXPECT_EQ(record.starts, 1);

    ExpectError([&] { monitor.SetDirectory(folder.Path() + L"\\other"); },
                L"Unable to change Directory when DirMon is running");
    EXPECT_EQ(monitor.Directory(), folder.Path());
    monitor.SetDirectory(folder.Path()); // the same value is allowed while running

    ExpectError([&] { monitor.SetNotifyFilter({dmcFileName}); },
                L"Unable to change NotifyFilter when DirMon is running");
    ExpectError([&] { monitor.SetNotifyFilter({dmcSize}); }, L"Unable to change NotifyFilter when DirMon is running");
    EXPECT_EQ(monitor.NotifyMask(), 0x001u);

    // The worker that was running before the refused calls still reports changes.
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"a.lnk"));
    EXPECT_GE(record.Burst(), 1);

    monitor.Stop();
    EXPECT_EQ(record.stops, 1);
    ExpectError([&] { monitor.Stop(); }, L"DirMon not started");
    EXPECT_EQ(record.stops, 1);
    monitor.SetDirectory(folder.Path() + L"\\other");
    monitor.SetNotifyFilter({dmcSize});
    EXPECT_EQ(monitor.NotifyMask(), 0x008u);
    EXPECT_FALSE(record.onOtherThread);
}

TEST(DirMonTests, EachChangeRaisesOneBurstOnTheOwnerThread)
{
    TempFolder folder;
    TDirMon monitor;
    Recorder record(monitor);
    monitor.SetDirectory(folder.Path());
    monitor.Start();
    EXPECT_EQ(record.Silence(), 0);

    // One notification per signalled wait: a single change gives one call, or a few when the
    // system splits it, never none.
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"one.lnk"));
    const int created = record.Burst();
    EXPECT_GE(created, 1);
    EXPECT_LE(created, 3);
    ASSERT_TRUE(::MoveFileW((folder / L"one.lnk").c_str(), (folder / L"two.lnk").c_str()));
    const int renamed = record.Burst();
    EXPECT_GE(renamed, 1);
    EXPECT_LE(renamed, 3);
    ASSERT_TRUE(::DeleteFileW((folder / L"two.lnk").c_str()));
    const int deleted = record.Burst();
    EXPECT_GE(deleted, 1);
    EXPECT_LE(deleted, 3);
    EXPECT_EQ(record.Silence(), 0);

    // Ten files in quick succession: some calls, far from one per file being guaranteed.
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(TempFolder::WriteFile(folder / (std::to_wstring(i) + L".url")));
    const int many = record.Burst();
    EXPECT_GE(many, 1);
    EXPECT_LE(many, 10);
    EXPECT_FALSE(record.onOtherThread);
    monitor.Stop();
}

TEST(DirMonTests, NestedWatchesSubFoldersFlatOnlyTheFolder)
{
    // The sub-folders are made while the monitor runs: Wine adds a folder to a subtree watch only
    // when it is created or opened under the running watch (Windows watches the whole tree).
    TempFolder folder;
    TDirMon monitor;
    Recorder record(monitor);
    monitor.SetDirectory(folder.Path());

    monitor.Start();
    ASSERT_TRUE(TempFolder::MakeFolder(folder / L"flat")); // a folder name: not a file-name change
    ASSERT_TRUE(TempFolder::MakeFolder(folder / L"flat\\deeper"));
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"flat\\deeper\\entry.lnk"));
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"flat\\entry.lnk"));
    EXPECT_EQ(record.Silence(), 0);
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"top.lnk"));
    EXPECT_GE(record.Burst(), 1);
    monitor.Stop();

    // Takes effect at the next Start.
    monitor.SetNested(true);
    monitor.Start();
    ASSERT_TRUE(TempFolder::MakeFolder(folder / L"nested"));
    ASSERT_TRUE(TempFolder::MakeFolder(folder / L"nested\\deeper"));
    EXPECT_EQ(record.Silence(), 0);
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"nested\\deeper\\entry.lnk"));
    EXPECT_GE(record.Burst(), 1);
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"nested\\entry.lnk"));
    EXPECT_GE(record.Burst(), 1);
    monitor.Stop();
}

TEST(DirMonTests, TheFilterChoosesTheKindsOfChange)
{
    TempFolder folder;
    TDirMon files;
    TDirMon folders;
    Recorder fileRecord(files);
    Recorder folderRecord(folders);
    files.SetDirectory(folder.Path());
    folders.SetDirectory(folder.Path());
    folders.SetNotifyFilter({dmcDirName});
    files.Start();
    folders.Start();

    ASSERT_TRUE(TempFolder::MakeFolder(folder / L"submenu"));
    EXPECT_GE(folderRecord.Burst(), 1);
    EXPECT_EQ(fileRecord.Silence(), 0);

    ASSERT_TRUE(TempFolder::WriteFile(folder / L"entry.lnk"));
    EXPECT_GE(fileRecord.Burst(), 1);
    EXPECT_EQ(folderRecord.Silence(), 0);
}

TEST(DirMonTests, StartStopStartWatchesAgain)
{
    TempFolder folder;
    TDirMon monitor;
    Recorder record(monitor);
    monitor.SetDirectory(folder.Path());
    for (int round = 1; round <= 3; ++round) {
        monitor.Start();
        EXPECT_EQ(record.starts, round);
        ASSERT_TRUE(TempFolder::WriteFile(folder / (L"round" + std::to_wstring(round) + L".lnk")));
        EXPECT_GE(record.Burst(), 1) << "round " << round;
        monitor.Stop();
        EXPECT_EQ(record.stops, round);
        // Stopped: nothing is watched.
        ASSERT_TRUE(TempFolder::WriteFile(folder / (L"stopped" + std::to_wstring(round) + L".lnk")));
        EXPECT_EQ(record.Silence(), 0);
    }
    EXPECT_EQ(record.failures, 0);
}

TEST(DirMonTests, NotificationPostedBeforeStopIsStillDelivered)
{
    TempFolder folder;
    TDirMon monitor;
    Recorder record(monitor);
    monitor.SetDirectory(folder.Path());
    monitor.Start();

    // Let the worker post without dispatching, then stop before the message is handled.
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"late.lnk"));
    const HWND window = monitor.NotificationWindow();
    MSG msg;
    const auto queued = [&] {
        return ::PeekMessageW(&msg, window, kDirMonChangeMessage, kDirMonChangeMessage, PM_NOREMOVE) != FALSE;
    };
    const ULONGLONG end = Now() + kArrivalTimeoutMs;
    while (!queued() && Now() < end) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
    ASSERT_TRUE(queued());
    monitor.Stop();
    EXPECT_EQ(record.Burst(), 1) << "the change made before Stop is reported";
    EXPECT_FALSE(monitor.Running());

    // Stopped, nothing new is watched.
    ASSERT_TRUE(TempFolder::WriteFile(folder / L"after.lnk"));
    EXPECT_EQ(record.Silence(), 0);

    // Running again, the window delivers.
    monitor.Start();
    ::PostMessageW(window, kDirMonChangeMessage, 0, 0);
    EXPECT_EQ(record.Burst(), 1);
    monitor.Stop();
}

TEST(DirMonTests, HandlerExceptionsAreDiscarded)
{
    TempFolder folder;
    TDirMon monitor;
    int calls = 0;
    monitor.OnDirChange = [&](TDirMon&) {
        ++calls;
        throw std::runtime_error("handler failed");
    };
    monitor.SetDirectory(folder.Path());
    monitor.Start();
    ::PostMessageW(monitor.NotificationWindow(), kDirMonChangeMessage, 0, 0);
    ::PostMessageW(monitor.NotificationWindow(), kDirMonChangeMessage, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return calls == 2; }, kArrivalTimeoutMs));
    monitor.Stop();
}

TEST(DirMonTests, FolderThatCannotBeWatchedIsReportedAndStops)
{
    TempFolder folder;
    for (const std::wstring& directory : {folder / L"missing", std::wstring()}) {
        TDirMon monitor;
        Recorder record(monitor);
        monitor.SetDirectory(directory);
        monitor.Start(); // does not fail: the worker reports
        EXPECT_EQ(record.starts, 1);
        EXPECT_TRUE(PumpUntil([&] { return record.failures > 0; }, kArrivalTimeoutMs));
        EXPECT_TRUE(monitor.Running());
        EXPECT_TRUE(PumpUntil([&] { return !monitor.Watching(); }, kArrivalTimeoutMs)); // the worker ended
        EXPECT_LT(MillisecondsOf([&] { monitor.Stop(); }), 500u);
        EXPECT_EQ(record.stops, 1);
        EXPECT_EQ(record.failures, 1);
        EXPECT_FALSE(record.onOtherThread);
    }
}

TEST(DirMonTests, WatchedFolderThatDisappearsStopsAtOnceAndIsFreed)
{
    // Windows ends the notification of a deleted folder and the worker ends with it. Wine keeps the
    // folder pending deletion while the notification is open and reports nothing for the folder
    // itself, so here the monitor must let go of it when stopped or destroyed, and quickly.
    TempFolder folder;
    const std::wstring watched = folder / L"Icons";
    ASSERT_TRUE(TempFolder::MakeFolder(watched));
    ASSERT_TRUE(TempFolder::WriteFile(watched + L"\\entry.lnk"));
    TDirMon monitor;
    Recorder record(monitor);
    monitor.SetDirectory(watched);
    monitor.Start();

    TempFolder::RemoveTree(watched);
    EXPECT_GE(record.Burst(), 1); // its entries went away
    EXPECT_LT(MillisecondsOf([&] { monitor.Stop(); }), 500u);
    EXPECT_EQ(record.stops, 1);
    EXPECT_EQ(record.failures, 0);
    // Stopped, the monitor holds nothing: the folder can be made again and watched again.
    ASSERT_TRUE(TempFolder::MakeFolder(watched));
    monitor.Start();
    ASSERT_TRUE(TempFolder::WriteFile(watched + L"\\again.lnk"));
    EXPECT_GE(record.Burst(), 1);

    monitor.Stop();

    // Destroying a running monitor whose folder went away is as quick, and frees the folder too.
    auto doomed = std::make_unique<TDirMon>();
    int doomedStops = 0;
    doomed->OnStop = [&](TDirMon&) { ++doomedStops; };
    doomed->SetDirectory(watched);
    doomed->Start();
    TempFolder::RemoveTree(watched);
    EXPECT_LT(MillisecondsOf([&] { doomed.reset(); }), 500u);
    EXPECT_EQ(doomedStops, 0); // the destructor does not raise OnStop
    EXPECT_TRUE(TempFolder::MakeFolder(watched));
}

TEST(DirMonTests, WatchesLongAndNonAsciiFolders)
{
    TempFolder root(L"dirmon-\u00dcnic\u00f8de-\u041f\u0430\u043f\u043a\u0430-\u6587\u4ef6\u5939");
    std::wstring deep = root.Path();
    for (int level = 0; deep.size() <= 300; ++level) {
        deep += L"\\" + std::wstring(40, static_cast<wchar_t>(L'a' + level)) + L"\u00e9";
        ASSERT_TRUE(TempFolder::MakeFolder(deep));
    }
    ASSERT_GT(deep.size(), 300u);

    for (const std::wstring& directory : {root.Path(), deep}) {
        TDirMon monitor;
        Recorder record(monitor);
        monitor.SetDirectory(directory);
        monitor.Start();
        ASSERT_TRUE(TempFolder::WriteFile(directory + L"\\\u00e4\u00f6\u00fc.lnk"));
        EXPECT_GE(record.Burst(), 1) << directory.size() << " characters";
        EXPECT_EQ(record.failures, 0);
        EXPECT_TRUE(monitor.Watching());
        monitor.Stop();
    }
}

TEST(DirMonTests, RunningMonitorsUseNoCpuWhileNothingChanges)
{
    TempFolder folder;
    TDirMon monitors[3];
    for (TDirMon& monitor : monitors) {
        monitor.SetDirectory(folder.Path());
        monitor.SetNested(true);
        monitor.Start();
    }
    const ULONGLONG before = ProcessCpuMilliseconds();
    ::Sleep(1000);
    // A worker that polled or spun would take a good share of this second.
    EXPECT_LT(ProcessCpuMilliseconds() - before, 100u);
}
