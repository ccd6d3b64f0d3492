#include "app/HelpRules.h"

#include "base/Strings.h"

std::optional<HelpTopic> HelpTopicOfContext(unsigned long contextId)
{
    const wchar_t* page = nullptr;
    switch (contextId / 1000) {
    case 1: page = L"launchertab.html"; break;
    case 2:
    case 5: page = L"groupstarttab.html"; break;
    case 3: page = L"optiontab.html"; break;
    case 4: page = L"mainwin.html"; break;
    default: return std::nullopt;
    }
    return HelpTopic{page, L"h" + std::to_wstring(contextId)};
}

namespace {
bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

void AppendEncoded(std::wstring& url, std::wstring_view text, bool keepColon)
{
    constexpr const wchar_t* kHex = L"0123456789ABCDEF";
    for (unsigned char c : WideToUtf8(text)) {
        if (c == '\\' || c == '/') {
            url += L'/';
        } else if (IsUnreserved(c) || (keepColon && c == ':')) {
            url += static_cast<wchar_t>(c);
        } else {
            url += L'%';
            url += kHex[c >> 4];
            url += kHex[c & 0x0F];
        }
    }
}
} // namespace

std::wstring FileUrlOfPath(std::wstring_view path, std::wstring_view anchor)
{
    // The long-path forms name the same file as their plain spelling.
    if (path.starts_with(L"\\\\?\\UNC\\")) path.remove_prefix(8);
    else if (path.starts_with(L"\\\\?\\")) path.remove_prefix(4);
    else if (path.starts_with(L"\\\\")) path.remove_prefix(2);  // the server is the URL's host

    std::wstring url = L"file://";
    const bool drive = path.size() >= 2 && path[1] == L':';
    if (drive) {
        url += L'/';
        AppendEncoded(url, path.substr(0, 2), true);
        path.remove_prefix(2);
    }
    AppendEncoded(url, path, false);
    if (!anchor.empty()) {
        url += L'#';
        AppendEncoded(url, anchor, false);
    }
    return url;
}
