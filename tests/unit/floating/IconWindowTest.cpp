#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <vector>

#include "base/Dpi.h"
#include "base/WinUtil.h"
#include "floating/IconWindowUnit.h"

namespace {

// What the fake system reports and what the window told its owner.
struct Bench {
    PixelPoint cursor{300, 300};
    std::optional<PixelRect> workArea = PixelRect{0, 0, 1024, 738};
    std::int64_t nowMs = 1'000'000;
    bool menuOpen = false;
    std::vector<std::uint16_t> clicked;
    std::vector<POINT> rightClicks;
    int hidden = 0;
    int forceForeground = 0;
};

class IconWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_images.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4));
        for (LPCWSTR icon : {IDI_APPLICATION, IDI_INFORMATION, IDI_WARNING, IDI_QUESTION}) {
            ImageList_AddIcon(m_images.get(), LoadIconW(nullptr, icon));
        }
        IconWindowEvents events;
        events.ButtonClicked = [this](std::uint16_t id) { m_bench.clicked.push_back(id); };
        events.RightClicked = [this](POINT p) { m_bench.rightClicks.push_back(p); };
        events.Hidden = [this] { ++m_bench.hidden; };
        events.IsMenuOpen = [this] { return m_bench.menuOpen; };
        IconWindowSystem system = IconWindowSystem::Default();
        system.CursorPos = [this] { return m_bench.cursor; };
        system.WorkAreaNear = [this](PixelPoint) { return m_bench.workArea; };
        system.NowMs = [this] { return m_bench.nowMs; };
        system.ForceForeground = [this](HWND hwnd) {
            ++m_bench.forceForeground;
            SetForegroundWindow(hwnd);
        };
        m_window = std::make_unique<TIconWindow>(events, system);
        m_window->Create();
    }

    static std::vector<Item> MakeItems(int count)
    {
        std::vector<Item> items;
        for (int i = 0; i < count; ++i) {
            Item item;
            item.Id = static_cast<std::uint16_t>(kFloatingFirstId + i);
            item.Caption = L"Item " + std::to_wstring(i);
            item.ImageIndex = i % 4;
            item.Kind = CollectionKind::Floating;
            items.push_back(item);
        }
        return items;
    }

    HWND Hwnd() const { return m_window->Handle(); }
    HWND ToolBar() const { return m_window->ToolBarHandle(); }
    SIZE WindowSize() const
    {
        RECT r{};
        GetWindowRect(Hwnd(), &r);
        return {r.right - r.left, r.bottom - r.top};
    }
    POINT WindowTopLeft() const
    {
        RECT r{};
        GetWindowRect(Hwnd(), &r);
        return {r.left, r.top};
    }
    int ButtonCount() const { return static_cast<int>(SendMessageW(ToolBar(), TB_BUTTONCOUNT, 0, 0)); }
    int ButtonIdAt(int position) const
    {
        TBBUTTON button{};
        SendMessageW(ToolBar(), TB_GETBUTTON, position, reinterpret_cast<LPARAM>(&button));
        return button.idCommand;
    }
    RECT ButtonRectAt(int position) const
    {
        RECT r{};
        SendMessageW(ToolBar(), TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void Tick() { SendMessageW(Hwnd(), WM_TIMER, 1, 0); }
    void PumpMessages()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Checks the grid of buttons: display position p shows table entry count - 1 - p, rows
    // filled left to right with `columns` buttons of 23 x 22 (scaled).
    void ExpectGrid(int count, int columns)
    {
        ASSERT_EQ(ButtonCount(), count);
        const unsigned dpi = WindowDpi(Hwnd());
        const int width = ScaleForDpi(kIconButtonWidth, dpi);
        const int height = ScaleForDpi(kIconButtonHeight, dpi);
        for (int p = 0; p < count; ++p) {
            EXPECT_EQ(ButtonIdAt(p), kFloatingFirstId + count - 1 - p) << "position " << p;
            const RECT r = ButtonRectAt(p);
            EXPECT_EQ(r.left, (p % columns) * width) << "position " << p;
            EXPECT_EQ(r.top, (p / columns) * height) << "position " << p;
            EXPECT_EQ(r.right - r.left, width) << "position " << p;
            EXPECT_EQ(r.bottom - r.top, height) << "position " << p;
        }
    }

    Bench m_bench;
    UniqueImageList m_images;
    std::unique_ptr<TIconWindow> m_window;
};

TEST_F(IconWindowTest, IsAHiddenBorderedToolWindow)
{
    ASSERT_TRUE(IsWindow(Hwnd()));
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    EXPECT_EQ(WindowText(Hwnd()), L"IconWindow");
    const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_FALSE(style & WS_DLGFRAME);
    EXPECT_TRUE(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // The font: the message font's face at 8 points.
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_window->PanelHandle(), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    GetObjectW(font, sizeof(logFont), &logFont);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    EXPECT_STREQ(logFont.lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(8, static_cast<int>(WindowDpi(Hwnd())), 72));
}

TEST_F(IconWindowTest, EmptyCollectionShowsTheHelpTextSizedToIt)
{
    m_window->RebuildIconWindow({}, m_images.get(), 10);
    EXPECT_EQ(m_window->PanelText(), L"Floating Icon Window - See help for more information");
    EXPECT_EQ(ButtonCount(), 0);
    EXPECT_FALSE(IsWindowVisible(ToolBar()));

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_window->PanelHandle(), WM_GETFONT, 0, 0));
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, kEmptyIconWindowText, static_cast<int>(wcslen(kEmptyIconWindowText)), &extent);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int margin = ScaleForDpi(24, WindowDpi(Hwnd()));
    EXPECT_EQ(WindowSize().cx, extent.cx + margin);
    EXPECT_EQ(WindowSize().cy, extent.cy + margin);

    // Items arriving clear the text again, and the shown window shows their bar.
    m_window->RebuildIconWindow(MakeItems(3), m_images.get(), 10);
    EXPECT_EQ(m_window->PanelText(), L"");
    EXPECT_EQ(ButtonCount(), 3);
    m_window->ShowIconWindowPassive();
    ASSERT_TRUE(IsWindowVisible(Hwnd()));
    EXPECT_TRUE(IsWindowVisible(ToolBar()));
    m_window->HideIconWindow();
}

TEST_F(IconWindowTest, LaysButtonsOutInBalancedRows)
{
    ASSERT_EQ(WindowDpi(Hwnd()), 96u) << "the sizes below are those at 96 DPI";
    m_window->RebuildIconWindow(MakeItems(10), m_images.get(), 10);
    EXPECT_EQ(WindowSize().cx, 238);
    EXPECT_EQ(WindowSize().cy, 30);
    ExpectGrid(10, 10);

    m_window->RebuildIconWindow(MakeItems(11), m_images.get(), 10);
    EXPECT_EQ(WindowSize().cx, 146);
    EXPECT_EQ(WindowSize().cy, 52);
    ExpectGrid(11, 6);
    // The tool bar sits inside the window's client area without being clipped.
    RECT toolBar{};
    GetWindowRect(ToolBar(), &toolBar);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    MapWindowPoints(Hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(toolBar.right - toolBar.left, 138);
    EXPECT_EQ(toolBar.bottom - toolBar.top, 44);
    EXPECT_GT(toolBar.left, client.left);
    EXPECT_GT(toolBar.top, client.top);
    EXPECT_LT(toolBar.right, client.right);
    EXPECT_LT(toolBar.bottom, client.bottom);

    m_window->RebuildIconWindow(MakeItems(31), m_images.get(), 5);
    EXPECT_EQ(WindowSize().cx, 123);
    EXPECT_EQ(WindowSize().cy, 162);
    ExpectGrid(31, 5);
}

TEST_F(IconWindowTest, MaxIconInRowChangeHidesAndRelays)
{
    ASSERT_EQ(WindowDpi(Hwnd()), 96u);
    m_window->RebuildIconWindow(MakeItems(15), m_images.get(), 10);
    ExpectGrid(15, 8);
    m_window->ShowIconWindowPassive();
    ASSERT_TRUE(IsWindowVisible(Hwnd()));
    const int hiddenBefore = m_bench.hidden;
    m_window->SetMaxIconInRow(5);
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    EXPECT_FALSE(m_window->IsUp());
    EXPECT_EQ(m_bench.hidden, hiddenBefore + 1);
    EXPECT_EQ(WindowSize().cx, 5 * 23 + 8);
    EXPECT_EQ(WindowSize().cy, 3 * 22 + 8);
    ExpectGrid(15, 5);
}

TEST_F(IconWindowTest, PassiveShowKeepsTheFocusActiveShowTakesIt)
{
    m_window->RebuildIconWindow(MakeItems(11), m_images.get(), 10);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400, 200, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    PumpMessages();
    ASSERT_EQ(GetForegroundWindow(), other);

    m_bench.cursor = {200, 150};
    m_window->ShowIconWindowPassive();
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(Hwnd()));
    EXPECT_TRUE(m_window->IsShownByEdge());
    EXPECT_TRUE(m_window->IsUp());
    EXPECT_EQ(GetForegroundWindow(), other);
    EXPECT_EQ(WindowTopLeft().x, 200);
    EXPECT_EQ(WindowTopLeft().y, 150);

    // From passive to active: opened afresh at the cursor, in the foreground.
    m_bench.cursor = {400, 250};
    m_window->ShowIconWindowActive();
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(Hwnd()));
    EXPECT_FALSE(m_window->IsShownByEdge());
    EXPECT_TRUE(m_window->IsUp());
    EXPECT_EQ(GetForegroundWindow(), Hwnd());
    EXPECT_EQ(WindowTopLeft().x, 400);
    EXPECT_EQ(WindowTopLeft().y, 250);
    EXPECT_GE(m_bench.forceForeground, 1);

    // A second active show while it is up brings it forward but does not move it.
    m_bench.cursor = {10, 10};
    m_window->ShowIconWindowActive();
    EXPECT_EQ(WindowTopLeft().x, 400);

    m_window->HideIconWindow();
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    EXPECT_FALSE(m_window->IsUp());
    DestroyWindow(other);
}

TEST_F(IconWindowTest, HidesShowTimeAfterTheLastMoveUnlessTheMouseIsOver)
{
    m_window->RebuildIconWindow(MakeItems(4), m_images.get(), 10);
    m_window->SetShowTime(3);
    m_bench.cursor = {100, 100};
    m_window->ShowIconWindowPassive();
    m_bench.cursor = {700, 600};  // the mouse moves away

    m_bench.nowMs += 2'999;
    Tick();
    EXPECT_TRUE(IsWindowVisible(Hwnd()));
    // A mouse move over a button pushes the deadline on.
    SendMessageW(ToolBar(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(m_window->HideDeadlineMs(), m_bench.nowMs + 3'000);
    m_bench.nowMs += 2'999;
    Tick();
    EXPECT_TRUE(IsWindowVisible(Hwnd()));

    // The cursor resting over the window keeps it up.
    RECT r{};
    GetWindowRect(Hwnd(), &r);
    m_bench.cursor = {r.left + 5, r.top + 5};
    m_bench.nowMs += 10'000;
    Tick();
    EXPECT_TRUE(IsWindowVisible(Hwnd()));
    EXPECT_TRUE(m_window->IsCursorInIconWindow());
    // On the border is not inside.
    m_bench.cursor = {r.left, r.top + 5};
    EXPECT_FALSE(m_window->IsCursorInIconWindow());

    // An open popup menu keeps it up too.
    m_bench.cursor = {700, 600};
    m_bench.menuOpen = true;
    m_bench.nowMs += 10'000;
    Tick();
    EXPECT_TRUE(IsWindowVisible(Hwnd()));

    m_bench.menuOpen = false;
    const int hiddenBefore = m_bench.hidden;
    Tick();
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    EXPECT_FALSE(m_window->IsUp());
    EXPECT_FALSE(m_window->IsShownByEdge());
    EXPECT_EQ(m_bench.hidden, hiddenBefore + 1);
    // A hidden window has no inside, even under its old rectangle.
    m_bench.cursor = {r.left + 5, r.top + 5};
    EXPECT_FALSE(m_window->IsCursorInIconWindow());
}

TEST_F(IconWindowTest, TheWindowTimerDrivesTheHide)
{
    m_window->RebuildIconWindow(MakeItems(2), m_images.get(), 10);
    m_window->SetShowTime(1);
    m_bench.cursor = {100, 100};
    m_window->ShowIconWindowPassive();
    m_bench.cursor = {700, 600};
    m_bench.nowMs += 5'000;  // past the deadline: the next real tick hides it
    const DWORD start = GetTickCount();
    while (IsWindowVisible(Hwnd()) && GetTickCount() - start < 5'000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        PumpMessages();
    }
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    EXPECT_FALSE(m_window->IsUp());
}

TEST_F(IconWindowTest, ClickingAButtonHidesAndReportsItsId)
{
    m_window->RebuildIconWindow(MakeItems(11), m_images.get(), 10);
    m_window->ShowIconWindowPassive();
    ASSERT_TRUE(IsWindowVisible(Hwnd()));

    // A real click on the first button of the second row (position 6 shows table entry 4).
    const RECT button = ButtonRectAt(6);
    const LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    SendMessageW(ToolBar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(ToolBar(), WM_LBUTTONUP, 0, at);
    PumpMessages();
    ASSERT_EQ(m_bench.clicked.size(), 1u);
    EXPECT_EQ(m_bench.clicked[0], kFloatingFirstId + 4);
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    EXPECT_FALSE(m_window->IsUp());

    // The command the tool bar sends for its last button.
    m_window->ShowIconWindowActive();
    SendMessageW(m_window->PanelHandle(), WM_COMMAND, MAKEWPARAM(kFloatingFirstId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ToolBar()));
    ASSERT_EQ(m_bench.clicked.size(), 2u);
    EXPECT_EQ(m_bench.clicked[1], kFloatingFirstId);
    EXPECT_FALSE(IsWindowVisible(Hwnd()));

    // An id that is no button of ours is ignored.
    SendMessageW(m_window->PanelHandle(), WM_COMMAND, MAKEWPARAM(kFloatingFirstId + 50, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ToolBar()));
    EXPECT_EQ(m_bench.clicked.size(), 2u);
}

TEST_F(IconWindowTest, RightClickReportsTheScreenPointAndKeepsTheWindow)
{
    m_window->RebuildIconWindow(MakeItems(3), m_images.get(), 10);
    m_bench.cursor = {250, 200};
    m_window->ShowIconWindowPassive();
    const RECT button = ButtonRectAt(1);
    POINT at{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    POINT screen = at;
    ClientToScreen(ToolBar(), &screen);
    m_bench.cursor = {screen.x, screen.y};
    SendMessageW(ToolBar(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(ToolBar(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    PumpMessages();
    ASSERT_EQ(m_bench.rightClicks.size(), 1u);
    EXPECT_EQ(m_bench.rightClicks[0].x, screen.x);
    EXPECT_EQ(m_bench.rightClicks[0].y, screen.y);
    EXPECT_TRUE(m_bench.clicked.empty());
    EXPECT_TRUE(IsWindowVisible(Hwnd()));
}

TEST_F(IconWindowTest, OpensOnTheWorkAreaOfTheMonitorNearTheCursor)
{
    ASSERT_EQ(WindowDpi(Hwnd()), 96u);
    m_window->RebuildIconWindow(MakeItems(11), m_images.get(), 10);
    // A second monitor left of the primary one: its bottom-right corner.
    m_bench.workArea = PixelRect{-1280, 0, 0, 984};
    m_bench.cursor = {-1, 983};
    m_window->ShowIconWindowPassive();
    EXPECT_EQ(WindowTopLeft().x, -146);
    EXPECT_EQ(WindowTopLeft().y, 932);
    m_window->HideIconWindow();

    // No monitor found: the primary work area taken at start-up.
    RECT primary{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0);
    m_bench.workArea = std::nullopt;
    m_bench.cursor = {primary.right - 1, primary.bottom - 1};
    m_window->ShowIconWindowActive();
    EXPECT_EQ(WindowTopLeft().x, primary.right - 146);
    EXPECT_EQ(WindowTopLeft().y, primary.bottom - 52);
}

TEST_F(IconWindowTest, RecreatedAfterADisplayChangeWithTheSameButtons)
{
    m_window->RebuildIconWindow(MakeItems(11), m_images.get(), 10);
    m_window->ShowIconWindowPassive();
    const HWND before = Hwnd();
    const SIZE size = WindowSize();
    m_window->RecreateIconWindow();
    EXPECT_FALSE(IsWindow(before));
    ASSERT_TRUE(IsWindow(Hwnd()));
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    EXPECT_FALSE(m_window->IsUp());
    EXPECT_EQ(WindowSize().cx, size.cx);
    EXPECT_EQ(WindowSize().cy, size.cy);
    ExpectGrid(11, 6);
    // And it still works.
    m_window->ShowIconWindowPassive();
    EXPECT_TRUE(IsWindowVisible(Hwnd()));
    SendMessageW(m_window->PanelHandle(), WM_COMMAND, MAKEWPARAM(kFloatingFirstId + 3, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ToolBar()));
    ASSERT_EQ(m_bench.clicked.size(), 1u);
    EXPECT_EQ(m_bench.clicked[0], kFloatingFirstId + 3);
}

TEST_F(IconWindowTest, ButtonHintIsTheCaption)
{
    m_window->RebuildIconWindow(MakeItems(3), m_images.get(), 10);
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(ToolBar(), TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = kFloatingFirstId + 2;
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, L"Item 2");
}

} // namespace
