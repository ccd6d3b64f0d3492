// Launching items for real: the helper program records each start with its arguments. These tests
// change class registrations for a moment and start programs, so they never run beside desktop tests.

#include <gtest/gtest.h>

#include "base/WinUtil.h"
#include "items/ShellOperations.h"
#include "tools/RecordLaunchLog.h"
#include "ItemTestFiles.h"
#include "ScopedClassesValue.h"

using namespace item_test;
using record_launch::Launch;

namespace {
class LaunchTest : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        m_recorder = ExtractFilePath(ModuleFileName()) + L"RecordLaunch.exe";
        ASSERT_TRUE(FileExists(m_recorder)) << "RecordLaunch.exe is built beside the tests";
        m_log = m_folder / L"launches.log";
        ::SetEnvironmentVariableW(L"RECORD_LAUNCH_LOG", m_log.c_str());
    }
    void TearDown() override
    {
        ::SetEnvironmentVariableW(L"RECORD_LAUNCH_LOG", nullptr);
        ComTest::TearDown();
    }

    // Launches `path` and returns the recorded arguments of the next start.
    Launch LaunchAndRecord(const std::wstring& path)
    {
        const std::size_t before = record_launch::ReadLaunches(m_log).size();
        LaunchItemFile(path);
        const auto launches = record_launch::WaitForLaunches(m_log, before + 1);
        if (launches.size() <= before) return {L"<nothing launched>"};
        return launches.back();
    }

    std::wstring WriteUrl(const std::wstring& name, const std::string& url)
    {
        const std::wstring path = m_folder / name;
        WriteBytes(path, "[InternetShortcut]\r\nURL=" + url + "\r\n");
        return path;
    }

    TempFolder m_folder;
    std::wstring m_recorder;
    std::wstring m_log;
};
} // namespace

TEST_F(LaunchTest, ShortcutStartsItsTargetWithItsArguments)
{
    const std::wstring lnk = m_folder / L"Recorder.lnk";
    MakeShortcut(lnk, m_recorder, L"\"two words\" --flag");
    EXPECT_EQ(LaunchAndRecord(lnk), (Launch{L"two words", L"--flag"}));
}

TEST_F(LaunchTest, MissingFileOrFolderLaunchesNothing)
{
    const std::wstring marker = m_folder / L"Marker.lnk";
    MakeShortcut(marker, m_recorder, L"marker");
    LaunchItemFile(m_folder / L"missing.lnk");
    LaunchItemFile(m_folder.Path());
    const auto launches = record_launch::WaitForLaunches(m_log, 1, 1500);
    LaunchItemFile(marker);
    const auto after = record_launch::WaitForLaunches(m_log, 1);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0], (Launch{L"marker"}));
    EXPECT_TRUE(launches.empty());
}

TEST_F(LaunchTest, InternetShortcutReachesTheBrowserAsExactlyOneArgument)
{
    ScopedClassesValue browser(L"http\\shell\\open\\command", L"", L"\"" + m_recorder + L"\" -- \"%1\"");
    const std::pair<std::string, std::wstring> cases[] = {
        {"http://example.com/", L"http://example.com/"},
        {"http://example.com/a b c", L"http://example.com/a b c"},
        {"http://x/ --some-switch", L"http://x/ --some-switch"},
        {"--some-switch", L"--some-switch"},
        {"http://x/\" --evil \"arg", L"http://x/%22 --evil %22arg"},
        {"file://C:\\dir\\", L"file://C:\\dir\\"},
        {"mailto:someone@example.com", L"mailto:someone@example.com"},
    };
    int n = 0;
    for (const auto& [url, expected] : cases) {
        const std::wstring file = WriteUrl(L"site" + std::to_wstring(++n) + L".url", url);
        EXPECT_EQ(LaunchAndRecord(file), (Launch{expected})) << url;
    }
    // A shortcut without a URL starts the browser without arguments.
    const std::wstring empty = m_folder / L"Empty.url";
    WriteBytes(empty, "[InternetShortcut]\r\n");
    EXPECT_EQ(LaunchAndRecord(empty), Launch{});
}

TEST_F(LaunchTest, UnquotedBrowserCommandUsesTheTextBeforeTheFirstSpace)
{
    if (m_recorder.find(L' ') != std::wstring::npos) GTEST_SKIP() << "the build folder holds a space";
    ScopedClassesValue browser(L"http\\shell\\open\\command", L"", m_recorder + L" -nohome %1");
    EXPECT_EQ(LaunchAndRecord(WriteUrl(L"plain.url", "http://example.com/x")), (Launch{L"http://example.com/x"}));
}

TEST_F(LaunchTest, BareMailtoAndMissingBrowserGoToTheShell)
{
    // The bare "mailto:" shortcut is started as a file: the shell's handler of Internet shortcuts gets it.
    ScopedClassesValue handler(L"InternetShortcut\\shell\\open\\command", L"", L"\"" + m_recorder + L"\" shell \"%1\"");
    ScopedClassesValue browser(L"http\\shell\\open\\command", L"", L"\"" + m_recorder + L"\" browser \"%1\"");
    const std::wstring bare = WriteUrl(L"Bare.url", "MAILTO:");
    EXPECT_EQ(LaunchAndRecord(bare), (Launch{L"shell", bare}));

    // A registered browser whose file is gone: the URL itself goes to the shell.
    ScopedClassesValue scheme(L"orvo-test\\shell\\open\\command", L"", L"\"" + m_recorder + L"\" scheme \"%1\"");
    ScopedClassesValue protocol(L"orvo-test", L"URL Protocol", L"");
    ScopedClassesValue gone(L"http\\shell\\open\\command", L"", L"\"" + (m_folder / L"gone.exe") + L"\" \"%1\"");
    EXPECT_EQ(LaunchAndRecord(WriteUrl(L"Scheme.url", "orvo-test:abc")), (Launch{L"scheme", L"orvo-test:abc"}));
}

TEST_F(LaunchTest, NewShortcutWizardGetsTheFolder)
{
    ScopedClassesValue command(L".LNK\\ShellNew", L"Command", L"\"" + m_recorder + L"\" wizard \"%1\" %1");
    const std::wstring folder = m_folder / L"Floating \u00E4";
    const std::size_t before = record_launch::ReadLaunches(m_log).size();
    RunNewShortcutWizard(folder);
    const auto launches = record_launch::WaitForLaunches(m_log, before + 1);
    ASSERT_EQ(launches.size(), before + 1);
    // Only the first "%1" is replaced, and a path outside the ANSI code page arrives intact.
    EXPECT_EQ(launches.back(), (Launch{L"wizard", folder, L"%1"}));
}

namespace {
class ForegroundTest : public ::testing::Test {
protected:
    static HWND MakeWindow(const wchar_t* title)
    {
        return ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    static void Pump()
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    static DWORD LockTimeout()
    {
        DWORD timeout = 0;
        ::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
        return timeout;
    }
};
} // namespace

TEST_F(ForegroundTest, BringsWindowsForwardAndKeepsTheLockTimeOut)
{
    UniqueHwnd first(MakeWindow(L"items first"));
    UniqueHwnd second(MakeWindow(L"items second"));
    ASSERT_TRUE(first && second);
    Pump();
    const DWORD timeout = LockTimeout();

    ForceForegroundWindow(first.get());
    Pump();
    EXPECT_EQ(::GetForegroundWindow(), first.get());
    ForceForegroundWindow(first.get());  // already in front: nothing changes
    EXPECT_EQ(::GetForegroundWindow(), first.get());

    ::ShowWindow(second.get(), SW_MINIMIZE);
    Pump();
    ForceForegroundWindow(second.get());
    Pump();
    EXPECT_FALSE(::IsIconic(second.get()));
    EXPECT_EQ(::GetForegroundWindow(), second.get());
    EXPECT_EQ(LockTimeout(), timeout);
}
