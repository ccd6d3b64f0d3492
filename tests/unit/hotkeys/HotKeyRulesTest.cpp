// The hotkey rules: item hotkey texts and modifiers, stored surface hotkeys, identifiers.

#include <gtest/gtest.h>

#include <set>

#include "hotkeys/HotKeyRules.h"

TEST(HotKeyRules, ItemHotKeyTextAndModifiers)
{
    const struct {
        std::uint16_t key, modifierByte;
        const wchar_t* text;
        std::uint16_t modifiers;
    } cases[] = {
        {0x4E, 6, L"Ctrl + Alt + N", kModControl | kModAlt},
        {'5', 3, L"Ctrl + Shift + 5", kModControl | kModShift},
        {'Q', 5, L"Alt + Shift + Q", kModAlt | kModShift},
        {'A', 7, L"Ctrl + Alt + Shift + A", 7},
        {0x70, 1, L"Shift + p", kModShift},  // F1: the character of its code
        // The shell's extended-key flag changes nothing: Ctrl + Alt + Right arrow works as it shows.
        {0x27, 6 | kHotKeyFExt, L"Ctrl + Alt + '", kModControl | kModAlt},
        // Nothing to register: no key, no modifier, only the extended flag, or an unknown bit.
        {0, 6, L"", kModControl | kModAlt},
        {'A', 0, L"", 0},
        {'A', kHotKeyFExt, L"", 0},
        {'A', 0x12, L"", 0},
        {'A', 0xFF, L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " " << c.modifierByte);
        EXPECT_EQ(ItemHotKeyText(c.key, c.modifierByte), c.text);
        EXPECT_EQ(ItemHotKeyModifiers(c.modifierByte), c.modifiers);
    }
}

TEST(HotKeyRules, StoredSurfaceHotKeysAndTheHotKeyControl)
{
    EXPECT_EQ(StoredSurfaceHotKey(kModAlt | kModControl, 'P'), TShortCut('P' | kScAlt | kScCtrl));
    EXPECT_EQ(StoredSurfaceHotKey(7, 0x70), TShortCut(0x70 | kScAlt | kScCtrl | kScShift));
    // Not restored: a missing half, a key that is no key code, or no usable modifier (the Windows key).
    for (auto [modifiers, key] : {std::pair<int, int>{0, 'P'}, {3, 0}, {3, 0x150}, {3, -1}, {8, 'P'}, {-8, 'P'}})
        EXPECT_FALSE(StoredSurfaceHotKey(modifiers, key)) << modifiers << " " << key;

    for (int modifiers = 1; modifiers <= 7; ++modifiers) {
        const TShortCut shortCut = *StoredSurfaceHotKey(modifiers, 'K');
        EXPECT_EQ(ShortCutModifiers(shortCut), modifiers);
        EXPECT_EQ(ShortCutFromHotKeyControl(HotKeyControlFromShortCut(shortCut)), shortCut);
    }
    // The control's extended flag is not part of the shortcut.
    EXPECT_EQ(ShortCutFromHotKeyControl(((kHotKeyFControl | kHotKeyFExt) << 8) | 0x25), TShortCut(0x25 | kScCtrl));
}

TEST(HotKeyRules, ItemHotKeyIdsKeepTheFirstHundredAndNeverMeet)
{
    EXPECT_EQ(ItemHotKeyId(CollectionKind::Icons, 0), 100);
    EXPECT_EQ(ItemHotKeyId(CollectionKind::Floating, 99), 299);
    EXPECT_EQ(ItemHotKeyId(CollectionKind::Menus, 5), 305);
    EXPECT_FALSE(ItemHotKeyId(CollectionKind::None, 0));

    std::set<std::uint16_t> seen;
    for (CollectionKind kind : {CollectionKind::Icons, CollectionKind::Floating, CollectionKind::Menus}) {
        std::size_t index = 0;
        for (; const std::optional<std::uint16_t> id = ItemHotKeyId(kind, index); ++index) {
            ASSERT_TRUE(seen.insert(*id).second) << "id " << *id << " twice";
            const std::optional<ItemHotKeyOwner> owner = ItemOfHotKeyId(*id);
            ASSERT_TRUE(owner);
            ASSERT_EQ(owner->Kind, kind);
            ASSERT_EQ(owner->Index, index);
        }
        EXPECT_GT(index, 10000u);  // far more items than anyone gives hotkeys
    }
    // Surface hotkeys start at 0 and never take an item's id, however often they are set.
    for (std::uint32_t activation = 0; activation < 20000; ++activation) {
        const std::uint16_t id = SurfaceHotKeyId(activation);
        if (activation < 100) {
            EXPECT_EQ(id, activation);
        }
        ASSERT_FALSE(ItemOfHotKeyId(id)) << activation;
        ASSERT_LT(id, 0xC000);
    }
}

TEST(HotKeyRules, XmlSafeTextReplacesWhatAnAttributeCannotHold)
{
    EXPECT_EQ(XmlSafeText(L"Ctrl + Alt + \x13"), L"Ctrl + Alt + \xFFFD");
    EXPECT_EQ(XmlSafeText(L"a\tb"), L"a\xFFFD" L"b");
    EXPECT_EQ(XmlSafeText(L"Menus\\\xD83D\xDE00 \x00E9.lnk"), L"Menus\\\xD83D\xDE00 \x00E9.lnk");
    EXPECT_EQ(XmlSafeText(L"x\xD83Dy\xDE00"), L"x\xFFFDy\xFFFD");
}
