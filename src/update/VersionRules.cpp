#include "update/VersionRules.h"

#include <cstdint>
#include <limits>
#include <tuple>

namespace {
constexpr bool IsWhiteSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f' || c == L'\v';
}

std::wstring_view Trimmed(std::wstring_view text)
{
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

unsigned NumberOrZero(std::wstring_view part)
{
    part = Trimmed(part);
    if (part.empty()) return 0;
    std::uint64_t value = 0;
    for (wchar_t c : part) {
        if (c < L'0' || c > L'9') return 0;
        value = value * 10 + static_cast<unsigned>(c - L'0');
        if (value > std::numeric_limits<unsigned>::max()) return 0;
    }
    return static_cast<unsigned>(value);
}
} // namespace

std::optional<FileVersion> ParseVersionText(std::wstring_view text)
{
    text = Trimmed(text);
    std::wstring_view parts[4];
    for (int i = 0; i < 3; ++i) {
        const std::size_t dot = text.find(L'.');
        if (dot == std::wstring_view::npos) return std::nullopt;
        parts[i] = text.substr(0, dot);
        text.remove_prefix(dot + 1);
    }
    parts[3] = text;
    return FileVersion{NumberOrZero(parts[0]), NumberOrZero(parts[1]), NumberOrZero(parts[2]), NumberOrZero(parts[3])};
}

bool IsNewerVersion(const FileVersion& candidate, const FileVersion& current)
{
    return std::tie(candidate.major, candidate.minor, candidate.release, candidate.build) >
           std::tie(current.major, current.minor, current.release, current.build);
}

std::wstring VersionDisplayText(const FileVersion& version)
{
    return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L"." +
           std::to_wstring(version.release) + L" (Build " + std::to_wstring(version.build) + L")";
}

UpdateAnswer AnswerOfResponse(const FileVersion& current, unsigned status, std::wstring_view body)
{
    constexpr unsigned kHttpOk = 200;
    if (status != kHttpOk)
        return {UpdateAnswer::Kind::Failed, L"the server answered with HTTP status " + std::to_wstring(status) + L"."};
    const std::optional<FileVersion> server = ParseVersionText(body);
    if (!server) return {UpdateAnswer::Kind::Failed, L"the server's reply is not a version number."};
    if (!IsNewerVersion(*server, current)) return {UpdateAnswer::Kind::Latest, {}};
    return {UpdateAnswer::Kind::Newer, VersionDisplayText(*server)};
}

UpdateAnswer AnswerOfFailure(FetchFailure failure, unsigned long systemError)
{
    switch (failure) {
    case FetchFailure::NoAnswer:
        return {UpdateAnswer::Kind::Failed, L"the server did not answer."};
    case FetchFailure::NoConnection:
        return {UpdateAnswer::Kind::Failed, L"there is no connection to the server."};
    case FetchFailure::Unreadable:
        return {UpdateAnswer::Kind::Failed, L"the server's reply is not a version number."};
    case FetchFailure::RedirectRefused:
        return {UpdateAnswer::Kind::Failed, L"the server redirected to an address that is not allowed."};
    case FetchFailure::None:
    case FetchFailure::Other:
        break;
    }
    if (systemError == 0) return {UpdateAnswer::Kind::Failed, L"the request failed."};
    return {UpdateAnswer::Kind::Failed, L"the request failed (error " + std::to_wstring(systemError) + L")."};
}

UpdateAnswer AnswerOfUnknownVersion()
{
    return {UpdateAnswer::Kind::Failed, L"the version of this program cannot be read."};
}

std::wstring NewVersionQuestion(const std::wstring& versionText)
{
    return L"A new version " + versionText + L" is available.\r\nDo you want to visit the website now?";
}

std::wstring CannotCheckMessage(const std::wstring& reason) { return L"Cannot check for a new version: " + reason; }
