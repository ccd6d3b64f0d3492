#include "hook/HookRecord.h"

#include <sddl.h>
#include <aclapi.h>

#include "base/OsVersion.h"

namespace hook {

ProcessState g_state;

namespace {

using ConvertSddlFn = BOOL(WINAPI*)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);

// Read through the 148-byte ANSI structure; only the platform and the version numbers are used.
OsVersion RunningVersion() noexcept
{
    OSVERSIONINFOA info{};
    static_assert(sizeof(info) == 148);
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExA(&info)) return OsVersion{OsPlatform::Win9x, 0, 0};
#pragma GCC diagnostic pop
    return OsVersion{info.dwPlatformId == VER_PLATFORM_WIN32_NT ? OsPlatform::Nt : OsPlatform::Win9x,
                     info.dwMajorVersion, info.dwMinorVersion};
}

// On NT 6 and later the record must be usable from low-integrity processes too (a hooked
// protected-mode browser maps it as well). Gives a descriptor holding a low mandatory label for
// creating the mutex and the mapping, and relabels a mapping that another process already created.
// Returns false when the security library cannot be loaded at all.
bool PrepareLowLabel(PSECURITY_DESCRIPTOR* descriptor) noexcept
{
    *descriptor = nullptr;
    HMODULE advapi = ::LoadLibraryW(L"Advapi32.dll");
    if (!advapi) return false;
    // Bound by name: the conversion does not exist before Windows 2000.
    auto convert = reinterpret_cast<ConvertSddlFn>(reinterpret_cast<void*>(
        ::GetProcAddress(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorW")));
    if (convert && !convert(L"S:(ML;;NW;;;LW)", SDDL_REVISION_1, descriptor, nullptr)) *descriptor = nullptr;
    ::FreeLibrary(advapi);

    if (*descriptor) {
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL sacl = nullptr;
        if (::GetSecurityDescriptorSacl(*descriptor, &present, &sacl, &defaulted) && present && sacl) {
            wchar_t name[sizeof(kHookMappingName) / sizeof(wchar_t)];
            ::lstrcpyW(name, kHookMappingName);
            // Fails harmlessly while the mapping does not exist yet.
            ::SetNamedSecurityInfoW(name, SE_KERNEL_OBJECT, LABEL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                                    sacl);
        }
    }
    return true;
}

void CloseRecord() noexcept
{
    if (g_state.record) ::UnmapViewOfFile(g_state.record);
    if (g_state.mapping) ::CloseHandle(g_state.mapping);
    g_state.record = nullptr;
    g_state.mapping = nullptr;
}

bool WaitForRecordMutex(DWORD timeoutMs) noexcept
{
    DWORD result = ::WaitForSingleObject(g_state.mutex, timeoutMs);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

} // namespace

void AttachProcess(HINSTANCE module) noexcept
{
    g_state.module = module;
    g_state.shellMessage = ::RegisterWindowMessageW(kWatchShellMessage);
    g_state.keyMessage = ::RegisterWindowMessageW(kWatchKeyMessage);
    g_state.mouseMessage = ::RegisterWindowMessageW(kWatchMouseMessage);

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (IsNt6OrLater(RunningVersion()) && !PrepareLowLabel(&descriptor)) return;

    // The mutex carries the mapping's label: a low-integrity process that opens it with the
    // default full access is refused by a mutex of the default (medium) label.
    SECURITY_ATTRIBUTES mutexAttributes{sizeof(mutexAttributes), descriptor, FALSE};
    g_state.mutex = ::CreateMutexW(descriptor ? &mutexAttributes : nullptr, TRUE, kHookMutexName);
    if (!g_state.mutex) {
        if (descriptor) ::LocalFree(descriptor);
        return;
    }
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    // One created without the label (by a copy that did not set it) gets it now; a process that
    // may not relabel it leaves it as it is.
    if (existed && descriptor) ::SetKernelObjectSecurity(g_state.mutex, LABEL_SECURITY_INFORMATION, descriptor);
    // Not had in time: this process stays without a record and touches nothing shared.
    bool owned = !existed || WaitForRecordMutex(kAttachWaitMs);
    if (owned) {
        g_state.mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, kHookMappingName);
        if (!g_state.mapping) {
            SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, TRUE};
            g_state.mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, descriptor ? &attributes : nullptr,
                                                   PAGE_READWRITE, 0, sizeof(THookSharedData), kHookMappingName);
        }
        if (g_state.mapping) {
            g_state.record = static_cast<THookSharedData*>(::MapViewOfFile(g_state.mapping, FILE_MAP_WRITE, 0, 0, 0));
            if (g_state.record) {
                ++g_state.record->AttachedProcesses;
            } else {
                CloseRecord();
            }
        }
        ::ReleaseMutex(g_state.mutex);
    }
    if (descriptor) ::LocalFree(descriptor);
}

void DetachProcess() noexcept
{
    {
        // One wait, and the count and the clean-up under the same hold: a second wait here could
        // find the mutex taken by a process that never lets go.
        RecordLock lock(kAttachWaitMs);
        if (THookSharedData* record = lock.Record()) {
            // The last process to let go removes hooks that nobody can stop any more.
            if (--record->AttachedProcesses <= 0) StopAllHooks(*record);
        }
        // Not had in time: the record, never written without its mutex, keeps this process's
        // count, which only keeps the last-unload clean-up from running.
    }
    // Unloaded by FreeLibrary the view would otherwise stay mapped for the rest of the process.
    CloseRecord();
    if (g_state.mutex) ::CloseHandle(g_state.mutex);
    g_state.mutex = nullptr;
}

RecordLock::RecordLock(DWORD timeoutMs) noexcept
{
    m_held = g_state.record && WaitForRecordMutex(timeoutMs);
}

RecordLock::~RecordLock() { Release(); }

void RecordLock::Release() noexcept
{
    if (m_held) ::ReleaseMutex(g_state.mutex);
    m_held = false;
}

} // namespace hook
