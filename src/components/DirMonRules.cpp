#include "components/DirMonRules.h"

namespace {
constexpr bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithBackslashes(std::wstring_view path)
{
    std::wstring result(path);
    for (wchar_t& c : result)
        if (c == L'/') c = L'\\';
    return result;
}
} // namespace

std::wstring ExtendedLengthPath(std::wstring_view fullPath)
{
    if (fullPath.size() < kPlainDirectoryPathLimit) return std::wstring(fullPath);
    const bool deviceForm = fullPath.size() >= 4 && IsSeparator(fullPath[0]) && IsSeparator(fullPath[1]) &&
                            (fullPath[2] == L'?' || fullPath[2] == L'.') && IsSeparator(fullPath[3]);
    if (deviceForm) return std::wstring(fullPath);
    const bool driveForm = fullPath.size() >= 3 &&
                           ((fullPath[0] >= L'A' && fullPath[0] <= L'Z') ||
                            (fullPath[0] >= L'a' && fullPath[0] <= L'z')) &&
                           fullPath[1] == L':' && IsSeparator(fullPath[2]);
    if (driveForm) return L"\\\\?\\" + WithBackslashes(fullPath);
    const bool uncForm = IsSeparator(fullPath[0]) && IsSeparator(fullPath[1]);
    if (uncForm) return L"\\\\?\\UNC\\" + WithBackslashes(fullPath.substr(2));
    return std::wstring(fullPath);
}
