#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "items/CollectionLoader.h"
#include "popupmenu/PopupMenuRight.h"
#include "unit/items/ItemTestFiles.h"

namespace {
class FakeHost : public PopupMenuHost {
public:
    void HideIconWindow() override { ++hidden; }
    bool IsCursorInIconWindow() const override { return false; }
    bool CanOpenModal() override { return modalFree; }
    bool IsMenuOpen() const override { return menuOpen; }
    void SetMenuOpen(bool open) override
    {
        menuOpen = open;
        if (open) ++opened;
        else ++closed;
    }
    void ForceForeground(HWND window) override { ::SetForegroundWindow(window); }
    std::vector<MenuCommand> RefreshProgramMenu() override
    {
        ++refreshed;
        return {{40001, L"Show &Main Window", nullptr, -1, true, false, true}, {}, {40003, L"&Exit"}};
    }
    bool NoMenuHint() const override { return false; }
    int PopUpDelay() const override { return delay; }
    void ExecuteCommand(unsigned id) override { executed.push_back(id); }

    bool modalFree = true, menuOpen = false;
    int hidden = 0, opened = 0, closed = 0, refreshed = 0, delay = 300;
    std::vector<unsigned> executed;
};

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}

bool IsSeparator(HMENU menu, int position)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

std::vector<std::wstring> SubFolders(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    do {
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

// Ends the menu loop from inside it, after an optional action.
FakeHost* g_host = nullptr;
TBPopupMenuRight* g_menu = nullptr;
void CALLBACK CloseMenuSoon(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    g_menu->OpenMainMenu();  // a second show while the menu is up
    ::EndMenu();
}

class PopupMenuTest : public item_test::ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        for (const wchar_t* name : {L"Icons", L"Menus", L"Floating", L"Menus\\B", L"Menus\\A"})
            item_test::MakeFolder(m_folder / name);
        item_test::WriteBytes(m_folder / L"Menus\\f.txt", "x");
        item_test::WriteBytes(m_folder / L"Menus\\B\\in b.txt", "x");
        m_loader.SetDataFolder(m_folder.Path() + L"\\");
        m_menu.Create(nullptr, nullptr, -1);
        m_loader.AttachMenusSurface(&m_menu);
    }

    item_test::TempFolder m_folder;
    FakeHost m_host;
    TBPopupMenuRight m_menu{m_host};
    CollectionLoader m_loader;
};
} // namespace

TEST_F(PopupMenuTest, FixedEntriesThenFoldersInEnumerationOrderThenFiles)
{
    m_loader.LoadMenus();
    HMENU root = m_menu.Root();
    ASSERT_EQ(::GetMenuItemCount(root), 8);
    EXPECT_EQ(MenuText(root, 0), L"Orvo Launcher Menu");
    EXPECT_EQ(::GetMenuDefaultItem(root, TRUE, 0), 0u);
    EXPECT_TRUE(IsSeparator(root, 1));
    EXPECT_EQ(MenuText(root, 2), L"Group Start");
    EXPECT_EQ(MenuText(root, 3), L"System Menu");
    EXPECT_TRUE(IsSeparator(root, 4));
    const auto folders = SubFolders(m_folder / L"Menus");
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(MenuText(root, 5), folders[0]);
    EXPECT_EQ(MenuText(root, 6), folders[1]);
    EXPECT_EQ(MenuText(root, 7), L"f");
    // The empty folder is an empty submenu; B holds its file.
    HMENU a = ::GetSubMenu(root, folders[0] == L"A" ? 5 : 6);
    HMENU b = ::GetSubMenu(root, folders[0] == L"A" ? 6 : 5);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(::GetMenuItemCount(a), 0);
    ASSERT_EQ(::GetMenuItemCount(b), 1);
    EXPECT_EQ(MenuText(b, 0), L"in b");

    // A reload replaces the entries after the fixed five.
    item_test::WriteBytes(m_folder / L"Menus\\g.txt", "x");
    m_loader.LoadMenus();
    ASSERT_EQ(::GetMenuItemCount(root), 9);
    EXPECT_EQ(MenuText(root, 0), L"Orvo Launcher Menu");
    EXPECT_EQ(MenuText(root, 8), L"g");
    EXPECT_EQ(m_menu.MenusEntryCount(), 3u);
}

TEST_F(PopupMenuTest, OpenCloseBookkeepingAndQuietPeriod)
{
    m_loader.LoadMenus();
    g_host = &m_host;
    g_menu = &m_menu;
    ::SetTimer(nullptr, 0, 300, &CloseMenuSoon);
    m_menu.OpenMainMenu();
    // Opened once (the nested show was refused), closed once, the program submenu refreshed.
    EXPECT_EQ(m_host.opened, 1);
    EXPECT_EQ(m_host.closed, 1);
    EXPECT_EQ(m_host.refreshed, 1);
    EXPECT_FALSE(m_host.menuOpen);
    EXPECT_TRUE(m_host.executed.empty());
    HMENU program = ::GetSubMenu(m_menu.Root(), 0);
    EXPECT_EQ(::GetMenuItemCount(program), 3);
    EXPECT_EQ(::GetMenuDefaultItem(program, TRUE, 0), 0u);

    // The quiet period ends after "PopUpDelay".
    EXPECT_TRUE(m_menu.QuietPeriodRunning());
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (m_menu.QuietPeriodRunning() && ::GetTickCount() - start < 5000) {
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        else ::Sleep(5);
    }
    EXPECT_FALSE(m_menu.QuietPeriodRunning());
    EXPECT_GE(::GetTickCount() - start, 250u);

    // While a modal window is open the tray show is refused.
    m_host.modalFree = false;
    m_menu.OpenMainMenu();
    EXPECT_EQ(m_host.opened, 1);
}

namespace {
// An image list of `count` images in a single colour.
HIMAGELIST SolidImages(COLORREF colour, int count = 1)
{
    HIMAGELIST list = ::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, count, 0);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT all{0, 0, 16, 16};
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    ::SelectObject(dc, old);
    for (int i = 0; i < count; ++i) ::ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return list;
}

// The colour in the middle of a top-level entry's image, drawn as the menu draws it.
COLORREF EntryImageColour(const TBPopupMenuRight& menu, int position)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    ::GetMenuItemInfoW(menu.Root(), static_cast<UINT>(position), TRUE, &info);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 20, 16);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT all{0, 0, 20, 16};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.hDC = dc;
    draw.rcItem = all;
    draw.itemData = info.dwItemData;
    ::SendMessageW(menu.OwnerWindow(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    const COLORREF colour = ::GetPixel(dc, 10, 8);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return colour;
}
} // namespace

TEST_F(PopupMenuTest, ProgramFolderImageIsRenewedAfterAThemeChange)
{
    HIMAGELIST strip = SolidImages(RGB(0, 160, 0), 9);
    HIMAGELIST before = SolidImages(RGB(200, 0, 0));
    HIMAGELIST after = SolidImages(RGB(0, 0, 200));
    TBPopupMenuRight menu(m_host);
    menu.Create(strip, before, 0);
    EXPECT_EQ(EntryImageColour(menu, 0), RGB(200, 0, 0));

    menu.SetProgramFolderImage(after, 0);
    EXPECT_EQ(EntryImageColour(menu, 0), RGB(0, 0, 200)) << "Orvo Launcher Menu";
    EXPECT_EQ(EntryImageColour(menu, 3), RGB(0, 0, 200)) << "System Menu";
    EXPECT_EQ(EntryImageColour(menu, 2), RGB(0, 160, 0)) << "Group Start keeps the strip's image";
    for (HIMAGELIST list : {strip, before, after}) ::ImageList_Destroy(list);
}
