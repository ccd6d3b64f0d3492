#pragma once
// The style rules of the small derived controls. No Windows headers.

#include <cstdint>

#include "base/OsVersion.h"

// Class style bit of a window that casts a drop shadow (CS_DROPSHADOW).
inline constexpr std::uint32_t kClassStyleDropShadow = 0x00020000;
// Track bar style that reserves room for, and draws, the selection-range band (TBS_ENABLESELRANGE).
inline constexpr std::uint32_t kTrackBarEnableSelRange = 0x0020;

// The system draws drop shadows from NT 5.1 on, whatever the visual theme; older systems reject
// the class style, so they get the plain hint window.
constexpr bool HintWindowHasDropShadow(const OsVersion& version) { return IsNt51OrLater(version); }

constexpr std::uint32_t ShadowedHintClassStyle(std::uint32_t inheritedStyle, const OsVersion& version)
{
    return HintWindowHasDropShadow(version) ? inheritedStyle | kClassStyleDropShadow : inheritedStyle;
}

// The program's track bars never show a selection range, whatever style they are asked for.
constexpr std::uint32_t OrvoTrackBarStyle(std::uint32_t requestedStyle)
{
    return requestedStyle & ~kTrackBarEnableSelRange;
}
