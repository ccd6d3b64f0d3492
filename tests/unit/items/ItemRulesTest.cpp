#include <gtest/gtest.h>

#include "items/CollectionRules.h"
#include "items/ItemRules.h"

TEST(ItemCaptionRule, DropsLastFourCharactersWhenTheNameHoldsADot)
{
    EXPECT_EQ(ItemCaption(L"C:\\Data\\Icons\\Notepad.lnk"), L"Notepad");
    EXPECT_EQ(ItemCaption(L"C:\\Data\\Icons\\notes.html"), L"notes.");
    EXPECT_EQ(ItemCaption(L"C:\\Data\\Menus\\Tools.Misc"), L"Tools.");
    EXPECT_EQ(ItemCaption(L"C:\\Data\\Icons\\README"), L"README");
    // A name the rule would empty keeps its whole name.
    EXPECT_EQ(ItemCaption(L"C:\\Data\\Icons\\a.b"), L"a.b");
    EXPECT_EQ(ItemCaption(L"C:\\Data\\Icons\\.ab"), L".ab");
    EXPECT_EQ(ItemCaption(L"C:\\Data\\Icons\\.lnk"), L".lnk");
    EXPECT_EQ(ItemCaption(L"C:\\Data\\Icons\\ab.lnk"), L"ab");
    // Only the name counts: a dot in a folder does not cut anything.
    EXPECT_EQ(ItemCaption(L"C:\\Data.dir\\Icons\\Notepad"), L"Notepad");
    EXPECT_EQ(ItemCaption(L"Mail.url"), L"Mail");
}

TEST(ItemKindRule, ByExtensionWithoutCase)
{
    EXPECT_EQ(ItemFileKindOf(L"C:\\x\\A.LNK"), ItemFileKind::Shortcut);
    EXPECT_EQ(ItemFileKindOf(L"C:\\x\\a.Url"), ItemFileKind::InternetShortcut);
    EXPECT_EQ(ItemFileKindOf(L"C:\\x\\a.scf"), ItemFileKind::Other);
    EXPECT_EQ(ItemFileKindOf(L"C:\\x.lnk\\noext"), ItemFileKind::Other);
    EXPECT_EQ(ItemFileKindOf(L"C:\\x\\a.lnk.txt"), ItemFileKind::Other);
}

TEST(InternetShortcutLines, FirstUrlAndHotKeyLinesWithoutTrimming)
{
    const auto mail = ParseInternetShortcut(L"[InternetShortcut]\r\nURL=mailto:someone@example.com\r\nHotKey=1604\r\n");
    EXPECT_EQ(mail.Url, L"mailto:someone@example.com");
    EXPECT_EQ(mail.HotKey, 1604);

    // Names compared without case; the first line of each name wins; value kept verbatim after the first "=".
    const auto first = ParseInternetShortcut(L"url=http://a/?x=1 \nURL=http://b/\nhotkey=5\nHOTKEY=7");
    EXPECT_EQ(first.Url, L"http://a/?x=1 ");
    EXPECT_EQ(first.HotKey, 5);

    // A name with spaces is another name; a section line or a line without "=" matches nothing.
    const auto spaced = ParseInternetShortcut(L"URL =http://a/\r[URL]\rURL\rURL=http://c/\r");
    EXPECT_EQ(spaced.Url, L"http://c/");
    EXPECT_EQ(spaced.HotKey, 0);

    // Lines are not INI sections: a URL line in any section counts.
    EXPECT_EQ(ParseInternetShortcut(L"[Other]\nURL=x\n[InternetShortcut]\nURL=y").Url, L"x");
    EXPECT_EQ(ParseInternetShortcut(L"").Url, L"");
    EXPECT_EQ(ParseInternetShortcut(L"URL=").Url, L"");
}

TEST(InternetShortcutLines, HotKeyValueMustBeADecimalInteger)
{
    EXPECT_EQ(ParseHotKeyNumber(L"1604"), 1604);
    EXPECT_EQ(ParseHotKeyNumber(L"+12"), 12);
    EXPECT_EQ(ParseHotKeyNumber(L"-1"), -1);
    EXPECT_EQ(ParseHotKeyNumber(L"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseHotKeyNumber(L""), 0);
    EXPECT_EQ(ParseHotKeyNumber(L" 1604"), 0);
    EXPECT_EQ(ParseHotKeyNumber(L"1604 "), 0);
    EXPECT_EQ(ParseHotKeyNumber(L"0x644"), 0);
    EXPECT_EQ(ParseHotKeyNumber(L"-"), 0);
    EXPECT_EQ(ParseHotKeyNumber(L"2147483648"), 0);
    EXPECT_EQ(ParseHotKeyNumber(L"99999999999999999999"), 0);
    EXPECT_EQ(ParseInternetShortcut(L"HotKey=abc").HotKey, 0);
}

TEST(HotKeySplit, LowByteKeyAndNextByteModifiers)
{
    const HotKeyParts mail = SplitHotKey(1604);  // 0x644: Ctrl+Alt+D
    EXPECT_EQ(mail.Key, 68);
    EXPECT_EQ(mail.Modifiers, 6);
    const HotKeyParts wide = SplitHotKey(0x12345);  // bits above 15 are not modifiers
    EXPECT_EQ(wide.Key, 0x45);
    EXPECT_EQ(wide.Modifiers, 0x23);
    EXPECT_EQ(SplitHotKey(0).Key, 0);
}

TEST(LaunchRules, BareMailtoOnlyWholeValue)
{
    EXPECT_TRUE(IsBareMailto(L"mailto:"));
    EXPECT_TRUE(IsBareMailto(L"MAILTO:"));
    EXPECT_FALSE(IsBareMailto(L"mailto:someone@example.com"));
    EXPECT_FALSE(IsBareMailto(L"mailto"));
    EXPECT_FALSE(IsBareMailto(L""));
}

TEST(LaunchRules, BrowserPathFromQuotedAndUnquotedCommands)
{
    EXPECT_EQ(BrowserPathFromCommand(L"\"C:\\Program Files\\B\\b.exe\" -- \"%1\""), L"C:\\Program Files\\B\\b.exe");
    EXPECT_EQ(BrowserPathFromCommand(L"\"C:\\B\\b.exe"), L"C:\\B\\b.exe");
    EXPECT_EQ(BrowserPathFromCommand(L"C:\\B\\b.exe -nohome %1"), L"C:\\B\\b.exe");
    EXPECT_EQ(BrowserPathFromCommand(L"C:\\B\\b.exe"), L"C:\\B\\b.exe");
    EXPECT_EQ(BrowserPathFromCommand(L""), L"");
}

TEST(LaunchRules, UrlBecomesOneQuotedArgument)
{
    EXPECT_EQ(QuoteUrlArgument(L"http://x/"), L"\"http://x/\"");
    EXPECT_EQ(QuoteUrlArgument(L"http://x/ --some-switch"), L"\"http://x/ --some-switch\"");
    EXPECT_EQ(QuoteUrlArgument(L"http://x/\" --evil \""), L"\"http://x/%22 --evil %22\"");
    EXPECT_EQ(QuoteUrlArgument(L"file://C:\\dir\\"), L"\"file://C:\\dir\\\\\"");
    EXPECT_EQ(QuoteUrlArgument(L""), L"\"\"");
}

TEST(LaunchRules, ShellNewCommandReplacesTheFirstPercentOne)
{
    EXPECT_EQ(ReplaceFirstPercentOne(L"rundll32.exe appwiz.cpl,NewLinkHere %1", L"C:\\D\\Icons\\"),
              L"rundll32.exe appwiz.cpl,NewLinkHere C:\\D\\Icons\\");
    EXPECT_EQ(ReplaceFirstPercentOne(L"x %1 %1", L"F"), L"x F %1");
    EXPECT_EQ(ReplaceFirstPercentOne(L"x.exe /new", L"F"), L"x.exe /new");
}

TEST(ImageMode, OnlyXpClassWithActiveThemesSharesTheSystemImages)
{
    const OsVersion xp{OsPlatform::Nt, 5, 1};
    const OsVersion server2003{OsPlatform::Nt, 5, 2};
    EXPECT_TRUE(SharesSystemImages(xp, L"1", L""));
    EXPECT_TRUE(SharesSystemImages(server2003, L"1", L"RUNASADMIN"));
    EXPECT_FALSE(SharesSystemImages(xp, L"0", L""));
    EXPECT_FALSE(SharesSystemImages(xp, L"", L""));
    EXPECT_FALSE(SharesSystemImages(xp, L"1", L"DISABLETHEMES"));
    EXPECT_FALSE(SharesSystemImages(xp, L"1", L"WIN2000 DISABLETHEMES"));
    EXPECT_FALSE(SharesSystemImages(OsVersion{OsPlatform::Nt, 5, 0}, L"1", L""));
    EXPECT_FALSE(SharesSystemImages(OsVersion{OsPlatform::Nt, 6, 1}, L"1", L""));
    EXPECT_FALSE(SharesSystemImages(OsVersion{OsPlatform::Win9x, 5, 1}, L"1", L""));
}

TEST(ForegroundLock, AbsentOnlyOnWindows95AndNt4OrOlder)
{
    EXPECT_FALSE(HasForegroundLock(OsVersion{OsPlatform::Nt, 4, 0}));
    EXPECT_TRUE(HasForegroundLock(OsVersion{OsPlatform::Nt, 5, 0}));
    EXPECT_FALSE(HasForegroundLock(OsVersion{OsPlatform::Win9x, 4, 0}));
    EXPECT_TRUE(HasForegroundLock(OsVersion{OsPlatform::Win9x, 4, 10}));
}

TEST(CollectionOrder, LastNameFirstWithoutCase)
{
    EXPECT_EQ(PlacementOrder({L"C:\\I\\b.lnk", L"C:\\I\\a.lnk", L"C:\\I\\c.lnk"}),
              (std::vector<std::wstring>{L"C:\\I\\c.lnk", L"C:\\I\\b.lnk", L"C:\\I\\a.lnk"}));
    EXPECT_EQ(PlacementOrder({L"C:\\I\\B.lnk", L"C:\\I\\a.lnk", L"C:\\I\\C.lnk"}),
              (std::vector<std::wstring>{L"C:\\I\\C.lnk", L"C:\\I\\B.lnk", L"C:\\I\\a.lnk"}));
    EXPECT_TRUE(PlacementOrder({}).empty());
}

TEST(CollectionOrder, IdsStayWithinSixteenBits)
{
    std::uint16_t id = 0;
    ASSERT_TRUE(ItemIdFor(100, 0, id));
    EXPECT_EQ(id, 100);
    ASSERT_TRUE(ItemIdFor(300, 0xFFFF - 300, id));
    EXPECT_EQ(id, 0xFFFF);
    EXPECT_FALSE(ItemIdFor(300, 0xFFFF - 299, id));
}

TEST(IconFolderLostFilesRule, OnlyAnAdditionKeepsTheCollection)
{
    const std::vector<std::wstring> loaded{L"C:\\I\\a.lnk", L"C:\\I\\B.lnk"};
    // Same files, in another case and order, plus one new file: nothing lost.
    EXPECT_FALSE(IconFolderLostFiles({L"C:\\I\\b.LNK", L"C:\\I\\new.lnk", L"c:\\i\\A.lnk"}, loaded));
    EXPECT_FALSE(IconFolderLostFiles({L"C:\\I\\a.lnk", L"C:\\I\\B.lnk"}, loaded));
    // A removal, a rename, an empty folder, or nothing loaded yet: rebuild.
    EXPECT_TRUE(IconFolderLostFiles({L"C:\\I\\a.lnk"}, loaded));
    EXPECT_TRUE(IconFolderLostFiles({L"C:\\I\\a.lnk", L"C:\\I\\renamed.lnk"}, loaded));
    EXPECT_TRUE(IconFolderLostFiles({}, loaded));
    EXPECT_TRUE(IconFolderLostFiles({L"C:\\I\\a.lnk"}, {}));
}

TEST(IconFolderLostFilesRule, NewFilesKeepListingOrderAndIgnoreCase)
{
    PathSet loaded;
    loaded.Insert(L"C:\\I\\A.lnk");
    EXPECT_TRUE(loaded.Contains(L"c:\\i\\a.LNK"));
    EXPECT_EQ(NewFiles({L"C:\\I\\z.lnk", L"c:\\i\\a.lnk", L"C:\\I\\m.lnk"}, loaded),
              (std::vector<std::wstring>{L"C:\\I\\z.lnk", L"C:\\I\\m.lnk"}));
}
