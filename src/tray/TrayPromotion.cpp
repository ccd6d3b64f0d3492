#include "tray/TrayPromotion.h"

#include <shlobj.h>

#include "base/Handles.h"
#include "base/Strings.h"
#include "tray/TrayRules.h"

namespace {
constexpr const wchar_t* kIconSettingsKey = L"Control Panel\\NotifyIconSettings";
constexpr const wchar_t* kPromoted = L"IsPromoted";

// The folders the shell writes by id, as this system has them.
std::vector<KnownFolderPath> KnownFolders()
{
    static const KNOWNFOLDERID* const ids[] = {&FOLDERID_ProgramFilesX64, &FOLDERID_ProgramFilesX86,
                                               &FOLDERID_ProgramFiles,    &FOLDERID_UserProgramFiles,
                                               &FOLDERID_LocalAppData,    &FOLDERID_RoamingAppData,
                                               &FOLDERID_Windows,         &FOLDERID_System,
                                               &FOLDERID_SystemX86,       &FOLDERID_Profile};
    std::vector<KnownFolderPath> folders;
    for (const KNOWNFOLDERID* id : ids) {
        PWSTR path = nullptr;
        if (SUCCEEDED(::SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) {
            wchar_t text[40] = {};
            ::StringFromGUID2(*id, text, 40);
            folders.push_back({ToLowerInvariant(text), ToLowerInvariant(ExcludeTrailingBackslash(path))});
        }
        ::CoTaskMemFree(path);
    }
    return folders;
}

std::optional<DWORD> ReadPromoted(HKEY key)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(key, nullptr, kPromoted, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool WritePromoted(HKEY key, DWORD value)
{
    return ::RegSetValueExW(key, kPromoted, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

UniqueHkey OpenIconSettings(REGSAM access)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kIconSettingsKey, 0, access, &key) != ERROR_SUCCESS) return {};
    return UniqueHkey(key);
}
} // namespace

bool IconSettingsKept() { return static_cast<bool>(OpenIconSettings(KEY_READ)); }

std::vector<IconSetting> PromoteProgramIcons(const std::wstring& programPath)
{
    std::vector<IconSetting> changed;
    UniqueHkey root = OpenIconSettings(KEY_READ);
    if (!root) return changed;
    const std::wstring program = ToLowerInvariant(programPath);
    const std::vector<KnownFolderPath> folders = KnownFolders();
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LSTATUS status = ::RegEnumKeyExW(root.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(root.get(), name, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &raw) != ERROR_SUCCESS) continue;
        UniqueHkey key(raw);
        // The path as stored, with known folders by id: never expanded through the environment.
        wchar_t path[1024] = {};
        DWORD size = sizeof(path);
        if (::RegGetValueW(key.get(), nullptr, L"ExecutablePath", RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS ||
            !ExecutablePathNamesProgram(ToLowerInvariant(path), program, folders))
            continue;
        const std::optional<DWORD> before = ReadPromoted(key.get());
        if (before == 1u) continue;
        if (WritePromoted(key.get(), 1)) changed.push_back({name, before});
    }
    return changed;
}

void RestoreIconSettings(const std::vector<IconSetting>& saved)
{
    UniqueHkey root = OpenIconSettings(KEY_READ);
    if (!root) return;
    for (const IconSetting& setting : saved) {
        HKEY raw = nullptr;
        // A key the shell removed meanwhile is not made again.
        if (::RegOpenKeyExW(root.get(), setting.key.c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) continue;
        UniqueHkey key(raw);
        if (setting.promoted) WritePromoted(key.get(), *setting.promoted);
        else ::RegDeleteValueW(key.get(), kPromoted);
    }
}
