#pragma once
// Real temporary folders for tests, removed with everything in them; paths of any length.

#include <windows.h>

#include <cstring>
#include <string>

// The extended form of a long absolute path, so the calls below take any length.
inline std::wstring LongPathForm(const std::wstring& path)
{
    if (path.size() < 248 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

class TempFolder {
public:
    // A fresh folder under the temporary folder, named after `prefix` (which may hold any characters).
    explicit TempFolder(const std::wstring& prefix = L"lt")
    {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, base);
        static unsigned counter = 0;
        for (;;) {
            m_path = std::wstring(base) + prefix + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                     std::to_wstring(++counter) + L"-" + std::to_wstring(::GetTickCount() % 100000);
            if (::CreateDirectoryW(m_path.c_str(), nullptr)) break;
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { RemoveTree(m_path); }

    // Ends without a backslash.
    const std::wstring& Path() const noexcept { return m_path; }
    std::wstring operator/(const std::wstring& child) const { return m_path + L"\\" + child; }

    static bool MakeFolder(const std::wstring& path)
    {
        return ::CreateDirectoryW(LongPathForm(path).c_str(), nullptr) != FALSE;
    }
    static bool WriteFile(const std::wstring& path, const char* text = "x")
    {
        HANDLE file = ::CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        ::WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
        ::CloseHandle(file);
        return true;
    }
    // Removes a folder and everything in it, read-only and hidden files too; a link to a folder
    // is removed without following it.
    static void RemoveTree(const std::wstring& path)
    {
        const std::wstring full = LongPathForm(path);
        WIN32_FIND_DATAW found{};
        HANDLE find = ::FindFirstFileW((full + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = path + L"\\" + name;
                const std::wstring childFull = LongPathForm(child);
                ::SetFileAttributesW(childFull.c_str(), FILE_ATTRIBUTE_NORMAL);
                const DWORD attributes = found.dwFileAttributes;
                if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    RemoveTree(child);
                else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                    ::RemoveDirectoryW(childFull.c_str());
                else
                    ::DeleteFileW(childFull.c_str());
            } while (::FindNextFileW(find, &found));
            ::FindClose(find);
        }
        ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::RemoveDirectoryW(full.c_str());
    }

private:
    std::wstring m_path;
};

// Reads a whole file's bytes.
inline std::string ReadFileBytes(const std::wstring& path)
{
    std::string data;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return data;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) data.append(buffer, read);
    ::CloseHandle(file);
    return data;
}

inline void WriteFileBytes(const std::wstring& path, const std::string& data)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    ::CloseHandle(file);
}
