#pragma once
// Per-process state of the hook library and the lock around the shared record.

#include <atomic>

#include "hook/HookShared.h"

namespace hook {

// How long a hook procedure waits for the record before it passes the event on unposted. Input of
// the process that runs the hook is delayed by at most this much per event.
inline constexpr DWORD kHookWaitMs = 20;
// How long an export waits for the record before it answers as without one (no receiver, nothing
// watched, nothing changed). Every holder keeps the record for microseconds, or a few milliseconds
// while it installs or removes a hook, so only a hung or hostile process outlasts this; and the
// program, which as it ends waits three times and once more as it unloads the library, still ends
// within about two seconds.
inline constexpr DWORD kExportWaitMs = 500;
// Attach and detach run under the loader lock of whatever process received hooked input: each
// waits for the record once, briefly, so that no hooked program stalls noticeably. An attach that
// did not get the mutex in time leaves the record to the first lock that does.
inline constexpr DWORD kAttachWaitMs = 250;

struct ProcessState {
    HINSTANCE module = nullptr;
    HANDLE mutex = nullptr;
    HANDLE mapping = nullptr;
    // Null: this process has no record. Stored with the mutex held; read by the hook procedures of
    // every thread of the process.
    std::atomic<THookSharedData*> record{nullptr};
    // The attach found the mutex held past its wait: the record is still to be opened.
    std::atomic<bool> recordPending{false};
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
// had (for now, while recordPending), and then every export and hook procedure leaves it alone. DetachProcess is for an
// unload by FreeLibrary only: an ending process does nothing at all (HookMain.cpp).
void AttachProcess(HINSTANCE module) noexcept;
void DetachProcess() noexcept;

// StopAll's body, with the record's mutex held: unless nothing is counted, zeroes the counts and
// removes every installed hook.
void StopAllHooks(THookSharedData& record) noexcept;

// Holds the record's mutex for its lifetime when it could be had within the time-out, and opens the
// record if the attach could not. A mutex left behind by a process that died holding it counts as
// had: the record's fields are single aligned 32-bit words and never torn.
class RecordLock {
public:
    explicit RecordLock(DWORD timeoutMs) noexcept;
    ~RecordLock();
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

    // The record, or null when this process has none or the mutex was not had.
    THookSharedData* Record() const noexcept { return m_held ? g_state.record.load() : nullptr; }
    void Release() noexcept;

private:
    bool m_held = false;
};

} // namespace hook
