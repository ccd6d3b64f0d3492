#pragma once
// A uniquely named temporary folder, removed with everything in it when the test ends.

#include <windows.h>
#include <shellapi.h>

#include <string>

class TempFolder {
public:
    explicit TempFolder(const std::wstring& prefix = L"lt")
    {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        static unsigned counter = 0;
        for (;;) {
            m_path = std::wstring(base) + prefix + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                     std::to_wstring(++counter) + L"_" + std::to_wstring(::GetTickCount());
            if (::CreateDirectoryW(m_path.c_str(), nullptr)) break;
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { RemoveTree(m_path); }

    const std::wstring& Path() const noexcept { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

    static void RemoveTree(const std::wstring& path)
    {
        std::wstring from = path;
        from.push_back(L'\0');  // double-null terminated
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationW(&op);
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
