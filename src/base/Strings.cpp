#include "base/Strings.h"

#include <windows.h>

#include <climits>
#include <cwctype>

std::size_t FileNameStart(std::wstring_view path)
{
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsPathDelimiter(path[i - 1])) return i;
    return 0;
}

std::wstring ExtractFileName(std::wstring_view path) { return std::wstring(path.substr(FileNameStart(path))); }

std::wstring ExtractFilePath(std::wstring_view path) { return std::wstring(path.substr(0, FileNameStart(path))); }

std::wstring ExtractFileDir(std::wstring_view path)
{
    std::size_t start = FileNameStart(path);
    // Drop the final backslash, except the one of a root ("C:\", "\\").
    if (start > 1 && path[start - 1] == L'\\' && !IsPathDelimiter(path[start - 2])) --start;
    return std::wstring(path.substr(0, start));
}

std::wstring ExtractFileExt(std::wstring_view path)
{
    std::size_t nameStart = FileNameStart(path);
    std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos || dot < nameStart) return {};
    return std::wstring(path.substr(dot));
}

std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view ext)
{
    std::size_t nameStart = FileNameStart(path);
    std::size_t dot = path.rfind(L'.');
    std::wstring_view stem = (dot == std::wstring_view::npos || dot < nameStart) ? path : path.substr(0, dot);
    std::wstring result(stem);
    result += ext;
    return result;
}

std::wstring IncludeTrailingBackslash(std::wstring_view path)
{
    std::wstring result(path);
    if (result.empty() || result.back() != L'\\') result += L'\\';
    return result;
}

std::wstring ExcludeTrailingBackslash(std::wstring_view path)
{
    std::wstring result(path);
    if (!result.empty() && result.back() == L'\\') result.pop_back();
    return result;
}

std::wstring ToLowerInvariant(std::wstring_view text)
{
    std::wstring result(text);
    for (auto& c : result) c = static_cast<wchar_t>(std::towlower(c));
    return result;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b)
{
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

namespace {
using CompareStringOrdinalFn = int(WINAPI*)(LPCWCH, int, LPCWCH, int, BOOL);

// CompareStringOrdinal came with Vista; found by name so the program still starts without it.
CompareStringOrdinalFn BoundCompareStringOrdinal()
{
    static const CompareStringOrdinalFn bound = [] {
        HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        return kernel ? reinterpret_cast<CompareStringOrdinalFn>(
                            reinterpret_cast<void*>(::GetProcAddress(kernel, "CompareStringOrdinal")))
                      : nullptr;
    }();
    return bound;
}

std::wstring UpperCased(std::wstring_view text)
{
    if (text.empty()) return {};
    // The invariant locale's simple mapping: one code unit for one and no linguistic rules, as
    // the ordinal comparison folds.
    const int length = static_cast<int>(text.size());
    std::wstring result(text.size(), L'\0');
    if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.data(), length, result.data(), length) == length)
        return result;
    result.assign(text);
    for (auto& c : result) ::CharUpperBuffW(&c, 1);
    return result;
}
} // namespace

bool EqualsUpperCased(std::wstring_view a, std::wstring_view b)
{
    // Upper-case folding keeps the length in code units, so names of different lengths differ.
    if (a.size() != b.size()) return false;
    return UpperCased(a) == UpperCased(b);
}

bool EqualsOrdinalNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) return false;
    const CompareStringOrdinalFn compare = BoundCompareStringOrdinal();
    if (!compare || a.size() > static_cast<std::size_t>(INT_MAX)) return EqualsUpperCased(a, b);
    return compare(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring FormatMessageText(std::wstring_view format, std::wstring_view argument)
{
    std::wstring result(format);
    std::size_t pos = result.find(L"%s");
    if (pos != std::wstring::npos) result.replace(pos, 2, argument);
    return result;
}

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) { cp = c; }
        else if ((c >> 5) == 0x6 && i + 1 < text.size()) { cp = ((c & 0x1F) << 6) | (text[i + 1] & 0x3F); len = 2; }
        else if ((c >> 4) == 0xE && i + 2 < text.size()) {
            cp = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
            len = 3;
        } else if ((c >> 3) == 0x1E && i + 3 < text.size()) {
            cp = ((c & 0x07) << 18) | ((text[i + 1] & 0x3F) << 12) | ((text[i + 2] & 0x3F) << 6) | (text[i + 3] & 0x3F);
            len = 4;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            result += static_cast<wchar_t>(0xD800 + (cp >> 10));
            result += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            result += static_cast<wchar_t>(cp);
        }
    }
    return result;
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = static_cast<char16_t>(text[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) {
            char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (cp < 0x80) result += static_cast<char>(cp);
        else if (cp < 0x800) {
            result += static_cast<char>(0xC0 | (cp >> 6));
            result += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            result += static_cast<char>(0xE0 | (cp >> 12));
            result += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (cp >> 18));
            result += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return result;
}
