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

TEST(TrayMouse, MainIconActions)
{
    // Hovering shows the floating window unless Shift is down, the menu is up or the quiet period runs.
    EXPECT_TRUE(MainTrayMouseAction(kMove, false, false, false, false).showIconWindowActive);
    EXPECT_TRUE(MainTrayMouseAction(kMove, true, false, false, false).hideIconWindow);
    EXPECT_FALSE(MainTrayMouseAction(kMove, true, false, false, false).showIconWindowActive);
    EXPECT_FALSE(MainTrayMouseAction(kMove, false, true, false, false).showIconWindowActive);
    EXPECT_FALSE(MainTrayMouseAction(kMove, false, false, true, false).showIconWindowActive);
    // Left toggles and right opens the menu, swapped by "MainLeftPopup"; a double click toggles again.
    EXPECT_TRUE(MainTrayMouseAction(kDown, false, false, false, false).toggleMainWindow);
    EXPECT_TRUE(MainTrayMouseAction(kDouble, false, false, false, false).toggleMainWindow);
    EXPECT_TRUE(MainTrayMouseAction(kRight, false, false, false, false).openMenu);
    EXPECT_TRUE(MainTrayMouseAction(kDown, false, false, false, true).openMenu);
    EXPECT_TRUE(MainTrayMouseAction(kDouble, false, false, false, true).openMenu);
    EXPECT_TRUE(MainTrayMouseAction(kRight, false, false, false, true).toggleMainWindow);
    const auto up = MainTrayMouseAction(kUp, false, false, false, false);
    EXPECT_FALSE(up.toggleMainWindow || up.openMenu || up.showIconWindowActive || up.hideIconWindow);
}
