// The About box and the update check, against a build of the program that asks an HTTP server on
// the loopback address, which each test starts and fills itself.

#include "common/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "LauncherVersion.h"
#include "app/Commands.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "e2e/Harness.h"
#include "e2e/LauncherTest.h"
#include "resources/resource.h"
#include "tools/RecordLaunchLog.h"
#include "unit/items/ScopedClassesValue.h"
#include "update/CheckNewVersion.h"
#include "update/VersionRules.h"

using namespace e2e;
using loopback_http::Response;

namespace {
constexpr DWORD kTimeout = 10000;
// The loopback build gives a silent server 30 seconds.
constexpr DWORD kAnswerTimeout = 60000;
constexpr const char* kUpdatePath = "/update/launcherbeta.txt";
constexpr const wchar_t* kChecking = L"Checking for a new version...";

class UpdateTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        ASSERT_TRUE(m_server.Start(LAUNCHER_E2E_UPDATE_PORT)) << "the loopback port is taken";
    }
    void TearDown() override
    {
        m_server.Release();
        m_server.Stop();
        LauncherTest::TearDown();
    }

    // The build of Launcher.exe that asks our server.
    static std::wstring Program() { return ExtractFilePath(ModuleFileName()) + L"loopback\\Launcher.exe"; }
    std::wstring HomePage() const { return Utf8ToWide(m_server.Origin()) + L"/home/"; }
    static std::wstring VersionLine() { return L"Version " + VersionDisplayText(*ReadFileVersion(Program())); }

    HWND Start(LauncherProcess& launcher)
    {
        HWND main = launcher.StartAndWaitForMainWindow();
        EXPECT_NE(main, nullptr);
        return main;
    }
    HWND OpenAbout(LauncherProcess& launcher)
    {
        launcher.PostCommand(kCmdShowAboutDialog);
        HWND about = launcher.WaitForWindow(L"#32770", L"About Orvo Launcher");
        // The window exists before its controls do: it is ready once it shows its version line.
        EXPECT_TRUE(WaitUntil(
            [&] { return ::IsWindowVisible(about) && !TextOf(::GetDlgItem(about, IDC_ABOUT_VERSION)).empty(); },
            kTimeout));
        EXPECT_NE(about, nullptr);
        return about;
    }
    void CloseAbout(LauncherProcess& launcher, HWND about)
    {
        ::PostMessageW(about, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32770", L"About Orvo Launcher") == nullptr; },
                              kTimeout));
    }
    // A left click in the middle of the control, handed to it as the system would. (Synthetic input
    // reaches a window of the virtual desktop only once it is active, which a test cannot rely on.)
    static void Click(HWND control)
    {
        RECT r{};
        ::GetClientRect(control, &r);
        const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
        ::PostMessageW(control, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(control, WM_LBUTTONUP, 0, at);
    }
    // Clicks the version line and returns the message box that answers.
    HWND Check(LauncherProcess& launcher, HWND about, DWORD timeoutMs = kAnswerTimeout)
    {
        HWND line = ::GetDlgItem(about, IDC_ABOUT_VERSION);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(line) != FALSE; }, kTimeout));
        Click(line);
        return WaitForAnswer(launcher, timeoutMs);
    }
    static HWND WaitForAnswer(LauncherProcess& launcher, DWORD timeoutMs = kAnswerTimeout)
    {
        HWND box = nullptr;
        WaitUntil(
            [&] {
                box = FindProcessWindow(launcher.Id(), L"#32770", L"Orvo Launcher");
                return box && ::IsWindowVisible(box);
            },
            timeoutMs);
        return box;
    }
    // The text of a message box (its one static text besides the icon), and its answer.
    static std::wstring TextOfBox(HWND box)
    {
        for (HWND child = ::FindWindowExW(box, nullptr, L"Static", nullptr); child;
             child = ::FindWindowExW(box, child, L"Static", nullptr))
            if (!TextOf(child).empty()) return TextOf(child);
        return {};
    }
    void Answer(LauncherProcess& launcher, HWND box, int button)
    {
        ::PostMessageW(box, WM_COMMAND, button, 0);
        EXPECT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32770", L"Orvo Launcher") == nullptr; },
                              kTimeout));
    }
    std::vector<std::string> Paths() const
    {
        std::vector<std::string> paths;
        for (const auto& request : m_server.Requests()) paths.push_back(request.target);
        return paths;
    }

    loopback_http::Server m_server;
    // RecordLaunch stands in for the default browser.
    item_test::ScopedClassesValue m_browser{L"http\\shell\\open\\command", L"",
                                            L"\"" + RecordLaunchExePath() + L"\" \"%1\""};
};
} // namespace

TEST_F(UpdateTest, AboutBoxShowsTheProgramItsSystemAndItsLinks)
{
    // The one version of the build is the version resource and the About box's.
    const FileVersion built{LAUNCHER_VERSION_MAJOR, LAUNCHER_VERSION_MINOR, LAUNCHER_VERSION_RELEASE,
                            LAUNCHER_VERSION_BUILD};
    ASSERT_TRUE(ReadFileVersion(Program()));
    EXPECT_EQ(VersionDisplayText(*ReadFileVersion(Program())), VersionDisplayText(built));

    LauncherProcess launcher({Ini()}, Program());
    Start(launcher);
    HWND about = OpenAbout(launcher);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(TextOf(::GetDlgItem(about, IDC_ABOUT_TITLE)), L"Orvo Launcher");
    EXPECT_EQ(TextOf(::GetDlgItem(about, IDC_ABOUT_VERSION)), L"Version " + VersionDisplayText(built));
    const std::wstring system = TextOf(::GetDlgItem(about, IDC_ABOUT_SYSTEM));
    EXPECT_EQ(system.rfind(L"Windows ", 0), 0u) << system;
    EXPECT_NE(system.find(L", 64-bit build"), std::wstring::npos) << system;
    EXPECT_EQ(TextOf(::GetDlgItem(about, IDC_ABOUT_HOME_PAGE)), HomePage());

    // A second About box is refused while this one is open.
    launcher.PostCommand(kCmdShowAboutDialog);
    Click(::GetDlgItem(about, IDC_ABOUT_HOME_PAGE));
    const auto launches = record_launch::WaitForLaunches(m_log, 1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], (record_launch::Launch{HomePage()}));
    EXPECT_EQ(FindProcessWindows(launcher.Id(), L"#32770", L"About Orvo Launcher").size(), 1u);
    EXPECT_TRUE(m_server.Requests().empty()) << "the home page link checks nothing";
    CloseAbout(launcher, about);
}

TEST_F(UpdateTest, ANewerVersionIsOfferedAndYesOpensTheHomePage)
{
    m_server.Respond(kUpdatePath, {200, "OK", {}, " 9.0.0.0\r\n", false, {}});
    LauncherProcess launcher({Ini()}, Program());
    Start(launcher);
    HWND about = OpenAbout(launcher);
    ASSERT_NE(about, nullptr);

    HWND box = Check(launcher, about);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOfBox(box), L"A new version 9.0.0 (Build 0) is available.\r\nDo you want to visit the website now?");
    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, kUpdatePath);
    EXPECT_EQ(requests[0].Header("User-Agent"), "Orvo Launcher");
    Answer(launcher, box, IDNO);
    // The line takes clicks again once the answer is given.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(::GetDlgItem(about, IDC_ABOUT_VERSION)) == VersionLine(); }, kTimeout));

    box = Check(launcher, about);
    ASSERT_NE(box, nullptr);
    Answer(launcher, box, IDYES);
    // Only the Yes opened the home page.
    const auto launches = record_launch::WaitForLaunches(m_log, 1);
    EXPECT_EQ(launches, (std::vector<record_launch::Launch>{{HomePage()}}));
    CloseAbout(launcher, about);
}

TEST_F(UpdateTest, OnlyAReadableVersionNotNewerIsTheLatestAndAFailureSaysWhy)
{
    m_server.Respond("/update/newer.txt", {200, "OK", {}, "9.0.0.0", false, {}});
    m_server.Respond("/update/second.txt", {301, "Moved", {"Location: /update/newer.txt"}, "moved", false, {}});
    const FileVersion own = *ReadFileVersion(Program());
    const std::string same = std::to_string(own.major) + "." + std::to_string(own.minor) + "." +
                             std::to_string(own.release) + "." + std::to_string(own.build);
    const std::wstring latest = L"You have the latest version.";
    const std::wstring cannot = L"Cannot check for a new version: ";
    const std::wstring notAVersion = cannot + L"the server's reply is not a version number.";
    struct Case {
        const char* what;
        Response response;
        std::wstring answer;
    };
    const Case cases[] = {
        {"the same version", {200, "OK", {}, same + "\r\n", false, {}}, latest},
        {"an older version", {200, "OK", {}, "0.9.9.9", false, {}}, latest},
        {"two dots only", {200, "OK", {}, "9.0.0", false, {}}, notAVersion},
        {"garbage", {200, "OK", {}, "<html><body>Welcome to the portal</body></html>", false, {}}, notAVersion},
        {"a body of 64 KB", {200, "OK", {}, "9.0.0.0\r\n" + std::string(64 * 1024, ' '), false, {}}, notAVersion},
        {"404 whose page names a newer version", {404, "Not Found", {}, "9.0.0.0", false, {}},
         cannot + L"the server answered with HTTP status 404."},
        {"302 to a newer version", {302, "Found", {"Location: /update/newer.txt"}, "9.0.0.0", false, {}},
         cannot + L"the server answered with HTTP status 302."},
        {"301 to another 301", {301, "Moved", {"Location: /update/second.txt"}, "moved", false, {}},
         cannot + L"the server answered with HTTP status 301."},
        {"301 to a local file", {301, "Moved", {"Location: file:///C:/windows/win.ini"}, "moved", false, {}},
         cannot + L"the server redirected to an address that is not allowed."},
        {"a server that never answers", {200, "OK", {}, "9.0.0.0", true, {}}, cannot + L"the server did not answer."},
    };
    LauncherProcess launcher({Ini()}, Program());
    Start(launcher);
    HWND about = OpenAbout(launcher);
    ASSERT_NE(about, nullptr);
    const auto check = [&](const std::wstring& answer) {
        HWND box = Check(launcher, about);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(TextOfBox(box), answer);
        Answer(launcher, box, IDOK);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_server.Respond(kUpdatePath, c.response);
        check(c.answer);
    }
    const auto paths = Paths();
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/update/newer.txt"), 0) << "neither redirect reached it";
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/update/second.txt"), 1);
    {
        // Last, since the port may not be free again at once: nothing listens any more.
        SCOPED_TRACE("no server");
        m_server.Release();
        m_server.Stop();
        check(cannot + L"there is no connection to the server.");
    }
    EXPECT_TRUE(launcher.IsRunning());
    CloseAbout(launcher, about);
}

TEST_F(UpdateTest, APermanentRedirectIsFollowedOnceKeepingItsCase)
{
    m_server.Respond(kUpdatePath, {301, "Moved Permanently", {"Location: " + m_server.Origin() + "/Update/Moved/Beta.TXT"},
                                   "moved", false, {}});
    m_server.Respond("/Update/Moved/Beta.TXT", {200, "OK", {}, "9.1.0.0", false, {}});
    LauncherProcess launcher({Ini()}, Program());
    Start(launcher);
    HWND about = OpenAbout(launcher);
    ASSERT_NE(about, nullptr);
    HWND box = Check(launcher, about);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOfBox(box), L"A new version 9.1.0 (Build 0) is available.\r\nDo you want to visit the website now?");
    Answer(launcher, box, IDNO);
    EXPECT_EQ(Paths(), (std::vector<std::string>{kUpdatePath, "/Update/Moved/Beta.TXT"}));
    CloseAbout(launcher, about);
}

TEST_F(UpdateTest, WhileTheServerHoldsTheRequestTheProgramKeepsAnswering)
{
    m_server.Respond(kUpdatePath, {200, "OK", {}, "9.0.0.0", true, {}});
    LauncherProcess launcher({Ini()}, Program());
    HWND main = Start(launcher);
    ASSERT_NE(OpenTrayMenu(launcher, main), nullptr) << "the collections are loaded";
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));

    HWND about = OpenAbout(launcher);
    ASSERT_NE(about, nullptr);
    HWND line = ::GetDlgItem(about, IDC_ABOUT_VERSION);
    Click(line);
    ASSERT_TRUE(m_server.WaitForRequests(1, kTimeout));
    // The running check shows, and a second click (were it to reach the line) starts none.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(line) == kChecking && !::IsWindowEnabled(line); }, kTimeout));
    Click(line);
    CloseAbout(launcher, about);

    // The tray icon and the popup menu answer while the request waits.
    HWND menu = OpenTrayMenu(launcher, main);
    ASSERT_NE(menu, nullptr);
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));
    PostMainTrayMouse(main, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kTimeout));
    launcher.PostCommand(kCmdOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, kTimeout));

    // Opened again, the box still shows the check.
    about = OpenAbout(launcher);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(TextOf(::GetDlgItem(about, IDC_ABOUT_VERSION)), kChecking);
    CloseAbout(launcher, about);

    // The answer comes when the server does, with the box closed.
    m_server.Release();
    HWND box = WaitForAnswer(launcher, kTimeout);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOfBox(box), L"A new version 9.0.0 (Build 0) is available.\r\nDo you want to visit the website now?");
    Answer(launcher, box, IDNO);
    EXPECT_EQ(m_server.Requests().size(), 1u);
}
