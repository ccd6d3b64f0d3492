// Cost per event of the mouse hook procedure, against its floor measured in the same run: one
// PostMessage and one CallNextHookEx, the least a hook that reports every event can do. Built from the library's own sources; the record is the real shared one, so
// no copy of the program may be running. Usage: HookBench [calls]   (default 100000)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/BenchTable.h"
#include "hook/HookProcs.h"
#include "hook/HookRecord.h"

extern "C" BOOLEAN WINAPI SetReceiver(HWND receiver);

namespace {

struct Receiver {
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND window = nullptr;
    DWORD threadId = 0;
    long received = 0;
};

// Drains the posted events on a thread of its own, as the program's main thread would.
DWORD WINAPI ReceiverThread(void* parameter)
{
    auto* receiver = static_cast<Receiver*>(parameter);
    receiver->window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    ::SetEvent(receiver->ready);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == receiver->window && msg.message == hook::g_state.mouseMessage) ++receiver->received;
    }
    ::DestroyWindow(receiver->window);
    return 0;
}

LRESULT CALLBACK BarePassThrough(int code, WPARAM wParam, LPARAM lParam)
{
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND g_receiver = nullptr;

LRESULT CALLBACK PostAndPass(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    ::PostMessageW(g_receiver, hook::g_state.mouseMessage, wParam,
                   static_cast<LPARAM>(PackHookPoint(info->pt.x, info->pt.y)));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Series {
    const char* name;
    HOOKPROC proc;
    std::vector<double> micros;
};

double Percentile(const std::vector<double>& sorted, double p)
{
    auto index = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

} // namespace

int main(int argc, char** argv)
{
    long calls = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
    if (calls < 100) calls = 100;

    hook::AttachProcess(::GetModuleHandleW(nullptr));
    if (!hook::g_state.record) {
        std::fprintf(stderr, "cannot map the shared record\n");
        return 1;
    }
    Receiver receiver;
    HANDLE thread = ::CreateThread(nullptr, 0, &ReceiverThread, &receiver, 0, &receiver.threadId);
    if (!thread || ::WaitForSingleObject(receiver.ready, 10000) != WAIT_OBJECT_0 || !receiver.window) return 1;
    if (!SetReceiver(receiver.window)) {
        std::fprintf(stderr, "the receiver role is taken: stop the program first\n");
        return 1;
    }

    MOUSEHOOKSTRUCT info{};
    info.pt = {512, 384};
    info.wHitTestCode = HTCLIENT;
    g_receiver = receiver.window;
    Series series[] = {{"bare CallNextHookEx", &BarePassThrough, {}},
                       {"PostMessage + CallNextHookEx", &PostAndPass, {}},
                       {"MouseHookProc", &hook::MouseHookProc, {}}};
    for (auto& s : series) s.micros.reserve(static_cast<std::size_t>(calls));
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    const double toMicros = 1e6 / static_cast<double>(frequency.QuadPart);

    // Interleaved, so both series see the same machine load.
    for (long i = 0; i < calls; ++i) {
        for (auto& s : series) {
            // Volatile, so the compiler calls through the pointer as the system does.
            HOOKPROC volatile proc = s.proc;
            info.pt.x = 100 + (i & 511);
            LARGE_INTEGER t0, t1;
            ::QueryPerformanceCounter(&t0);
            proc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&info));
            ::QueryPerformanceCounter(&t1);
            s.micros.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * toMicros);
        }
    }

    SetReceiver(nullptr);
    ::PostThreadMessageW(receiver.threadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(thread, 10000);
    ::CloseHandle(thread);
    hook::DetachProcess();

    std::printf("%ld calls each, times per call in microseconds\n", calls);
    double medians[3], p99s[3];
    for (int k = 0; k < 3; ++k) {
        auto& v = series[k].micros;
        std::sort(v.begin(), v.end());
        medians[k] = Percentile(v, 0.5);
        p99s[k] = Percentile(v, 0.99);
        std::printf("%-22s median %8.3f  p99 %8.3f\n", series[k].name, medians[k], p99s[k]);
    }
    std::printf("events received by the receiver: %ld of %ld\n", receiver.received, 2 * calls);
    bench::Row("mouse hook procedure, median", medians[2], "PostMessage + CallNextHookEx", medians[1], "", "us");
    bench::Row("mouse hook procedure, 99th percentile", p99s[2], "PostMessage + CallNextHookEx", p99s[1], "", "us");
    return 0;
}
