// Start groups in a real settings file: the scan, writing, renaming, a file that cannot be
// written, and what a save that fails half-way leaves.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <set>

#include "app/LauncherGroups.h"
#include "app/Settings.h"
#include "base/Handles.h"
#include "base/Strings.h"
#include "common/TempFolder.h"
#include "groups/StartGroupStore.h"

namespace {
class GroupStoreTest : public testing::Test {
protected:
    std::wstring Path() const { return m_folder / L"groups.ini"; }
    bool HasSection(const std::wstring& name) const
    {
        const auto names = m_ini.SectionNames();
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    StartGroup Group(const std::wstring& caption, int interval, std::vector<std::wstring> files) const
    {
        return {caption, interval, std::move(files)};
    }
    StartGroup Read(const std::wstring& caption) const
    {
        return ReadStartGroup(m_settings, caption, ReadGroupFileCount(m_settings, caption), 0);
    }

    TempFolder m_folder;
    IniFile m_ini{Path()};
    IniGroupSettings m_settings{m_ini};
};
} // namespace

TEST_F(GroupStoreTest, ListsEveryGroupInFileOrderWithItsFileCount)
{
    std::string text = "[Option]\r\nShowTime=3\r\n[StartGroup_Work]\r\nTotalFile=2\r\n[startgroup_low]\r\nTotalFile=1\r\n"
                       "[StartGroup_]\r\nTotalFile=4\r\n[StartGroup_Empty]\r\nInterval=5\r\n";
    for (int i = 0; i < 300; ++i) text += "[Other" + std::to_string(i) + "]\r\nA=1\r\n";
    text += "[StartGroup_Last]\r\nTotalFile=7\r\n";
    WriteFileBytes(Path(), text);
    const auto rows = LoadGroupRows(m_settings);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].caption, L"Work");
    EXPECT_EQ(rows[0].fileCount, 2);
    EXPECT_EQ(rows[1].caption, L"Empty");
    EXPECT_EQ(rows[1].fileCount, 0);
    EXPECT_EQ(rows[2].caption, L"Last");
    EXPECT_EQ(rows[2].fileCount, 7);
}

TEST_F(GroupStoreTest, WritesEditsAndRenamesWithoutLeavingTheOldSection)
{
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'd') + L"\\\u30c7\u30fc\u30bf.lnk";
    const StartGroup games = Group(L"Games", 90, {L"C:\\a.lnk", longPath, L"C:\\\u00e9t\u00e9.exe"});
    ASSERT_EQ(SaveStartGroup(m_settings, L"", games), GroupSaveResult::Saved);
    EXPECT_EQ(Read(L"Games"), games);
    EXPECT_EQ(m_ini.ReadString(L"StartGroup_Games", L"Interval", L""), L"90");

    // The same group, shorter: "TotalFile" bounds what is read.
    const StartGroup shorter = Group(L"Games", 5, {L"C:\\b.lnk"});
    ASSERT_EQ(SaveStartGroup(m_settings, L"Games", shorter), GroupSaveResult::Saved);
    EXPECT_EQ(Read(L"Games"), shorter);

    const StartGroup play = Group(L"Play", 5, {L"C:\\b.lnk", L"C:\\c.lnk"});
    ASSERT_EQ(SaveStartGroup(m_settings, L"Games", play), GroupSaveResult::Saved);
    EXPECT_FALSE(HasSection(L"StartGroup_Games"));
    EXPECT_EQ(Read(L"Play"), play);

    // A rename in letter case only gives the section its new name.
    const StartGroup upper = Group(L"PLAY", 7, play.files);
    ASSERT_EQ(SaveStartGroup(m_settings, L"Play", upper), GroupSaveResult::Saved);
    EXPECT_TRUE(HasSection(L"StartGroup_PLAY"));
    EXPECT_FALSE(HasSection(L"StartGroup_Play"));
    EXPECT_EQ(Read(L"PLAY"), upper);

    ASSERT_TRUE(DeleteStartGroup(m_settings, L"PLAY"));
    EXPECT_TRUE(LoadGroupRows(m_settings).empty());
    EXPECT_TRUE(DeleteStartGroup(m_settings, L"PLAY")) << "a group that is not there is gone";

    // Letter case beyond ASCII: the profile functions take both spellings for one section.
    const StartGroup school = Group(L"\u00e9cole \u0436", 4, {L"C:\\x.lnk", L"C:\\y.lnk"});
    ASSERT_EQ(SaveStartGroup(m_settings, L"", school), GroupSaveResult::Saved);
    const StartGroup capital = Group(L"\u00c9cole \u0416", 4, school.files);
    ASSERT_EQ(SaveStartGroup(m_settings, school.caption, capital), GroupSaveResult::Saved);
    EXPECT_TRUE(HasSection(L"StartGroup_\u00c9cole \u0416"));
    EXPECT_FALSE(HasSection(L"StartGroup_\u00e9cole \u0436"));
    EXPECT_EQ(Read(capital.caption), capital);
}

TEST_F(GroupStoreTest, TheTwoOptionsAreNewKeysThatAStoredGroupLacksAndOnlyAGroupThatHasThemWrites)
{
    // A group as every earlier version wrote it: both options off.
    WriteFileBytes(Path(), "[StartGroup_Old]\r\nInterval=3\r\nTotalFile=1\r\n1=C:\\a.lnk\r\n"
                           "[StartGroup_Late]\r\nTotalFile=1\r\n1=C:\\b.lnk\r\nRunAtStart=1\r\nWaitReady=1\r\n");
    const StartGroup old = Read(L"Old");
    EXPECT_FALSE(old.waitReady);
    EXPECT_FALSE(old.runAtStart);
    ASSERT_EQ(SaveStartGroup(m_settings, L"Old", old), GroupSaveResult::Saved);
    EXPECT_EQ(m_ini.KeyNames(L"StartGroup_Old"), (std::vector<std::wstring>{L"Interval", L"TotalFile", L"1"}));

    StartGroup early = Group(L"Early", 1, {L"C:\\c.lnk"});
    early.waitReady = early.runAtStart = true;
    ASSERT_EQ(SaveStartGroup(m_settings, L"", early), GroupSaveResult::Saved);
    EXPECT_EQ(Read(L"Early"), early);
    // The first of the list's order that runs at start, not the file's.
    EXPECT_EQ(FirstRunAtStartGroup(m_settings, {L"Early", L"Late", L"Old"}), L"Early");
    EXPECT_EQ(FirstRunAtStartGroup(m_settings, {L"Old", L"Late", L"Early"}), L"Late");
    EXPECT_EQ(FirstRunAtStartGroup(m_settings, {L"Old"}), L"");
}

TEST_F(GroupStoreTest, AHugeTotalFileReadsAtOnceUpToTheKeysThereAre)
{
    std::string text = "[StartGroup_Huge]\r\nTotalFile=2147483647\r\n1=C:\\a.lnk\r\n3=C:\\c.lnk\r\n60=C:\\x.lnk\r\n"
                       "500=C:\\far.lnk\r\n[StartGroup_Gaps]\r\nTotalFile=5\r\n1=C:\\a.lnk\r\n4=C:\\d.lnk\r\n"
                       "6=C:\\past.lnk\r\n";
    WriteFileBytes(Path(), text);
    const ULONGLONG start = ::GetTickCount64();
    const auto rows = LoadGroupRows(m_settings);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].fileCount, 500) << "the count ends at the last key";
    // The editor opens a group with its row's count, the runner with the stored one.
    for (const StartGroup& huge : {ReadStartGroup(m_settings, L"Huge", INT_MAX, 0), Read(L"Huge")}) {
        ASSERT_EQ(huge.files.size(), 500u);
        EXPECT_EQ(huge.files[0], L"C:\\a.lnk");
        EXPECT_EQ(huge.files[1], L"");
        EXPECT_EQ(huge.files[2], L"C:\\c.lnk");
        EXPECT_EQ(huge.files[59], L"C:\\x.lnk");
        EXPECT_EQ(huge.files[499], L"C:\\far.lnk");
    }
    EXPECT_LT(::GetTickCount64() - start, 1000u);
    // A stored count the keys bear reads as it always did: gaps and missing keys at the end as
    // empty paths, keys past the count not at all.
    EXPECT_EQ(rows[1].fileCount, 5);
    EXPECT_EQ(Read(L"Gaps").files, (std::vector<std::wstring>{L"C:\\a.lnk", L"", L"", L"C:\\d.lnk", L""}));
}

TEST_F(GroupStoreTest, AFileThatCannotBeWrittenKeepsEveryGroupAsItWas)
{
    const StartGroup games = Group(L"games", 3, {L"C:\\a.lnk", L"C:\\b.lnk"});
    ASSERT_EQ(SaveStartGroup(m_settings, L"", games), GroupSaveResult::Saved);
    const std::string before = ReadFileBytes(Path());
    ASSERT_TRUE(::SetFileAttributesW(Path().c_str(), FILE_ATTRIBUTE_READONLY));
    // A read-only file stays writable to an administrator; another program holding it open
    // for reading only keeps every writer out.
    UniqueFileHandle holder;
    if (m_ini.WriteString(L"Probe", L"Key", L"1")) {
        ::SetFileAttributesW(Path().c_str(), FILE_ATTRIBUTE_NORMAL);
        m_ini.EraseSection(L"Probe");
        holder.reset(::CreateFileW(Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        ASSERT_FALSE(m_ini.WriteString(L"Probe", L"Key", L"1"));
    }
    EXPECT_EQ(SaveStartGroup(m_settings, L"games", Group(L"games", 9, {L"C:\\c.lnk"})), GroupSaveResult::Unchanged);
    EXPECT_EQ(SaveStartGroup(m_settings, L"games", Group(L"Games", 9, {L"C:\\c.lnk"})), GroupSaveResult::Unchanged);
    EXPECT_EQ(SaveStartGroup(m_settings, L"games", Group(L"Other", 9, {L"C:\\c.lnk"})), GroupSaveResult::Unchanged);
    EXPECT_EQ(SaveStartGroup(m_settings, L"", Group(L"New", 1, {L"C:\\c.lnk"})), GroupSaveResult::Unchanged);
    EXPECT_FALSE(DeleteStartGroup(m_settings, L"games"));
    EXPECT_EQ(ReadFileBytes(Path()), before);
    holder.reset();
    ::SetFileAttributesW(Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Read(L"games"), games);
}

namespace {
// The settings file with chosen writes failing: the calls that change the file are counted from
// 1, and those in `failing` fail without touching it.
class FailingWrites : public GroupSettingsFile {
public:
    FailingWrites(GroupSettingsFile& file, std::set<int> failing) : m_file(file), m_failing(std::move(failing)) {}
    std::vector<std::wstring> SectionNames() const override { return m_file.SectionNames(); }
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) const override
    {
        return m_file.ReadString(section, key, defaultValue);
    }
    int ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const override
    {
        return m_file.ReadInteger(section, key, defaultValue);
    }
    std::vector<std::wstring> KeyNames(const std::wstring& section) const override { return m_file.KeyNames(section); }
    bool WriteSection(const std::wstring& section,
                      const std::vector<std::pair<std::wstring, std::wstring>>& values) override
    {
        return Allowed() && m_file.WriteSection(section, values);
    }
    bool EraseSection(const std::wstring& section) override { return Allowed() && m_file.EraseSection(section); }

private:
    bool Allowed() { return m_failing.count(++m_calls) == 0; }
    GroupSettingsFile& m_file;
    std::set<int> m_failing;
    int m_calls = 0;
};
} // namespace

TEST_F(GroupStoreTest, ASaveThatFailsHalfWaySaysWhatTheFileNowHolds)
{
    const StartGroup before = Group(L"\u00e9cole", 3, {L"C:\\a.lnk", L"C:\\b.lnk"});
    struct Case {
        const wchar_t* newCaption;
        std::set<int> failing;
        GroupSaveResult result;
        // Which caption holds the group as it was, and which as edited, afterwards (empty: none).
        const wchar_t* asItWas;
        const wchar_t* asEdited;
    };
    // A rename in letter case writes in place, erases, writes anew and, when that fails, writes in
    // place again; another rename writes the new section, erases the old one and, when that
    // fails, erases the new one again.
    const Case cases[] = {
        {L"\u00c9cole", {1}, GroupSaveResult::Unchanged, L"\u00e9cole", L""},
        {L"\u00c9cole", {2}, GroupSaveResult::UnderOldName, L"", L"\u00e9cole"},
        {L"\u00c9cole", {3}, GroupSaveResult::UnderOldName, L"", L"\u00e9cole"},
        {L"\u00c9cole", {3, 4}, GroupSaveResult::Lost, L"", L""},
        {L"Play", {1}, GroupSaveResult::Unchanged, L"\u00e9cole", L""},
        {L"Play", {2}, GroupSaveResult::Unchanged, L"\u00e9cole", L""},
        {L"Play", {2, 3}, GroupSaveResult::UnderBothNames, L"\u00e9cole", L"Play"},
    };
    for (const auto& c : cases) {
        WriteFileBytes(Path(), "");
        ASSERT_EQ(SaveStartGroup(m_settings, L"", before), GroupSaveResult::Saved);
        const StartGroup edited = Group(c.newCaption, 9, {L"C:\\c.lnk"});
        FailingWrites failing(m_settings, c.failing);
        EXPECT_EQ(SaveStartGroup(failing, before.caption, edited), c.result) << WideToUtf8(c.newCaption);
        // What the list would show after a restart.
        std::set<std::wstring> listed, expected;
        for (const auto& row : LoadGroupRows(m_settings)) listed.insert(row.caption);
        for (const wchar_t* caption : {c.asItWas, c.asEdited})
            if (*caption) expected.insert(caption);
        EXPECT_EQ(listed, expected) << WideToUtf8(c.newCaption);
        if (*c.asItWas) {
            EXPECT_EQ(Read(c.asItWas), Group(c.asItWas, before.interval, before.files));
        }
        if (*c.asEdited) {
            EXPECT_EQ(Read(c.asEdited), Group(c.asEdited, edited.interval, edited.files));
        }
    }
}
