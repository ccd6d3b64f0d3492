#pragma once
// Whether the maker's server names a newer version than a program file's own.

#include <optional>
#include <string>

#include "update/OrvoGetHttpText.h"
#include "update/VersionRules.h"

// The fixed-file version of a program file's version resource; nullopt when it has none.
std::optional<FileVersion> ReadFileVersion(const std::wstring& programFile);

// What the text at `url` (fetched through `http`, which carries the time-out and can be aborted from
// another thread) says against `programFile`'s own version.
UpdateAnswer CheckNewVersion(const std::wstring& programFile, const std::wstring& agent, const std::wstring& url,
                             TOrvoGetHttpText& http);
