#include "app/SettingsRules.h"

#include <climits>
#include <cwctype>

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

std::wstring VersionText(unsigned major, unsigned minor, unsigned release, unsigned build)
{
    return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(release) + L" (Build " +
           std::to_wstring(build) + L")";
}
