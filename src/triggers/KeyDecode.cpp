#include "triggers/KeyDecode.h"

#include <array>
#include <cwchar>
#include <utility>

namespace {

constexpr std::array<std::pair<std::uint32_t, const wchar_t*>, 33> kFixedNames{{
    {8, L"BACKSPACE"},     {9, L"TAB"},          {12, L"CLEAR"},        {13, L"ENTER"},
    {16, L"SHIFT"},        {17, L"CTRL"},        {18, L"ALT"},          {19, L"PAUSE"},
    {20, L"CAPS LOCK"},    {27, L"ESC"},         {32, L"SPACEBAR"},     {33, L"PAGE UP"},
    {34, L"PAGE DOWN"},    {35, L"END"},         {36, L"HOME"},         {37, L"LEFT ARROW"},
    {38, L"UP ARROW"},     {39, L"RIGHT ARROW"}, {40, L"DOWN ARROW"},   {41, L"SELECT"},
    {43, L"EXECUTE"},      {44, L"PRINT SCREEN"}, {45, L"INS"},         {46, L"DEL"},
    {47, L"HELP"},         {106, L"MULTIPLY"},   {107, L"ADD"},         {108, L"SEPARATOR"},
    {109, L"SUBTRACT"},    {110, L"DECIMAL"},    {111, L"DIVIDE"},      {144, L"NUM LOCK"},
    {145, L"SCROLL LOCK"},
}};

} // namespace

TKeyNativeInfo DecodeKeyFlags(std::uint32_t flags)
{
    TKeyNativeInfo info;
    info.RepeatCount = flags & 0xFFFFu;
    info.ScanCode = (flags >> 16) & 0xFFu;
    info.Extended = (flags & (1u << 24)) != 0;
    info.AltDown = (flags & (1u << 29)) != 0;
    info.WasDown = (flags & (1u << 30)) != 0;
    info.KeyDown = (flags & (1u << 31)) == 0;
    return info;
}

std::wstring VirtualKeyName(std::uint32_t code, std::uint32_t mappedChar)
{
    if (mappedChar >= 1 && mappedChar <= 254) return std::wstring(1, static_cast<wchar_t>(mappedChar));
    if ((code >= 48 && code <= 57) || (code >= 65 && code <= 90)) return std::wstring(1, static_cast<wchar_t>(code));
    if (code >= 112 && code <= 135) return L"F" + std::to_wstring(code - 111);
    if (code >= 96 && code <= 105) return L"Numeric keypad " + std::to_wstring(code - 96);
    for (const auto& [fixedCode, name] : kFixedNames)
        if (fixedCode == code) return name;
    wchar_t text[32];
    std::swprintf(text, 32, L"undefined 0x%04X", static_cast<unsigned>(code));
    return text;
}
