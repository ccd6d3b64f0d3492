#pragma once
// Real temporary folders for tests of the Windows shell, removed with everything in them.

#include <windows.h>

#include <cstring>
#include <string>

#include "components/DirMonRules.h"

class TempFolder {
public:
    // A fresh folder under the system's temporary folder; `name` may hold any characters.
    explicit TempFolder(const std::wstring& name = L"dirmon")
    {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        static unsigned counter = 0;
        m_path = std::wstring(temp) + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { RemoveTree(m_path); }

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& child) const { return m_path + L"\\" + child; }

    // Any length: the calls below take the extended form.
    static bool MakeFolder(const std::wstring& path)
    {
        return ::CreateDirectoryW(ExtendedLengthPath(path).c_str(), nullptr) != FALSE;
    }
    static bool WriteFile(const std::wstring& path, const char* text = "x")
    {
        HANDLE file = ::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        ::WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        ::CloseHandle(file);
        return true;
    }
    static void RemoveTree(const std::wstring& path)
    {
        const std::wstring full = ExtendedLengthPath(path);
        WIN32_FIND_DATAW found{};
        HANDLE find = ::FindFirstFileW((full + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = path + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    ::DeleteFileW(ExtendedLengthPath(child).c_str());
            } while (::FindNextFileW(find, &found));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(full.c_str());
    }

private:
    std::wstring m_path;
};
