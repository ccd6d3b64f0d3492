#include "groups/StartGroupStore.h"

#include "base/Strings.h"
#include "groups/StartGroupRules.h"

namespace {
constexpr const wchar_t* kInterval = L"Interval";
constexpr const wchar_t* kTotalFile = L"TotalFile";
constexpr const wchar_t* kWaitReady = L"WaitReady";
constexpr const wchar_t* kRunAtStart = L"RunAtStart";

using Values = std::vector<std::pair<std::wstring, std::wstring>>;

Values ValuesOf(const StartGroup& group)
{
    Values values;
    values.reserve(group.files.size() + 2);
    values.emplace_back(kInterval, std::to_wstring(group.interval));
    values.emplace_back(kTotalFile, std::to_wstring(group.files.size()));
    for (std::size_t i = 0; i < group.files.size(); ++i) values.emplace_back(std::to_wstring(i + 1), group.files[i]);
    // Written only when on, so a group saved without them reads as it always did, in any version.
    if (group.waitReady) values.emplace_back(kWaitReady, L"1");
    if (group.runAtStart) values.emplace_back(kRunAtStart, L"1");
    return values;
}

// The name a section has in the file when it is there under the same name in any letter case.
std::wstring NameInFile(const GroupSettingsFile& file, const std::wstring& section)
{
    for (const auto& name : file.SectionNames())
        if (EqualsOrdinalNoCase(name, section)) return name;
    return {};
}

// Writes the section under exactly this name. The profile functions match section names in any
// letter case and keep the old header when they write, so a header that differs only in case is
// written in place first (which proves the file writable), then erased and written anew.
GroupSaveResult WriteSectionNamed(GroupSettingsFile& file, const std::wstring& section, const Values& values)
{
    const std::wstring existing = NameInFile(file, section);
    if (existing.empty() || existing == section)
        return file.WriteSection(section, values) ? GroupSaveResult::Saved : GroupSaveResult::Unchanged;
    if (!file.WriteSection(existing, values)) return GroupSaveResult::Unchanged;
    if (!file.EraseSection(existing)) return GroupSaveResult::UnderOldName;
    if (file.WriteSection(section, values)) return GroupSaveResult::Saved;
    return file.WriteSection(existing, values) ? GroupSaveResult::UnderOldName : GroupSaveResult::Lost;
}
} // namespace

std::vector<GroupRow> LoadGroupRows(const GroupSettingsFile& file)
{
    std::vector<GroupRow> rows;
    for (auto& caption : GroupCaptionsOfSections(file.SectionNames())) {
        const int count = ReadGroupFileCount(file, caption);
        rows.push_back({std::move(caption), count});
    }
    return rows;
}

int ReadGroupFileCount(const GroupSettingsFile& file, const std::wstring& caption)
{
    const std::wstring section = GroupSectionName(caption);
    const int stored = file.ReadInteger(section, kTotalFile, 0);
    if (stored <= 0) return 0;
    return static_cast<int>(GroupFileKeys(stored, file.KeyNames(section)).size());
}

StartGroup ReadStartGroup(const GroupSettingsFile& file, const std::wstring& caption, int count, int intervalDefault)
{
    StartGroup group;
    group.caption = caption;
    const std::wstring section = GroupSectionName(caption);
    group.interval = file.ReadInteger(section, kInterval, intervalDefault);
    group.waitReady = file.ReadInteger(section, kWaitReady, 0) != 0;
    group.runAtStart = file.ReadInteger(section, kRunAtStart, 0) != 0;
    if (count <= 0) return group;
    // One look at the section's keys bounds the count and spares a read of each missing key.
    const std::vector<bool> present = GroupFileKeys(count, file.KeyNames(section));
    group.files.reserve(present.size());
    for (std::size_t i = 0; i < present.size(); ++i)
        group.files.push_back(present[i] ? file.ReadString(section, std::to_wstring(i + 1), L"") : std::wstring());
    return group;
}

std::wstring FirstRunAtStartGroup(const GroupSettingsFile& file, const std::vector<std::wstring>& captions)
{
    for (const auto& caption : captions)
        if (file.ReadInteger(GroupSectionName(caption), kRunAtStart, 0) != 0) return caption;
    return {};
}

GroupSaveResult SaveStartGroup(GroupSettingsFile& file, const std::wstring& originalCaption, const StartGroup& group)
{
    const Values values = ValuesOf(group);
    const std::wstring section = GroupSectionName(group.caption);
    if (originalCaption.empty() || EqualsOrdinalNoCase(originalCaption, group.caption))
        return WriteSectionNamed(file, section, values);
    // A rename: the new section first, so a failure leaves the old group as it was.
    switch (WriteSectionNamed(file, section, values)) {
    case GroupSaveResult::Saved: break;
    // Only a file changed behind the list's back holds the new name in another letter case; the
    // old group is as it was whatever became of that section.
    case GroupSaveResult::UnderOldName: return GroupSaveResult::UnderBothNames;
    default: return GroupSaveResult::Unchanged;
    }
    if (file.EraseSection(GroupSectionName(originalCaption))) return GroupSaveResult::Saved;
    return file.EraseSection(section) ? GroupSaveResult::Unchanged : GroupSaveResult::UnderBothNames;
}

bool DeleteStartGroup(GroupSettingsFile& file, const std::wstring& caption)
{
    return file.EraseSection(GroupSectionName(caption));
}
