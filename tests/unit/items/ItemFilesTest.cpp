// Reading entry files and listing folders, on real files.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/WinUtil.h"
#include "items/CollectionRules.h"
#include "items/ItemFiles.h"
#include "items/ShellImages.h"
#include "ItemTestFiles.h"

using namespace item_test;

namespace {
class ItemFilesTest : public ComTest {
protected:
    TempFolder m_folder;
};

std::vector<std::wstring> Names(const std::vector<std::wstring>& paths)
{
    std::vector<std::wstring> names;
    for (const auto& path : paths) names.push_back(ExtractFileName(path));
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST_F(ItemFilesTest, ShortcutGivesDescriptionAndHotKey)
{
    const std::wstring lnk = m_folder / L"Editor.lnk";
    MakeShortcut(lnk, ModuleFileName(), L"-x", L"Edits text", MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    const ShortcutInfo info = ReadShortcutInfo(lnk);
    EXPECT_EQ(info.Description, L"Edits text");
    EXPECT_EQ(info.HotKey, MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_SHIFT));

    const Item item = ReadItem(lnk, 101, 7);
    EXPECT_EQ(item.Caption, L"Editor");
    EXPECT_EQ(item.Hint, L"Edits text");
    EXPECT_EQ(item.HotKeyKey, 'E');
    EXPECT_EQ(item.HotKeyModifiers, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    EXPECT_EQ(item.Id, 101);
    EXPECT_EQ(item.FileName, lnk);
    EXPECT_EQ(item.ImageIndex, 7);
    EXPECT_EQ(item.Kind, CollectionKind::None);
}

TEST_F(ItemFilesTest, UnreadableOrPlainFilesFallBackToTheCaption)
{
    // A shortcut without description, a broken shortcut, a plain file: hint = caption, no hotkey.
    const std::wstring bare = m_folder / L"Bare.lnk";
    MakeShortcut(bare, ModuleFileName());
    const std::wstring broken = m_folder / L"Broken.lnk";
    WriteBytes(broken, "not a shortcut at all");
    const std::wstring plain = m_folder / L"notes.html";
    WriteBytes(plain, "<html></html>");
    for (const auto& [path, caption] : {std::pair{bare, L"Bare"}, {broken, L"Broken"}, {plain, L"notes."}}) {
        const Item item = ReadItem(path, 100, -1);
        EXPECT_EQ(item.Caption, caption);
        EXPECT_EQ(item.Hint, caption);
        EXPECT_EQ(item.HotKeyKey, 0);
        EXPECT_EQ(item.HotKeyModifiers, 0);
    }
}

TEST_F(ItemFilesTest, InternetShortcutMailWithHotKey)
{
    const std::wstring url = m_folder / L"Mail.url";
    WriteBytes(url, "[InternetShortcut]\r\nURL=mailto:someone@example.com\r\nHotKey=1604\r\n");
    const Item item = ReadItem(url, 100, 0);
    EXPECT_EQ(item.Caption, L"Mail");
    EXPECT_EQ(item.Hint, L"mailto:someone@example.com");
    EXPECT_EQ(item.HotKeyKey, 68);
    EXPECT_EQ(item.HotKeyModifiers, 6);

    // Malformed hotkey, no URL line: no hotkey, hint = caption.
    const std::wstring odd = m_folder / L"Odd.url";
    WriteBytes(odd, "[InternetShortcut]\nHotKey=Ctrl+D\n");
    const Item oddItem = ReadItem(odd, 100, 0);
    EXPECT_EQ(oddItem.Hint, L"Odd");
    EXPECT_EQ(oddItem.HotKeyKey, 0);
}

TEST_F(ItemFilesTest, InternetShortcutTextEncodings)
{
    const std::wstring utf8 = m_folder / L"u8.url";
    WriteBytes(utf8, "\xEF\xBB\xBFURL=http://x/\xC3\xA4\r\n");
    EXPECT_EQ(ReadInternetShortcut(utf8).Url, L"http://x/\u00E4");
    const std::wstring utf16 = m_folder / L"u16.url";
    const std::wstring text = L"\uFEFFURL=http://y/\u00E4\r\nHotKey=65\r\n";
    WriteBytes(utf16, std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
    const auto info = ReadInternetShortcut(utf16);
    EXPECT_EQ(info.Url, L"http://y/\u00E4");
    EXPECT_EQ(info.HotKey, 65);
    EXPECT_EQ(ReadInternetShortcut(m_folder / L"missing.url").Url, L"");
}

TEST_F(ItemFilesTest, LockedInternetShortcutReadsAsEmpty)
{
    const std::wstring url = m_folder / L"Locked.url";
    WriteBytes(url, "URL=http://locked/\r\n");
    HANDLE lock = ::CreateFileW(url.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const Item item = ReadItem(url, 100, 0);
    ::CloseHandle(lock);
    EXPECT_EQ(item.Caption, L"Locked");
    EXPECT_EQ(item.Hint, L"Locked");
}

TEST_F(ItemFilesTest, ListingKeepsHiddenFilesAndDropsSystemFilesAndFolders)
{
    WriteBytes(m_folder / L"visible.lnk", "x");
    WriteBytes(m_folder / L"hidden.url", "URL=x");
    WriteBytes(m_folder / L"desktop.ini", "[.ShellClassInfo]");
    MakeFolder(m_folder / L"Sub");
    MakeFolder(m_folder / L"Hidden");
    MakeFolder(m_folder / L".dot");
    MakeFolder(m_folder / L"Tools.Misc");
    ASSERT_TRUE(::SetFileAttributesW((m_folder / L"hidden.url").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::SetFileAttributesW((m_folder / L"desktop.ini").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(::SetFileAttributesW((m_folder / L"Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
    if (!(::GetFileAttributesW((m_folder / L"desktop.ini").c_str()) & FILE_ATTRIBUTE_SYSTEM) ||
        !(::GetFileAttributesW((m_folder / L"Hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN))
        GTEST_SKIP() << "this file system keeps no DOS attributes";

    const auto files = ListCollectionFiles(m_folder.Path());
    EXPECT_EQ(Names(files), (std::vector<std::wstring>{L"hidden.url", L"visible.lnk"}));
    EXPECT_EQ(files.front().rfind(m_folder.Path() + L"\\", 0), 0u) << "full paths";
    // A trailing backslash on the folder changes nothing.
    EXPECT_EQ(ListCollectionFiles(m_folder.Path() + L"\\").size(), 2u);

    const MenuFolderEntries menu = ListMenuFolder(m_folder.Path());
    EXPECT_EQ(Names(menu.Files), (std::vector<std::wstring>{L"hidden.url", L"visible.lnk"}));
    EXPECT_EQ(Names(menu.SubFolders), (std::vector<std::wstring>{L"Sub", L"Tools.Misc"}));
    EXPECT_TRUE(ListCollectionFiles(m_folder / L"missing").empty());
}

TEST_F(ItemFilesTest, ShellIconIndexesAndImageCopies)
{
    const std::wstring file = m_folder / L"a.txt";
    WriteBytes(file, "x");
    ASSERT_NE(SystemImageList(), nullptr);
    const std::int32_t index = ShellIconIndex(file, false);
    EXPECT_GE(index, 0);
    EXPECT_GE(ShellIconIndex(m_folder.Path(), true), 0);
    EXPECT_EQ(ShellIconIndex(L"Q:\\no\\such\\drive\\x.txt", false), -1);

    UniqueImageList own = CreateItemImageList();
    ASSERT_TRUE(own);
    EXPECT_EQ(CopySystemImage(own.get(), SystemImageList(), index), 0);
    EXPECT_EQ(CopySystemImage(own.get(), SystemImageList(), index), 1);
    EXPECT_EQ(CopySystemImage(own.get(), SystemImageList(), -1), -1);
    EXPECT_EQ(::ImageList_GetImageCount(own.get()), 2);
}

TEST(PathCase, FoldAndOrderLikeTheFileSystem)
{
    EXPECT_EQ(FoldPathCase(L"C:\\Data\\a.lnk"), FoldPathCase(L"c:\\DATA\\A.LNK"));
    EXPECT_EQ(FoldPathCase(L"C:\\\u00E4.lnk"), FoldPathCase(L"C:\\\u00C4.LNK"));
    EXPECT_NE(FoldPathCase(L"C:\\a.lnk"), FoldPathCase(L"C:\\b.lnk"));
    EXPECT_TRUE(LessPathNoCase(L"C:\\a.lnk", L"C:\\B.lnk"));
    EXPECT_FALSE(LessPathNoCase(L"C:\\B.lnk", L"C:\\a.lnk"));
    EXPECT_FALSE(LessPathNoCase(L"C:\\A.lnk", L"C:\\a.lnk"));
}

TEST(PathCase, SortKeysOrderPathsAsTheLocaleComparisonDoes)
{
    const std::vector<std::wstring> paths = {
        L"C:\\I\\b.lnk",      L"C:\\I\\A.lnk",        L"C:\\I\\a b.lnk",    L"C:\\I\\ab.lnk",
        L"C:\\I\\a-b.lnk",    L"C:\\I\\A_b.lnk",      L"C:\\I\\10.lnk",     L"C:\\I\\9.lnk",
        L"C:\\I\\\u00E4.lnk", L"C:\\I\\\u00C4x.lnk",  L"C:\\I\\z.lnk",      L"C:\\I\\\u00DF.lnk",
        L"C:\\I\\.hidden",    L"C:\\I\\a.lnk.txt",    L"C:\\I\\\u65E5.lnk", L"C:\\I\\Zeta (2).url",
    };
    for (const std::wstring& a : paths) {
        for (const std::wstring& b : paths) {
            EXPECT_EQ(PathSortKeyNoCase(a) < PathSortKeyNoCase(b), LessPathNoCase(a, b))
                << WideToUtf8(a) << " / " << WideToUtf8(b);
        }
    }
    EXPECT_EQ(PlacementOrderByKey(paths, PathSortKeyNoCase), PlacementOrder(paths, LessPathNoCase));
}
