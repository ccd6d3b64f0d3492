#include <gtest/gtest.h>

#include "base/Strings.h"

TEST(PathHelpers, SplitFolderNameAndExtension)
{
    EXPECT_EQ(ExtractFileName(L"C:\\a\\b.txt"), L"b.txt");
    EXPECT_EQ(ExtractFileName(L"C:b.txt"), L"b.txt");
    EXPECT_EQ(ExtractFileName(L"plain"), L"plain");
    EXPECT_EQ(ExtractFilePath(L"C:\\a\\b.txt"), L"C:\\a\\");
    EXPECT_EQ(ExtractFilePath(L"plain"), L"");
    EXPECT_EQ(ExtractFileDir(L"C:\\a\\b.txt"), L"C:\\a");
    EXPECT_EQ(ExtractFileDir(L"C:\\b.txt"), L"C:\\");
    EXPECT_EQ(ExtractFileDir(L"\\\\server\\share\\x"), L"\\\\server\\share");
    // Only a dot after the last delimiter starts an extension.
    EXPECT_EQ(ExtractFileExt(L"C:\\a.dir\\file"), L"");
    EXPECT_EQ(ExtractFileExt(L"C:\\a.dir\\file.Lnk"), L".Lnk");
    EXPECT_EQ(ChangeFileExt(L"C:\\a.dir\\Launcher.exe", L".ini"), L"C:\\a.dir\\Launcher.ini");
    EXPECT_EQ(ChangeFileExt(L"C:\\a.dir\\Launcher", L".ini"), L"C:\\a.dir\\Launcher.ini");
    EXPECT_EQ(IncludeTrailingBackslash(L"C:\\x"), L"C:\\x\\");
    EXPECT_EQ(IncludeTrailingBackslash(L"C:\\x\\"), L"C:\\x\\");
    EXPECT_EQ(ExcludeTrailingBackslash(L"C:\\x\\"), L"C:\\x");
}

TEST(TextHelpers, NamesCompareAsTheSystemFoldsLetterCaseAndWordsAsAscii)
{
    struct Case {
        const wchar_t *a, *b;
        bool sameName, sameAscii;
    };
    const Case cases[] = {
        {L"Games", L"gAMES", true, true},
        {L"mailto", L"mailto:", false, false},
        {L"\u00e9cole", L"\u00c9cole", true, false},                      // accented capital
        {L"\u0416\u0443\u043a", L"\u0436\u0423\u041a", true, false},  // Cyrillic
        {L"\uff21\uff42", L"\uff41\uff22", true, false},                // full-width Latin
        {L"gro\u00df", L"GRO\u00df", true, true},
        {L"Stra\u00dfe", L"STRASSE", false, false},                      // no expansion
        {L"\u00e9", L"e\u0301", false, false},                          // no normalisation
        {L"", L"", true, true},
        {L"a", L"", false, false},
    };
    for (const auto& c : cases) {
        const std::string shown = WideToUtf8(c.a) + " / " + WideToUtf8(c.b);
        EXPECT_EQ(EqualsOrdinalNoCase(c.a, c.b), c.sameName) << shown;
        EXPECT_EQ(EqualsUpperCased(c.a, c.b), c.sameName) << shown << " (without CompareStringOrdinal)";
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.sameAscii) << shown;
    }
}

TEST(TextHelpers, FormatAndUtf8)
{
    EXPECT_EQ(FormatMessageText(L"Do you really want to close %s?", L"Orvo Launcher"),
              L"Do you really want to close Orvo Launcher?");
    const std::wstring mixed = L"Caf\u00e9 \u6587\u4ef6 \U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(mixed)), mixed);
    EXPECT_EQ(WideToUtf8(L"\u00e9"), "\xC3\xA9");
}
