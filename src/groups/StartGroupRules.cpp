#include "groups/StartGroupRules.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

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
    for (const auto& name : sectionNames) {
        auto caption = GroupCaptionOfSection(name);
        if (!caption) continue;
        const bool shadowed = std::any_of(captions.begin(), captions.end(), [&](const std::wstring& earlier) {
            return EqualsOrdinalNoCase(earlier, *caption);
        });
        if (!shadowed) captions.push_back(std::move(*caption));
    }
    return captions;
}

namespace {
// The number of a path key ("1", "2", ... in plain decimal, as the program writes them), or 0.
int GroupFileKeyNumber(std::wstring_view keyName)
{
    if (keyName.empty() || keyName.size() > 10 || keyName.front() == L'0') return 0;
    long long number = 0;
    for (wchar_t c : keyName) {
        if (c < L'0' || c > L'9') return 0;
        number = number * 10 + (c - L'0');
    }
    return number <= INT_MAX ? static_cast<int>(number) : 0;
}
} // namespace

std::vector<bool> GroupFileKeys(int storedCount, const std::vector<std::wstring>& keyNames)
{
    if (storedCount <= 0) return {};
    std::unordered_set<int> numbers;
    for (const auto& name : keyNames)
        if (const int number = GroupFileKeyNumber(name); number > 0 && number <= storedCount) numbers.insert(number);

    // Up to the limit, exactly what the stored count says, gaps and missing keys at the end
    // included. Past it, only keys that follow on without a gap: the length then stays bounded by
    // the keys there are, whatever the count claims, and no key the program wrote is left out.
    int size = std::min(storedCount, kMostGroupFiles);
    while (size < storedCount && numbers.count(size + 1) != 0) ++size;
    // A count beyond the limit says nothing about empty paths at its end.
    if (storedCount > kMostGroupFiles)
        while (size > 0 && numbers.count(size) == 0) --size;

    std::vector<bool> present(static_cast<std::size_t>(size), false);
    for (int number : numbers)
        if (number <= size) present[static_cast<std::size_t>(number - 1)] = true;
    return present;
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
        if (EqualsOrdinalNoCase(existing, caption)) return GroupEditError::DuplicateCaption;
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
