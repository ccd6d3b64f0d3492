#pragma once
// Turns a mouse message posted by the hook library into a watch event. No Windows headers: the
// message number and the packed point are plain numbers here.

#include <array>
#include <cstdint>

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// A set of shift flags; the watch component only ever reports ssDouble.
using TShiftState = std::uint16_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;
inline constexpr TShiftState ssLeft = 0x08;
inline constexpr TShiftState ssRight = 0x10;
inline constexpr TShiftState ssMiddle = 0x20;
inline constexpr TShiftState ssDouble = 0x40;

enum class MouseEventKind { Move, Down, Up };

struct DecodedMouseEvent {
    MouseEventKind kind = MouseEventKind::Move;
    TMouseButton button = TMouseButton::mbLeft;  // not meaningful for a move
    TShiftState shift = 0;
    int x = 0;
    int y = 0;
};

namespace mouse_decode_detail {
struct Row {
    MouseEventKind kind;
    TMouseButton button;
    TShiftState shift;
};
// Indexed by the low four bits of the message number, which are the same for the client and the
// non-client mouse messages. 10-15 are the wheel and extra-button messages; they arrive as a left
// press without a release.
inline constexpr std::array<Row, 16> kRows{{
    {MouseEventKind::Move, TMouseButton::mbLeft, 0},
    {MouseEventKind::Down, TMouseButton::mbLeft, 0},
    {MouseEventKind::Up, TMouseButton::mbLeft, 0},
    {MouseEventKind::Down, TMouseButton::mbLeft, ssDouble},
    {MouseEventKind::Down, TMouseButton::mbRight, 0},
    {MouseEventKind::Up, TMouseButton::mbRight, 0},
    {MouseEventKind::Down, TMouseButton::mbRight, ssDouble},
    {MouseEventKind::Down, TMouseButton::mbMiddle, 0},
    {MouseEventKind::Up, TMouseButton::mbMiddle, 0},
    {MouseEventKind::Down, TMouseButton::mbMiddle, ssDouble},
    {MouseEventKind::Down, TMouseButton::mbLeft, 0},
    {MouseEventKind::Down, TMouseButton::mbLeft, 0},
    {MouseEventKind::Down, TMouseButton::mbLeft, 0},
    {MouseEventKind::Down, TMouseButton::mbLeft, 0},
    {MouseEventKind::Down, TMouseButton::mbLeft, 0},
    {MouseEventKind::Down, TMouseButton::mbLeft, 0},
}};
} // namespace mouse_decode_detail

// message: the mouse message number; point: x in bits 0-15, y in bits 16-31, both unsigned (a
// point at x = 65535 stays 65535).
constexpr DecodedMouseEvent DecodeMouseEvent(std::uint32_t message, std::uint32_t point)
{
    const auto& row = mouse_decode_detail::kRows[message & 0x0F];
    return {row.kind, row.button, row.shift, static_cast<int>(point & 0xFFFFu),
            static_cast<int>((point >> 16) & 0xFFFFu)};
}
