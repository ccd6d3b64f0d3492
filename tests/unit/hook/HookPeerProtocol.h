#pragma once
// Messages the test peer posts to its test's notify window; lParam is the packed screen point.

#include <windows.h>

inline constexpr UINT kPeerSawMove = WM_APP + 1;
inline constexpr UINT kPeerSawLeftDown = WM_APP + 2;
