#include "app/Registry.h"

#include <windows.h>

#include <vector>

#include "base/Handles.h"
#include "base/WinUtil.h"

bool ReadProgramVersion(ProgramVersion& version)
{
    const std::wstring path = ModuleFileName();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<unsigned char> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || !info) return false;
    version.major = HIWORD(info->dwFileVersionMS);
    version.minor = LOWORD(info->dwFileVersionMS);
    version.release = HIWORD(info->dwFileVersionLS);
    version.build = LOWORD(info->dwFileVersionLS);
    return true;
}

void WriteVersionValue()
{
    ProgramVersion version;
    if (!ReadProgramVersion(version)) return;
    UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    const std::wstring text = VersionText(version.major, version.minor, version.release, version.build);
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
