#include "groups/StartGroupStore.h"

#include "base/Strings.h"
#include "groups/StartGroupRules.h"

namespace {
constexpr const wchar_t* kInterval = L"Interval";
constexpr const wchar_t* kTotalFile = L"TotalFile";

using Values = std::vector<std::pair<std::wstring, std::wstring>>;

Values ValuesOf(const StartGroup& group)
{
    Values values;
    values.reserve(group.files.size() + 2);
    values.emplace_back(kInterval, std::to_wstring(group.interval));
    values.emplace_back(kTotalFile, std::to_wstring(group.files.size()));
    for (std::size_t i = 0; i < group.files.size(); ++i) values.emplace_back(std::to_wstring(i + 1), group.files[i]);
    return values;
}

// The name a section has in the file when it is there under the same name in any letter case.
std::wstring NameInFile(const GroupSettingsFile& file, const std::wstring& section)
{
    for (const auto& name : file.SectionNames())
        if (EqualsNoCase(name, section)) return name;
    return {};
}

// Writes the section under exactly this name. The profile functions match section names in any
// letter case and keep the old header when they write, so a header that differs only in case is
// written in place first (which proves the file writable), then erased and written anew.
bool WriteSectionNamed(GroupSettingsFile& file, const std::wstring& section, const Values& values)
{
    const std::wstring existing = NameInFile(file, section);
    if (existing.empty() || existing == section) return file.WriteSection(section, values);
    if (!file.WriteSection(existing, values)) return false;
    if (!file.EraseSection(existing)) return false;  // the values stand under the old header
    if (file.WriteSection(section, values)) return true;
    file.WriteSection(existing, values);
    return false;
}
} // namespace

std::vector<GroupRow> LoadGroupRows(const GroupSettingsFile& file)
{
    std::vector<GroupRow> rows;
    for (auto& caption : GroupCaptionsOfSections(file.SectionNames())) {
        const int count = file.ReadInteger(GroupSectionName(caption), kTotalFile, 0);
        rows.push_back({std::move(caption), count});
    }
    return rows;
}

int ReadGroupFileCount(const GroupSettingsFile& file, const std::wstring& caption)
{
    return file.ReadInteger(GroupSectionName(caption), kTotalFile, 0);
}

StartGroup ReadStartGroup(const GroupSettingsFile& file, const std::wstring& caption, int count, int intervalDefault)
{
    StartGroup group;
    group.caption = caption;
    const std::wstring section = GroupSectionName(caption);
    group.interval = file.ReadInteger(section, kInterval, intervalDefault);
    for (int i = 1; i <= count; ++i) group.files.push_back(file.ReadString(section, std::to_wstring(i), L""));
    return group;
}

bool SaveStartGroup(GroupSettingsFile& file, const std::wstring& originalCaption, const StartGroup& group)
{
    const Values values = ValuesOf(group);
    const std::wstring section = GroupSectionName(group.caption);
    if (originalCaption.empty() || EqualsNoCase(originalCaption, group.caption))
        return WriteSectionNamed(file, section, values);
    // A rename: the new section first, so a failure leaves the old group as it was.
    if (!WriteSectionNamed(file, section, values)) return false;
    if (file.EraseSection(GroupSectionName(originalCaption))) return true;
    file.EraseSection(section);
    return false;
}

bool DeleteStartGroup(GroupSettingsFile& file, const std::wstring& caption)
{
    return file.EraseSection(GroupSectionName(caption));
}
