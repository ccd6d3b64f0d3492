#pragma once
// Shared by the hook library's and the watch component's tests: where the built library and the
// peer program are, a view of the shared record, peer processes, and a bounded message pump.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "hook/HookShared.h"

namespace hooktest {

inline std::wstring TestFolder()
{
    std::vector<wchar_t> buffer(32768);
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// Test programs are built into <build>/tests, the library into <build>/bin.
inline std::wstring HookLibraryPath()
{
    std::wstring relative = TestFolder() + L"..\\bin\\" + kHookLibraryName;
    wchar_t full[MAX_PATH * 4];
    DWORD length = ::GetFullPathNameW(relative.c_str(), MAX_PATH * 4, full, nullptr);
    return std::wstring(full, length);
}

inline std::wstring PeerPath() { return TestFolder() + L"HookPeer.exe"; }

// The six exports of one loaded copy of the library.
struct HookLibrary {
    HMODULE module = nullptr;
    TStartWatching StartWatching = nullptr;
    TStopWatching StopWatching = nullptr;
    TStopAll StopAll = nullptr;
    TStillWatching StillWatching = nullptr;
    TSetReceiver SetReceiver = nullptr;
    TGetReceiver GetReceiver = nullptr;

    HookLibrary() : module(::LoadLibraryW(HookLibraryPath().c_str()))
    {
        if (!module) return;
        Bind(StartWatching, "StartWatching");
        Bind(StopWatching, "StopWatching");
        Bind(StopAll, "StopAll");
        Bind(StillWatching, "StillWatching");
        Bind(SetReceiver, "SetReceiver");
        Bind(GetReceiver, "GetReceiver");
    }
    ~HookLibrary()
    {
        if (module) ::FreeLibrary(module);
    }
    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;

    bool Complete() const
    {
        return module && StartWatching && StopWatching && StopAll && StillWatching && SetReceiver && GetReceiver;
    }

private:
    template <typename Fn>
    void Bind(Fn& fn, const char* name)
    {
        fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

// The shared record as every process sees it. Opening the mapping also keeps it in existence.
class RecordView {
public:
    RecordView()
    {
        m_mapping = ::OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, kHookMappingName);
        if (!m_mapping)
            m_mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             sizeof(THookSharedData), kHookMappingName);
        if (m_mapping) m_record = static_cast<THookSharedData*>(::MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0));
        m_mutex = ::CreateMutexW(nullptr, FALSE, kHookMutexName);
    }
    ~RecordView()
    {
        if (m_record) ::UnmapViewOfFile(m_record);
        if (m_mapping) ::CloseHandle(m_mapping);
        if (m_mutex) ::CloseHandle(m_mutex);
    }
    RecordView(const RecordView&) = delete;
    RecordView& operator=(const RecordView&) = delete;

    bool Valid() const { return m_record != nullptr; }
    THookSharedData Read() const
    {
        Lock();
        THookSharedData copy;
        std::memcpy(&copy, m_record, sizeof(copy));
        Unlock();
        return copy;
    }
    // Changes the record under its mutex.
    void Change(const std::function<void(THookSharedData&)>& change)
    {
        Lock();
        change(*m_record);
        Unlock();
    }

private:
    void Lock() const { ::WaitForSingleObject(m_mutex, 5000); }
    void Unlock() const { ::ReleaseMutex(m_mutex); }

    HANDLE m_mapping = nullptr;
    HANDLE m_mutex = nullptr;
    THookSharedData* m_record = nullptr;
};

inline bool SameRecord(const THookSharedData& a, const THookSharedData& b) { return std::memcmp(&a, &b, sizeof(a)) == 0; }

// Removes the hooks the record still names and zeroes their counts: what a process that ended while
// watching leaves behind. Windows removes such a process's hooks with it; Wine keeps them in the
// chain, where each would run the hook procedure once more for every hooked event from then on.
inline void RemoveLeftoverHooks(THookSharedData& r)
{
    for (std::uint32_t* hook : {&r.ShellHook, &r.KeyHook, &r.MouseHook}) {
        if (*hook) ::UnhookWindowsHookEx(HandleFromField<HHOOK>(*hook));
        *hook = 0;
    }
    r.ShellWatchers = r.KeyWatchers = r.MouseWatchers = 0;
}

// A manual-reset event with a name unique to this test process.
class NamedEvent {
public:
    explicit NamedEvent(const std::wstring& role)
        : m_name(L"HookTest." + role + L"." + std::to_wstring(::GetCurrentProcessId()) + L"." +
                 std::to_wstring(++Counter()))
    {
        m_handle = ::CreateEventW(nullptr, TRUE, FALSE, m_name.c_str());
    }
    ~NamedEvent()
    {
        if (m_handle) ::CloseHandle(m_handle);
    }
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    const std::wstring& Name() const { return m_name; }
    HANDLE Handle() const { return m_handle; }
    void Set() const { ::SetEvent(m_handle); }

private:
    static int& Counter()
    {
        static int counter = 0;
        return counter;
    }
    std::wstring m_name;
    HANDLE m_handle = nullptr;
};

// A peer program started with arguments; ended by handle if it is still running at the end.
class PeerProcess {
public:
    explicit PeerProcess(const std::wstring& arguments)
    {
        std::wstring commandLine = L"\"" + PeerPath() + L"\" " + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            ::CloseHandle(pi.hThread);
            m_process = pi.hProcess;
        }
    }
    ~PeerProcess()
    {
        if (!m_process) return;
        if (::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process, 99);
            ::WaitForSingleObject(m_process, 5000);
        }
        ::CloseHandle(m_process);
    }
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    bool Running() const { return m_process && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 when the process did not end in time.
    long WaitForExit(DWORD timeoutMs) const
    {
        if (!m_process || ::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_process, &code);
        return static_cast<long>(code);
    }
    // Waits for a signal from the peer, giving up early if the peer ends.
    bool WaitFor(const NamedEvent& event, DWORD timeoutMs) const
    {
        HANDLE handles[2] = {event.Handle(), m_process};
        return ::WaitForMultipleObjects(2, handles, FALSE, timeoutMs) == WAIT_OBJECT_0;
    }

private:
    HANDLE m_process = nullptr;
};

// Pumps this thread's messages until the predicate holds or the time-out passes. The predicate sees
// every message before it is dispatched.
inline bool PumpUntil(DWORD timeoutMs, const std::function<bool(const MSG&)>& seen,
                      const std::function<bool()>& done = {})
{
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            bool stop = seen && seen(msg);
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            if (stop) return true;
        }
        if (done && done()) return true;
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

// A window that only receives posted messages.
inline HWND CreateMessageWindow()
{
    return ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr),
                             nullptr);
}

// Moves the cursor as the mouse hardware would, to a point of the primary screen.
inline void SendMouseMove(int x, int y)
{
    int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65536LL + width / 2) / width);
    input.mi.dy = static_cast<LONG>((y * 65536LL + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
}

inline void SendMouseButton(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

} // namespace hooktest
