#include "items/ItemFiles.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/Handles.h"
#include "base/Strings.h"

namespace {
// The old DOS volume-label attribute; FindFirstFile still reports it on some file systems.
constexpr DWORD kVolumeLabelAttribute = 0x8;
// Internet shortcuts are a few hundred bytes; reading more than this would only stall a load.
constexpr DWORD kMaxInternetShortcutBytes = 1024 * 1024;

std::wstring DecodeShortcutText(const std::string& bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return Utf8ToWide(std::string_view(bytes).substr(3));
    if (bytes.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

template <typename Visit>
void EnumerateFolder(const std::wstring& folder, Visit visit)
{
    const std::wstring pattern = IncludeTrailingBackslash(folder) + L"*.*";
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return;
    do {
        visit(data);
    } while (::FindNextFileW(find.get(), &data));
}

bool IsCollectionFile(const WIN32_FIND_DATAW& data)
{
    return !(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM | kVolumeLabelAttribute));
}

std::uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FileStamp StampOf(const WIN32_FIND_DATAW& data)
{
    FileStamp stamp;
    stamp.LastWrite = FileTimeValue(data.ftLastWriteTime);
    stamp.Size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return stamp;
}
} // namespace

ComPtr<IShellLinkW> LoadShellLink(const std::wstring& fileName)
{
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))))
        return {};
    ComPtr<IPersistFile> file;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) ||
        FAILED(file.get()->Load(fileName.c_str(), STGM_READ)))
        return {};
    return link;
}

ShortcutInfo ReadShortcutInfo(const std::wstring& fileName)
{
    ShortcutInfo info;
    ComPtr<IShellLinkW> link = LoadShellLink(fileName);
    if (!link) return info;
    info.Read = true;

    wchar_t description[INFOTIPSIZE + 1] = {};
    if (SUCCEEDED(link.get()->GetDescription(description, INFOTIPSIZE))) info.Description = description;
    WORD hotKey = 0;
    if (SUCCEEDED(link.get()->GetHotkey(&hotKey))) info.HotKey = hotKey;
    return info;
}

InternetShortcutInfo ReadInternetShortcut(const std::wstring& fileName, bool* read)
{
    if (read) *read = false;
    UniqueFileHandle file(::CreateFileW(fileName.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes;
    char buffer[16384];
    DWORD got = 0;
    bool ok = true;
    while (bytes.size() < kMaxInternetShortcutBytes) {
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    if (read) *read = ok;
    return ParseInternetShortcut(DecodeShortcutText(bytes));
}

Item ReadItem(const std::wstring& fileName, std::uint16_t id, std::int32_t systemIndex, bool* complete)
{
    bool read = true;
    Item item;
    item.Caption = ItemCaption(fileName);
    switch (ItemFileKindOf(fileName)) {
    case ItemFileKind::Shortcut: {
        const ShortcutInfo shortcut = ReadShortcutInfo(fileName);
        read = shortcut.Read;
        item.Hint = shortcut.Description;
        const HotKeyParts parts = SplitHotKey(shortcut.HotKey);
        item.HotKeyKey = parts.Key;
        item.HotKeyModifiers = parts.Modifiers;
        break;
    }
    case ItemFileKind::InternetShortcut: {
        const InternetShortcutInfo shortcut = ReadInternetShortcut(fileName, &read);
        item.Hint = shortcut.Url;
        const HotKeyParts parts = SplitHotKey(static_cast<std::uint32_t>(shortcut.HotKey));
        item.HotKeyKey = parts.Key;
        item.HotKeyModifiers = parts.Modifiers;
        break;
    }
    case ItemFileKind::Other:
        break;
    }
    if (item.Hint.empty()) item.Hint = item.Caption;
    item.Id = id;
    item.FileName = fileName;
    item.ImageIndex = systemIndex;
    if (complete) *complete = read;
    return item;
}

std::vector<std::wstring> ListCollectionFiles(const std::wstring& folder)
{
    const std::wstring prefix = IncludeTrailingBackslash(folder);
    std::vector<std::wstring> files;
    EnumerateFolder(prefix, [&](const WIN32_FIND_DATAW& data) {
        if (IsCollectionFile(data)) files.push_back(prefix + data.cFileName);
    });
    return files;
}

std::uint64_t SystemTimeNow()
{
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

std::vector<ListedFile> ListCollectionEntries(const std::wstring& folder)
{
    const std::wstring prefix = IncludeTrailingBackslash(folder);
    std::vector<ListedFile> files;
    EnumerateFolder(prefix, [&](const WIN32_FIND_DATAW& data) {
        if (IsCollectionFile(data)) files.push_back(ListedFile{prefix + data.cFileName, StampOf(data)});
    });
    return files;
}

MenuFolderEntries ListMenuFolder(const std::wstring& folder)
{
    const std::wstring prefix = IncludeTrailingBackslash(folder);
    MenuFolderEntries entries;
    EnumerateFolder(prefix, [&](const WIN32_FIND_DATAW& data) {
        if (IsCollectionFile(data)) {
            entries.Files.push_back(prefix + data.cFileName);
            entries.FileStamps.push_back(StampOf(data));
            return;
        }
        constexpr DWORD kSkipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | kVolumeLabelAttribute;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & kSkipped) &&
            data.cFileName[0] != L'.')
            entries.SubFolders.push_back(prefix + data.cFileName);
    });
    return entries;
}

std::wstring FoldPathCase(std::wstring_view path)
{
    std::wstring folded(path);
    bool ascii = true;
    for (auto& c : folded) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        else if (c >= 0x80) ascii = false;
    }
    if (ascii || folded.empty()) return folded;
    // The file system compares names through an upper-case table; the invariant mapping matches it.
    std::wstring upper(folded.size(), L'\0');
    const int length = ::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, folded.data(),
                                      static_cast<int>(folded.size()), upper.data(), static_cast<int>(upper.size()));
    if (length <= 0) return folded;
    upper.resize(static_cast<std::size_t>(length));
    return upper;
}

std::string PathSortKeyNoCase(const std::wstring& path)
{
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(path.size());
    const int size = ::LCMapStringW(LOCALE_USER_DEFAULT, kFlags, path.data(), length, nullptr, 0);
    if (size <= 0) return WideToUtf8(path);
    std::string key(static_cast<std::size_t>(size), '\0');
    // A sort key is bytes, written through the wide-character pointer.
    ::LCMapStringW(LOCALE_USER_DEFAULT, kFlags, path.data(), length, reinterpret_cast<LPWSTR>(key.data()), size);
    return key;
}

bool LessPathNoCase(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_LESS_THAN;
}
