#include "groups/StartGroupRules.h"

#include <algorithm>

#include "base/Strings.h"

std::optional<std::wstring> GroupCaptionOfSection(std::wstring_view sectionName)
{
    if (sectionName.size() <= kStartGroupPrefix.size() || sectionName.substr(0, kStartGroupPrefix.size()) != kStartGroupPrefix)
        return std::nullopt;
    return std::wstring(sectionName.substr(kStartGroupPrefix.size()));
}

std::wstring GroupSectionName(std::wstring_view caption) { return std::wstring(kStartGroupPrefix) + std::wstring(caption); }

std::vector<std::wstring> GroupCaptionsOfSections(const std::vector<std::wstring>& sectionNames)
{
    std::vector<std::wstring> captions;
    for (const auto& name : sectionNames)
        if (auto caption = GroupCaptionOfSection(name)) captions.push_back(std::move(*caption));
    return captions;
}

int GroupDelaySeconds(int storedInterval) { return storedInterval < 1 ? 1 : storedInterval; }

DelayChoice DelayChoiceOfInterval(int storedInterval)
{
    if (storedInterval < 0) storedInterval = 1;
    constexpr int kLargest = kMaxDelayMinutes * 60 + kMaxDelaySeconds;
    if (storedInterval >= kLargest) return {kMaxDelayMinutes, kMaxDelaySeconds};
    return {storedInterval / 60, storedInterval % 60};
}

int IntervalOfDelayChoice(const DelayChoice& choice) { return choice.minutes * 60 + choice.seconds; }

bool IsSafeGroupCaption(std::wstring_view caption)
{
    if (caption.empty()) return false;
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000' || c == L'\u00a0'; };
    if (blank(caption.front()) || blank(caption.back())) return false;
    return std::none_of(caption.begin(), caption.end(), [](wchar_t c) { return c == L']' || c < 0x20 || c == 0x7f; });
}

GroupEditError CheckGroupEdit(std::wstring_view caption, std::size_t fileCount,
                              const std::vector<std::wstring>& existingCaptions, std::wstring_view originalCaption)
{
    const bool blank = std::all_of(caption.begin(), caption.end(), [](wchar_t c) { return c == L' ' || c == L'\t'; });
    if (blank) return GroupEditError::BlankName;
    if (!IsSafeGroupCaption(caption)) return GroupEditError::UnsafeName;
    if (fileCount == 0) return GroupEditError::NoFiles;
    // The edited group's own row does not count: a rename in letter case only is no duplicate.
    bool ownRowSkipped = originalCaption.empty();
    for (const auto& existing : existingCaptions) {
        if (!ownRowSkipped && existing == originalCaption) {
            ownRowSkipped = true;
            continue;
        }
        if (EqualsNoCase(existing, caption)) return GroupEditError::DuplicateCaption;
    }
    return GroupEditError::None;
}

const wchar_t* GroupEditMessage(GroupEditError error)
{
    switch (error) {
    case GroupEditError::BlankName: return L"Group name cannot be blank";
    case GroupEditError::UnsafeName:
        return L"Group name cannot contain \"]\" or a line break, nor begin or end with a blank";
    case GroupEditError::NoFiles: return L"File list cannot be zero";
    case GroupEditError::DuplicateCaption: return L"Start group caption already exists";
    case GroupEditError::None: break;
    }
    return L"";
}

std::optional<std::wstring> StartGroupQueue::Start(const std::vector<std::wstring>& files, const FileProbe& exists)
{
    if (Running() || files.empty()) return std::nullopt;
    for (std::size_t i = 1; i < files.size(); ++i)
        if (exists(files[i])) m_paths.push_back(files[i]);
    if (exists(files.front())) return files.front();
    return std::nullopt;
}

std::optional<std::wstring> StartGroupQueue::Tick(const FileProbe& exists)
{
    if (m_paths.empty()) return std::nullopt;
    std::wstring next = std::move(m_paths.front());
    m_paths.pop_front();
    if (exists(next)) return next;
    return std::nullopt;
}
