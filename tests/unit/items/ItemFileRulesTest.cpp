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

TEST(ItemFileRules, TheEditFieldHoldsWhatTheTypedTextReplaces)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* editText;  // what the field starts with
        const wchar_t* typed;
        const wchar_t* renamed;
    };
    const Case cases[] = {
        {L"C:\\M\\Notepad.lnk", L"Notepad", L"Editor", L"C:\\M\\Editor.lnk"},
        {L"C:\\M\\Home.url", L"Home", L"Start", L"C:\\M\\Start.url"},
        {L"C:\\M\\x.lnk", L"x", L"\u00DCn\u00EFc\u00F8d\u00E9 name", L"C:\\M\\\u00DCn\u00EFc\u00F8d\u00E9 name.lnk"},
        // Too short to lose four characters, so the label shows the extension: the field does not.
        {L"C:\\M\\x.py", L"x", L"y", L"C:\\M\\y.py"},
        // The label loses four characters, not the extension.
        {L"C:\\M\\notes.c", L"notes", L"memo", L"C:\\M\\memo.c"},
        {L"C:\\M\\Sub.dir\\README", L"README", L"Notes", L"C:\\M\\Sub.dir\\Notes"},
        // Folders show their whole name and keep the part from their last "." as well.
        {L"C:\\M\\Tools.Old", L"Tools", L"Misc", L"C:\\M\\Misc.Old"},
        {L"C:\\M\\archive.tar.gz", L"archive.tar", L"backup", L"C:\\M\\backup.gz"},
        // A leading "." begins the name, not an extension.
        {L"C:\\M\\.config", L".config", L"settings", L"C:\\M\\settings"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RenameEditText(c.path), c.editText) << c.path;
        // Confirmed as it opened: the same path, so nothing is renamed.
        EXPECT_EQ(RenamedItemPath(c.path, RenameEditText(c.path)), c.path) << c.path;
        EXPECT_EQ(RenamedItemPath(c.path, c.typed), c.renamed) << c.path;
    }
}

TEST(ItemFileRules, RenameRefusesNamesThatLeaveTheFolderOrAreForbidden)
{
    for (const wchar_t* name : {L"", L".", L"..", L"...", L" ", L". .", L"a\\b", L"..\\up", L"a/b", L"C:x", L"a*",
                                L"a?", L"a\"b", L"<a", L"a>", L"a|b", L"tab\there"}) {
        EXPECT_FALSE(IsAcceptableItemName(name)) << name;
        EXPECT_EQ(RenamedItemPath(L"C:\\M\\Notepad.lnk", name), L"") << name;
    }
    EXPECT_TRUE(IsAcceptableItemName(L"New name (2).old"));
}

TEST(ItemFileRules, RenameRefusesDeviceNamesInEveryForm)
{
    // Windows opens these as the device in any folder: a move there would write into it.
    for (const wchar_t* name : {L"NUL", L"nul", L"Con", L"PRN", L"aux", L"COM1", L"com9", L"LPT1", L"Lpt9",
                                L"COM\u00B9", L"LPT\u00B3", L"nul.txt", L"CON.lnk", L"aux.tar.gz", L"NUL.", L"nul ",
                                L"Con . ", L"PRN .txt", L"com1..", L" nul"}) {
        EXPECT_FALSE(IsAcceptableItemName(name)) << name;
        EXPECT_EQ(RenamedItemPath(L"C:\\M\\README", name), L"") << name;
    }
    // Names that only look like one.
    for (const wchar_t* name :
         {L"NULL", L"Console", L"COM10", L"COM0", L"LPT", L"CONx.lnk", L"x.nul", L"nul-x", L"AUX1"})
        EXPECT_TRUE(IsAcceptableItemName(name)) << name;
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
