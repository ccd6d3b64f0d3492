// The data folder label's shortening, with one pixel per character as the text width.

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
