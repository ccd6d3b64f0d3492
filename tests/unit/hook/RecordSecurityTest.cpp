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

std::wstring SidText(PSID sid)
{
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) return L"?";
    std::wstring result = text;
    ::LocalFree(text);
    return result;
}

std::wstring OwnUserSid()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
    std::vector<BYTE> buffer(512);
    DWORD size = 0;
    std::wstring sid;
    if (::GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size))
        sid = SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
    ::CloseHandle(token);
    return sid;
}

// Everything wrong with an object's security, one line per fault; empty when nothing is. Only the
// creating user and the system may hold more than reading and waiting (`readRights` names the
// object's own reading rights); a label, when there is one, is medium or above and refuses writes.
std::wstring SecurityFaults(HANDLE object, DWORD readRights)
{
    PACL dacl = nullptr;
    PACL sacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD status = ::GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION,
                                     nullptr, nullptr, &dacl, &sacl, &descriptor);
    if (status != ERROR_SUCCESS) return L"security not readable: " + std::to_wstring(status) + L"\n";
    std::wstring faults;
    const std::wstring user = OwnUserSid();
    const DWORD readAndWait = READ_CONTROL | SYNCHRONIZE | GENERIC_READ | GENERIC_EXECUTE | readRights;
    if (!dacl) faults += L"no access list: everybody has full access\n";
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&header)) || header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        const std::wstring sid = SidText(&ace->SidStart);
        if ((ace->Mask & ~readAndWait) != 0 && sid != user && sid != L"S-1-5-18")
            faults += sid + L" may write (mask " + std::to_wstring(ace->Mask) + L")\n";
    }
    for (DWORD i = 0; sacl && i < sacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!::GetAce(sacl, i, reinterpret_cast<void**>(&header)) || header->AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE)
            continue;
        auto* label = reinterpret_cast<SYSTEM_MANDATORY_LABEL_ACE*>(header);
        PSID sid = &label->SidStart;
        DWORD level = *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1);
        if (level < SECURITY_MANDATORY_MEDIUM_RID || !(label->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP))
            faults += L"label " + SidText(sid) + L" policy " + std::to_wstring(label->Mask) + L" lets a lower level write\n";
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
    // A handle made for this process alone: a program it starts inherits no way into the record.
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
    const std::wstring mutexName = TestName(L"squatted-mutex"), mappingName = TestName(L"squatted-mapping");
    HANDLE squattedMutex = ::CreateMutexW(&lowAttributes, FALSE, mutexName.c_str());
    HANDLE squattedMapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, &lowAttributes, PAGE_READWRITE, 0,
                                                  sizeof(THookSharedData), mappingName.c_str());
    ::LocalFree(low);
    ASSERT_TRUE(squattedMutex && squattedMapping);

    bool existed = false;
    HANDLE mutex = hook::OpenRecordMutex(mutexName.c_str(), &existed);
    EXPECT_EQ(nullptr, mutex);
    HANDLE mapping = hook::OpenRecordMapping(mappingName.c_str());
    EXPECT_EQ(nullptr, mapping);
    if (mutex) ::CloseHandle(mutex);
    if (mapping) ::CloseHandle(mapping);

    // Made first by a process of the same level, they are shared as ever.
    const std::wstring sharedName = TestName(L"shared-mutex");
    HANDLE first = hook::OpenRecordMutex(sharedName.c_str(), &existed);
    ASSERT_TRUE(first);
    ::ReleaseMutex(first);
    HANDLE second = hook::OpenRecordMutex(sharedName.c_str(), &existed);
    EXPECT_TRUE(second && existed);
    if (second) ::CloseHandle(second);
    ::CloseHandle(first);
    ::CloseHandle(squattedMutex);
    ::CloseHandle(squattedMapping);
}

} // namespace
