// Mouse-message and keystroke decoding and key names: the pure rules of the watch component.

#include <gtest/gtest.h>

#include "triggers/KeyDecode.h"
#include "triggers/MouseDecode.h"

namespace {

struct MouseCase {
    std::uint32_t message;
    MouseEventKind kind;
    TMouseButton button;
    TShiftState shift;
};

TEST(DecodeMouseEvent, LowFourBitsOfClientAndNonClientMessagesPickTheEvent)
{
    const MouseCase cases[] = {
        {0x200, MouseEventKind::Move, TMouseButton::mbLeft, 0},           // WM_MOUSEMOVE
        {0x201, MouseEventKind::Down, TMouseButton::mbLeft, 0},           // WM_LBUTTONDOWN
        {0x202, MouseEventKind::Up, TMouseButton::mbLeft, 0},             // WM_LBUTTONUP
        {0x203, MouseEventKind::Down, TMouseButton::mbLeft, ssDouble},    // WM_LBUTTONDBLCLK
        {0x204, MouseEventKind::Down, TMouseButton::mbRight, 0},          // WM_RBUTTONDOWN
        {0x205, MouseEventKind::Up, TMouseButton::mbRight, 0},            // WM_RBUTTONUP
        {0x206, MouseEventKind::Down, TMouseButton::mbRight, ssDouble},   // WM_RBUTTONDBLCLK
        {0x207, MouseEventKind::Down, TMouseButton::mbMiddle, 0},         // WM_MBUTTONDOWN
        {0x208, MouseEventKind::Up, TMouseButton::mbMiddle, 0},           // WM_MBUTTONUP
        {0x209, MouseEventKind::Down, TMouseButton::mbMiddle, ssDouble},  // WM_MBUTTONDBLCLK
        {0x0A0, MouseEventKind::Move, TMouseButton::mbLeft, 0},           // WM_NCMOUSEMOVE
        {0x0A1, MouseEventKind::Down, TMouseButton::mbLeft, 0},           // WM_NCLBUTTONDOWN
        {0x0A5, MouseEventKind::Up, TMouseButton::mbRight, 0},            // WM_NCRBUTTONUP
        {0x0A9, MouseEventKind::Down, TMouseButton::mbMiddle, ssDouble},  // WM_NCMBUTTONDBLCLK
        // Wheel and extra buttons: a left press with no release to follow.
        {0x20A, MouseEventKind::Down, TMouseButton::mbLeft, 0},  // WM_MOUSEWHEEL
        {0x20B, MouseEventKind::Down, TMouseButton::mbLeft, 0},  // WM_XBUTTONDOWN
        {0x20C, MouseEventKind::Down, TMouseButton::mbLeft, 0},  // WM_XBUTTONUP
        {0x20D, MouseEventKind::Down, TMouseButton::mbLeft, 0},  // WM_XBUTTONDBLCLK
        {0x20E, MouseEventKind::Down, TMouseButton::mbLeft, 0},  // WM_MOUSEHWHEEL
        {0x0AB, MouseEventKind::Down, TMouseButton::mbLeft, 0},  // WM_NCXBUTTONDOWN
        {0x20F, MouseEventKind::Down, TMouseButton::mbLeft, 0},
    };
    for (const auto& c : cases) {
        DecodedMouseEvent e = DecodeMouseEvent(c.message, 0);
        EXPECT_EQ(c.kind, e.kind) << std::hex << c.message;
        if (c.kind != MouseEventKind::Move) {
            EXPECT_EQ(c.button, e.button) << std::hex << c.message;
        }
        EXPECT_EQ(c.shift, e.shift) << std::hex << c.message;
    }
}

TEST(DecodeMouseEvent, PointHalvesAreUnsigned)
{
    DecodedMouseEvent e = DecodeMouseEvent(0x200, (20u << 16) | 10u);
    EXPECT_EQ(10, e.x);
    EXPECT_EQ(20, e.y);
    e = DecodeMouseEvent(0x201, 0xFFFFFFFFu);
    EXPECT_EQ(65535, e.x);
    EXPECT_EQ(65535, e.y);
    e = DecodeMouseEvent(0x200, 0x8000FFFFu);
    EXPECT_EQ(65535, e.x);
    EXPECT_EQ(32768, e.y);
}

TEST(DecodeKeyFlags, EveryFieldComesFromItsBits)
{
    // 'A' pressed for the first time: repeat 1, scan code 0x1E.
    TKeyNativeInfo press = DecodeKeyFlags(0x001E0001u);
    EXPECT_EQ(1u, press.RepeatCount);
    EXPECT_EQ(0x1Eu, press.ScanCode);
    EXPECT_FALSE(press.Extended);
    EXPECT_FALSE(press.AltDown);
    EXPECT_FALSE(press.WasDown);
    EXPECT_TRUE(press.KeyDown);

    // Right Alt released: extended, context code, previous state down, transition up.
    TKeyNativeInfo release = DecodeKeyFlags(0xE1380001u);
    EXPECT_EQ(0x38u, release.ScanCode);
    EXPECT_TRUE(release.Extended);
    EXPECT_TRUE(release.AltDown);
    EXPECT_TRUE(release.WasDown);
    EXPECT_FALSE(release.KeyDown);

    TKeyNativeInfo repeated = DecodeKeyFlags(0x4000FFFFu);
    EXPECT_EQ(0xFFFFu, repeated.RepeatCount);
    EXPECT_EQ(0u, repeated.ScanCode);
    EXPECT_TRUE(repeated.WasDown);
    EXPECT_TRUE(repeated.KeyDown);
    EXPECT_TRUE(repeated.KeyName.empty());
}

TEST(VirtualKeyName, FirstMatchingRuleNamesTheKey)
{
    struct Case {
        std::uint32_t code;
        std::uint32_t mapped;
        const wchar_t* name;
    };
    const Case cases[] = {
        {0x41, 'A', L"A"},          // a character from the system wins
        {0xBA, ';', L";"},
        {106, '*', L"*"},           // keypad operators map to their character on most layouts
        {13, 13, L"\r"},            // so does Enter, before its fixed name
        {0x41, 0, L"A"},            // letters and digits without a mapping
        {0x5A, 0, L"Z"},
        {0x30, 0, L"0"},
        {0x39, 0, L"9"},
        {112, 0, L"F1"},
        {123, 0, L"F12"},
        {135, 0, L"F24"},
        {96, 0, L"Numeric keypad 0"},
        {101, 0, L"Numeric keypad 5"},
        {105, 0, L"Numeric keypad 9"},
        {8, 0, L"BACKSPACE"},
        {13, 0, L"ENTER"},
        {16, 0, L"SHIFT"},
        {17, 0, L"CTRL"},
        {18, 0, L"ALT"},
        {32, 0, L"SPACEBAR"},
        {44, 0, L"PRINT SCREEN"},
        {47, 0, L"HELP"},
        {106, 0, L"MULTIPLY"},
        {111, 0, L"DIVIDE"},
        {144, 0, L"NUM LOCK"},
        {145, 0, L"SCROLL LOCK"},
        // No character, no fixed name.
        {7, 0, L"undefined 0x0007"},
        {42, 0, L"undefined 0x002A"},
        {136, 0, L"undefined 0x0088"},
        {255, 0, L"undefined 0x00FF"},
        // 255 and dead keys (top bit set) are not characters.
        {7, 255, L"undefined 0x0007"},
        {0xDE, 0x80000000u | '^', L"undefined 0x00DE"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::wstring(c.name), VirtualKeyName(c.code, c.mapped)) << c.code;
}

} // namespace
