#include "hook/HookProcs.h"

#include "hook/HookRecord.h"

namespace hook {

namespace {

struct HookTarget {
    HWND receiver = nullptr;
    HHOOK hook = nullptr;
};

// Copies the receiver and the kind's hook handle out of the record. Without the record (none in
// this process, or the mutex not had in time) the event is still passed on, just not posted.
HookTarget ReadTarget(std::uint32_t THookSharedData::*hookField) noexcept
{
    RecordLock lock(kHookWaitMs);
    const THookSharedData* record = lock.Record();
    if (!record) return {};
    return {HandleFromField<HWND>(record->Receiver), HandleFromField<HHOOK>(record->*hookField)};
}

} // namespace

LRESULT CALLBACK ShellHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    HookTarget target = ReadTarget(&THookSharedData::ShellHook);
    // Posting to no window would drop the message into this thread's own queue.
    if (code >= 0 && target.receiver)
        ::PostMessageW(target.receiver, g_state.shellMessage, wParam, static_cast<LPARAM>(code));
    return ::CallNextHookEx(target.hook, code, wParam, lParam);
}

// HC_NOREMOVE: the input is only peeked at and will come round again as HC_ACTION. A program
// may peek at the same message many times before it takes it, so only HC_ACTION waits for the
// record: a peek never waits at all (the system ignores the hook handle CallNextHookEx is given).
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    if (code != HC_ACTION) return ::CallNextHookEx(nullptr, code, wParam, lParam);
    HookTarget target = ReadTarget(&THookSharedData::KeyHook);
    if (target.receiver) ::PostMessageW(target.receiver, g_state.keyMessage, wParam, lParam);
    return ::CallNextHookEx(target.hook, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    if (code != HC_ACTION) return ::CallNextHookEx(nullptr, code, wParam, lParam);
    HookTarget target = ReadTarget(&THookSharedData::MouseHook);
    if (target.receiver) {
        const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        ::PostMessageW(target.receiver, g_state.mouseMessage, wParam,
                       static_cast<LPARAM>(PackHookPoint(info->pt.x, info->pt.y)));
    }
    return ::CallNextHookEx(target.hook, code, wParam, lParam);
}

} // namespace hook
