#pragma once
// The rules of the update check that need no system: reading the server's version text, comparing
// versions, what a download comes to and the texts shown for the answer.

#include <optional>
#include <string>
#include <string_view>

#include "update/HttpRules.h"

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

// What a check comes to: a newer version (`text` is its display text), none, or a failure (`text`
// says why, as the end of a sentence).
struct UpdateAnswer {
    enum class Kind { Newer, Latest, Failed };
    Kind kind = Kind::Failed;
    std::wstring text;
};

// The answer a response gives. Only status 200 counts (an error page is never a version text), and
// only a readable version that is not newer than `current` is the latest.
UpdateAnswer AnswerOfResponse(const FileVersion& current, unsigned status, std::wstring_view body);
// The answer when no response came; `systemError` is told for FetchFailure::Other.
UpdateAnswer AnswerOfFailure(FetchFailure failure, unsigned long systemError);
// The answer when the program's own version is unknown.
UpdateAnswer AnswerOfUnknownVersion();

// The question asked when a newer version exists, the box for a failure, and the answer otherwise.
std::wstring NewVersionQuestion(const std::wstring& versionText);
std::wstring CannotCheckMessage(const std::wstring& reason);
inline constexpr const wchar_t* kLatestVersionMessage = L"You have the latest version.";
