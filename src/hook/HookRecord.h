#pragma once
// Per-process state of the hook library and the lock around the shared record.

#include "hook/HookShared.h"

namespace hook {

// How long a hook procedure waits for the record before it passes the event on unposted. Input of
// the process that runs the hook is delayed by at most this much per event.
inline constexpr DWORD kHookWaitMs = 20;
// Attach and detach run under the loader lock of whatever process received hooked input: each
// waits for the record once, longer than a hook procedure but never without limit.
inline constexpr DWORD kAttachWaitMs = 5000;

struct ProcessState {
    HINSTANCE module = nullptr;
    HANDLE mutex = nullptr;
    HANDLE mapping = nullptr;
    THookSharedData* record = nullptr;  // null: this process has no record
    UINT shellMessage = 0;
    UINT keyMessage = 0;
    UINT mouseMessage = 0;
};

extern ProcessState g_state;

// Library attach and unload; AttachProcess leaves g_state.record null when the record could not be
// had, and then every export and hook procedure leaves the record alone. DetachProcess is for an
// unload by FreeLibrary only: an ending process does nothing at all (HookMain.cpp).
void AttachProcess(HINSTANCE module) noexcept;
void DetachProcess() noexcept;

// StopAll's body, with the record's mutex held: unless nothing is counted, zeroes the counts and
// removes every installed hook.
void StopAllHooks(THookSharedData& record) noexcept;

// Holds the record's mutex for its lifetime when it could be had within the time-out. A mutex left
// behind by a process that died holding it counts as had: the record's fields are single aligned
// 32-bit words and never torn.
class RecordLock {
public:
    explicit RecordLock(DWORD timeoutMs) noexcept;
    ~RecordLock();
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

    // The record, or null when this process has none or the mutex was not had.
    THookSharedData* Record() const noexcept { return m_held ? g_state.record : nullptr; }
    void Release() noexcept;

private:
    bool m_held = false;
};

} // namespace hook
