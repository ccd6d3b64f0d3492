// Start groups in a real settings file: the scan, writing, renaming, and a file that cannot be
// written.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "app/LauncherGroups.h"
#include "app/Settings.h"
#include "base/Handles.h"
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
    ASSERT_TRUE(SaveStartGroup(m_settings, L"", games));
    EXPECT_EQ(Read(L"Games"), games);
    EXPECT_EQ(m_ini.ReadString(L"StartGroup_Games", L"Interval", L""), L"90");

    // The same group, shorter: "TotalFile" bounds what is read.
    const StartGroup shorter = Group(L"Games", 5, {L"C:\\b.lnk"});
    ASSERT_TRUE(SaveStartGroup(m_settings, L"Games", shorter));
    EXPECT_EQ(Read(L"Games"), shorter);

    const StartGroup play = Group(L"Play", 5, {L"C:\\b.lnk", L"C:\\c.lnk"});
    ASSERT_TRUE(SaveStartGroup(m_settings, L"Games", play));
    EXPECT_FALSE(HasSection(L"StartGroup_Games"));
    EXPECT_EQ(Read(L"Play"), play);

    // A rename in letter case only gives the section its new name.
    const StartGroup upper = Group(L"PLAY", 7, play.files);
    ASSERT_TRUE(SaveStartGroup(m_settings, L"Play", upper));
    EXPECT_TRUE(HasSection(L"StartGroup_PLAY"));
    EXPECT_FALSE(HasSection(L"StartGroup_Play"));
    EXPECT_EQ(Read(L"PLAY"), upper);

    ASSERT_TRUE(DeleteStartGroup(m_settings, L"PLAY"));
    EXPECT_TRUE(LoadGroupRows(m_settings).empty());
    EXPECT_TRUE(DeleteStartGroup(m_settings, L"PLAY")) << "a group that is not there is gone";
}

TEST_F(GroupStoreTest, AFileThatCannotBeWrittenKeepsEveryGroupAsItWas)
{
    const StartGroup games = Group(L"games", 3, {L"C:\\a.lnk", L"C:\\b.lnk"});
    ASSERT_TRUE(SaveStartGroup(m_settings, L"", games));
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
    EXPECT_FALSE(SaveStartGroup(m_settings, L"games", Group(L"games", 9, {L"C:\\c.lnk"})));
    EXPECT_FALSE(SaveStartGroup(m_settings, L"games", Group(L"Games", 9, {L"C:\\c.lnk"})));
    EXPECT_FALSE(SaveStartGroup(m_settings, L"games", Group(L"Other", 9, {L"C:\\c.lnk"})));
    EXPECT_FALSE(SaveStartGroup(m_settings, L"", Group(L"New", 1, {L"C:\\c.lnk"})));
    EXPECT_FALSE(DeleteStartGroup(m_settings, L"games"));
    EXPECT_EQ(ReadFileBytes(Path()), before);
    holder.reset();
    ::SetFileAttributesW(Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Read(L"games"), games);
}
