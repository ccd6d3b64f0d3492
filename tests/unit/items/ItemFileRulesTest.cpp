// The rules of the item file operations: shown names, target folders of tree nodes, renames, and
// which file an in-program drop copies.

#include <gtest/gtest.h>

#include "items/ItemFileRules.h"

TEST(ItemFileRules, ShownNameIsTheCaptionAndNeverEmpty)
{
    EXPECT_EQ(ShownItemName(L"C:\\Data\\Icons\\Editor.lnk"), L"Editor");
    EXPECT_EQ(ShownItemName(L"C:\\Data\\Icons\\Home.url"), L"Home");
    // Too short to lose four characters: the whole name, not an empty one.
    EXPECT_EQ(ShownItemName(L"C:\\Data\\a.b"), L"a.b");
    EXPECT_EQ(ShownItemName(L"C:\\Data\\x.lnk"), L"x");
    EXPECT_EQ(ShownItemName(L"C:\\Data\\README"), L"README");
}

TEST(ItemFileRules, MenuTargetFolderOfEveryKindOfNode)
{
    struct Case {
        const wchar_t* node;
        bool isFile;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"", false, L"C:\\Data\\Menus\\"},                                  // the root
        {L"C:\\Data\\Menus\\Tools\\Edit.lnk", true, L"C:\\Data\\Menus\\Tools\\"},  // beside a file
        {L"C:\\Data\\Menus\\Tools", false, L"C:\\Data\\Menus\\Tools\\"},        // into a submenu
        {L"C:\\Data\\Menus\\Gone.lnk", false, L"C:\\Data\\Menus\\Gone.lnk\\"},  // no longer there
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuTargetFolderFor(c.node, L"C:\\Data\\Menus", c.isFile), c.expected) << c.node;
}

TEST(ItemFileRules, RenameKeepsTheHiddenExtensionAndTheFolder)
{
    EXPECT_EQ(RenamedItemPath(L"C:\\M\\Notepad.lnk", L"Editor"), L"C:\\M\\Editor.lnk");
    EXPECT_EQ(RenamedItemPath(L"C:\\M\\Tools.Old", L"Misc"), L"C:\\M\\Misc.Old");
    EXPECT_EQ(RenamedItemPath(L"C:\\M\\Sub.dir\\README", L"Notes"), L"C:\\M\\Sub.dir\\Notes");
    EXPECT_EQ(RenamedItemPath(L"C:\\M\\x.lnk", L"Ünïcødé name"), L"C:\\M\\Ünïcødé name.lnk");
}

TEST(ItemFileRules, RenameRefusesNamesThatLeaveTheFolderOrAreForbidden)
{
    for (const wchar_t* name : {L"", L".", L"..", L"a\\b", L"..\\up", L"a/b", L"C:x", L"a*", L"a?", L"a\"b", L"<a",
                                L"a>", L"a|b", L"tab\there"}) {
        EXPECT_FALSE(IsAcceptableItemName(name)) << name;
        EXPECT_EQ(RenamedItemPath(L"C:\\M\\Notepad.lnk", name), L"") << name;
    }
    EXPECT_TRUE(IsAcceptableItemName(L"New name (2).old"));
}

TEST(ItemFileRules, DropsCopyFromTheOtherListOnly)
{
    const std::wstring button = L"C:\\D\\Floating\\Dragged.lnk";
    const std::wstring node = L"C:\\D\\Menus\\Node.lnk";
    struct Case {
        ItemDropTarget target;
        ItemDragSource source;
        std::optional<std::wstring> file;
    };
    const Case cases[] = {
        {ItemDropTarget::IconsBar, ItemDragSource::MenuTree, node},
        {ItemDropTarget::IconsBar, ItemDragSource::FloatingButton, button},
        {ItemDropTarget::IconsBar, ItemDragSource::IconsButton, std::nullopt},  // its own bar
        {ItemDropTarget::FloatingBar, ItemDragSource::MenuTree, node},
        {ItemDropTarget::FloatingBar, ItemDragSource::IconsButton, button},
        {ItemDropTarget::FloatingBar, ItemDragSource::FloatingButton, std::nullopt},
        {ItemDropTarget::MenuTree, ItemDragSource::IconsButton, button},
        {ItemDropTarget::MenuTree, ItemDragSource::FloatingButton, button},
        {ItemDropTarget::MenuTree, ItemDragSource::MenuTree, node},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DroppedItemFile(c.target, c.source, button, node), c.file);
        EXPECT_EQ(AcceptsItemDrop(c.target, c.source), c.file.has_value());
    }
}
