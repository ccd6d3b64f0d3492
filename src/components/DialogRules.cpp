#include "components/DialogRules.h"

namespace {
std::wstring_view Trim(std::wstring_view text)
{
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
    return text;
}
} // namespace

std::wstring OpenDialogFilter(std::wstring_view filter)
{
    std::wstring result;
    std::size_t parts = 0;
    while (!filter.empty()) {
        const std::size_t bar = filter.find(L'|');
        result += Trim(filter.substr(0, bar));
        result += L'\0';
        ++parts;
        if (bar == std::wstring_view::npos) break;
        filter.remove_prefix(bar + 1);
    }
    // A text without its pattern shows every file.
    if (parts % 2 == 1) result += std::wstring(L"*.*") + L'\0';
    result += L'\0';
    return result;
}

std::vector<std::wstring> MultiSelectFiles(std::wstring_view buffer)
{
    std::vector<std::wstring> parts;
    while (!buffer.empty() && buffer.front() != L'\0') {
        const std::size_t end = buffer.find(L'\0');
        parts.emplace_back(buffer.substr(0, end));
        if (end == std::wstring_view::npos) break;
        buffer.remove_prefix(end + 1);
    }
    if (parts.size() <= 1) return parts;
    std::wstring folder = parts.front();
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    std::vector<std::wstring> files;
    for (std::size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
    return files;
}

bool UsesExtendedOpenFileName(const OsVersion& v)
{
    if (v.platform == OsPlatform::Nt) return v.major >= 5;
    return v.major > 4 || (v.major == 4 && v.minor >= 90);
}

bool UsesSystemOpenDialog(const OsVersion& v) { return IsNt6OrLater(v); }

std::uint32_t BrowseFlagsOf(const BrowseInfoFlagSet& flags)
{
    std::uint32_t result = 0;
    for (BrowseInfoFlag flag : flags) {
        switch (flag) {
        case BrowseInfoFlag::OnlyComputers: result |= 0x1000; break;
        case BrowseInfoFlag::OnlyPrinters: result |= 0x2000; break;
        case BrowseInfoFlag::OnlyDomains: result |= 0x0002; break;
        case BrowseInfoFlag::OnlyAncestors: result |= 0x0008; break;
        case BrowseInfoFlag::OnlyFileSystem: result |= 0x0001; break;
        case BrowseInfoFlag::ShowPath: result |= 0x0004; break;
        case BrowseInfoFlag::EditBox: result |= 0x0010; break;
        case BrowseInfoFlag::Includefiles: result |= 0x4000; break;
        case BrowseInfoFlag::IncludeURLs: result |= 0x0080; break;
        case BrowseInfoFlag::NewDialogStyle: result |= 0x0040; break;
        case BrowseInfoFlag::UsageHint: result |= 0x0100; break;
        case BrowseInfoFlag::HideNewFolderButton: result |= 0x0200; break;
        case BrowseInfoFlag::ShowShared: result |= 0x8000; break;
        case BrowseInfoFlag::Validate: result |= 0x0020; break;
        }
    }
    return result;
}

BrowseInfoFlagSet DefaultBrowseInfoFlags()
{
    return {BrowseInfoFlag::ShowPath, BrowseInfoFlag::NewDialogStyle, BrowseInfoFlag::ShowShared};
}

std::optional<int> RootSpecialFolder(SHFolders root)
{
    switch (root) {
    case SHFolders::foDesktop: return 0;
    case SHFolders::foDesktopExpanded: return std::nullopt;
    case SHFolders::foPrograms: return 2;
    case SHFolders::foControlPanel: return 3;
    case SHFolders::foPrinters: return 4;
    case SHFolders::foPersonal: return 5;
    case SHFolders::foFavorites: return 6;
    case SHFolders::foStartup: return 7;
    case SHFolders::foRecent: return 8;
    case SHFolders::foSendto: return 9;
    case SHFolders::foRecycleBin: return 10;
    case SHFolders::foStartMenu: return 11;
    case SHFolders::foDesktopFolder: return 16;
    case SHFolders::foMyComputer: return 17;
    case SHFolders::foNetwork: return 18;
    case SHFolders::foNetworkNeighborhood: return 19;
    case SHFolders::foFonts: return 20;
    case SHFolders::foTemplates: return 21;
    }
    return std::nullopt;
}

bool UsesNewDialogStyle(unsigned majorVersion, const BrowseInfoFlagSet& flags)
{
    return majorVersion >= 5 && flags.count(BrowseInfoFlag::NewDialogStyle) != 0;
}

ButtonPlace NewFolderButtonPlace(int ppi, int clientHeight, int captionHeight)
{
    switch (ppi) {
    case 72:
    case 96: return {12, clientHeight - 36, 75, 23};
    case 120: return {15, clientHeight - 45, 93, 28};
    case 144: return {17, clientHeight - 56, 112, 35};
    case 192: return {20, clientHeight - 66, 150, 41};
    default: break;
    }
    return {12 * ppi / 96, clientHeight - captionHeight - 17, 75 * ppi / 96, 23 * ppi / 96};
}

int NewFolderButtonWidth(int ppi, int captionWidth)
{
    const int least = ppi == 72 ? 75 : 75 * ppi / 96;
    const int width = captionWidth + 12;
    return width < least ? least : width;
}

std::wstring ShortenDisplayName(std::wstring_view name, std::size_t limit)
{
    if (name.size() <= limit || limit < 6 || name.find(L'\\') == std::wstring_view::npos)
        return std::wstring(name.substr(0, limit));
    std::size_t delimiters = 0;
    for (std::size_t i = 2; i < name.size(); ++i)
        if (name[i] == L'\\') ++delimiters;
    if (delimiters < 2) return std::wstring(name.substr(0, limit));

    std::wstring result;
    std::wstring_view rest = name;
    if (name.find(L'\\') <= 1) {
        // A network path keeps its two leading backslashes.
        result = L"\\\\";
        rest.remove_prefix(2);
    }
    const std::size_t first = rest.find(L'\\');
    result += rest.substr(0, first + 1);
    result += L"...";
    rest.remove_prefix(first + 1);
    // Leading elements go until the end fits.
    while (result.size() + 1 + rest.size() > limit) {
        const std::size_t next = rest.find(L'\\');
        if (next == std::wstring_view::npos) break;
        rest.remove_prefix(next + 1);
    }
    std::wstring answer = result + L"\\" + std::wstring(rest);
    if (answer.size() <= limit) return answer;
    return answer.substr(0, limit - 3) + L"...";
}

std::wstring JoinNewFolderPath(std::wstring_view selection, std::wstring_view name)
{
    std::wstring path(selection);
    const bool nameLeads = !name.empty() && name.front() == L'\\';
    const bool pathEnds = !path.empty() && path.back() == L'\\';
    if (!nameLeads && !pathEnds) path += L'\\';
    path += name;
    return path;
}

std::wstring DefaultCaption(const std::vector<std::wstring>& lines)
{
    for (const auto& line : lines) {
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos && line.compare(0, equals, L"Default") == 0) return line.substr(equals + 1);
    }
    return {};
}
