// A second (and third) process for the hook library's tests. Commands:
//   load <dll> <ready-event> <quit-event>         load the library, signal, wait, unload
//   watch-mouse-and-unload <dll> [<ready-event> <go-event>]
//                                                 load, start the mouse kind, (signal, wait,) unload;
//                                                 exit 0 when it watched
//   watch-mouse-and-end <dll>                     the same, but end without unloading
//   hold-mutex <ready-event> <milliseconds>       hold the record's mutex that long
//   window <ready-event> <quit-event> <notify> <x> <y> <w> <h>
//                                                 a topmost window that reports each mouse move
//                                                 and left press it receives, and each key
//                                                 pressed while it is active, to the notify window
// Every wait is limited; the process never outlives its test by more than kPeerLifetimeMs.

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "hook/HookShared.h"
#include "unit/hook/HookPeerProtocol.h"

namespace {

constexpr DWORD kPeerLifetimeMs = 30000;

HANDLE OpenNamedEvent(const wchar_t* name) { return ::OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name); }

int LoadAndWait(const wchar_t* dll, const wchar_t* readyName, const wchar_t* quitName)
{
    HANDLE ready = OpenNamedEvent(readyName);
    HANDLE quit = OpenNamedEvent(quitName);
    if (!ready || !quit) return 10;
    HMODULE library = ::LoadLibraryW(dll);
    if (!library) return 11;
    ::SetEvent(ready);
    ::WaitForSingleObject(quit, kPeerLifetimeMs);
    ::FreeLibrary(library);
    return 0;
}

int WatchMouse(const wchar_t* dll, bool unload, const wchar_t* readyName = nullptr, const wchar_t* goName = nullptr)
{
    HANDLE ready = readyName ? OpenNamedEvent(readyName) : nullptr;
    HANDLE go = goName ? OpenNamedEvent(goName) : nullptr;
    if (readyName && (!ready || !go)) return 10;
    HMODULE library = ::LoadLibraryW(dll);
    if (!library) return 11;
    auto start = reinterpret_cast<TStartWatching>(reinterpret_cast<void*>(::GetProcAddress(library, "StartWatching")));
    auto still = reinterpret_cast<TStillWatching>(reinterpret_cast<void*>(::GetProcAddress(library, "StillWatching")));
    if (!start || !still) return 12;
    start(kWatchMouse);
    bool watched = still() != 0;
    if (ready) {
        ::SetEvent(ready);
        ::WaitForSingleObject(go, kPeerLifetimeMs);
    }
    // Left loaded, the library is detached by the system as the process ends.
    if (unload) ::FreeLibrary(library);
    return watched ? 0 : 2;
}

int HoldMutex(const wchar_t* readyName, DWORD holdMs)
{
    HANDLE ready = OpenNamedEvent(readyName);
    HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, kHookMutexName);
    if (!ready || !mutex || holdMs > kPeerLifetimeMs) return 10;
    DWORD got = ::WaitForSingleObject(mutex, 5000);
    if (got != WAIT_OBJECT_0 && got != WAIT_ABANDONED) return 13;
    ::SetEvent(ready);
    ::Sleep(holdMs);  // holding is the point: this process plays one that hangs with the mutex
    ::ReleaseMutex(mutex);
    return 0;
}

HWND g_notify = nullptr;

LRESULT CALLBACK PeerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN) {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ClientToScreen(hwnd, &pt);
        ::PostMessageW(g_notify, message == WM_MOUSEMOVE ? kPeerSawMove : kPeerSawLeftDown, 0,
                       static_cast<LPARAM>(PackHookPoint(pt.x, pt.y)));
        return 0;
    }
    if (message == WM_KEYDOWN) {
        ::PostMessageW(g_notify, kPeerSawKey, wParam, lParam);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunWindow(wchar_t** args)
{
    HANDLE ready = OpenNamedEvent(args[0]);
    HANDLE quit = OpenNamedEvent(args[1]);
    if (!ready || !quit) return 10;
    g_notify = HandleFromField<HWND>(static_cast<std::uint32_t>(std::wcstoul(args[2], nullptr, 10)));
    int x = std::wcstol(args[3], nullptr, 10), y = std::wcstol(args[4], nullptr, 10);
    int w = std::wcstol(args[5], nullptr, 10), h = std::wcstol(args[6], nullptr, 10);

    WNDCLASSW wc{};
    wc.lpfnWndProc = &PeerWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"HookPeerWindow";
    if (!::RegisterClassW(&wc)) return 14;
    HWND hwnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"HookPeer", WS_POPUP, x, y, w,
                                  h, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 15;
    // Active, so that keys typed by the test come here.
    ::ShowWindow(hwnd, SW_SHOW);
    ::SetForegroundWindow(hwnd);
    ::UpdateWindow(hwnd);
    ::SetEvent(ready);

    DWORD deadline = ::GetTickCount() + kPeerLifetimeMs;
    for (;;) {
        DWORD now = ::GetTickCount();
        if (static_cast<int>(deadline - now) <= 0) break;
        DWORD wait = ::MsgWaitForMultipleObjects(1, &quit, FALSE, deadline - now, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::DestroyWindow(hwnd);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 1;
    std::wstring command = argv[1];
    if (command == L"load" && argc == 5) return LoadAndWait(argv[2], argv[3], argv[4]);
    if (command == L"watch-mouse-and-unload" && argc == 3) return WatchMouse(argv[2], true);
    if (command == L"watch-mouse-and-unload" && argc == 5) return WatchMouse(argv[2], true, argv[3], argv[4]);
    if (command == L"watch-mouse-and-end" && argc == 3) return WatchMouse(argv[2], false);
    if (command == L"hold-mutex" && argc == 4) return HoldMutex(argv[2], static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
    if (command == L"window" && argc == 9) return RunWindow(argv + 2);
    return 1;
}
