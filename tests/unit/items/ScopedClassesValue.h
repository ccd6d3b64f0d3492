#pragma once
// Temporarily replaces a string value under HKEY_CLASSES_ROOT for one test and puts everything back
// afterwards: the old value, or no value, or no key at all.

#include <windows.h>

#include <optional>
#include <string>

#include "base/Strings.h"

namespace item_test {

class ScopedClassesValue {
public:
    // The per-user classes override the machine's; where the system does not merge them into
    // HKEY_CLASSES_ROOT the value is written there directly.
    ScopedClassesValue(const std::wstring& subKey, const std::wstring& valueName, const std::wstring& value)
    {
        const std::wstring userKey = L"Software\\Classes\\" + subKey;
        Write(HKEY_CURRENT_USER, userKey, valueName, value);
        if (ReadBack(subKey, valueName) == value) return;
        Restore();
        Write(HKEY_CLASSES_ROOT, subKey, valueName, value);
    }
    ~ScopedClassesValue() { Restore(); }
    ScopedClassesValue(const ScopedClassesValue&) = delete;
    ScopedClassesValue& operator=(const ScopedClassesValue&) = delete;

private:
    static bool KeyExists(HKEY root, const std::wstring& subKey)
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }

    static std::optional<std::wstring> ReadValue(HKEY root, const std::wstring& subKey, const std::wstring& name)
    {
        wchar_t buffer[4096];
        DWORD size = sizeof buffer - sizeof(wchar_t);
        DWORD type = 0;
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
        const LONG status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        ::RegCloseKey(key);
        if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        buffer[size / sizeof(wchar_t)] = L'\0';
        return std::wstring(buffer);
    }

    static std::optional<std::wstring> ReadBack(const std::wstring& subKey, const std::wstring& name)
    {
        return ReadValue(HKEY_CLASSES_ROOT, subKey, name);
    }

    void Write(HKEY root, const std::wstring& subKey, const std::wstring& name, const std::wstring& value)
    {
        m_root = root;
        m_subKey = subKey;
        m_name = name;
        // The outermost key that does not exist yet is deleted as a whole afterwards.
        m_createdKey.clear();
        for (std::size_t pos = 0; pos != std::wstring::npos;) {
            pos = subKey.find(L'\\', pos + 1);
            const std::wstring prefix = subKey.substr(0, pos);
            if (!KeyExists(root, prefix)) {
                m_createdKey = prefix;
                break;
            }
        }
        m_oldValue = m_createdKey.empty() ? ReadValue(root, subKey, name) : std::nullopt;
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
        m_written = true;
    }

    void Restore()
    {
        if (!m_written) return;
        m_written = false;
        if (!m_createdKey.empty()) {
            ::RegDeleteTreeW(m_root, m_createdKey.c_str());
            ::RegDeleteKeyW(m_root, m_createdKey.c_str());
            return;
        }
        HKEY key = nullptr;
        if (::RegOpenKeyExW(m_root, m_subKey.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
        if (m_oldValue)
            ::RegSetValueExW(key, m_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(m_oldValue->c_str()),
                             static_cast<DWORD>((m_oldValue->size() + 1) * sizeof(wchar_t)));
        else
            ::RegDeleteValueW(key, m_name.c_str());
        ::RegCloseKey(key);
    }

    HKEY m_root = nullptr;
    std::wstring m_subKey;
    std::wstring m_name;
    std::wstring m_createdKey;
    std::optional<std::wstring> m_oldValue;
    bool m_written = false;
};

} // namespace item_test
