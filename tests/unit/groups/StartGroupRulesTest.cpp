#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "groups/StartGroupRules.h"

namespace {
using Captions = std::vector<std::wstring>;
} // namespace

TEST(StartGroupSections, OnlyTheExactPrefixFollowedByACaptionIsAGroup)
{
    // A caption the profile functions take for an earlier one's names no group of its own.
    const Captions names = {L"Option",       L"StartGroup_Work", L"startgroup_low", L"StartGroup_",
                            L"STARTGROUP_X", L"StartGroup_ \u00c9t\u00e9", L"XStartGroup_Y", L"StartGroup_StartGroup_",
                            L"StartGroup_WORK", L"StartGroup_ \u00e9T\u00c9"};
    EXPECT_EQ(GroupCaptionsOfSections(names), (Captions{L"Work", L" \u00c9t\u00e9", L"StartGroup_"}));
    EXPECT_EQ(GroupSectionName(L"Work"), L"StartGroup_Work");
}

TEST(StartGroupSections, EverySectionIsExaminedBeyondTheFirst256)
{
    Captions names;
    for (int i = 0; i < 300; ++i) names.push_back(i % 2 ? L"StartGroup_G" + std::to_wstring(i) : L"Other" + std::to_wstring(i));
    const Captions captions = GroupCaptionsOfSections(names);
    ASSERT_EQ(captions.size(), 150u);
    EXPECT_EQ(captions.back(), L"G299");
}

TEST(StartGroupFiles, TheStoredCountIsReadUpToTheKeysThereAre)
{
    auto keys = [](std::initializer_list<int> numbers) {
        Captions names;
        for (int n : numbers) names.push_back(std::to_wstring(n));
        return names;
    };
    // "1" for a key read, "0" for a missing one read as an empty path.
    auto read = [](const std::string& bits) {
        std::vector<bool> result;
        for (char b : bits) result.push_back(b == '1');
        return result;
    };
    struct Case {
        int stored;
        Captions keyNames;
        std::vector<bool> read;
    };
    const Case cases[] = {
        {3, keys({1, 2, 3, 4, 5}), read("111")},  // keys past the count are ignored
        {5, keys({1, 2, 5}), read("11001")},      // a gap reads as empty paths
        {4, keys({1}), read("1000")},             // as do missing keys at the end
        {0, keys({1}), {}},
        {-7, keys({1}), {}},
        {150, {}, read(std::string(150, '0'))},
        {INT_MAX, keys({1, 2, 500}), read("11" + std::string(497, '0') + "1")},  // a count no file bears ends at its last key
        {INT_MAX, keys({1, 10002}), read("1")},                                  // past the limit only keys without a gap
        {INT_MAX, {}, {}},
        {7, {L"01", L"+2", L" 3", L"4x", L"0", L"-1", L"x"}, read("0000000")},
    };
    for (const auto& c : cases) EXPECT_EQ(GroupFileKeys(c.stored, c.keyNames), c.read) << c.stored;

    Captions all;
    for (int i = 1; i <= kMostGroupFiles + 5; ++i) all.push_back(std::to_wstring(i));
    EXPECT_EQ(GroupFileKeys(INT_MAX, all), std::vector<bool>(kMostGroupFiles + 5, true)) << "no key is left out";
}

TEST(StartGroupDelay, RunnerAndEditorListsReadTheStoredInterval)
{
    struct Case {
        int stored, delay;
        DelayChoice shown;
    };
    const Case cases[] = {
        {-5, 1, {0, 1}},   {0, 1, {0, 0}},     {1, 1, {0, 1}},       {59, 59, {0, 59}},       {60, 60, {1, 0}},
        {90, 90, {1, 30}}, {1859, 1859, {30, 59}}, {1860, 1860, {30, 60}}, {5000, 5000, {30, 60}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GroupDelaySeconds(c.stored), c.delay) << c.stored;
        EXPECT_EQ(DelayChoiceOfInterval(c.stored), c.shown) << c.stored;
    }
    EXPECT_EQ(IntervalOfDelayChoice({1, 30}), 90);
    EXPECT_EQ(IntervalOfDelayChoice({30, 60}), 1860);
    // What the lists show is what OK stores, for every value they can show.
    for (int interval = 0; interval <= 1860; ++interval)
        ASSERT_EQ(IntervalOfDelayChoice(DelayChoiceOfInterval(interval)), interval);
}

TEST(StartGroupEdit, ChecksComeInTheirOrder)
{
    struct Case {
        const wchar_t* caption;
        std::size_t files;
        Captions existing;
        const wchar_t* original;
        GroupEditError expected;
    };
    const Case cases[] = {
        {L"", 0, {}, L"", GroupEditError::BlankName},
        {L"   ", 2, {}, L"", GroupEditError::BlankName},
        {L"a]b", 1, {}, L"", GroupEditError::UnsafeName},
        {L"two\r\nlines", 1, {}, L"", GroupEditError::UnsafeName},
        {L" lead", 1, {}, L"", GroupEditError::UnsafeName},
        {L"trail ", 1, {}, L"", GroupEditError::UnsafeName},
        {L"a]b", 0, {}, L"", GroupEditError::UnsafeName},
        {L"Work", 0, {L"Work"}, L"", GroupEditError::NoFiles},
        {L"games", 1, {L"Games", L"Play"}, L"", GroupEditError::DuplicateCaption},
        {L"GAMES", 1, {L"Games", L"Play"}, L"Play", GroupEditError::DuplicateCaption},
        {L"Games", 1, {L"games", L"Play"}, L"games", GroupEditError::None},  // a rename in letter case only
        {L"\u00c9cole", 1, {L"\u00e9cole"}, L"", GroupEditError::DuplicateCaption},
        {L"\u00c9cole", 1, {L"\u00e9cole"}, L"\u00e9cole", GroupEditError::None},
        {L"Play", 3, {L"Games", L"Play"}, L"Play", GroupEditError::None},
        {L"[Tools] & \u00c9t\u00e9", 1, {L"Games"}, L"", GroupEditError::UnsafeName},
        {L"Tools & \u00c9t\u00e9 [1", 1, {L"Games"}, L"", GroupEditError::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckGroupEdit(c.caption, c.files, c.existing, c.original), c.expected) << testing::PrintToString(
            std::wstring(c.caption));
    EXPECT_STREQ(GroupEditMessage(GroupEditError::BlankName), L"Group name cannot be blank");
    EXPECT_STREQ(GroupEditMessage(GroupEditError::NoFiles), L"File list cannot be zero");
    EXPECT_STREQ(GroupEditMessage(GroupEditError::DuplicateCaption), L"Start group caption already exists");
}
