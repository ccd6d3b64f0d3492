#include "items/ItemRules.h"

#include <limits>

#include "base/Strings.h"

std::wstring ItemCaption(std::wstring_view fileName)
{
    std::wstring name = ExtractFileName(fileName);
    if (name.find(L'.') == std::wstring::npos) return name;
    // A name of four characters or fewer would lose everything: an entry without a caption
    // cannot be told from another, so it keeps its whole name.
    if (name.size() <= 4) return name;
    name.resize(name.size() - 4);
    return name;
}

ItemFileKind ItemFileKindOf(std::wstring_view fileName)
{
    const std::wstring ext = ToLowerInvariant(ExtractFileExt(fileName));
    if (ext == L".lnk") return ItemFileKind::Shortcut;
    if (ext == L".url") return ItemFileKind::InternetShortcut;
    return ItemFileKind::Other;
}

InternetShortcutInfo ParseInternetShortcut(std::wstring_view text)
{
    InternetShortcutInfo info;
    bool haveUrl = false;
    bool haveHotKey = false;
    std::size_t pos = 0;
    while (pos < text.size() && !(haveUrl && haveHotKey)) {
        std::size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring_view::npos) end = text.size();
        const std::wstring_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size()) pos += (text[pos] == L'\r' && pos + 1 < text.size() && text[pos + 1] == L'\n') ? 2 : 1;

        const std::size_t eq = line.find(L'=');
        if (eq == std::wstring_view::npos) continue;
        const std::wstring_view name = line.substr(0, eq);
        const std::wstring_view value = line.substr(eq + 1);
        if (!haveUrl && EqualsNoCase(name, L"URL")) {
            info.Url = std::wstring(value);
            haveUrl = true;
        } else if (!haveHotKey && EqualsNoCase(name, L"HotKey")) {
            info.HotKey = ParseHotKeyNumber(value);
            haveHotKey = true;
        }
    }
    return info;
}

std::int32_t ParseHotKeyNumber(std::wstring_view value)
{
    std::size_t i = 0;
    bool negative = false;
    if (!value.empty() && (value[0] == L'+' || value[0] == L'-')) {
        negative = value[0] == L'-';
        i = 1;
    }
    if (i == value.size()) return 0;
    std::int64_t number = 0;
    for (; i < value.size(); ++i) {
        if (value[i] < L'0' || value[i] > L'9') return 0;
        number = number * 10 + (value[i] - L'0');
        if (number > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return 0;
    }
    if (negative) number = -number;
    if (number > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(number);
}

HotKeyParts SplitHotKey(std::uint32_t value)
{
    return {static_cast<std::uint16_t>(value & 0xFF), static_cast<std::uint16_t>((value >> 8) & 0xFF)};
}

bool IsBareMailto(std::wstring_view url) { return EqualsNoCase(url, L"mailto:"); }

std::wstring BrowserPathFromCommand(std::wstring_view command)
{
    if (!command.empty() && command[0] == L'"') {
        const std::size_t close = command.find(L'"', 1);
        return std::wstring(command.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1));
    }
    return std::wstring(command.substr(0, command.find(L' ')));
}

std::wstring QuoteUrlArgument(std::wstring_view url)
{
    std::wstring result = L"\"";
    for (wchar_t c : url) {
        if (c == L'"') result += L"%22";
        else result += c;
    }
    // Backslashes right before the closing quote would escape it; doubled they stay literal.
    std::size_t trailing = 0;
    while (trailing < url.size() && url[url.size() - 1 - trailing] == L'\\') ++trailing;
    result.append(trailing, L'\\');
    result += L'"';
    return result;
}

std::wstring ReplaceFirstPercentOne(std::wstring_view command, std::wstring_view argument)
{
    std::wstring result(command);
    const std::size_t pos = result.find(L"%1");
    if (pos != std::wstring::npos) result.replace(pos, 2, argument);
    return result;
}

bool SharesSystemImages(const OsVersion& version, std::wstring_view themeActive, std::wstring_view compatLayers)
{
    const bool xpClass = version.platform == OsPlatform::Nt && version.major == 5 && version.minor > 0;
    if (!xpClass) return false;
    return themeActive == L"1" && compatLayers.find(L"DISABLETHEMES") == std::wstring_view::npos;
}
