// The six exports. Each holds the record's mutex while it touches the record and lets go of it on
// every path (RecordLock). A process without a record watches nothing and never takes the
// receiver role; nor does an export that could not have the mutex in its bounded time, so that a
// process that holds it can never hang the program.

#include "hook/HookProcs.h"
#include "hook/HookRecord.h"

#include <type_traits>

// On x86 the linker's --kill-at drops the @n suffix of the standard calling convention, so the
// exports carry their plain names on both architectures.
#define HOOK_EXPORT extern "C" __declspec(dllexport)

HOOK_EXPORT void WINAPI StartWatching(WatchKind kind);
HOOK_EXPORT void WINAPI StopWatching(WatchKind kind);
HOOK_EXPORT void WINAPI StopAll();
HOOK_EXPORT BOOLEAN WINAPI StillWatching();
HOOK_EXPORT BOOLEAN WINAPI SetReceiver(HWND receiver);
HOOK_EXPORT HWND WINAPI GetReceiver();

// The program binds these by name through the types of HookShared.h; keep the two in step.
static_assert(std::is_same_v<decltype(&StartWatching), TStartWatching>);
static_assert(std::is_same_v<decltype(&StopWatching), TStopWatching>);
static_assert(std::is_same_v<decltype(&StopAll), TStopAll>);
static_assert(std::is_same_v<decltype(&StillWatching), TStillWatching>);
static_assert(std::is_same_v<decltype(&SetReceiver), TSetReceiver>);
static_assert(std::is_same_v<decltype(&GetReceiver), TGetReceiver>);

namespace {

struct KindSlot {
    std::uint32_t* hook;
    std::int32_t* watchers;
    int hookType;
    HOOKPROC proc;
};

bool SelectKind(THookSharedData* record, WatchKind kind, KindSlot* slot) noexcept
{
    switch (kind) {
    case kWatchShell:
        *slot = {&record->ShellHook, &record->ShellWatchers, WH_SHELL, &hook::ShellHookProc};
        return true;
    case kWatchKeyboard:
        *slot = {&record->KeyHook, &record->KeyWatchers, WH_KEYBOARD, &hook::KeyboardHookProc};
        return true;
    case kWatchMouse:
        *slot = {&record->MouseHook, &record->MouseWatchers, WH_MOUSE, &hook::MouseHookProc};
        return true;
    default:
        return false;
    }
}

// StopWatching's body, with the record's mutex held: the hook goes once nobody is counted, and
// without a hook the count never stays below 0.
void StopKind(const KindSlot& slot) noexcept
{
    --*slot.watchers;
    if (*slot.watchers <= 0 && *slot.hook != 0) {
        ::UnhookWindowsHookEx(HandleFromField<HHOOK>(*slot.hook));
        *slot.hook = 0;
    }
    if (*slot.hook == 0) *slot.watchers = 0;
}

} // namespace

HOOK_EXPORT void WINAPI StartWatching(WatchKind kind)
{
    hook::RecordLock lock(hook::kExportWaitMs);
    THookSharedData* record = lock.Record();
    KindSlot slot;
    if (!record || !SelectKind(record, kind, &slot)) return;
    // A failed install leaves the handle 0 with the count raised; it is not retried until the
    // count is back to 0.
    if (*slot.watchers == 0 && *slot.hook == 0)
        *slot.hook = HandleToField(::SetWindowsHookExW(slot.hookType, slot.proc, hook::g_state.module, 0));
    ++*slot.watchers;
}

HOOK_EXPORT void WINAPI StopWatching(WatchKind kind)
{
    hook::RecordLock lock(hook::kExportWaitMs);
    THookSharedData* record = lock.Record();
    KindSlot slot;
    if (!record || !SelectKind(record, kind, &slot)) return;
    StopKind(slot);
}

void hook::StopAllHooks(THookSharedData& record) noexcept
{
    if (record.ShellWatchers == 0 && record.KeyWatchers == 0 && record.MouseWatchers == 0) return;
    // All three under the caller's one hold of the mutex: no other process sees the counts zeroed
    // while a hook is still installed, nor starts a kind in between and then loses its new hook.
    const WatchKind kinds[] = {kWatchShell, kWatchKeyboard, kWatchMouse};
    for (WatchKind kind : kinds) {
        KindSlot slot;
        SelectKind(&record, kind, &slot);
        *slot.watchers = 0;
        StopKind(slot);
    }
}

HOOK_EXPORT void WINAPI StopAll()
{
    hook::RecordLock lock(hook::kExportWaitMs);
    if (THookSharedData* record = lock.Record()) hook::StopAllHooks(*record);
}

HOOK_EXPORT BOOLEAN WINAPI StillWatching()
{
    hook::RecordLock lock(hook::kExportWaitMs);
    const THookSharedData* record = lock.Record();
    return record && (record->ShellWatchers > 0 || record->KeyWatchers > 0 || record->MouseWatchers > 0);
}

HOOK_EXPORT BOOLEAN WINAPI SetReceiver(HWND receiver)
{
    hook::RecordLock lock(hook::kExportWaitMs);
    THookSharedData* record = lock.Record();
    if (!record) return FALSE;
    if (receiver != nullptr && record->Receiver != 0) {
        if (::IsWindow(HandleFromField<HWND>(record->Receiver))) return FALSE;
        // The last receiver's program ended without giving the role back (it crashed or was
        // killed). The system removed its hooks with it: the stored handles and counts are stale.
        record->ShellHook = record->KeyHook = record->MouseHook = 0;
        record->ShellWatchers = record->KeyWatchers = record->MouseWatchers = 0;
    }
    record->Receiver = HandleToField(receiver);
    return TRUE;
}

HOOK_EXPORT HWND WINAPI GetReceiver()
{
    hook::RecordLock lock(hook::kExportWaitMs);
    const THookSharedData* record = lock.Record();
    return record ? HandleFromField<HWND>(record->Receiver) : nullptr;
}
