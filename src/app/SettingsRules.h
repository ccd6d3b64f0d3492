#pragma once
// The settings rules that need no operating system: value forms, the choice of the settings file
// from the command line, and the Run entry. Kept pure so every edge case is unit-tested.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An INI integer: decimal, or hexadecimal with "0x"; anything else (empty, junk, out of range)
// gives the default.
int ParseIniInteger(std::wstring_view text, int defaultValue);

// The settings file named on the command line, if any: the first argument not beginning with "-"
// or "/". A bare name is placed in the settings folder, which is asked for only then (finding it
// creates the per-user folders); a name with an extension loses its last four characters (but
// never more than its extension), then ".ini" is appended.
std::optional<std::wstring> IniCandidateFromArguments(const std::vector<std::wstring>& arguments,
                                                      const std::function<std::wstring()>& settingsFolder);

// The value written under the per-user Run key to start the program with Windows.
struct RunEntry {
    std::wstring valueName;
    std::wstring commandLine;
};
RunEntry MakeRunEntry(bool startedWithArguments, bool iniFileExists, const std::wstring& iniFileName,
                      const std::wstring& programPath);

// The folder a "DataFolder" setting names, with its trailing backslash. Empty means the settings
// file's folder; a relative path is taken from that folder, and a path from the root ("\Data") from
// its drive, so the result never depends on the folder the program was started in. "/" counts as
// "\", "." and ".." steps and doubled backslashes are resolved (".." never climbs above the root),
// and a path in the extended form ("\\?\") is taken as it stands.
std::wstring DataFolderFromSetting(std::wstring_view setting, std::wstring_view settingsFolder);

// "1.2.3 (Build 4)".
std::wstring VersionText(unsigned major, unsigned minor, unsigned release, unsigned build);

// A value kept within [low, high], as the up-down control of a bounded option does.
constexpr int ClampToRange(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }
