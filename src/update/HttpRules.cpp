#include "update/HttpRules.h"

#include <utility>

#include "base/Strings.h"

namespace {
std::wstring_view Trimmed(std::wstring_view text)
{
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t' || text.back() == L'\r')) text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// "http://host:port" of an absolute address (without a trailing slash); empty when it has none.
std::wstring_view Origin(std::wstring_view url)
{
    const std::size_t scheme = url.find(L"://");
    if (scheme == std::wstring_view::npos) return {};
    const std::size_t path = url.find_first_of(L"/?#", scheme + 3);
    return path == std::wstring_view::npos ? url : url.substr(0, path);
}
} // namespace

std::optional<std::wstring> RedirectTarget(std::wstring_view rawHeaders)
{
    bool statusLine = true;
    while (!rawHeaders.empty()) {
        const std::size_t end = rawHeaders.find(L'\n');
        std::wstring_view line = rawHeaders.substr(0, end);
        rawHeaders.remove_prefix(end == std::wstring_view::npos ? rawHeaders.size() : end + 1);
        if (std::exchange(statusLine, false)) continue;
        const std::size_t colon = line.find(L':');
        if (colon == std::wstring_view::npos || !EqualsNoCase(Trimmed(line.substr(0, colon)), L"location")) continue;
        const std::wstring_view target = Trimmed(line.substr(colon + 1));
        if (target.empty()) return std::nullopt;
        return std::wstring(target);
    }
    return std::nullopt;
}

bool IsHttpAddress(std::wstring_view url)
{
    return (StartsWithNoCase(url, L"http://") && url.size() > 7) || (StartsWithNoCase(url, L"https://") && url.size() > 8);
}

std::optional<std::wstring> ResolveRedirect(std::wstring_view base, std::wstring_view target)
{
    if (target.empty() || !IsHttpAddress(base)) return std::nullopt;
    if (target.find(L"://") != std::wstring_view::npos) {
        if (!IsHttpAddress(target)) return std::nullopt;
        if (StartsWithNoCase(base, L"https://") && !StartsWithNoCase(target, L"https://")) return std::nullopt;
        return std::wstring(target);
    }
    if (target.rfind(L"//", 0) == 0) return std::wstring(base.substr(0, base.find(L"://") + 1)) + std::wstring(target);
    const std::wstring_view origin = Origin(base);
    if (target.front() == L'/') return std::wstring(origin) + std::wstring(target);
    // A relative path: beside the last segment of the base path (query and fragment dropped).
    std::wstring_view path = base.substr(origin.size());
    path = path.substr(0, path.find_first_of(L"?#"));
    const std::size_t slash = path.rfind(L'/');
    const std::wstring_view folder = slash == std::wstring_view::npos ? std::wstring_view(L"/") : path.substr(0, slash + 1);
    return std::wstring(origin) + std::wstring(folder) + std::wstring(target);
}

std::wstring BodyText(std::string_view body)
{
    if (body.rfind("\xEF\xBB\xBF", 0) == 0) body.remove_prefix(3);
    return Utf8ToWide(body);
}
