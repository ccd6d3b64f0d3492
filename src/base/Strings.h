#pragma once
// Path and text helpers over std::wstring. No Windows headers: these are pure rules.

#include <string>
#include <string_view>

// A path delimiter in the sense of the settings and caption rules: "\", "/" or the drive ":".
constexpr bool IsPathDelimiter(wchar_t c) { return c == L'\\' || c == L'/' || c == L':'; }

// Position just after the last delimiter (0 when there is none).
std::size_t FileNameStart(std::wstring_view path);

// "C:\a\b.txt" -> "b.txt".
std::wstring ExtractFileName(std::wstring_view path);
// "C:\a\b.txt" -> "C:\a\" (with the trailing delimiter; empty when the path has no folder part).
std::wstring ExtractFilePath(std::wstring_view path);
// "C:\a\b.txt" -> "C:\a" (without the trailing backslash, but "C:\" stays "C:\").
std::wstring ExtractFileDir(std::wstring_view path);
// The extension with its dot, or empty: only a "." after the last delimiter counts.
std::wstring ExtractFileExt(std::wstring_view path);
// Replaces (or adds) the extension; ext includes its dot.
std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view ext);
std::wstring IncludeTrailingBackslash(std::wstring_view path);
std::wstring ExcludeTrailingBackslash(std::wstring_view path);

std::wstring ToLowerInvariant(std::wstring_view text);
// Letter case ignored for fixed ASCII words only: URL schemes, HTTP header names, the keys of an
// Internet shortcut.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
// True when the system takes the two as one name: an ordinal comparison with letter case folded
// by the system's upper-case table, as the profile functions match section and key names (an
// accented capital and its small letter name one section). Every comparison that keeps two
// names apart uses this one.
bool EqualsOrdinalNoCase(std::wstring_view a, std::wstring_view b);
// The same comparison by upper-casing both (for systems without CompareStringOrdinal).
bool EqualsUpperCased(std::wstring_view a, std::wstring_view b);

// Replaces the first "%s" of a format with the argument, and "%d"s in order with numbers.
// Deliberately tiny: our fixed messages only use these two forms.
std::wstring FormatMessageText(std::wstring_view format, std::wstring_view argument);

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
