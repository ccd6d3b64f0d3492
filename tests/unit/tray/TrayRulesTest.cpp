#include <gtest/gtest.h>

#include "tray/TrayRules.h"

namespace {
constexpr unsigned kMove = 0x200, kDown = 0x201, kUp = 0x202, kDouble = 0x203, kRight = 0x204;
}

TEST(TrayMessages, NumbersOfItemIconsAndTheirIndexes)
{
    EXPECT_EQ(ItemTrayCallbackMessage(100), 1125u);
    EXPECT_EQ(ItemTrayCallbackMessage(102), 1127u);
    EXPECT_EQ(kMainTrayMessage, 1024u);
    EXPECT_FALSE(ItemTrayIndexFromMessage(1124, 3));
    EXPECT_EQ(ItemTrayIndexFromMessage(1125, 3), 0u);
    EXPECT_EQ(ItemTrayIndexFromMessage(1127, 3), 2u);
    EXPECT_FALSE(ItemTrayIndexFromMessage(1128, 3));
    EXPECT_FALSE(ItemTrayIndexFromMessage(1125, 0));
    EXPECT_FALSE(ItemTrayIndexFromMessage(kMainTrayMessage, 5));
}

TEST(TrayMessages, TipIsCutTo127Characters)
{
    EXPECT_EQ(TrayTip(L"Notepad"), L"Notepad");
    const std::wstring longCaption(200, L'x');
    EXPECT_EQ(TrayTip(longCaption), std::wstring(127, L'x'));
    EXPECT_EQ(TrayTip(std::wstring(127, L'y')).size(), 127u);
}

TEST(TrayMouse, ItemIconActions)
{
    // A single click only hides unless single-click activation is on; a double click then launches once.
    auto a = ItemTrayMouseAction(kDown, false, false);
    EXPECT_TRUE(a.clearMenuOpen && a.hideIconWindow && !a.launch && !a.openMenu);
    a = ItemTrayMouseAction(kDouble, false, false);
    EXPECT_TRUE(a.clearMenuOpen && a.hideIconWindow && a.launch);
    EXPECT_TRUE(ItemTrayMouseAction(kDown, false, true).launch);
    EXPECT_FALSE(ItemTrayMouseAction(kDouble, false, true).launch);
    EXPECT_TRUE(ItemTrayMouseAction(kRight, false, false).openMenu);
    EXPECT_TRUE(ItemTrayMouseAction(kMove, true, false).hideIconWindow);
    a = ItemTrayMouseAction(kMove, false, false);
    EXPECT_FALSE(a.hideIconWindow || a.launch || a.openMenu || a.clearMenuOpen);
    a = ItemTrayMouseAction(kUp, false, true);
    EXPECT_FALSE(a.hideIconWindow || a.launch || a.openMenu || a.clearMenuOpen);
}

TEST(TrayMouse, MainIconActionsReadTheButtonSwapOnlyForClicks)
{
    // hide, show, toggle, menu: what the message asks for; reads: how often "MainLeftPopup" was asked.
    struct Row {
        unsigned message;
        bool shift, quiet, menuOpen, swapped;
        bool hide, show, toggle, menu;
        int reads;
    };
    const Row rows[] = {
        // Hovering shows the floating window unless Shift is down, the quiet period runs or the menu is up.
        {kMove, false, false, false, false, false, true, false, false, 0},
        {kMove, true, false, false, true, true, false, false, false, 0},
        {kMove, false, true, false, false, false, false, false, false, 0},
        {kMove, false, false, true, false, false, false, false, false, 0},
        // Left toggles and right opens the menu, swapped by "MainLeftPopup"; a double click toggles again.
        {kDown, false, false, false, false, false, false, true, false, 1},
        {kDouble, false, false, false, false, false, false, true, false, 1},
        {kRight, false, false, false, false, false, false, false, true, 1},
        {kDown, false, false, false, true, false, false, false, true, 1},
        {kDouble, false, false, false, true, false, false, false, true, 1},
        {kRight, false, false, false, true, false, false, true, false, 1},
        {kUp, false, false, false, true, false, false, false, false, 0},
    };
    for (const Row& row : rows) {
        int reads = 0;
        const auto a = MainTrayMouseAction(row.message, row.shift, row.quiet, row.menuOpen, [&] {
            ++reads;
            return row.swapped;
        });
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << row.message << " swapped " << row.swapped);
        EXPECT_EQ(a.hideIconWindow, row.hide);
        EXPECT_EQ(a.showIconWindowActive, row.show);
        EXPECT_EQ(a.toggleMainWindow, row.toggle);
        EXPECT_EQ(a.openMenu, row.menu);
        EXPECT_EQ(reads, row.reads);
    }
}

TEST(TrayRulesTest, OnlyThisProgramsExecutablePathsMatch)
{
    const std::vector<KnownFolderPath> folders = {
        {L"{6d809377-6af0-444b-8957-a3773f02200e}", L"c:\\program files"},
        {L"{f1b32785-6fba-4fcf-9d55-7b8e7f157091}", L"c:\\users\\ann\\appdata\\local"},
    };
    const std::wstring program = L"c:\\program files\\tools\\launcher.exe";
    const struct {
        const wchar_t* stored;
        bool ours;
    } cases[] = {
        {L"c:\\program files\\tools\\launcher.exe", true},
        {L"{6d809377-6af0-444b-8957-a3773f02200e}\\tools\\launcher.exe", true},
        {L"{6d809377-6af0-444b-8957-a3773f02200e}\\tools\\launcher.exe.bak", false},
        {L"{6d809377-6af0-444b-8957-a3773f02200e}tools\\launcher.exe", false},
        {L"{f1b32785-6fba-4fcf-9d55-7b8e7f157091}\\tools\\launcher.exe", false},
        {L"c:\\program files\\other\\launcher.exe", false},
        {L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ExecutablePathNamesProgram(c.stored, program, folders), c.ours) << c.stored;
}
