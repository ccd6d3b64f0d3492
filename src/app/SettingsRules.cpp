#include "app/SettingsRules.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <vector>

#include "base/Strings.h"

namespace {
constexpr const wchar_t* kProgramTitle = L"Orvo Launcher";

bool ParseDigits(std::wstring_view digits, unsigned base, long long& value)
{
    if (digits.empty()) return false;
    value = 0;
    for (wchar_t c : digits) {
        unsigned digit;
        if (c >= L'0' && c <= L'9') digit = static_cast<unsigned>(c - L'0');
        else if (base == 16 && c >= L'a' && c <= L'f') digit = static_cast<unsigned>(c - L'a' + 10);
        else if (base == 16 && c >= L'A' && c <= L'F') digit = static_cast<unsigned>(c - L'A' + 10);
        else return false;
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL) return false;
    }
    return true;
}

// How much of a path is its root: "\\server\share\" (the whole path when it has no share), "C:\"
// 3, "C:" 2 (relative to that drive's current folder), "\" 1 (the current drive's root), 0 for a
// relative path. Backslashes only.
std::size_t RootLength(std::wstring_view path)
{
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        const std::size_t server = path.find(L'\\', 2);
        if (server == std::wstring_view::npos) return path.size();
        const std::size_t share = path.find(L'\\', server + 1);
        return share == std::wstring_view::npos ? path.size() : share + 1;
    }
    if (path.size() >= 2 && path[1] == L':') return path.size() >= 3 && path[2] == L'\\' ? 3 : 2;
    return !path.empty() && path[0] == L'\\' ? 1 : 0;
}

std::wstring JoinPath(const std::wstring& folder, std::wstring_view rest)
{
    return folder.empty() ? std::wstring(rest) : IncludeTrailingBackslash(folder) + std::wstring(rest);
}

// The path with its "." and ".." steps and empty steps resolved, and a trailing backslash.
std::wstring NormalizedFolder(const std::wstring& path)
{
    const std::size_t root = RootLength(path);
    std::vector<std::wstring_view> steps;
    const std::wstring_view rest = std::wstring_view(path).substr(root);
    for (std::size_t start = 0; start <= rest.size();) {
        std::size_t end = rest.find(L'\\', start);
        if (end == std::wstring_view::npos) end = rest.size();
        const std::wstring_view step = rest.substr(start, end - start);
        if (step == L"..") {
            if (!steps.empty() && steps.back() != L"..") steps.pop_back();
            // Above the root there is nothing; only a path without a root keeps the step.
            else if (root == 0) steps.push_back(step);
        } else if (!step.empty() && step != L".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::wstring result = path.substr(0, root);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) result += L'\\';
        result += steps[i];
    }
    // A relative path that resolved to nothing is its own start, never the drive's root.
    return result.empty() ? L".\\" : IncludeTrailingBackslash(result);
}
} // namespace

int ParseIniInteger(std::wstring_view text, int defaultValue)
{
    while (!text.empty() && std::iswspace(text.front())) text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    long long value = 0;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        if (!ParseDigits(text.substr(2), 16, value)) return defaultValue;
        // Hexadecimal is a bit pattern: 0xFFFFFFFF reads as -1.
        if (value > INT_MAX) value -= 0x100000000LL;
    } else {
        if (!ParseDigits(text, 10, value) || value > static_cast<long long>(INT_MAX) + (negative ? 1 : 0))
            return defaultValue;
    }
    return static_cast<int>(negative ? -value : value);
}

std::optional<std::wstring> IniCandidateFromArguments(const std::vector<std::wstring>& arguments,
                                                      const std::function<std::wstring()>& settingsFolder)
{
    for (const auto& argument : arguments) {
        if (argument.empty() || argument[0] == L'-' || argument[0] == L'/') continue;
        std::wstring candidate = argument;
        if (FileNameStart(candidate) == 0) candidate = settingsFolder() + L"\\" + candidate;
        const std::wstring extension = ExtractFileExt(candidate);
        if (!extension.empty()) {
            // Four characters go (the dot and a three-letter extension), whatever the extension's
            // length; a shorter extension is removed alone so the cut never eats into the name.
            const std::size_t cut = extension.size() < 4 ? extension.size() : 4;
            candidate.erase(candidate.size() - cut);
        }
        return candidate + L".ini";
    }
    return std::nullopt;
}

RunEntry MakeRunEntry(bool startedWithArguments, bool iniFileExists, const std::wstring& iniFileName,
                      const std::wstring& programPath)
{
    if (startedWithArguments && iniFileExists) {
        std::wstring base = ExtractFileName(iniFileName);
        base.resize(base.size() >= 4 ? base.size() - 4 : 0);
        return {std::wstring(kProgramTitle) + L" " + base, L"\"" + programPath + L"\" \"" + iniFileName + L"\""};
    }
    return {kProgramTitle, L"\"" + programPath + L"\""};
}

std::wstring DataFolderFromSetting(std::wstring_view setting, std::wstring_view settingsFolder)
{
    std::wstring text(setting), base(settingsFolder);
    std::replace(text.begin(), text.end(), L'/', L'\\');
    std::replace(base.begin(), base.end(), L'/', L'\\');
    // The extended form is passed to the system untouched, so it is kept untouched here too.
    if (text.rfind(L"\\\\?\\", 0) == 0) return IncludeTrailingBackslash(text);
    std::wstring full;
    switch (RootLength(text)) {
    case 0: full = JoinPath(base, text); break;
    case 1: {
        // From the root of the settings file's drive (or share).
        std::wstring baseRoot = base.substr(0, RootLength(base));
        if (!baseRoot.empty() && baseRoot.back() == L'\\') baseRoot.pop_back();
        full = baseRoot + text;
        break;
    }
    case 2:
        // "D:Data": from the settings file's folder when it is on that drive, else from the drive's
        // root, since another drive's current folder is as arbitrary as the program's own.
        if (base.size() >= 2 && base[1] == L':' && std::towupper(base[0]) == std::towupper(text[0]))
            full = JoinPath(base, std::wstring_view(text).substr(2));
        else
            full = text.substr(0, 2) + L"\\" + text.substr(2);
        break;
    default: full = text; break;
    }
    return NormalizedFolder(full);
}

std::wstring VersionText(unsigned major, unsigned minor, unsigned release, unsigned build)
{
    return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(release) + L" (Build " +
           std::to_wstring(build) + L")";
}
