#include "app/Settings.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>

#include "app/SettingsRules.h"
#include "base/Handles.h"
#include "base/Strings.h"
#include "base/WinUtil.h"

namespace {
constexpr unsigned char kUtf16Bom[] = {0xFF, 0xFE};
constexpr unsigned char kUtf8Bom[] = {0xEF, 0xBB, 0xBF};
// A settings file is a few kilobytes; one beyond this is not read whole into memory.
constexpr LONGLONG kMostConvertedBytes = 64LL << 20;

bool StartsWith(const std::string& bytes, const unsigned char* prefix, std::size_t size)
{
    return bytes.size() >= size &&
           std::equal(prefix, prefix + size, reinterpret_cast<const unsigned char*>(bytes.data()));
}

// Whether a file that is not Unicode keeps the text as it is. The profile functions write such a
// file in the ANSI code page, putting "?" or a look-alike for every character it lacks.
bool FitsAnsiCodePage(std::wstring_view text)
{
    if (text.empty() || ::GetACP() == CP_UTF8) return true;
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return false;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), size, nullptr, &usedDefault);
    if (usedDefault) return false;
    // Some code pages map without a default character and still do not give the text back.
    std::wstring back(text.size(), L'\0');
    const int backLength = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, back.data(), length);
    return backLength == length && back == text;
}

std::optional<std::string> ReadWholeFile(HANDLE file)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart > kMostConvertedBytes) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return std::nullopt;
    return bytes;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size)
{
    DWORD written = 0;
    return ::WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// The text of a file that is not Unicode, as the profile functions read it: in the ANSI code
// page; a UTF-8 byte-order mark says how its author meant it.
std::optional<std::wstring> DecodeSettingsText(const std::string& bytes)
{
    UINT codePage = CP_ACP;
    std::size_t start = 0;
    if (StartsWith(bytes, kUtf8Bom, sizeof(kUtf8Bom))) {
        codePage = CP_UTF8;
        start = sizeof(kUtf8Bom);
    }
    const int length = static_cast<int>(bytes.size() - start);
    if (length == 0) return std::wstring();
    const int size = ::MultiByteToWideChar(codePage, 0, bytes.data() + start, length, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    if (::MultiByteToWideChar(codePage, 0, bytes.data() + start, length, text.data(), size) != size) return std::nullopt;
    return text;
}

// Rewrites a settings file that is not Unicode as UTF-16LE with a byte-order mark, every line
// kept. The new text goes to a file beside it that then takes its name in one step, so a failure
// at any point leaves the file as it was.
bool ConvertToUtf16(const std::wstring& fileName)
{
    const DWORD attributes = ::GetFileAttributesW(fileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::optional<std::string> bytes;
    {
        const UniqueFileHandle file(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        bytes = ReadWholeFile(file.get());
    }
    if (!bytes) return false;
    if (StartsWith(*bytes, kUtf16Bom, sizeof(kUtf16Bom))) return true;
    const std::optional<std::wstring> text = DecodeSettingsText(*bytes);
    if (!text) return false;

    const std::wstring temporary = fileName + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    bool written = false;
    {
        const UniqueFileHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        written = WriteAll(file.get(), kUtf16Bom, sizeof(kUtf16Bom)) &&
                  WriteAll(file.get(), text->data(), text->size() * sizeof(wchar_t)) && ::FlushFileBuffers(file.get());
    }
    const DWORD replace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (written && ::MoveFileExW(temporary.c_str(), fileName.c_str(), replace)) return true;
    ::DeleteFileW(temporary.c_str());
    return false;
}

bool IsUtf16File(const std::wstring& fileName)
{
    const UniqueFileHandle file(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char head[2] = {};
    DWORD read = 0;
    return file && ::ReadFile(file.get(), head, sizeof(head), &read, nullptr) && read == sizeof(head) &&
           head[0] == kUtf16Bom[0] && head[1] == kUtf16Bom[1];
}

// A list of names as the profile functions give it, each ended by a null; `read` fills the
// buffer and returns the characters copied, the buffer's size less 2 when it was too small.
template <typename Read>
std::vector<std::wstring> ReadNameList(Read read)
{
    std::vector<std::wstring> names;
    std::wstring buffer(4096, L'\0');
    DWORD length = 0;
    for (;;) {
        length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
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
} // namespace

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

bool IniFile::PrepareForWrite(std::wstring_view text) const
{
    if (m_fileName.empty()) return false;
    if (!FileExists(m_fileName)) {
        const UniqueFileHandle file(::CreateFileW(m_fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return WriteAll(file.get(), kUtf16Bom, sizeof(kUtf16Bom));
        if (::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return FitsAnsiCodePage(text) || IsUtf16File(m_fileName) || ConvertToUtf16(m_fileName);
}

bool IniFile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const
{
    if (!section || !key || !PrepareForWrite(std::wstring(section) + key + value)) return false;
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
    if (!section) return false;
    // "key=value" strings, each ended by a null, the whole ended by a second null.
    std::wstring block;
    for (const auto& [key, value] : values) {
        block += key;
        block += L'=';
        block += value;
        block += L'\0';
    }
    block += L'\0';
    if (!PrepareForWrite(std::wstring(section) + block)) return false;
    return ::WritePrivateProfileSectionW(section, block.c_str(), m_fileName.c_str()) != FALSE;
}

std::vector<std::wstring> IniFile::SectionNames() const
{
    if (!Exists()) return {};
    return ReadNameList([&](wchar_t* buffer, DWORD size) {
        return ::GetPrivateProfileSectionNamesW(buffer, size, m_fileName.c_str());
    });
}

std::vector<std::wstring> IniFile::KeyNames(const wchar_t* section) const
{
    if (!Exists()) return {};
    return ReadNameList([&](wchar_t* buffer, DWORD size) {
        return ::GetPrivateProfileStringW(section, nullptr, L"", buffer, size, m_fileName.c_str());
    });
}

bool IniFile::EraseSection(const wchar_t* section) const
{
    if (!Exists()) return false;
    bool found = false;
    for (const auto& name : SectionNames())
        if (EqualsOrdinalNoCase(name, section)) found = true;
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
