#pragma once
// Messages the test peer posts to its test's notify window: for the mouse, lParam is the packed
// screen point; for a key, wParam and lParam are those of WM_KEYDOWN.

#include <windows.h>

inline constexpr UINT kPeerSawMove = WM_APP + 1;
inline constexpr UINT kPeerSawLeftDown = WM_APP + 2;
inline constexpr UINT kPeerSawKey = WM_APP + 3;
