#pragma once
// Start groups in the settings file: one section "StartGroup_" + caption per group, holding
// "Interval" (seconds), "TotalFile" (N) and the paths "1" ... "N" in launch order, and where they
// are on, "WaitReady" = 1 ("Wait until each program is ready") and "RunAtStart" = 1 ("Run when
// the program starts"); a missing key means off.

#include <string>
#include <utility>
#include <vector>

// What the groups need of the settings file.
class GroupSettingsFile {
public:
    virtual ~GroupSettingsFile() = default;
    // Section names in file order.
    virtual std::vector<std::wstring> SectionNames() const = 0;
    virtual std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& defaultValue) const = 0;
    virtual int ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const = 0;
    // The names of the section's keys, in file order.
    virtual std::vector<std::wstring> KeyNames(const std::wstring& section) const = 0;
    // Replaces the section's keys with these in one write of the file; false when nothing could be
    // written (the file is then as it was).
    virtual bool WriteSection(const std::wstring& section,
                              const std::vector<std::pair<std::wstring, std::wstring>>& values) = 0;
    // True when the section is gone afterwards (also when there was none).
    virtual bool EraseSection(const std::wstring& section) = 0;
};

struct GroupRow {
    std::wstring caption;
    int fileCount = 0;
};

struct StartGroup {
    std::wstring caption;
    int interval = 0;  // as stored
    std::vector<std::wstring> files;
    bool waitReady = false;
    bool runAtStart = false;
    bool operator==(const StartGroup&) const = default;
};

// Every group of the file, in file order, with its file count.
std::vector<GroupRow> LoadGroupRows(const GroupSettingsFile& file);
// The group's files "1" ... `count` (missing keys read as empty paths; no more than the keys
// there are bear, see GroupFileCount) and its "Interval" (`intervalDefault` when missing).
StartGroup ReadStartGroup(const GroupSettingsFile& file, const std::wstring& caption, int count, int intervalDefault);
// The first of these groups (in this order) that runs when the program starts; empty for none.
std::wstring FirstRunAtStartGroup(const GroupSettingsFile& file, const std::vector<std::wstring>& captions);
// How many files a group has: its "TotalFile" (0 when missing), bounded by the keys there are.
int ReadGroupFileCount(const GroupSettingsFile& file, const std::wstring& caption);

// What a save left in the settings file.
enum class GroupSaveResult {
    Saved,
    Unchanged,       // nothing could be written: the file is as it was
    UnderOldName,    // the group as edited, under the name it had in the file
    UnderBothNames,  // a rename: the group as it was under its old name, and as edited under the new
    Lost,            // its section was erased and could not be written again
};
// Writes a group, replacing the one first named `originalCaption` (empty for a new group). A
// rename writes the new section before the old one goes, and a rename in letter case only gives
// the section its new name.
GroupSaveResult SaveStartGroup(GroupSettingsFile& file, const std::wstring& originalCaption, const StartGroup& group);
// Erases a group's section; false when it is still there afterwards.
bool DeleteStartGroup(GroupSettingsFile& file, const std::wstring& caption);
