#pragma once
// Whether the maker's server names a newer version than a program file's own.

#include <optional>
#include <string>

#include "update/OrvoGetHttpText.h"
#include "update/VersionRules.h"

// The fixed-file version of a program file's version resource; nullopt when it has none.
std::optional<FileVersion> ReadFileVersion(const std::wstring& programFile);

// True only when the text at `url` (fetched through `http`, which carries the time-out and can be
// aborted from another thread) names a version newer than `programFile`'s; `versionText` then holds it
// as it is shown. Only a response with status 200 counts: an error page is never a version text.
bool CheckNewVersion(const std::wstring& programFile, const std::wstring& agent, const std::wstring& url,
                     std::wstring& versionText, TOrvoGetHttpText& http);
