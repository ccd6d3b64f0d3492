#pragma once
// Keeps the per-user state the program writes as a test found it: the settings folders under the
// per-user application data folder, the program's registry key, and the Run values named. What
// is there is set aside when the guard is made and put back when it goes, also when an assertion
// ends the test early, so the suite can run on a developer's own Windows account.

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <vector>

#include "common/TempFolder.h"

class ScopedPerUserState {
public:
    static constexpr const wchar_t* kProgramKey = L"Software\\Orvo Solution";
    static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    // With `setFolderAside` false only the registry is kept (for tests that never use the folder).
    explicit ScopedPerUserState(std::vector<std::wstring> runValues = {}, bool setFolderAside = true)
    {
        const std::wstring suffix = L" (kept by test " + std::to_wstring(::GetCurrentProcessId()) + L")";
        m_folder = MakerFolder();
        m_folderBackup = m_folder + suffix;
        if (setFolderAside) {
            // A folder that cannot be moved (a running copy of the program watches it) is left
            // alone, and never removed afterwards.
            const bool existed = ::GetFileAttributesW(m_folder.c_str()) != INVALID_FILE_ATTRIBUTES;
            m_folderMoved = existed && ::MoveFileExW(m_folder.c_str(), m_folderBackup.c_str(), 0) != FALSE;
            m_folderOurs = !existed || m_folderMoved;
        }

        m_keyBackup = std::wstring(kProgramKey) + suffix;
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            HKEY backup = nullptr;
            if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_keyBackup.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &backup, nullptr) == ERROR_SUCCESS) {
                m_keyCopied = ::RegCopyTreeW(key, nullptr, backup) == ERROR_SUCCESS;
                ::RegCloseKey(backup);
            }
            ::RegCloseKey(key);
        }
        for (auto& name : runValues) m_runValues.push_back({name, ReadRunValue(name)});
    }
    ScopedPerUserState(const ScopedPerUserState&) = delete;
    ScopedPerUserState& operator=(const ScopedPerUserState&) = delete;

    ~ScopedPerUserState()
    {
        if (m_folderOurs) TempFolder::RemoveTree(m_folder);
        if (m_folderMoved) ::MoveFileExW(m_folderBackup.c_str(), m_folder.c_str(), 0);

        ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
        if (m_keyCopied) {
            HKEY backup = nullptr, key = nullptr;
            if (::RegOpenKeyExW(HKEY_CURRENT_USER, m_keyBackup.c_str(), 0, KEY_READ, &backup) == ERROR_SUCCESS) {
                if (::RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                      nullptr) == ERROR_SUCCESS) {
                    ::RegCopyTreeW(backup, nullptr, key);
                    ::RegCloseKey(key);
                }
                ::RegCloseKey(backup);
            }
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_keyBackup.c_str());

        for (const auto& [name, value] : m_runValues) {
            if (value) ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, name.c_str(), REG_SZ, value->c_str(),
                                         static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
            else ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, name.c_str());
        }
    }

    // %APPDATA%\Orvo Solution: what the program creates for its per-user settings.
    static std::wstring MakerFolder()
    {
        wchar_t appData[MAX_PATH] = {};
        ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
        return std::wstring(appData) + L"\\Orvo Solution";
    }

    static std::optional<std::wstring> ReadRunValue(const std::wstring& name)
    {
        wchar_t data[2048] = {};
        DWORD size = sizeof(data);
        if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(data);
    }

private:
    std::wstring m_folder, m_folderBackup, m_keyBackup;
    bool m_folderMoved = false;
    bool m_folderOurs = false;
    bool m_keyCopied = false;
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> m_runValues;
};
