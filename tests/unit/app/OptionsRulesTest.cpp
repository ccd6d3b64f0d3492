// The data folder label's shortening, with one pixel per character as the text width, and the
// panels' controls fitted to their frame.

#include <gtest/gtest.h>

#include <string>

#include "app/OptionsRules.h"

namespace {
int CharacterWidth(std::wstring_view text) { return static_cast<int>(text.size()); }

struct ShortenCase {
    const wchar_t* path;
    int width;
    const wchar_t* shown;
};
} // namespace

TEST(ShortenPathToWidth, CutsDirectoriesFromTheLeftThenTheDrive)
{
    const ShortenCase cases[] = {
        {L"C:\\a\\bb\\ccc\\file.txt", 100, L"C:\\a\\bb\\ccc\\file.txt"},  // fits as it is
        {L"C:\\a\\bb\\ccc\\file.txt", 19, L"C:\\...\\ccc\\file.txt"},
        {L"C:\\a\\bb\\ccc\\file.txt", 15, L"C:\\...\\file.txt"},
        {L"C:\\a\\bb\\ccc\\file.txt", 13, L"...\\file.txt"},
        {L"C:\\a\\bb\\ccc\\file.txt", 5, L"file.txt"},  // nothing more to cut
        {L"\\a\\bb\\file.txt", 13, L"\\...\\file.txt"},
        {L"file.txt", 3, L"file.txt"},
        {L"C:\\", 2, L"C:"},
        {L"", 0, L""},
        // A folder keeps its last name.
        {L"C:\\Users\\me\\Orvo Launcher\\", 25, L"C:\\...\\me\\Orvo Launcher\\"},
        {L"C:\\Users\\me\\Orvo Launcher\\", 21, L"C:\\...\\Orvo Launcher\\"},
        {L"C:\\Users\\me\\Orvo Launcher\\", 10, L"Orvo Launcher\\"},
        // A network path shortens, and ends, too.
        {L"\\\\server\\share\\dir\\f", 12, L"\\...\\dir\\f"},
    };
    for (const ShortenCase& c : cases)
        EXPECT_EQ(ShortenPathToWidth(c.path, c.width, CharacterWidth), c.shown) << c.path << " in " << c.width;
}

namespace {
struct FitCase {
    PixelSpan designed;
    PixelSpan actual;
    PanelControl control;
    PixelSpan placed;
};
} // namespace

TEST(FitPanelToFrame, LeftEdgesKeepTheirShareAndTheRightMarginIsKept)
{
    const FitCase cases[] = {
        // A wider frame (120 for 100): shares grow, the right margin is reached where it was.
        {{10, 110}, {10, 130}, {{10, 110}, false}, {10, 130}},  // a full-width check box
        {{10, 110}, {10, 130}, {{10, 108}, false}, {10, 130}},  // an edge rounded short of the margin
        {{10, 110}, {10, 130}, {{10, 107}, false}, {10, 126}},  // a control that stops short of it
        {{10, 110}, {10, 130}, {{60, 110}, true}, {80, 130}},   // a button at the margin keeps its width
        {{10, 110}, {10, 130}, {{60, 110}, false}, {70, 130}},  // a field at the margin grows leftwards
        {{10, 110}, {10, 130}, {{10, 60}, false}, {10, 70}},    // a label on the left
        {{10, 110}, {10, 130}, {{65, 75}, true}, {76, 86}},     // an image between them
        {{10, 110}, {10, 130}, {{20, 50}, false}, {22, 58}},    // an indented box
        // A narrower frame, and one moved along.
        {{10, 110}, {10, 90}, {{60, 110}, true}, {40, 90}},
        {{10, 110}, {10, 90}, {{10, 60}, false}, {10, 50}},
        {{10, 110}, {30, 130}, {{60, 110}, true}, {80, 130}},
        // The same room: nothing moves.
        {{10, 110}, {10, 110}, {{33, 47}, false}, {33, 47}},
        // A control left of the room keeps its distance; an empty room only shifts.
        {{10, 110}, {10, 130}, {{5, 9}, true}, {4, 8}},
        {{10, 10}, {20, 40}, {{12, 14}, false}, {22, 40}},
    };
    for (const FitCase& c : cases) {
        const std::vector<PixelSpan> placed = FitPanelToFrame({c.control}, c.designed, c.actual);
        ASSERT_EQ(placed.size(), 1u);
        EXPECT_EQ(placed[0], c.placed) << c.control.span.left << ".." << c.control.span.right << " in "
                                       << c.actual.left << ".." << c.actual.right;
    }
}
