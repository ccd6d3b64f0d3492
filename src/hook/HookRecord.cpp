#include "hook/HookRecord.h"

#include <aclapi.h>

namespace hook {

ProcessState g_state;

namespace {

DWORD LastSubAuthority(PSID sid) noexcept { return *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1); }

// The security both named objects are made with: `fullAccess` for this process's user and for the
// system, nothing for anybody else, and no mandatory label, so each object has its creator's
// integrity level and refuses writes from below it. A lower level of the same user may then at
// most read and wait; it can neither write the receiver into the record nor take the lock's
// ownership or change either's security. Without the token's user the creator's defaults are used.
class RecordSecurity {
public:
    explicit RecordSecurity(DWORD fullAccess) noexcept
    {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        DWORD size = 0;
        const bool known = ::GetTokenInformation(token, TokenUser, m_user, sizeof(m_user), &size);
        ::CloseHandle(token);
        if (!known) return;
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        PSID system = m_system;
        if (!::InitializeSid(system, &nt, 1)) return;
        *::GetSidSubAuthority(system, 0) = SECURITY_LOCAL_SYSTEM_RID;
        PSID user = reinterpret_cast<TOKEN_USER*>(m_user)->User.Sid;
        auto* acl = reinterpret_cast<PACL>(m_acl);
        m_built = ::InitializeAcl(acl, sizeof(m_acl), ACL_REVISION) &&
                  ::AddAccessAllowedAce(acl, ACL_REVISION, fullAccess, user) &&
                  ::AddAccessAllowedAce(acl, ACL_REVISION, fullAccess, system) &&
                  ::InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                  ::SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE);
        // Not inheritable: a program the launcher starts gets no handle into the record.
        m_attributes = {sizeof(m_attributes), &m_descriptor, FALSE};
    }
    RecordSecurity(const RecordSecurity&) = delete;
    RecordSecurity& operator=(const RecordSecurity&) = delete;

    SECURITY_ATTRIBUTES* Attributes() noexcept { return m_built ? &m_attributes : nullptr; }

private:
    alignas(void*) BYTE m_user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
    alignas(DWORD) BYTE m_system[SECURITY_MAX_SID_SIZE] = {};
    alignas(DWORD) BYTE m_acl[sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)] = {};
    SECURITY_DESCRIPTOR m_descriptor{};
    SECURITY_ATTRIBUTES m_attributes{};
    bool m_built = false;
};

// The integrity level of this process; 0 on systems without integrity levels.
DWORD OwnIntegrityLevel() noexcept
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return 0;
    alignas(void*) BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    DWORD level = 0;
    if (::GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof(buffer), &size))
        level = LastSubAuthority(reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid);
    ::CloseHandle(token);
    return level;
}

// The integrity level of an object: its mandatory label's, medium for an object without one.
DWORD ObjectIntegrityLevel(HANDLE object) noexcept
{
    PACL sacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD level = SECURITY_MANDATORY_MEDIUM_RID;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, LABEL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, &sacl,
                          &descriptor) != ERROR_SUCCESS)
        return level;
    for (DWORD i = 0; sacl && i < sacl->AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (::GetAce(sacl, i, reinterpret_cast<void**>(&ace)) && ace->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE)
            level = LastSubAuthority(&reinterpret_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace)->SidStart);
    }
    ::LocalFree(descriptor);
    return level;
}

// An object that existed already is used only if no process below this one (below medium, for a
// process above it) can have made it: a low-integrity process that made the record first would
// choose who may write it, and so which window gets every keystroke of the desktop. Closes the
// handle of one that is refused.
HANDLE Trusted(HANDLE object) noexcept
{
    const DWORD own = OwnIntegrityLevel();
    const DWORD least = own < SECURITY_MANDATORY_MEDIUM_RID ? own : SECURITY_MANDATORY_MEDIUM_RID;
    if (ObjectIntegrityLevel(object) >= least) return object;
    ::CloseHandle(object);
    return nullptr;
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

// Opens the record and counts this process in it, with the mutex held. Tried once: a process that
// cannot have it now goes on without it.
void OpenRecord() noexcept
{
    g_state.mapping = OpenRecordMapping(kHookMappingName);
    auto* record = g_state.mapping
                       ? static_cast<THookSharedData*>(::MapViewOfFile(g_state.mapping, FILE_MAP_WRITE, 0, 0, 0))
                       : nullptr;
    if (record) {
        ++record->AttachedProcesses;
        g_state.record = record;
    } else {
        CloseRecord();
    }
    g_state.recordPending = false;
}

} // namespace

HANDLE OpenRecordMutex(const wchar_t* name, bool* existed) noexcept
{
    RecordSecurity security(MUTEX_ALL_ACCESS);
    HANDLE mutex = ::CreateMutexW(security.Attributes(), TRUE, name);
    *existed = mutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
    return *existed ? Trusted(mutex) : mutex;
}

HANDLE OpenRecordMapping(const wchar_t* name) noexcept
{
    RecordSecurity security(FILE_MAP_ALL_ACCESS);
    HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, security.Attributes(), PAGE_READWRITE, 0,
                                          sizeof(THookSharedData), name);
    return mapping && ::GetLastError() == ERROR_ALREADY_EXISTS ? Trusted(mapping) : mapping;
}

void AttachProcess(HINSTANCE module) noexcept
{
    g_state.module = module;
    g_state.shellMessage = ::RegisterWindowMessageW(kWatchShellMessage);
    g_state.keyMessage = ::RegisterWindowMessageW(kWatchKeyMessage);
    g_state.mouseMessage = ::RegisterWindowMessageW(kWatchMouseMessage);

    // A process below the level of the objects' creator (a sandboxed browser that received hooked
    // input) may not open them with write access, and stays without a record like any other
    // process that cannot have it: its posts to the receiver would be dropped anyway.
    bool existed = false;
    g_state.mutex = OpenRecordMutex(kHookMutexName, &existed);
    if (!g_state.mutex) return;
    if (existed && !WaitForRecordMutex(kAttachWaitMs)) {
        // Held elsewhere: the first hook procedure or export that gets the mutex opens the record,
        // outside the loader lock. Until then this process touches nothing shared.
        g_state.recordPending = true;
        return;
    }
    OpenRecord();
    ::ReleaseMutex(g_state.mutex);
}

void DetachProcess() noexcept
{
    // Never opened: nothing to give back.
    g_state.recordPending = false;
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
    // The flag first: it is cleared only after the record is stored.
    const bool pending = g_state.recordPending;
    if (!pending && !g_state.record) return;
    m_held = WaitForRecordMutex(timeoutMs);
    if (m_held && g_state.recordPending) OpenRecord();
    if (!g_state.record) Release();
}

RecordLock::~RecordLock() { Release(); }

void RecordLock::Release() noexcept
{
    if (m_held) ::ReleaseMutex(g_state.mutex);
    m_held = false;
}

} // namespace hook
