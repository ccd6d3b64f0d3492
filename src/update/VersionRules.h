#pragma once
// The rules of the update check that need no system: reading the server's version text, comparing
// versions and the texts shown for the answer.

#include <optional>
#include <string>
#include <string_view>

struct FileVersion {
    unsigned major = 0, minor = 0, release = 0, build = 0;
};

// Four decimal numbers separated by "." (major.minor.release.build), surrounding white space ignored.
// The text is split at its first three dots; a part that is not a plain decimal number (empty, signed,
// too large, holding other characters) counts as 0. Fewer than three dots is not a version: nullopt.
std::optional<FileVersion> ParseVersionText(std::wstring_view text);

// Field by field: major first, then minor, release and build.
bool IsNewerVersion(const FileVersion& candidate, const FileVersion& current);

// "%d.%d.%d (Build %d)".
std::wstring VersionDisplayText(const FileVersion& version);

// The server's text names a newer version than `current`: its display text; otherwise nullopt
// (also when the text is not a version).
std::optional<std::wstring> NewerVersionText(const FileVersion& current, std::wstring_view serverText);

// The question asked when a newer version exists, and the answer for every other outcome.
std::wstring NewVersionQuestion(const std::wstring& versionText);
inline constexpr const wchar_t* kLatestVersionMessage = L"You have the latest version.";
