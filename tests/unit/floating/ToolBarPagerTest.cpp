#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <vector>

#include "base/Dpi.h"
#include "floating/FloatingSurfaceLink.h"
#include "components/ToolBarPager.h"

namespace {

Item FloatingItem(int index)
{
    Item item;
    item.Id = static_cast<std::uint16_t>(kFloatingFirstId + index);
    item.Caption = L"Entry " + std::to_wstring(index);
    item.ImageIndex = index % 2;
    item.Kind = CollectionKind::Floating;
    return item;
}

class ToolBarPagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_images.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2));
        ImageList_AddIcon(m_images.get(), LoadIconW(nullptr, IDI_APPLICATION));
        ImageList_AddIcon(m_images.get(), LoadIconW(nullptr, IDI_WARNING));
        m_page = CreateWindowExW(0, L"STATIC", L"page", WS_POPUP, 50, 50, 300, 120, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_page, nullptr);
        ToolBarPagerEvents events;
        events.ContextMenu = [this](std::optional<std::uint16_t> id, POINT p) { m_menus.push_back({id, p}); };
        events.ButtonClicked = [this](std::uint16_t id) { m_clicked.push_back(id); };
        m_bar = std::make_unique<ToolBarPager>(events, [this] { return m_cursor; });
        m_bar->Create(m_page, RECT{4, 4, 204, 34});
    }
    void TearDown() override
    {
        m_bar.reset();
        DestroyWindow(m_page);
    }
    void Load(int count)
    {
        m_bar->BeginLoad(m_images.get());
        for (int i = 0; i < count; ++i) { const Item item = FloatingItem(i); m_bar->AddItemButton(item.Id, item.Caption, item.ImageIndex); }
        m_bar->EndLoad();
    }
    RECT ButtonRect(int position) const
    {
        RECT r{};
        SendMessageW(m_bar->ToolBarHandle(), TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    struct Menu {
        std::optional<std::uint16_t> id;
        POINT at;
    };
    HWND m_page = nullptr;
    UniqueImageList m_images;
    std::unique_ptr<ToolBarPager> m_bar;
    POINT m_cursor{0, 0};
    std::vector<Menu> m_menus;
    std::vector<std::uint16_t> m_clicked;
};

TEST_F(ToolBarPagerTest, ButtonsInAscendingOrderOneButtonWideEach)
{
    ASSERT_EQ(WindowDpi(m_bar->Handle()), 96u);
    Load(12);
    ASSERT_EQ(m_bar->ButtonCount(), 12);
    for (int p = 0; p < 12; ++p) {
        EXPECT_EQ(m_bar->IdAtPosition(p), kFloatingFirstId + 11 - p);
        EXPECT_EQ(m_bar->TableIndexAtPosition(p), static_cast<std::size_t>(11 - p));
        const RECT r = ButtonRect(p);
        EXPECT_EQ(r.left, p * 23);
        EXPECT_EQ(r.right - r.left, 23);
        EXPECT_EQ(r.bottom - r.top, 22);
    }
    EXPECT_FALSE(m_bar->IdAtPosition(12).has_value());
    EXPECT_FALSE(m_bar->TableIndexAtPosition(-1).has_value());
    // The scroller gives the bar the width it asked for: one button more than there are.
    RECT bar{};
    GetWindowRect(m_bar->ToolBarHandle(), &bar);
    EXPECT_EQ(bar.right - bar.left, 13 * 23);

    // The scroller asks for one button more than there are and scrolls one button per step.
    NMPGCALCSIZE calc{};
    calc.hdr = {m_bar->PagerHandle(), 1, static_cast<UINT>(PGN_CALCSIZE)};
    calc.dwFlag = PGF_CALCWIDTH;
    SendMessageW(m_bar->Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&calc));
    EXPECT_EQ(calc.iWidth, 13 * 23);
    NMPGSCROLL scroll{};
    scroll.hdr = {m_bar->PagerHandle(), 1, static_cast<UINT>(PGN_SCROLL)};
    scroll.iScroll = 5;
    SendMessageW(m_bar->Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&scroll));
    EXPECT_EQ(scroll.iScroll, 23);
    // 12 buttons do not fit in 200 pixels: the scroller offers its arrow and scrolls.
    EXPECT_NE(SendMessageW(m_bar->PagerHandle(), PGM_GETBUTTONSTATE, 0, PGB_BOTTOMORRIGHT), PGF_INVISIBLE);
    SendMessageW(m_bar->PagerHandle(), PGM_SETPOS, 0, 46);
    EXPECT_EQ(SendMessageW(m_bar->PagerHandle(), PGM_GETPOS, 0, 0), 46);

    // A new load replaces everything and starts from the left again.
    Load(2);
    EXPECT_EQ(m_bar->ButtonCount(), 2);
    EXPECT_EQ(m_bar->IdAtPosition(0), kFloatingFirstId + 1);
    EXPECT_EQ(SendMessageW(m_bar->PagerHandle(), PGM_GETPOS, 0, 0), 0);
}

TEST_F(ToolBarPagerTest, RightClickNamesTheButtonOrTheBar)
{
    Load(3);
    // On the second button (position 1 = table entry 1, Id 201).
    const RECT r = ButtonRect(1);
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(m_bar->ToolBarHandle(), &at);
    m_cursor = at;
    NMMOUSE click{};
    click.hdr = {m_bar->ToolBarHandle(), 2, static_cast<UINT>(NM_RCLICK)};
    EXPECT_EQ(SendMessageW(m_bar->Handle(), WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&click)), TRUE);
    ASSERT_EQ(m_menus.size(), 1u);
    EXPECT_EQ(m_menus[0].id, std::optional<std::uint16_t>(kFloatingFirstId + 1));
    EXPECT_EQ(m_menus[0].at.x, at.x);

    // Beside the buttons: the bar itself.
    POINT beside{3 * 23 + 10, 5};
    ClientToScreen(m_bar->ToolBarHandle(), &beside);
    m_cursor = beside;
    SendMessageW(m_bar->Handle(), WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&click));
    ASSERT_EQ(m_menus.size(), 2u);
    EXPECT_FALSE(m_menus[1].id.has_value());

    // A click on a button is reported with its Id.
    SendMessageW(m_bar->Handle(), WM_COMMAND, MAKEWPARAM(kFloatingFirstId + 2, BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_bar->ToolBarHandle()));
    ASSERT_EQ(m_clicked.size(), 1u);
    EXPECT_EQ(m_clicked[0], kFloatingFirstId + 2);
}

TEST_F(ToolBarPagerTest, HintIsTheCaption)
{
    Load(3);
    NMTTDISPINFOW info{};
    info.hdr.idFrom = kFloatingFirstId + 1;
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(m_bar->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, L"Entry 1");
}

// The loader's calls, in its order, reach both surfaces.
TEST_F(ToolBarPagerTest, LoadReachesTheWindowAndTheBar)
{
    IconWindowSystem system = IconWindowSystem::Default();
    system.CursorPos = [] { return PixelPoint{100, 100}; };
    TIconWindow window({}, system);
    window.Create();
    FloatingSurfaceLink link(window, m_bar.get());

    link.BeginFloatingLoad(m_images.get());
    link.RemoveFloatingItems({});
    link.SetFloatingFileCount(11);
    for (int i = 0; i < 11; ++i) link.AddFloatingItem(FloatingItem(i));
    link.EndFloatingLoad(11);

    EXPECT_EQ(m_bar->ButtonCount(), 11);
    HWND windowBar = window.ToolBarHandle();
    ASSERT_EQ(SendMessageW(windowBar, TB_BUTTONCOUNT, 0, 0), 11);
    for (int p = 0; p < 11; ++p) {
        TBBUTTON button{};
        SendMessageW(windowBar, TB_GETBUTTON, p, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, kFloatingFirstId + 10 - p);
        EXPECT_EQ(m_bar->IdAtPosition(p), kFloatingFirstId + 10 - p);
    }
    EXPECT_FALSE(IsWindowVisible(window.Handle()));

    // A reload of an emptied folder leaves the bar empty and the window with its help text.
    window.ShowIconWindowPassive();
    link.BeginFloatingLoad(m_images.get());
    link.RemoveFloatingItems({});
    link.EndFloatingLoad(0);
    EXPECT_EQ(m_bar->ButtonCount(), 0);
    EXPECT_EQ(window.PanelText(), kEmptyIconWindowText);
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    EXPECT_FALSE(window.IsUp());
}

} // namespace
