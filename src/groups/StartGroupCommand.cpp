#include "groups/StartGroupCommand.h"

#include <cstring>

#include "base/Strings.h"

namespace {
constexpr std::size_t kMostShortcutNameChars = 100;

bool IsGroupSwitch(std::wstring_view argument)
{
    return argument.size() == kGroupSwitch.size() && (argument[0] == L'/' || argument[0] == L'-') &&
           EqualsNoCase(argument.substr(1), kGroupSwitch.substr(1));
}
} // namespace

StartArguments SplitGroupArgument(const std::vector<std::wstring>& arguments)
{
    StartArguments result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!result.group && IsGroupSwitch(arguments[i])) {
            if (i + 1 < arguments.size()) result.group = arguments[++i];
            continue;
        }
        result.rest.push_back(arguments[i]);
    }
    return result;
}

std::wstring QuoteArgument(std::wstring_view argument, bool always)
{
    if (!always && !argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    // Backslashes count only before a quote: doubled there (and before the closing quote), with
    // one more to escape a quote of the argument itself.
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') quoted.append(backslashes * 2 + 1, L'\\');
        else quoted.append(backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring GroupArguments(std::wstring_view settingsFile, std::wstring_view caption)
{
    std::wstring arguments;
    // Quoted as the Run entry quotes it.
    if (!settingsFile.empty()) arguments.append(QuoteArgument(settingsFile, true)).append(L" ");
    // Always quoted, so the name reads as one even to a reader that splits at blanks.
    arguments.append(kGroupSwitch).append(L" ").append(QuoteArgument(caption, true));
    return arguments;
}

std::wstring GroupCommandLine(std::wstring_view program, std::wstring_view settingsFile, std::wstring_view caption)
{
    return L"\"" + std::wstring(program) + L"\" " + GroupArguments(settingsFile, caption);
}

std::wstring GroupShortcutFileName(std::wstring_view caption, int number)
{
    std::wstring name(caption.substr(0, kMostShortcutNameChars));
    for (wchar_t& c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
    if (number > 1) name += L" (" + std::to_wstring(number) + L")";
    return name + L".lnk";
}

std::optional<std::wstring> GroupNameOfRequest(const void* data, std::size_t bytes)
{
    if (!data || bytes < 2 * sizeof(wchar_t) || bytes % sizeof(wchar_t) != 0 ||
        bytes > (kMostRequestChars + 1) * sizeof(wchar_t))
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data, bytes);
    if (text.back() != L'\0') return std::nullopt;
    text.pop_back();
    if (text.find(L'\0') != std::wstring::npos) return std::nullopt;
    return text;
}
