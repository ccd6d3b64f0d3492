#include <gtest/gtest.h>

#include "app/SettingsRules.h"

TEST(IniInteger, DecimalHexadecimalAndJunk)
{
    struct Case {
        const wchar_t* text;
        int expected;
    };
    const Case cases[] = {
        {L"42", 42},          {L"-7", -7},       {L" 12 ", 12},       {L"0x1F", 31},   {L"0X10", 16},
        {L"0xFFFFFFFF", -1},  {L"2147483647", 2147483647},             {L"-2147483648", -2147483647 - 1},
        {L"", 99},            {L"abc", 99},      {L"12abc", 99},      {L"0x", 99},     {L"0xG1", 99},
        {L"2147483648", 99},  {L"0x100000000", 99}, {L"1.5", 99},     {L"-", 99},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseIniInteger(c.text, 99), c.expected) << "text: " << testing::PrintToString(std::wstring(c.text));
}

TEST(IniCandidate, ChoosesFirstPlainArgumentAndShapesTheName)
{
    const std::wstring folder = L"C:\\Users\\u\\AppData\\Roaming\\Orvo Solution\\Orvo Launcher";
    EXPECT_FALSE(IniCandidateFromArguments({}, folder).has_value());
    EXPECT_FALSE(IniCandidateFromArguments({L"-x", L"/y"}, folder).has_value());
    // A bare name goes into the settings folder.
    EXPECT_EQ(*IniCandidateFromArguments({L"work"}, folder), folder + L"\\work.ini");
    // Switches are skipped in the search.
    EXPECT_EQ(*IniCandidateFromArguments({L"-min", L"/q", L"work", L"other"}, folder), folder + L"\\work.ini");
    // Four characters go whatever the extension: two dots remain for a four-letter extension.
    EXPECT_EQ(*IniCandidateFromArguments({L"C:\\cfg\\work.txt"}, folder), L"C:\\cfg\\work.ini");
    EXPECT_EQ(*IniCandidateFromArguments({L"C:\\cfg\\a.conf"}, folder), L"C:\\cfg\\a..ini");
    EXPECT_EQ(*IniCandidateFromArguments({L"C:\\cfg\\work.ini"}, folder), L"C:\\cfg\\work.ini");
    // A dot in a folder name is no extension.
    EXPECT_EQ(*IniCandidateFromArguments({L"C:\\my.cfg\\work"}, folder), L"C:\\my.cfg\\work.ini");
    // A drive-relative name has a directory part and stays where it is.
    EXPECT_EQ(*IniCandidateFromArguments({L"D:work.txt"}, folder), L"D:work.ini");
    // A short extension is cut alone, never into the name or the folder.
    EXPECT_EQ(*IniCandidateFromArguments({L"C:\\cfg\\a.b"}, folder), L"C:\\cfg\\a.ini");
    EXPECT_EQ(*IniCandidateFromArguments({L"x.y"}, folder), folder + L"\\x.ini");
    // Non-ASCII names pass through unchanged.
    EXPECT_EQ(*IniCandidateFromArguments({L"C:\\\u8a2d\u5b9a\\\u00e9t\u00e9.txt"}, folder),
              L"C:\\\u8a2d\u5b9a\\\u00e9t\u00e9.ini");
}

TEST(RunEntryRule, NameAndCommandLine)
{
    const std::wstring program = L"C:\\Program Files\\Orvo\\Launcher.exe";
    const RunEntry plain = MakeRunEntry(false, true, L"C:\\cfg\\work.ini", program);
    EXPECT_EQ(plain.valueName, L"Orvo Launcher");
    EXPECT_EQ(plain.commandLine, L"\"C:\\Program Files\\Orvo\\Launcher.exe\"");

    const RunEntry withFile = MakeRunEntry(true, true, L"C:\\cfg\\work.ini", program);
    EXPECT_EQ(withFile.valueName, L"Orvo Launcher work");
    EXPECT_EQ(withFile.commandLine, L"\"C:\\Program Files\\Orvo\\Launcher.exe\" \"C:\\cfg\\work.ini\"");

    // Arguments but no such file: the plain entry.
    EXPECT_EQ(MakeRunEntry(true, false, L"C:\\cfg\\work.ini", program).valueName, L"Orvo Launcher");
}

TEST(SmallRules, VersionTextAndClamp)
{
    EXPECT_EQ(VersionText(1, 2, 3, 45), L"1.2.3 (Build 45)");
    EXPECT_EQ(ClampToRange(50, 5, 30), 30);
    EXPECT_EQ(ClampToRange(1, 5, 30), 5);
    EXPECT_EQ(ClampToRange(10, 5, 30), 10);
}
