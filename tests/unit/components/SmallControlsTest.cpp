// The small derived controls: their style rules, and the real controls under the system.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "base/Handles.h"
#include "components/EnterLeaveLabel.h"
#include "components/HintShadow.h"
#include "components/OrvoTrackBar.h"
#include "components/SmallControlRules.h"

TEST(SmallControlRulesTests, DropShadowFromNt51OnWhateverTheTheme)
{
    struct Case {
        OsVersion version;
        bool shadow;
    };
    const Case cases[] = {
        {{OsPlatform::Win9x, 4, 10}, false}, // 98
        {{OsPlatform::Win9x, 4, 90}, false}, // Me
        {{OsPlatform::Win9x, 6, 0}, false},  // not NT, whatever the number
        {{OsPlatform::Nt, 4, 0}, false},
        {{OsPlatform::Nt, 5, 0}, false}, // 2000
        {{OsPlatform::Nt, 5, 1}, true},  // XP
        {{OsPlatform::Nt, 5, 2}, true},  // 2003
        {{OsPlatform::Nt, 6, 0}, true},
        {{OsPlatform::Nt, 6, 1}, true},
        {{OsPlatform::Nt, 10, 0}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HintWindowHasDropShadow(c.version), c.shadow) << c.version.major << "." << c.version.minor;
        // The inherited class style is kept either way.
        EXPECT_EQ(ShadowedHintClassStyle(CS_SAVEBITS | CS_DBLCLKS, c.version),
                  CS_SAVEBITS | CS_DBLCLKS | (c.shadow ? CS_DROPSHADOW : 0u));
    }
    EXPECT_EQ(kClassStyleDropShadow, static_cast<std::uint32_t>(CS_DROPSHADOW));
}

TEST(SmallControlRulesTests, TrackBarLosesOnlyTheSelectionRange)
{
    EXPECT_EQ(kTrackBarEnableSelRange, static_cast<std::uint32_t>(TBS_ENABLESELRANGE));
    EXPECT_EQ(OrvoTrackBarStyle(WS_CHILD | TBS_AUTOTICKS | TBS_ENABLESELRANGE), WS_CHILD | TBS_AUTOTICKS);
    EXPECT_EQ(OrvoTrackBarStyle(WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH), WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH);
}

namespace {
// A hidden top-level window to own the controls under test.
UniqueHwnd MakeParent()
{
    return UniqueHwnd(::CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
}
} // namespace

TEST(SmallControlsTests, HintWindowIsATooltipWithTheShadowOfTheRunningSystem)
{
    const UniqueHwnd parent = MakeParent();
    ASSERT_TRUE(parent);
    const HWND hint = TShadowedHintWindow::Create(parent.get());
    ASSERT_TRUE(::IsWindow(hint));
    EXPECT_EQ(::GetWindow(hint, GW_OWNER), parent.get());

    const auto classStyle = static_cast<UINT>(::GetClassLongPtrW(hint, GCL_STYLE));
    EXPECT_EQ((classStyle & CS_DROPSHADOW) != 0, HintWindowHasDropShadow(CurrentOsVersion()));

    // It is the system's tooltip control: it takes tools.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent.get();
    tool.uId = reinterpret_cast<UINT_PTR>(parent.get());
    wchar_t text[] = L"hint";
    tool.lpszText = text;
    EXPECT_TRUE(::SendMessageW(hint, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(::SendMessageW(hint, TTM_GETTOOLCOUNT, 0, 0), 1);
    // A second creation reuses the registered class.
    EXPECT_TRUE(::IsWindow(TShadowedHintWindow::Create(parent.get())));
}

TEST(SmallControlsTests, TrackBarNeverShowsTheSelectionRange)
{
    const UniqueHwnd parent = MakeParent();
    const TOrvoTrackBar created = TOrvoTrackBar::Create(parent.get(), 10, RECT{0, 0, 200, 30},
                                                        WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_ENABLESELRANGE);
    EXPECT_EQ(::GetWindowLongPtrW(created.Handle(), GWL_STYLE) & TBS_ENABLESELRANGE, 0);
    EXPECT_EQ(::GetDlgCtrlID(created.Handle()), 10);
    created.SetRange(1, 11);
    created.SetPosition(7);
    EXPECT_EQ(created.Position(), 7);
    created.SetPosition(20);
    EXPECT_EQ(created.Position(), 11);

    // One made elsewhere (a dialog template) loses the band when taken over.
    const HWND plain = ::CreateWindowExW(0, TRACKBAR_CLASSW, nullptr, WS_CHILD | TBS_ENABLESELRANGE, 0, 40, 200, 30,
                                         parent.get(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(plain);
    const TOrvoTrackBar attached = TOrvoTrackBar::Attach(plain);
    EXPECT_EQ(::GetWindowLongPtrW(plain, GWL_STYLE) & TBS_ENABLESELRANGE, 0);
    EXPECT_EQ(attached.Handle(), plain);
}

TEST(SmallControlsTests, LabelShowsTheHoverFontWhileTheMouseIsOver)
{
    const UniqueHwnd parent = MakeParent();
    const UniqueHfont normal(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    LOGFONTW hoverAttributes{};
    ::GetObjectW(normal.get(), sizeof(hoverAttributes), &hoverAttributes);
    hoverAttributes.lfUnderline = TRUE;

    TEnterLeaveLabel label;
    label.Create(parent.get(), 20, L"www.example.org", RECT{0, 0, 200, 20});
    ::SendMessageW(label.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(normal.get()), FALSE);
    label.SetHoverFont(hoverAttributes);
    int enters = 0;
    int leaves = 0;
    label.OnMouseEnter = [&](TEnterLeaveLabel&) { ++enters; };
    label.OnMouseLeave = [&](TEnterLeaveLabel&) { ++leaves; };
    const auto shownFont = [&] { return reinterpret_cast<HFONT>(::SendMessageW(label.Handle(), WM_GETFONT, 0, 0)); };

    ::SendMessageW(label.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ::SendMessageW(label.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5)); // still inside: no second entering
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(label.Hovered());
    EXPECT_EQ(shownFont(), label.HoverFont());
    LOGFONTW shown{};
    ::GetObjectW(shownFont(), sizeof(shown), &shown);
    EXPECT_TRUE(shown.lfUnderline);

    ::SendMessageW(label.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(leaves, 1);
    EXPECT_FALSE(label.Hovered());
    EXPECT_EQ(shownFont(), normal.get());

    // Disabled, it keeps its font and raises nothing on entering; the leaving is still raised.
    ::EnableWindow(label.Handle(), FALSE);
    ::SendMessageW(label.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(shownFont(), normal.get());
    ::SendMessageW(label.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(leaves, 2);
    EXPECT_EQ(shownFont(), normal.get());

    // Let go while hovered, the label gets its own font back before the hover font is freed.
    ::EnableWindow(label.Handle(), TRUE);
    auto attached = std::make_unique<TEnterLeaveLabel>();
    attached->Attach(label.Handle());
    attached->SetHoverFont(hoverAttributes);
    ::SendMessageW(label.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(attached->Hovered());
    const HWND handle = label.Handle();
    attached.reset();
    EXPECT_TRUE(::IsWindow(handle)); // taken over, not owned
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(handle, WM_GETFONT, 0, 0)), normal.get());
}
