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

TEST(TextHelpers, CaseAndFormatAndUtf8)
{
    EXPECT_TRUE(EqualsNoCase(L"MailTo:", L"mailto:"));
    EXPECT_FALSE(EqualsNoCase(L"mailto", L"mailto:"));
    EXPECT_EQ(FormatMessageText(L"Do you really want to close %s?", L"Orvo Launcher"),
              L"Do you really want to close Orvo Launcher?");
    const std::wstring mixed = L"Caf\u00e9 \u6587\u4ef6 \U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(mixed)), mixed);
    EXPECT_EQ(WideToUtf8(L"\u00e9"), "\xC3\xA9");
}
