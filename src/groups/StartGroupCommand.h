#pragma once
// Running a group from outside the program: the command line that names it
// (Launcher.exe /group "Work"), a shortcut's file name for it, and the name as it arrives from
// another copy of the program. No Windows here.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The switch before a group's name; "-group" and any letter case are the same switch.
inline constexpr std::wstring_view kGroupSwitch = L"/group";

// A start's arguments with the group switch and its name taken out (the first pair counts; a
// switch with no name after it names no group).
struct StartArguments {
    std::vector<std::wstring> rest;
    std::optional<std::wstring> group;
};
StartArguments SplitGroupArgument(const std::vector<std::wstring>& arguments);

// One argument as the C runtime and CommandLineToArgvW read it back: quoted where it must be, or
// `always`.
std::wstring QuoteArgument(std::wstring_view argument, bool always = false);
// The arguments that run a group: the settings file the program was started with (empty for
// none), then the switch and the group's name.
std::wstring GroupArguments(std::wstring_view settingsFile, std::wstring_view caption);
std::wstring GroupCommandLine(std::wstring_view program, std::wstring_view settingsFile, std::wstring_view caption);

// The file name of the `number`-th shortcut to a group in one folder: "Work.lnk", "Work (2).lnk",
// with every character a file name cannot hold replaced by "_" and a very long name cut short.
std::wstring GroupShortcutFileName(std::wstring_view caption, int number);

// The longest group name a request may carry.
inline constexpr std::size_t kMostRequestChars = 1024;
// The group name a request carries: UTF-16 text, not empty, ending in its one terminating zero,
// no longer than kMostRequestChars. Nothing for anything else. The name is only ever compared
// with the groups' captions.
std::optional<std::wstring> GroupNameOfRequest(const void* data, std::size_t bytes);
