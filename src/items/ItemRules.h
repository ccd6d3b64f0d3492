#pragma once
// The rules that turn an entry file's name and text into an item's fields, and the few text rules of
// launching. Pure: no Windows headers, so every rule is tested without touching the file system.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/OsVersion.h"

// Display text of an entry: the file name without its folder, and when the name holds a "." anywhere,
// without its last four characters (dot and a three-letter extension, whatever the real extension's
// length). "Notepad.lnk" -> "Notepad", "notes.html" -> "notes.", "README" -> "README", "a.b" -> "".
std::wstring ItemCaption(std::wstring_view fileName);

enum class ItemFileKind { Shortcut, InternetShortcut, Other };
// By the extension in lower case: ".lnk", ".url", anything else.
ItemFileKind ItemFileKindOf(std::wstring_view fileName);

struct InternetShortcutInfo {
    std::wstring Url;
    std::int32_t HotKey = 0;
};
// Reads the text of an Internet shortcut as name=value lines, not as INI sections: the name is the text
// before the first "=" (never trimmed); the first "URL" line and the first "HotKey" line count (names
// compared without case). Lines end at CR LF, LF or CR.
InternetShortcutInfo ParseInternetShortcut(std::wstring_view text);
// A decimal integer (optional sign, digits only, within 32 bits); anything else gives 0.
std::int32_t ParseHotKeyNumber(std::wstring_view value);

struct HotKeyParts {
    std::uint16_t Key = 0;        // virtual-key code
    std::uint16_t Modifiers = 0;  // HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4
};
// Low byte: the key; bits 8 to 15: the modifiers. The same split serves a shortcut's hotkey word and an
// Internet shortcut's HotKey number.
HotKeyParts SplitHotKey(std::uint32_t value);

// An Internet shortcut whose URL is exactly "mailto:" (any case) is started as a file, not given to the
// browser.
bool IsBareMailto(std::wstring_view url);

// The program path of a browser command line: the text inside a leading pair of double quotes (to the
// end when the closing one is missing), otherwise the text up to the first space.
std::wstring BrowserPathFromCommand(std::wstring_view command);

// The URL as one command-line argument: wrapped in double quotes, every embedded double quote
// percent-encoded and a trailing run of backslashes doubled, so that the browser's argument parser
// sees exactly the URL and nothing of it can pose as a further switch.
std::wstring QuoteUrlArgument(std::wstring_view url);

// The first "%1" (case-sensitive) replaced with the argument; a text without "%1" is returned as is.
std::wstring ReplaceFirstPercentOne(std::wstring_view command, std::wstring_view argument);

// Whether surfaces draw straight from the shell's system image list: only on NT 5.1/5.2 with visual
// styles active. `themeActive` is the ThemeManager's "ThemeActive" string, `compatLayers` our
// AppCompatFlags\Layers string; a missing value is passed as empty.
bool SharesSystemImages(const OsVersion& version, std::wstring_view themeActive, std::wstring_view compatLayers);

// Windows 95 and NT 4 and older have no foreground lock: a plain SetForegroundWindow works there.
constexpr bool HasForegroundLock(const OsVersion& v)
{
    if (v.platform == OsPlatform::Nt) return v.major > 4;
    return v.major > 4 || (v.major == 4 && v.minor > 0);
}
