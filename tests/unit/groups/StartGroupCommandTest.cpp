// Running a group from outside: the switch taken out of a start's arguments, the command line the
// system reads back as written, the shortcut's file name, and what a request may carry.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "groups/StartGroupCommand.h"

namespace {
using Args = std::vector<std::wstring>;

// The arguments as a started program gets them (its own name first, left out).
Args ReadBack(const std::wstring& commandLine)
{
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW((L"Launcher.exe " + commandLine).c_str(), &count);
    Args result;
    for (int i = 1; argv && i < count; ++i) result.emplace_back(argv[i]);
    if (argv) ::LocalFree(argv);
    return result;
}
} // namespace

TEST(StartGroupCommandLine, TheSwitchAndItsNameAreTakenOutOfTheArguments)
{
    struct Case {
        Args arguments;
        Args rest;
        std::optional<std::wstring> group;
    };
    const Case cases[] = {
        {{L"work.ini"}, {L"work.ini"}, std::nullopt},
        {{L"C:\\x\\my.ini", L"-GROUP", L"Morning Run"}, {L"C:\\x\\my.ini"}, L"Morning Run"},
        {{L"/Group", L"A", L"work.ini"}, {L"work.ini"}, L"A"},
        // The first pair counts; a later switch is an argument like any other.
        {{L"/group", L"A", L"/group", L"B"}, {L"/group", L"B"}, L"A"},
        // A switch with nothing after it names no group.
        {{L"work.ini", L"/group"}, {L"work.ini"}, std::nullopt},
        // Not the switch.
        {{L"/groups", L"X"}, {L"/groups", L"X"}, std::nullopt},
    };
    for (const auto& c : cases) {
        const StartArguments split = SplitGroupArgument(c.arguments);
        EXPECT_EQ(split.rest, c.rest);
        EXPECT_EQ(split.group, c.group);
    }
}

TEST(StartGroupCommandLine, TheSystemReadsTheCommandBackAsItWasMeant)
{
    const std::wstring names[] = {L"Work",          L"Morning Run", L"say \"hi\"",   L"ends in \\",
                                  L"\\\\server\\x", L"a\\\"b",      L"tab\there",    L"\u00c9t\u00e9 \u65e5\u672c"};
    for (const auto& name : names) {
        EXPECT_EQ(ReadBack(QuoteArgument(name)), Args{name});
        EXPECT_EQ(ReadBack(GroupArguments(L"", name)), (Args{L"/group", name}));
        EXPECT_EQ(ReadBack(GroupArguments(L"C:\\My Data\\work.ini", name)),
                  (Args{L"C:\\My Data\\work.ini", L"/group", name}));
        EXPECT_EQ(SplitGroupArgument(ReadBack(GroupArguments(L"D:\\w.ini", name))).group, name);
    }
    EXPECT_EQ(ReadBack(QuoteArgument(L"")), Args{L""});
    EXPECT_EQ(GroupCommandLine(L"C:\\Program Files\\Orvo\\Launcher.exe", L"", L"Work"),
              L"\"C:\\Program Files\\Orvo\\Launcher.exe\" /group \"Work\"");
}

TEST(StartGroupCommandLine, AShortcutIsNamedAfterItsGroupWhateverTheCaptionHolds)
{
    EXPECT_EQ(GroupShortcutFileName(L"Work", 1), L"Work.lnk");
    EXPECT_EQ(GroupShortcutFileName(L"a/b\\c:d*e?f\"g<h>i|j", 2), L"a_b_c_d_e_f_g_h_i_j (2).lnk");
    EXPECT_EQ(GroupShortcutFileName(std::wstring(300, L'x'), 1), std::wstring(100, L'x') + L".lnk");
}

TEST(StartGroupRequest, OnlyOneTerminatedTextOfBoundedLengthIsAName)
{
    auto request = [](const std::wstring& text) { return GroupNameOfRequest(text.data(), text.size() * sizeof(wchar_t)); };
    using namespace std::string_literals;
    EXPECT_EQ(request(L"Work\0"s), std::optional<std::wstring>(L"Work"));
    EXPECT_EQ(request(std::wstring(kMostRequestChars, L'x') + L'\0'), std::wstring(kMostRequestChars, L'x'));
    for (const std::wstring& bad : {L""s, L"\0"s, L"Work"s, L"Wo\0rk\0"s, L"Work\0\0"s,
                                    std::wstring(kMostRequestChars + 1, L'x') + L'\0'})
        EXPECT_EQ(request(bad), std::nullopt) << bad.size();
    const std::wstring work = L"Work"s + L'\0';
    EXPECT_EQ(GroupNameOfRequest(work.data(), work.size() * sizeof(wchar_t) - 1), std::nullopt) << "an odd size";
    EXPECT_EQ(GroupNameOfRequest(nullptr, 10), std::nullopt);
}
