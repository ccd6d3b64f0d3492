#include "app/OptionsRules.h"

namespace {
constexpr std::wstring_view kElision = L"...\\";

// Removes the first directory of a directory part ("\a\b\" -> "\...\b\", "\...\b\" -> "\...\").
std::wstring CutFirstDirectory(std::wstring directory)
{
    if (directory == L"\\") return {};
    const bool rooted = !directory.empty() && directory.front() == L'\\';
    if (rooted) directory.erase(0, 1);
    // The elision an earlier cut left.
    if (directory.starts_with(kElision)) directory.erase(0, kElision.size());
    const std::size_t slash = directory.find(L'\\');
    directory = slash == std::wstring::npos ? std::wstring() : std::wstring(kElision) + directory.substr(slash + 1);
    if (rooted) directory.insert(0, 1, L'\\');
    return directory;
}
} // namespace

std::wstring ShortenPathToWidth(std::wstring_view path, int maxWidth, const TextWidthFunction& textWidth)
{
    std::wstring drive, rest(path);
    if (path.size() >= 2 && path[1] == L':') {
        drive = std::wstring(path.substr(0, 2));
        rest.erase(0, 2);
    }
    // The name is what follows the last backslash; for a folder path, its last folder with the
    // backslash after it.
    std::size_t end = rest.size();
    if (end > 1 && rest.back() == L'\\') --end;
    const std::size_t slash = end == 0 ? std::wstring::npos : rest.find_last_of(L'\\', end - 1);
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    std::wstring directory = rest.substr(0, nameStart);
    const std::wstring name = rest.substr(nameStart);

    while ((!directory.empty() || !drive.empty()) && textWidth(drive + directory + name) > maxWidth) {
        if (directory == L"\\...\\") {
            drive.clear();
            directory = kElision;
        } else if (!directory.empty()) {
            directory = CutFirstDirectory(std::move(directory));
        } else {
            drive.clear();
        }
    }
    return drive + directory + name;
}

std::vector<PixelSpan> FitPanelToFrame(const std::vector<PanelControl>& controls, PixelSpan designed, PixelSpan actual)
{
    // A template edge in dialog units becomes pixels through the font's rounding: an edge meant to
    // be the right margin may land a pixel or two from it.
    constexpr int kRightEdgeSlack = 2;
    const long long designedWidth = designed.right - designed.left;
    const long long actualWidth = actual.right - actual.left;
    const auto place = [&](int x) {
        if (designedWidth <= 0) return actual.left + (x - designed.left);
        const long long offset = static_cast<long long>(x - designed.left) * actualWidth;
        // Rounded to the nearest pixel, halves away from the left edge, for either sign.
        const long long rounded = (offset >= 0 ? offset + designedWidth / 2 : offset - designedWidth / 2) / designedWidth;
        return actual.left + static_cast<int>(rounded);
    };
    std::vector<PixelSpan> placed;
    placed.reserve(controls.size());
    for (const PanelControl& control : controls) {
        const int width = control.span.right - control.span.left;
        PixelSpan span{place(control.span.left), 0};
        if (control.span.right >= designed.right - kRightEdgeSlack) {
            span.right = actual.right;
            if (control.keepsWidth) span.left = span.right - width;
        } else {
            span.right = control.keepsWidth ? span.left + width : place(control.span.right);
        }
        placed.push_back(span);
    }
    return placed;
}
