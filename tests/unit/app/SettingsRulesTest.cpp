#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

TEST(IniCandidate, ChoosesFirstPlainArgumentShapesTheNameAndAsksForTheFolderOnlyForBareNames)
{
    const std::wstring folder = L"C:\\Users\\u\\AppData\\Roaming\\Orvo Solution\\Orvo Launcher";
    struct Case {
        std::vector<std::wstring> arguments;
        std::optional<std::wstring> expected;
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{L"-x", L"/y"}, std::nullopt},
        // A bare name goes into the settings folder; switches are skipped in the search.
        {{L"work"}, folder + L"\\work.ini"},
        {{L"-min", L"/q", L"work", L"other"}, folder + L"\\work.ini"},
        {{L"x.y"}, folder + L"\\x.ini"},
        // Four characters go whatever the extension: two dots remain for a four-letter extension.
        {{L"C:\\cfg\\work.txt"}, L"C:\\cfg\\work.ini"},
        {{L"C:\\cfg\\a.conf"}, L"C:\\cfg\\a..ini"},
        {{L"C:\\cfg\\work.ini"}, L"C:\\cfg\\work.ini"},
        // A dot in a folder name is no extension; a short extension is cut alone.
        {{L"C:\\my.cfg\\work"}, L"C:\\my.cfg\\work.ini"},
        {{L"C:\\cfg\\a.b"}, L"C:\\cfg\\a.ini"},
        // A drive-relative name has a directory part and stays where it is.
        {{L"D:work.txt"}, L"D:work.ini"},
        // Non-ASCII names pass through unchanged.
        {{L"C:\\\u8a2d\u5b9a\\\u00e9t\u00e9.txt"}, L"C:\\\u8a2d\u5b9a\\\u00e9t\u00e9.ini"},
    };
    for (const Case& c : cases) {
        int asked = 0;
        const auto candidate = IniCandidateFromArguments(c.arguments, [&] {
            ++asked;
            return folder;
        });
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(candidate, c.expected);
        // Finding the settings folder creates it: only a bare name may ask for it.
        const bool bare = c.expected && c.expected->rfind(folder, 0) == 0;
        EXPECT_EQ(asked, bare ? 1 : 0);
    }
}

TEST(DataFolderSetting, EmptyAndRelativeValuesStartFromTheSettingsFolderAndAreNormalized)
{
    const std::wstring cfg = L"C:\\Users\\u\\AppData\\Roaming\\Orvo Solution\\Orvo Launcher\\";
    const std::wstring share = L"\\\\srv\\share\\cfg\\";
    struct Case {
        std::wstring setting;
        std::wstring settingsFolder;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"", cfg, cfg},
        {L"Data", cfg, cfg + L"Data\\"},
        {L".\\Data\\.\\x\\", cfg, cfg + L"Data\\x\\"},
        {L"../Shared//x/", cfg, L"C:\\Users\\u\\AppData\\Roaming\\Orvo Solution\\Shared\\x\\"},
        // ".." stops at the root.
        {L"..\\..\\..\\..\\..\\..\\..\\x", cfg, L"C:\\x\\"},
        {L"\\Data", cfg, L"C:\\Data\\"},
        // A drive without a backslash: the settings folder on its own drive, else that drive's root.
        {L"c:Data", cfg, cfg + L"Data\\"},
        {L"D:Data", cfg, L"D:\\Data\\"},
        {L"D:\\Data\\..\\E", cfg, L"D:\\E\\"},
        {L"\\\\nas\\data\\a\\..\\..\\b", cfg, L"\\\\nas\\data\\b\\"},
        // Beside a settings file on a share, the share is the root.
        {L"\\x", share, L"\\\\srv\\share\\x\\"},
        {L"..\\..\\..\\y", share, L"\\\\srv\\share\\y\\"},
        {L"\\\\?\\C:\\a\\..\\b", cfg, L"\\\\?\\C:\\a\\..\\b\\"},
        {L"\u30c7\u30fc\u30bf", cfg, cfg + L"\u30c7\u30fc\u30bf\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataFolderFromSetting(c.setting, c.settingsFolder), c.expected)
            << testing::PrintToString(c.setting) << " beside " << testing::PrintToString(c.settingsFolder);
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
