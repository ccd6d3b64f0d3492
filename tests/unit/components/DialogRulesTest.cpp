#include <gtest/gtest.h>

#include "components/DialogRules.h"

TEST(FolderDialogRules, StatusTextKeepsTheFirstElementAndTheEndThatFits)
{
    struct Case {
        const wchar_t* name;
        std::size_t limit;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\Documents and Settings\\User\\Application Data\\Data", 50, L"C:\\...\\User\\Application Data\\Data"},
        {L"C:\\short\\path", 50, L"C:\\short\\path"},
        {L"A display name without any backslash that is long", 20, L"A display name witho"},
        {L"C:\\only-one-level-below-the-drive-root-but-long", 20, L"C:\\only-one-level-be"},
        {L"C:\\abc\\def", 5, L"C:\\ab"},
        {L"\\\\server\\share\\projects\\2024\\reports\\quarterly", 30, L"\\\\server\\...\\reports\\quarterly"},
        {L"C:\\a\\b\\an-element-far-longer-than-the-limit-itself", 20, L"C:\\...\\an-element..."},
    };
    for (const auto& c : cases) EXPECT_EQ(ShortenDisplayName(c.name, c.limit), c.expected) << testing::PrintToString(std::wstring(c.name));
}

TEST(FolderDialogRules, NewFolderPathButtonAndCaptions)
{
    EXPECT_EQ(JoinNewFolderPath(L"C:\\Data", L"New"), L"C:\\Data\\New");
    EXPECT_EQ(JoinNewFolderPath(L"C:\\", L"New"), L"C:\\New");
    EXPECT_EQ(JoinNewFolderPath(L"C:\\Data", L"\\New"), L"C:\\Data\\New");
    EXPECT_EQ(JoinNewFolderPath(L"C:\\Data", L"a\\b"), L"C:\\Data\\a\\b");
    // A screen density outside the table places the button by the caption height.
    EXPECT_EQ(NewFolderButtonPlace(110, 300, 18), (ButtonPlace{13, 265, 85, 26}));
    EXPECT_EQ(NewFolderButtonPlace(96, 300, 18), (ButtonPlace{12, 264, 75, 23}));
    EXPECT_EQ(NewFolderButtonWidth(72, 30), 75);
    EXPECT_EQ(NewFolderButtonWidth(192, 30), 150);
    EXPECT_EQ(NewFolderButtonWidth(96, 100), 112);
    EXPECT_EQ(DefaultCaption({L"0009=Current folder:", L"Default=Pick one:"}), L"Pick one:");
    EXPECT_EQ(DefaultCaption({L"0009=Current folder:"}), L"");
    EXPECT_TRUE(UsesNewDialogStyle(5, DefaultBrowseInfoFlags()));
    EXPECT_FALSE(UsesNewDialogStyle(4, DefaultBrowseInfoFlags()));
    EXPECT_FALSE(UsesNewDialogStyle(6, {BrowseInfoFlag::ShowPath}));
    EXPECT_EQ(BrowseFlagsOf(DefaultBrowseInfoFlags()), 0x0004u | 0x0040u | 0x8000u);
}

TEST(OpenDialogRules, FilterAndMultipleSelection)
{
    using namespace std::string_literals;
    EXPECT_EQ(OpenDialogFilter(L"All Files (*.*) | *.*"), L"All Files (*.*)\0*.*\0\0"s);
    EXPECT_EQ(OpenDialogFilter(L"Shortcuts|*.lnk;*.url|All|*.*"), L"Shortcuts\0*.lnk;*.url\0All\0*.*\0\0"s);
    EXPECT_EQ(OpenDialogFilter(L"Anything"), L"Anything\0*.*\0\0"s);
    EXPECT_EQ(MultiSelectFiles(L"C:\\Data\0b.lnk\0a.lnk\0\0"s),
              (std::vector<std::wstring>{L"C:\\Data\\b.lnk", L"C:\\Data\\a.lnk"}));
    EXPECT_EQ(MultiSelectFiles(L"C:\\\0a.lnk\0\0"s), (std::vector<std::wstring>{L"C:\\a.lnk"}));
    EXPECT_EQ(MultiSelectFiles(L"C:\\Data\\one.lnk\0\0"s), (std::vector<std::wstring>{L"C:\\Data\\one.lnk"}));
    EXPECT_TRUE(MultiSelectFiles(L"\0\0"s).empty());

    struct Case {
        OsVersion version;
        bool extended, system;
    };
    const Case cases[] = {
        {{OsPlatform::Nt, 4, 0}, false, false}, {{OsPlatform::Nt, 5, 0}, true, false},
        {{OsPlatform::Nt, 6, 1}, true, true},   {{OsPlatform::Nt, 10, 0}, true, true},
        {{OsPlatform::Win9x, 4, 10}, false, false}, {{OsPlatform::Win9x, 4, 90}, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UsesExtendedOpenFileName(c.version), c.extended) << c.version.major << "." << c.version.minor;
        EXPECT_EQ(UsesSystemOpenDialog(c.version), c.system) << c.version.major << "." << c.version.minor;
    }
}
