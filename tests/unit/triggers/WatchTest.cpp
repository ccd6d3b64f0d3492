// TWatch against the real hook library: binding, the receiver role, releasing, the decoder and the
// failure messages.

#include <gtest/gtest.h>

#include <vector>

#include "common/TempFolder.h"
#include "triggers/Watch.h"
#include "unit/hook/HookTestSupport.h"

using namespace hooktest;

namespace {

struct Shown {
    std::wstring text;
    UINT type;
};

class WatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_lib.Complete());
        ASSERT_EQ(nullptr, m_lib.GetReceiver()) << "another program is using the hook library";
        ASSERT_FALSE(m_lib.StillWatching()) << "another program is using the hook library";
    }
    void TearDown() override
    {
        m_lib.StopAll();
        m_lib.SetReceiver(nullptr);
    }

    std::unique_ptr<TWatch> MakeWatch(const std::wstring& path = HookLibraryPath())
    {
        return std::make_unique<TWatch>(path, [this](const std::wstring& text, UINT type) {
            m_shown.push_back({text, type});
        });
    }

    // Posts one message to the watch's receiver and dispatches everything up to it.
    static void Deliver(TWatch& watch, const wchar_t* messageName, WPARAM wParam, LPARAM lParam)
    {
        UINT message = ::RegisterWindowMessageW(messageName);
        ASSERT_TRUE(::PostMessageW(watch.ReceiverWindow(), message, wParam, lParam));
        UINT marker = WM_APP + 77;
        ::PostMessageW(watch.ReceiverWindow(), marker, 0, 0);
        ASSERT_TRUE(PumpUntil(2000, [&](const MSG& msg) { return msg.message == marker; }));
    }

    HookLibrary m_lib;  // this test's own view of the library, next to the watch's
    std::vector<Shown> m_shown;
};

TEST_F(WatchTest, StartClaimsTheReceiverAndTheLastStopReleasesEverything)
{
    auto watch = MakeWatch();
    watch->StartWatch(kWatchMouse);
    ASSERT_TRUE(watch->Bound());
    ASSERT_NE(nullptr, watch->ReceiverWindow());
    EXPECT_EQ(watch->ReceiverWindow(), m_lib.GetReceiver());
    EXPECT_TRUE(m_lib.StillWatching());

    watch->StartWatch(kWatchKeyboard);
    watch->StopWatch(kWatchMouse);
    EXPECT_TRUE(watch->Bound()) << "the keyboard kind is still watched";

    HWND receiver = watch->ReceiverWindow();
    watch->StopWatch(kWatchKeyboard);
    EXPECT_FALSE(watch->Bound());
    EXPECT_FALSE(::IsWindow(receiver));
    EXPECT_EQ(nullptr, m_lib.GetReceiver());
    EXPECT_FALSE(m_lib.StillWatching());

    // Bound again on the next start.
    watch->StartWatch(kWatchMouse);
    EXPECT_TRUE(watch->Bound());
    EXPECT_EQ(watch->ReceiverWindow(), m_lib.GetReceiver());
    EXPECT_TRUE(m_shown.empty());
}

TEST_F(WatchTest, DestroyingTheReceiverStopsTheHooks)
{
    auto watch = MakeWatch();
    watch->StartWatch(kWatchMouse);
    watch->StartWatch(kWatchKeyboard);
    ASSERT_TRUE(m_lib.StillWatching());
    watch.reset();
    EXPECT_EQ(nullptr, m_lib.GetReceiver());
    EXPECT_FALSE(m_lib.StillWatching());
}

TEST_F(WatchTest, SecondCopyTakesTheReceiverAndTheFirstThenLeavesTheHooksAlone)
{
    auto first = MakeWatch();
    auto second = MakeWatch();
    first->StartWatch(kWatchMouse);
    second->StartWatch(kWatchMouse);
    ASSERT_TRUE(second->Bound());
    EXPECT_EQ(second->ReceiverWindow(), m_lib.GetReceiver());
    EXPECT_TRUE(m_shown.empty());

    first->ReleaseLibrary();
    EXPECT_FALSE(first->Bound());
    EXPECT_EQ(second->ReceiverWindow(), m_lib.GetReceiver()) << "the first copy must not clear a role it lost";
    EXPECT_TRUE(m_lib.StillWatching()) << "the first copy must not stop hooks it no longer receives";
}

TEST_F(WatchTest, MissingLibraryOrEntryPointIsReportedOnceAndDisablesTheWatch)
{
    const std::wstring expected = L"Cannot load Launcher.dll library";
    auto missing = MakeWatch(TestFolder() + L"NoSuchFolder\\Launcher.dll");
    missing->StartWatch(kWatchMouse);
    missing->StartWatch(kWatchKeyboard);
    ASSERT_EQ(1u, m_shown.size()) << "a disabled watch never tries again";
    EXPECT_EQ(expected, m_shown[0].text);
    EXPECT_EQ(UINT(MB_OK | MB_ICONERROR), m_shown[0].type);
    EXPECT_TRUE(missing->Disabled());
    EXPECT_FALSE(missing->Bound());

    // A library that loads but lacks the entry points.
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    auto wrong = MakeWatch(std::wstring(system) + L"\\version.dll");
    wrong->StartWatch(kWatchMouse);
    ASSERT_EQ(2u, m_shown.size());
    EXPECT_EQ(expected, m_shown[1].text);
    EXPECT_TRUE(wrong->Disabled());
    EXPECT_FALSE(wrong->Bound());
    EXPECT_EQ(nullptr, m_lib.GetReceiver());
}

// Loads a library by name through the search as it stands, and lets go of it again.
bool LoadsByName(const std::wstring& name)
{
    HMODULE module = ::LoadLibraryW(name.c_str());
    if (module) ::FreeLibrary(module);
    return module != nullptr;
}

std::wstring DllDirectory()
{
    std::vector<wchar_t> buffer(32768);
    DWORD length = ::GetDllDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    return std::wstring(buffer.data(), length);
}

// The library comes from the program's own folder by its full path: a Launcher.dll in the current
// folder (here the build's bin folder, while the test program lives elsewhere) is never picked up.
// Binding leaves the process's search for libraries by name as it was, and with it what every
// program the launcher starts inherits: a DLL folder set before is still the DLL folder after.
TEST_F(WatchTest, LibraryComesFromItsOwnPathAndTheSearchForOthersStaysAsItWas)
{
    std::wstring planted = HookLibraryPath();
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(planted.substr(0, planted.find_last_of(L'\\')).c_str()));
    ASSERT_NE(planted, DefaultHookLibraryPath());
    auto missing = MakeWatch(DefaultHookLibraryPath());
    missing->StartWatch(kWatchMouse);
    ::SetCurrentDirectoryW(previous);
    EXPECT_FALSE(missing->Bound());
    ASSERT_EQ(1u, m_shown.size());
    EXPECT_EQ(L"Cannot load Launcher.dll library", m_shown[0].text);

    TempFolder folder(L"dllsearch");
    const std::wstring probe = L"OrvoSearchProbe.dll";  // the library again, under a name of its own
    ASSERT_TRUE(::CopyFileW(planted.c_str(), (folder / probe).c_str(), FALSE));
    struct DllDirectoryRestorer {
        ~DllDirectoryRestorer() { ::SetDllDirectoryW(nullptr); }
    } restorer;
    ASSERT_TRUE(::SetDllDirectoryW(folder.Path().c_str()));
    auto watch = MakeWatch();
    watch->StartWatch(kWatchMouse);
    ASSERT_TRUE(watch->Bound());
    EXPECT_EQ(folder.Path(), DllDirectory());
    EXPECT_TRUE(LoadsByName(probe)) << "the DLL folder set before binding is no longer searched";
}

TEST_F(WatchTest, MouseMessagesBecomeEventsWithUnsignedPoints)
{
    auto watch = MakeWatch();
    watch->StartWatch(kWatchMouse);
    ASSERT_TRUE(watch->Bound());
    std::vector<std::wstring> events;
    watch->OnMouseDown = [&](TWatch&, TMouseButton b, TShiftState s, int x, int y) {
        events.push_back(L"down " + std::to_wstring(int(b)) + L" " + std::to_wstring(s) + L" " + std::to_wstring(x) +
                         L"," + std::to_wstring(y));
    };
    watch->OnMouseUp = [&](TWatch&, TMouseButton b, TShiftState s, int x, int y) {
        events.push_back(L"up " + std::to_wstring(int(b)) + L" " + std::to_wstring(s) + L" " + std::to_wstring(x) +
                         L"," + std::to_wstring(y));
    };
    watch->OnMouseMove = [&](TWatch&, TShiftState s, int x, int y) {
        events.push_back(L"move " + std::to_wstring(s) + L" " + std::to_wstring(x) + L"," + std::to_wstring(y));
    };
    Deliver(*watch, kWatchMouseMessage, WM_MOUSEMOVE, PackHookPoint(10, 20));
    Deliver(*watch, kWatchMouseMessage, WM_MOUSEWHEEL, PackHookPoint(65535, 3));
    Deliver(*watch, kWatchMouseMessage, WM_RBUTTONDBLCLK, PackHookPoint(-1, 768));
    Deliver(*watch, kWatchMouseMessage, WM_NCMBUTTONUP, PackHookPoint(1, 2));
    const std::vector<std::wstring> expected = {
        L"move 0 10,20",
        L"down 0 0 65535,3",  // the wheel: a left press, nothing else
        L"down 1 64 65535,768",
        L"up 2 0 1,2",
    };
    EXPECT_EQ(expected, events);

    // Unassigned handlers are simply skipped.
    watch->OnMouseDown = nullptr;
    Deliver(*watch, kWatchMouseMessage, WM_LBUTTONDOWN, 0);
    EXPECT_EQ(expected.size(), events.size());
}

TEST_F(WatchTest, KeyMessagesArePassedOnAsPosted)
{
    auto watch = MakeWatch();
    watch->StartWatch(kWatchKeyboard);
    ASSERT_TRUE(watch->Bound());
    WPARAM seenKey = 0;
    LPARAM seenFlags = 0;
    watch->OnKeyNative = [&](TWatch&, WPARAM key, LPARAM flags) {
        seenKey = key;
        seenFlags = flags;
    };
    Deliver(*watch, kWatchKeyMessage, VK_SHIFT, static_cast<LPARAM>(0xC02A0001u));
    EXPECT_EQ(WPARAM(VK_SHIFT), seenKey);
    EXPECT_EQ(0xC02A0001u, static_cast<std::uint32_t>(seenFlags));
}

TEST_F(WatchTest, ShellEventsCarryTheTitleAndDropRepeatsAndOwnWindow)
{
    auto watch = MakeWatch();
    watch->StartWatch(kWatchMouse);
    ASSERT_TRUE(watch->Bound());
    HWND editor = ::CreateWindowExW(0, L"STATIC", L"Editor", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HWND twin = ::CreateWindowExW(0, L"STATIC", L"Editor", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HWND own = ::CreateWindowExW(0, L"STATIC", L"Launcher", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(editor && twin && own);
    watch->SetApplicationWindow(own);

    std::vector<std::wstring> events;
    auto record = [&](const wchar_t* kind) {
        return [&events, kind](TWatch&, HWND, const std::wstring& title) { events.push_back(kind + title); };
    };
    watch->OnWindowCreated = record(L"created ");
    watch->OnWindowDestroyed = record(L"destroyed ");
    watch->OnActivateShellWindow = record(L"shell ");
    watch->OnWindowActivated = record(L"activated ");
    auto post = [&](HWND window, LPARAM code) {
        Deliver(*watch, kWatchShellMessage, reinterpret_cast<WPARAM>(window), code);
    };

    post(editor, HSHELL_WINDOWCREATED);
    post(editor, HSHELL_WINDOWDESTROYED);
    post(editor, HSHELL_ACTIVATESHELLWINDOW);
    post(editor, HSHELL_REDRAW);  // other codes are ignored
    post(editor, HSHELL_WINDOWACTIVATED);
    post(twin, HSHELL_WINDOWACTIVATED);  // same title: not reported again
    post(own, HSHELL_WINDOWCREATED);     // the program's own window: dropped
    watch->SetRepeatedEvents(true);
    post(twin, HSHELL_WINDOWACTIVATED);
    watch->SetNotifyOwnEvents(true);
    post(own, HSHELL_WINDOWACTIVATED);
    post(nullptr, HSHELL_WINDOWCREATED);  // no window, no title
    const std::vector<std::wstring> expected = {L"created Editor", L"destroyed Editor", L"shell Editor",
                                                L"activated Editor", L"activated Editor", L"activated Launcher",
                                                L"created "};
    EXPECT_EQ(expected, events);
    ::DestroyWindow(editor);
    ::DestroyWindow(twin);
    ::DestroyWindow(own);
}

TEST_F(WatchTest, HandlerMayStopWatchingFromInsideAnEvent)
{
    auto watch = MakeWatch();
    watch->StartWatch(kWatchMouse);
    int calls = 0;
    watch->OnMouseMove = [&](TWatch& sender, TShiftState, int, int) {
        ++calls;
        sender.StopWatch(kWatchMouse);
    };
    HWND receiver = watch->ReceiverWindow();
    UINT message = ::RegisterWindowMessageW(kWatchMouseMessage);
    ::PostMessageW(receiver, message, WM_MOUSEMOVE, 0);
    PumpUntil(500, nullptr, [&] { return calls > 0; });
    EXPECT_EQ(1, calls);
    EXPECT_FALSE(watch->Bound());
    EXPECT_FALSE(::IsWindow(receiver));
}

TEST(WatchKeyNames, SystemCharactersAndModifierNames)
{
    EXPECT_EQ(L"SHIFT", TWatch::GetVirtualKeyName(VK_SHIFT));
    EXPECT_EQ(L"CTRL", TWatch::GetVirtualKeyName(VK_CONTROL));
    EXPECT_EQ(L"ALT", TWatch::GetVirtualKeyName(VK_MENU));
    EXPECT_EQ(L"A", TWatch::GetVirtualKeyName('A'));
    EXPECT_EQ(L"F5", TWatch::GetVirtualKeyName(VK_F5));
    EXPECT_EQ(L"HOME", TWatch::GetVirtualKeyName(VK_HOME));
    EXPECT_EQ(L"undefined 0x0007", TWatch::GetVirtualKeyName(7));

    TKeyNativeInfo info = TWatch::DecodeKeyData(0x001E0001u);  // 'A' pressed
    EXPECT_EQ(L"A", info.KeyName);
    EXPECT_TRUE(info.KeyDown);
    EXPECT_EQ(0x1Eu, info.ScanCode);
}

} // namespace
