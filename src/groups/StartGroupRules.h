#pragma once
// The rules of start groups that need no Windows: which settings sections are groups, the delay
// between launches, the editor's delay lists and its checks. The queue of a running group is in
// StartGroupQueue.h.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::wstring_view kStartGroupPrefix = L"StartGroup_";

// The caption of a group section: the name after the exact (case-sensitive) prefix, when there
// is one. A section named only by the prefix is no group.
std::optional<std::wstring> GroupCaptionOfSection(std::wstring_view sectionName);
std::wstring GroupSectionName(std::wstring_view caption);
// The captions of every group section, in file order; any number of sections is examined. A
// section whose name the profile functions take for an earlier one's (the same name in another
// letter case) cannot be read on its own, and is no further group.
std::vector<std::wstring> GroupCaptionsOfSections(const std::vector<std::wstring>& sectionNames);

// Which of the paths "1", "2", ... a group has, for its stored "TotalFile" and the names of its
// section's keys: element i - 1 says whether key i is there, and the size is the number of files
// read. Up to kMostGroupFiles that is the stored count, where a missing key reads as an empty
// path, as it always did; a count beyond it goes on only while the keys follow without a gap, and
// then ends at its last key, so a count no file can bear reads the keys there are and no more.
inline constexpr int kMostGroupFiles = 10000;
std::vector<bool> GroupFileKeys(int storedCount, const std::vector<std::wstring>& keyNames);

// Seconds between two launches for a stored "Interval": 0 and negative values count as 1.
int GroupDelaySeconds(int storedInterval);

// The editor's two lists: minutes 0 to 30, seconds 0 to 60.
inline constexpr int kMaxDelayMinutes = 30;
inline constexpr int kMaxDelaySeconds = 60;
struct DelayChoice {
    int minutes = 0;
    int seconds = 0;
    bool operator==(const DelayChoice&) const = default;
};
// What the lists show for a stored "Interval": a negative one as the runner takes it (one
// second), one beyond the lists' reach clamped to 30 minutes 60 seconds.
DelayChoice DelayChoiceOfInterval(int storedInterval);
int IntervalOfDelayChoice(const DelayChoice& choice);

// The editor's checks, in the order the user meets them.
enum class GroupEditError {
    None,
    BlankName,         // "Group name cannot be blank"
    UnsafeName,        // the caption cannot stand in a section name as it is
    NoFiles,           // "File list cannot be zero"
    DuplicateCaption,  // "Start group caption already exists"
};
// `existingCaptions` are the captions of the list; `originalCaption` is the edited group's
// (empty for a new one), which may be renamed to itself in another letter case.
GroupEditError CheckGroupEdit(std::wstring_view caption, std::size_t fileCount,
                              const std::vector<std::wstring>& existingCaptions, std::wstring_view originalCaption);
// True for a caption the settings file would keep whole in a section name: no "]", no line
// break or other control character, no blank at either end.
bool IsSafeGroupCaption(std::wstring_view caption);
const wchar_t* GroupEditMessage(GroupEditError error);
