#include "app/Registry.h"

#include <windows.h>

#include <optional>

#include "base/Handles.h"
#include "base/WinUtil.h"
#include "update/CheckNewVersion.h"

void WriteVersionValue()
{
    const std::optional<FileVersion> version = ReadFileVersion(ModuleFileName());
    if (!version) return;
    UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    const std::wstring text = VersionText(version->major, version->minor, version->release, version->build);
    ::RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SetAutoStart(bool on, const RunEntry& entry)
{
    UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS)
        return;
    const bool exists =
        ::RegQueryValueExW(key.get(), entry.valueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    if (on && !exists) {
        ::RegSetValueExW(key.get(), entry.valueName.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(entry.commandLine.c_str()),
                         static_cast<DWORD>((entry.commandLine.size() + 1) * sizeof(wchar_t)));
    } else if (!on && exists) {
        ::RegDeleteValueW(key.get(), entry.valueName.c_str());
    }
}

bool IsAutoStart(const RunEntry& entry)
{
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return false;
    return ::RegQueryValueExW(key.get(), entry.valueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
