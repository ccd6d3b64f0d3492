#include "app/Settings.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <optional>

#include "app/SettingsRules.h"
#include "base/Strings.h"
#include "base/WinUtil.h"

bool IniFile::Exists() const { return !m_fileName.empty() && FileExists(m_fileName); }

std::wstring IniFile::ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& defaultValue) const
{
    if (!Exists()) return defaultValue;
    std::wstring buffer(512, L'\0');
    for (;;) {
        DWORD length = ::GetPrivateProfileStringW(section, key, defaultValue.c_str(), buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), m_fileName.c_str());
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 4);
        if (buffer.size() > (1u << 22)) return defaultValue;
    }
}

int IniFile::ReadInteger(const wchar_t* section, const wchar_t* key, int defaultValue) const
{
    if (!Exists()) return defaultValue;
    return ParseIniInteger(ReadString(section, key, L""), defaultValue);
}

bool IniFile::ReadBool(const wchar_t* section, const wchar_t* key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::PrepareForWrite() const
{
    if (m_fileName.empty()) return false;
    if (FileExists(m_fileName)) return true;
    HANDLE file = ::CreateFileW(m_fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_EXISTS;
    static const unsigned char kBom[] = {0xFF, 0xFE};
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, kBom, sizeof(kBom), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == sizeof(kBom);
}

bool IniFile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const
{
    if (!PrepareForWrite()) return false;
    return ::WritePrivateProfileStringW(section, key, value.c_str(), m_fileName.c_str()) != FALSE;
}

bool IniFile::WriteInteger(const wchar_t* section, const wchar_t* key, int value) const
{
    return WriteString(section, key, std::to_wstring(value));
}

bool IniFile::WriteBool(const wchar_t* section, const wchar_t* key, bool value) const
{
    return WriteString(section, key, value ? L"1" : L"0");
}

bool IniFile::WriteSection(const wchar_t* section,
                           const std::vector<std::pair<std::wstring, std::wstring>>& values) const
{
    if (!PrepareForWrite()) return false;
    // "key=value" strings, each ended by a null, the whole ended by a second null.
    std::wstring block;
    for (const auto& [key, value] : values) {
        block += key;
        block += L'=';
        block += value;
        block += L'\0';
    }
    block += L'\0';
    return ::WritePrivateProfileSectionW(section, block.c_str(), m_fileName.c_str()) != FALSE;
}

std::vector<std::wstring> IniFile::SectionNames() const
{
    std::vector<std::wstring> names;
    if (!Exists()) return names;
    std::wstring buffer(4096, L'\0');
    DWORD length = 0;
    for (;;) {
        length = ::GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()), m_fileName.c_str());
        if (length + 2 < buffer.size()) break;
        buffer.resize(buffer.size() * 4);
        if (buffer.size() > (1u << 24)) break;
    }
    for (std::size_t start = 0; start < length;) {
        std::size_t end = buffer.find(L'\0', start);
        if (end == std::wstring::npos || end == start) break;
        names.emplace_back(buffer, start, end - start);
        start = end + 1;
    }
    return names;
}

bool IniFile::EraseSection(const wchar_t* section) const
{
    if (!Exists()) return false;
    bool found = false;
    for (const auto& name : SectionNames())
        if (EqualsNoCase(name, section)) found = true;
    if (!found) return false;
    return ::WritePrivateProfileStringW(section, nullptr, nullptr, m_fileName.c_str()) != FALSE;
}

std::wstring GetSettingsFolder(const std::wstring& maker, const std::wstring& title)
{
    wchar_t appData[MAX_PATH] = {};
    std::wstring base;
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) base = appData;
    for (const std::wstring* word : {&maker, &title}) {
        const std::wstring path = base + L"\\" + *word;
        if (DirectoryExists(path) || ::CreateDirectoryW(path.c_str(), nullptr)) {
            base = path;
        } else {
            ::MessageBoxW(nullptr, L"Cannot create data folder", L"Orvo Launcher", MB_OK);
        }
    }
    return base;
}

bool IsIniWritable(const std::wstring& path)
{
    if (path.empty()) return false;
    const IniFile file(path);
    if (!file.Write(keys::WriteTest, 0)) return false;
    file.EraseSection(keys::kTestSection);
    return true;
}

std::wstring FindIniFileName(const std::wstring& maker, const std::wstring& title,
                             const std::vector<std::wstring>& arguments)
{
    const std::wstring programPath = ModuleFileName();
    // The per-user folders are made only when a choice needs them: a full path on the command line
    // that can be written (a portable start) leaves no trace there.
    std::optional<std::wstring> settingsFolder;
    auto folder = [&]() -> std::wstring {
        if (!settingsFolder) settingsFolder = GetSettingsFolder(maker, title);
        return *settingsFolder;
    };

    const auto candidate = IniCandidateFromArguments(arguments, folder);
    if (candidate && IsIniWritable(*candidate)) return *candidate;
    const std::wstring perUser = folder() + L"\\" + ChangeFileExt(ExtractFileName(programPath), L".ini");
    if (IsIniWritable(perUser)) return perUser;
    return ChangeFileExt(programPath, L".ini");
}

std::vector<std::wstring> ProcessArguments()
{
    std::vector<std::wstring> result;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!argv) return result;
    for (int i = 1; i < count; ++i) result.emplace_back(argv[i]);
    ::LocalFree(argv);
    return result;
}
