// The three loaders on real folders, observed through recording surfaces.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/CollectionLoader.h"
#include "items/ItemFiles.h"
#include "items/ShellImages.h"
#include "ItemTestFiles.h"

using namespace item_test;

namespace {
std::string Narrow(const std::wstring& text) { return WideToUtf8(text); }

// Records every surface call as a short line, e.g. "icon+ c 100".
class RecordingSurfaces : public IconsSurface, public FloatingSurface, public MenusSurface, public ItemHotKeyRegistrar {
public:
    std::vector<std::string> calls;
    HIMAGELIST iconImages = nullptr;
    std::vector<int> menuFileImages;

    void BeginIconsLoad(HIMAGELIST images) override { iconImages = images; calls.push_back("icons begin"); }
    void RemoveIconItems(const std::vector<Item>& items) override { calls.push_back("icons remove " + std::to_string(items.size())); }
    void AddIconItem(const Item& item) override { calls.push_back("icon+ " + Narrow(item.Caption) + " " + std::to_string(item.Id)); }
    void EndIconsLoad() override { calls.push_back("icons end"); }
    void UpdateIconItem(const Item& item) override { calls.push_back("icon~ " + Narrow(item.Caption) + " " + std::to_string(item.ImageIndex)); }

    void BeginFloatingLoad(HIMAGELIST) override { calls.push_back("floating begin"); }
    void RemoveFloatingItems(const std::vector<Item>& items) override { calls.push_back("floating remove " + std::to_string(items.size())); }
    void SetFloatingFileCount(std::size_t count) override { calls.push_back("floating files " + std::to_string(count)); }
    bool floatingFails = false;
    void AddFloatingItem(const Item& item) override
    {
        if (floatingFails) throw std::runtime_error("no button");
        calls.push_back("float+ " + Narrow(item.Caption) + " " + std::to_string(item.Id));
    }
    void EndFloatingLoad(std::size_t buttons) override { calls.push_back("floating end " + std::to_string(buttons)); }
    void UpdateFloatingItem(const Item& item) override { calls.push_back("float~ " + Narrow(item.Caption) + " " + std::to_string(item.ImageIndex)); }

    void RemoveMenuItems(const std::vector<Item>& items) override { calls.push_back("menus remove " + std::to_string(items.size())); }
    void BeginMenusLoad(HIMAGELIST, HIMAGELIST, const std::wstring& folder, std::int32_t) override
    {
        calls.push_back("menus begin " + Narrow(ExtractFileName(folder)));
    }
    void BeginMenuFolder(const MenuFolder& folder) override
    {
        calls.push_back("[" + Narrow(folder.Caption) + "|" + Narrow(folder.Name));
    }
    void EndMenuFolder() override { calls.push_back("]"); }
    void AddMenuFile(const Item& item, std::int32_t, bool placed) override
    {
        calls.push_back((placed ? "menu+ " : "node ") + Narrow(item.Caption) + " " + std::to_string(item.Id));
        menuFileImages.push_back(item.ImageIndex);
    }
    void EndMenusLoad() override { calls.push_back("menus end"); }
    void UpdateMenuFile(const Item& item, std::int32_t) override { calls.push_back("menu~ " + Narrow(item.Caption) + " " + std::to_string(item.ImageIndex)); }

    void RegisterItemHotKey(const Item& item, std::vector<std::wstring>& texts) override
    {
        if (item.HotKeyKey == 0) return;
        calls.push_back("hotkey " + std::to_string(item.Id));
        texts.push_back(L"key " + std::to_wstring(item.HotKeyKey));
        texts.push_back(item.FileName);
    }
    void AppendItemHotKeyText(const Item& item, std::vector<std::wstring>& texts) override
    {
        if (item.HotKeyKey == 0) return;
        texts.push_back(L"key " + std::to_wstring(item.HotKeyKey));
        texts.push_back(item.FileName);
    }
    void UnregisterItemHotKey(Item& item) override
    {
        if (item.HotKeyKey) calls.push_back("unhotkey " + std::to_string(item.Id));
    }

    std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

class CollectionLoaderTest : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        for (const wchar_t* name : {L"Icons", L"Menus", L"Floating"}) MakeFolder(m_data / name);
        m_loader.SetDataFolder(m_data.Path());
        m_loader.SetImageModeProbe([this] { return m_shares; });
        m_loader.AttachIconsSurface(&m_surfaces);
        m_loader.AttachFloatingSurface(&m_surfaces);
        m_loader.AttachMenusSurface(&m_surfaces);
        m_loader.AttachHotKeyRegistrar(&m_surfaces);
    }
    void Touch(const std::wstring& relative) { WriteBytes(m_data / relative, "x"); }
    std::vector<std::pair<std::string, int>> CaptionsAndIds(const Collection& collection)
    {
        std::vector<std::pair<std::string, int>> result;
        for (const Item& item : collection.Items()) result.emplace_back(Narrow(item.Caption), item.Id);
        return result;
    }

    TempFolder m_data;
    bool m_shares = false;
    RecordingSurfaces m_surfaces;
    CollectionLoader m_loader;
};

using Ids = std::vector<std::pair<std::string, int>>;
using Calls = std::vector<std::string>;
} // namespace

TEST_F(CollectionLoaderTest, IconsAreNumberedFromTheLastNameAndAppendedWhenFilesAreAdded)
{
    Touch(L"Icons\\b.lnk");
    Touch(L"Icons\\a.lnk");
    Touch(L"Icons\\c.lnk");
    m_loader.LoadIcons();
    EXPECT_EQ(CaptionsAndIds(m_loader.Icons()), (Ids{{"c", 100}, {"b", 101}, {"a", 102}}));
    EXPECT_EQ(m_surfaces.Take(), (Calls{"icons begin", "icons remove 0", "icon+ c 100", "icon+ b 101", "icon+ a 102", "icons end"}));
    EXPECT_EQ(m_loader.Icons().LoadedIconFiles().size(), 3u);

    // An added file is appended: the loaded items keep their Ids and are not placed again.
    Touch(L"Icons\\0.lnk");
    m_loader.LoadIcons();
    EXPECT_EQ(CaptionsAndIds(m_loader.Icons()), (Ids{{"c", 100}, {"b", 101}, {"a", 102}, {"0", 103}}));
    EXPECT_EQ(m_surfaces.Take(), (Calls{"icons begin", "icon+ 0 103", "icons end"}));

    // A deleted file rebuilds and renumbers everything from 100.
    ASSERT_TRUE(::DeleteFileW((m_data / L"Icons\\b.lnk").c_str()));
    m_loader.LoadIcons();
    EXPECT_EQ(CaptionsAndIds(m_loader.Icons()), (Ids{{"c", 100}, {"a", 101}, {"0", 102}}));
    EXPECT_EQ(m_surfaces.Take(), (Calls{"icons begin", "icons remove 4", "icon+ c 100", "icon+ a 101", "icon+ 0 102", "icons end"}));

    // An emptied or missing folder leaves the collection empty.
    for (const wchar_t* name : {L"c.lnk", L"a.lnk", L"0.lnk"}) ::DeleteFileW((m_data / L"Icons\\" + name).c_str());
    ASSERT_TRUE(::RemoveDirectoryW((m_data / L"Icons").c_str()));
    m_loader.LoadIcons();
    EXPECT_EQ(m_loader.Icons().Count(), 0u);
    EXPECT_TRUE(m_loader.Icons().LoadedIconFiles().empty());
}

TEST_F(CollectionLoaderTest, IconsHotKeyTextsSurviveAnAppendingLoad)
{
    const std::wstring self = ModuleFileName();
    MakeShortcut(m_data / L"Icons\\Keyed.lnk", self, L"", L"Has a key", MAKEWORD('K', HOTKEYF_ALT));
    WriteBytes(m_data / L"Icons\\Mail.url", "[InternetShortcut]\r\nURL=mailto:a@b.c\r\nHotKey=1604\r\n");
    m_loader.LoadIcons();
    EXPECT_EQ(m_loader.Icons().HotKeyTexts().size(), 4u);
    const Item* mail = m_loader.FindItemById(100);
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(mail->Caption, L"Mail");
    EXPECT_EQ(mail->HotKeyKey, 68);
    EXPECT_EQ(mail->HotKeyModifiers, 6);
    EXPECT_EQ(mail->Hint, L"mailto:a@b.c");
    EXPECT_EQ(m_loader.FindItemById(101)->Hint, L"Has a key");
    m_surfaces.Take();

    Touch(L"Icons\\Plain.txt");
    m_loader.LoadIcons();
    EXPECT_EQ(m_loader.Icons().HotKeyTexts().size(), 4u) << "kept items' entries are listed again";
    EXPECT_EQ(m_surfaces.Take(), (Calls{"icons begin", "icon+ Plain 102", "icons end"}));

    ::DeleteFileW((m_data / L"Icons\\Plain.txt").c_str());
    m_loader.LoadIcons();
    const Calls calls = m_surfaces.Take();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "unhotkey 100"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "unhotkey 101"), calls.end());
    EXPECT_EQ(m_loader.Icons().HotKeyTexts().size(), 4u);
}

TEST_F(CollectionLoaderTest, FloatingRebuildsAndReportsReadiness)
{
    std::vector<bool> ready;
    m_loader.SetCollectionsReadyHandler([&](bool value) { ready.push_back(value); });
    Touch(L"Floating\\B.txt");
    Touch(L"Floating\\a.txt");
    Touch(L"Floating\\Sub.txt");
    MakeFolder(m_data / L"Floating\\IgnoredFolder");
    Touch(L"Floating\\IgnoredFolder\\deep.txt");
    m_loader.LoadFloating();
    EXPECT_EQ(CaptionsAndIds(m_loader.Floating()), (Ids{{"Sub", 200}, {"B", 201}, {"a", 202}}));
    EXPECT_EQ(m_surfaces.Take(), (Calls{"floating begin", "floating remove 0", "floating files 3", "float+ Sub 200",
                                        "float+ B 201", "float+ a 202", "floating end 3"}));
    EXPECT_EQ(ready, (std::vector<bool>{false, true}));

    Touch(L"Floating\\c.txt");
    m_loader.LoadFloating();
    EXPECT_EQ(CaptionsAndIds(m_loader.Floating()), (Ids{{"Sub", 200}, {"c", 201}, {"B", 202}, {"a", 203}}));

    // A load that fails midway still leaves the surfaces answering.
    m_surfaces.floatingFails = true;
    ready.clear();
    EXPECT_THROW(m_loader.LoadFloating(), std::runtime_error);
    EXPECT_EQ(ready, (std::vector<bool>{false, true}));
}

TEST_F(CollectionLoaderTest, MenusWalkSubFoldersFirstDepthFirst)
{
    // Menus\B\inner.txt, Menus\A\ (empty), Menus\A.b\x.txt, Menus\top.txt, skipped: .dot, Hidden.
    MakeFolder(m_data / L"Menus\\B");
    Touch(L"Menus\\B\\inner.txt");
    MakeFolder(m_data / L"Menus\\B\\Deep");
    Touch(L"Menus\\B\\Deep\\deep.txt");
    MakeFolder(m_data / L"Menus\\Empty");
    MakeFolder(m_data / L"Menus\\.dot");
    Touch(L"Menus\\.dot\\never.txt");
    MakeFolder(m_data / L"Menus\\Hidden");
    Touch(L"Menus\\Hidden\\never.txt");
    ::SetFileAttributesW((m_data / L"Menus\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    Touch(L"Menus\\top.txt");
    m_loader.LoadMenus();

    // The enumeration order of the file system decides the order of siblings; rebuild the expectation
    // from a listing of our own.
    const MenuFolderEntries root = ListMenuFolder(m_data / L"Menus");
    ASSERT_EQ(root.SubFolders.size(), 2u) << "the hidden and the dot folder are no submenus";
    Calls expected{"menus remove 0", "menus begin Menus"};
    int id = 300;
    for (const auto& sub : root.SubFolders) {
        if (ExtractFileName(sub) == L"B") {
            expected.insert(expected.end(), {"[B|B", "[Deep|Deep", "menu+ deep " + std::to_string(id++), "]",
                                             "menu+ inner " + std::to_string(id++), "]"});
        } else {
            expected.insert(expected.end(), {"[Empty|Empty", "]"});
        }
    }
    expected.push_back("menu+ top " + std::to_string(id++));
    expected.push_back("menus end");
    EXPECT_EQ(m_surfaces.Take(), expected);
    EXPECT_EQ(m_loader.Menus().Count(), 3u);

    // A reload is a full rebuild with the same numbering.
    m_loader.LoadMenus();
    EXPECT_EQ(m_surfaces.Take().front(), "menus remove 3");
    EXPECT_EQ(m_loader.Menus().Count(), 3u);
}

TEST_F(CollectionLoaderTest, MenusLinkBackToAnOuterFolderEndsTheWalk)
{
    MakeFolder(m_data / L"Menus\\Sub");
    Touch(L"Menus\\Sub\\file.txt");
    const std::wstring link = m_data / L"Menus\\Sub\\Loop";
    if (!::CreateSymbolicLinkW(link.c_str(), (m_data / L"Menus").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        !DirectoryExists(link + L"\\Sub"))
        GTEST_SKIP() << "no directory links here";
    m_loader.LoadMenus();
    EXPECT_EQ(m_surfaces.Take(), (Calls{"menus remove 0", "menus begin Menus", "[Sub|Sub", "menu+ file 300", "]", "menus end"}));
    ::RemoveDirectoryW(link.c_str());
}

TEST_F(CollectionLoaderTest, BothImageModes)
{
    Touch(L"Menus\\one.txt");
    MakeFolder(m_data / L"Menus\\Sub");
    Touch(L"Icons\\two.txt");
    const std::int32_t systemIndex = ShellIconIndex(m_data / L"Menus\\one.txt", false);
    ASSERT_GE(systemIndex, 0);

    m_shares = true;
    m_loader.LoadMenus();
    m_loader.LoadIcons();
    EXPECT_EQ(m_loader.Menus().Items()[0].ImageIndex, systemIndex);
    EXPECT_EQ(m_surfaces.iconImages, SystemImageList());
    EXPECT_EQ(::ImageList_GetImageCount(m_loader.Menus().ImageList()), 0);

    // Copied mode: the submenu's folder icon, then the file's icon, each copied into the own list.
    m_shares = false;
    ::DeleteFileW((m_data / L"Icons\\two.txt").c_str());
    Touch(L"Icons\\three.txt");
    m_loader.LoadMenus();
    m_loader.LoadIcons();
    EXPECT_EQ(::ImageList_GetImageCount(m_loader.Menus().ImageList()), 2);
    EXPECT_EQ(m_loader.Menus().Items()[0].ImageIndex, 1);
    EXPECT_EQ(m_loader.Icons().Items()[0].ImageIndex, 0);
    EXPECT_EQ(m_surfaces.iconImages, m_loader.Icons().ImageList());
    EXPECT_EQ(m_loader.ImagesFor(m_loader.Icons()), m_loader.Icons().ImageList());
    EXPECT_GE(m_loader.FolderIconIndex(), 0);
}

TEST_F(CollectionLoaderTest, UnreadableFilesAreKeptWithTheirNameAlone)
{
    WriteBytes(m_data / L"Floating\\Locked.url", "URL=http://locked/\r\nHotKey=1604\r\n");
    WriteBytes(m_data / L"Floating\\Broken.lnk", std::string(5000, '\xFF'));
    Touch(L"Floating\\Fine.txt");
    HANDLE lock = ::CreateFileW((m_data / L"Floating\\Locked.url").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    m_loader.LoadFloating();
    ::CloseHandle(lock);
    EXPECT_EQ(CaptionsAndIds(m_loader.Floating()), (Ids{{"Locked", 200}, {"Fine", 201}, {"Broken", 202}}));
    EXPECT_EQ(m_loader.Floating().Items()[0].Hint, L"Locked");
    EXPECT_EQ(m_loader.Floating().Items()[0].HotKeyKey, 0);
}

TEST_F(CollectionLoaderTest, LoadsWithoutSurfacesAndClears)
{
    CollectionLoader bare;
    bare.SetDataFolder(m_data.Path());
    bare.SetImageModeProbe([] { return false; });
    Touch(L"Icons\\i.txt");
    Touch(L"Floating\\f.txt");
    Touch(L"Menus\\m.txt");
    bare.LoadIcons();
    bare.LoadFloating();
    bare.LoadMenus();
    EXPECT_EQ(bare.Icons().Count() + bare.Floating().Count() + bare.Menus().Count(), 3u);
    EXPECT_EQ(bare.FindItemById(200)->Caption, L"f");
    EXPECT_EQ(bare.FindItemById(300)->Caption, L"m");
    EXPECT_EQ(bare.FindItemById(301), nullptr);
    bare.ClearCollections();
    EXPECT_EQ(bare.Icons().Count() + bare.Floating().Count() + bare.Menus().Count(), 0u);
    EXPECT_EQ(::ImageList_GetImageCount(bare.Icons().ImageList()), 0);
}

TEST_F(CollectionLoaderTest, ReadInTheBackgroundEntriesComeAtOnceAndTheirImagesAndKeysFollowInPlace)
{
    std::atomic<int> notices{0};
    int hotKeysRead = 0;
    ASSERT_TRUE(m_loader.ReadInBackground([&] { ++notices; }, [&] { ++hotKeysRead; }));
    m_shares = true;  // the items' indexes are the shell's own
    MakeShortcut(m_data / L"Floating\\Keyed.lnk", ModuleFileName(), L"", L"Has a key", MAKEWORD('K', HOTKEYF_ALT));
    for (int i = 0; i < 30; ++i) Touch(L"Floating\\f" + std::to_wstring(i) + L".txt");
    const std::int32_t neutral = NeutralDocumentIconIndex();
    const std::int32_t own = ShellIconIndex(m_data / L"Floating\\Keyed.lnk", false);
    // Written an hour ago, so what is read from them may be kept.
    for (const std::wstring& file : ListCollectionFiles(m_data / L"Floating")) {
        UniqueFileHandle handle(::CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ULARGE_INTEGER old{};
        old.QuadPart = SystemTimeNow() - 3600ull * 10'000'000ull;
        const FILETIME time{old.LowPart, old.HighPart};
        ASSERT_TRUE(::SetFileTime(handle.get(), nullptr, nullptr, &time));
    }
    auto keyedItem = [&]() -> const Item* {
        for (const Item& item : m_loader.Floating().Items())
            if (item.Caption == L"Keyed") return &item;
        return nullptr;
    };
    auto drain = [&] {
        for (int wait = 0; wait < 2000 && m_loader.ReadsPending(); ++wait) {
            m_loader.ApplyReadResults();
            ::Sleep(5);
        }
        m_loader.ApplyReadResults();
    };

    // A rebuild that starts while the first load's images are still arriving: only its own
    // results reach the surfaces, each entry's once.
    m_loader.LoadFloating();
    m_loader.LoadFloating();
    const Item* keyed = keyedItem();
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(keyed->ImageIndex, neutral) << "placed before its file is read";
    EXPECT_EQ(keyed->HotKeyKey, 0) << "no hotkey before the file is read";
    EXPECT_EQ(keyed->Hint, L"Keyed");
    m_surfaces.Take();
    drain();
    EXPECT_FALSE(m_loader.ReadsPending());
    EXPECT_GT(notices.load(), 0);
    const Calls calls = m_surfaces.Take();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.starts_with("float~ "); }), 31);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "float~ Keyed " + std::to_string(own)), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "hotkey " + std::to_string(keyed->Id)), calls.end());
    EXPECT_EQ(keyed->HotKeyKey, 'K');
    EXPECT_EQ(keyed->Hint, L"Has a key");
    EXPECT_EQ(m_loader.Floating().HotKeyTexts().size(), 2u);
    EXPECT_EQ(hotKeysRead, 1) << "told once, when every read is in";

    // What was read is kept: the next rebuild places the entries with their own images at once.
    m_loader.LoadFloating();
    ASSERT_NE(keyedItem(), nullptr);
    EXPECT_EQ(keyedItem()->ImageIndex, own);
    drain();
    EXPECT_EQ(hotKeysRead, 1);
}
