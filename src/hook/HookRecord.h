#pragma once
// Per-process state of the hook library and the lock around the shared record.

#include "hook/HookShared.h"

namespace hook {

// How long a hook procedure waits for the record before it passes the event on unposted. Input of
// the process that runs the hook is delayed by at most this much per event.
inline constexpr DWORD kHookWaitMs = 20;
// How long an export waits for the record before it answers as without one (no receiver, nothing
// watched, nothing changed). Every holder keeps the record for microseconds, or a few milliseconds
// while it installs or removes a hook, so only a hung or hostile process outlasts this; and the
// program, which as it ends waits three times and once more as it unloads the library, still ends
// within about two and a half seconds.
inline constexpr DWORD kExportWaitMs = 500;
// Attach and detach run under the loader lock of whatever process received hooked input: each
// waits for the record once, longer than an export (an attach that gives up leaves its process
// without the record for good) but short enough that no hooked program stalls noticeably.
inline constexpr DWORD kAttachWaitMs = 1000;

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

// The record's named objects under the given names, opened when they exist and created otherwise
// (only this process's user and the system may write them); null when that is refused, or when an
// existing one was made by a process of a lower integrity level. A new mutex is created owned:
// `existed` tells that it was not.
HANDLE OpenRecordMutex(const wchar_t* name, bool* existed) noexcept;
HANDLE OpenRecordMapping(const wchar_t* name) noexcept;

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
