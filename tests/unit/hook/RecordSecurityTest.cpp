// The security of the record's named objects, read back from objects made under names of this test:
// no mandatory label and no access entry may let a process below the creator's level write the
// record, take its lock's ownership or change either's security, and an object that such a process
// made first is never used.

#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "hook/HookRecord.h"

namespace {

std::wstring TestName(const wchar_t* role)
{
    return std::wstring(L"OrvoHookSecurityTest.") + role + L"." + std::to_wstring(::GetCurrentProcessId());
}

// Everything wrong with an object's security, one line per fault. Only this process's user and the
// system may hold more than reading and waiting (`readRights`: the object's own reading rights); a
// label, if there is one, is medium or above and refuses writes from below.
std::wstring SecurityFaults(HANDLE object, DWORD readRights)
{
    std::vector<BYTE> user(512);
    HANDLE token = nullptr;
    DWORD size = 0;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) ||
        !::GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size))
        return L"no token user\n";
    ::CloseHandle(token);
    PSID userSid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;

    PACL dacl = nullptr, sacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION, nullptr,
                          nullptr, &dacl, &sacl, &descriptor) != ERROR_SUCCESS)
        return L"security not readable\n";
    std::wstring faults = dacl ? L"" : L"no access list: everybody has full access\n";
    const DWORD readAndWait = READ_CONTROL | SYNCHRONIZE | GENERIC_READ | GENERIC_EXECUTE | readRights;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        PSID sid = &ace->SidStart;
        if ((ace->Mask & ~readAndWait) && !::EqualSid(sid, userSid) && !::IsWellKnownSid(sid, WinLocalSystemSid))
            faults += L"entry " + std::to_wstring(i) + L" lets another account write\n";
    }
    for (DWORD i = 0; sacl && i < sacl->AceCount; ++i) {
        SYSTEM_MANDATORY_LABEL_ACE* label = nullptr;
        if (!::GetAce(sacl, i, reinterpret_cast<void**>(&label)) ||
            label->Header.AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE)
            continue;
        PSID sid = &label->SidStart;
        DWORD level = *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1);
        if (level < SECURITY_MANDATORY_MEDIUM_RID || !(label->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP))
            faults += L"label of level " + std::to_wstring(level) + L" lets a lower level write\n";
    }
    ::LocalFree(descriptor);
    return faults;
}

TEST(HookRecordSecurity, NewObjectsLetNoLowerLevelWrite)
{
    bool existed = true;
    HANDLE mutex = hook::OpenRecordMutex(TestName(L"mutex").c_str(), &existed);
    ASSERT_TRUE(mutex);
    EXPECT_FALSE(existed);
    HANDLE mapping = hook::OpenRecordMapping(TestName(L"mapping").c_str());
    ASSERT_TRUE(mapping);

    EXPECT_EQ(L"", SecurityFaults(mutex, MUTANT_QUERY_STATE));
    EXPECT_EQ(L"", SecurityFaults(mapping, SECTION_QUERY | SECTION_MAP_READ | SECTION_MAP_EXECUTE));
    // A handle for this process alone: a program it starts inherits no way into the record.
    DWORD flags = 0;
    EXPECT_TRUE(::GetHandleInformation(mapping, &flags) && !(flags & HANDLE_FLAG_INHERIT));
    ::CloseHandle(mapping);
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}

// A low-integrity process that made the objects before the program started would choose who may
// write the record, and so whom every hooked keystroke is posted to.
TEST(HookRecordSecurity, ObjectsMadeFirstByALowerLevelAreNotUsed)
{
    PSECURITY_DESCRIPTOR low = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"S:(ML;;NW;;;LW)", SDDL_REVISION_1, &low,
                                                                       nullptr));
    SECURITY_ATTRIBUTES lowAttributes{sizeof(lowAttributes), low, FALSE};
    const std::wstring mutexName = TestName(L"low-mutex"), mappingName = TestName(L"low-mapping");
    HANDLE lowMutex = ::CreateMutexW(&lowAttributes, FALSE, mutexName.c_str());
    HANDLE lowMapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, &lowAttributes, PAGE_READWRITE, 0,
                                             sizeof(THookSharedData), mappingName.c_str());
    ::LocalFree(low);
    ASSERT_TRUE(lowMutex && lowMapping);

    bool existed = false;
    EXPECT_EQ(nullptr, hook::OpenRecordMutex(mutexName.c_str(), &existed));
    EXPECT_EQ(nullptr, hook::OpenRecordMapping(mappingName.c_str()));

    // Made first by a process of the same level, they are shared as ever.
    HANDLE first = hook::OpenRecordMutex(TestName(L"shared-mutex").c_str(), &existed);
    ASSERT_TRUE(first);
    ::ReleaseMutex(first);
    HANDLE second = hook::OpenRecordMutex(TestName(L"shared-mutex").c_str(), &existed);
    EXPECT_TRUE(second && existed);
    for (HANDLE handle : {second, first, lowMutex, lowMapping})
        if (handle) ::CloseHandle(handle);
}

} // namespace
