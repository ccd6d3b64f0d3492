#pragma once
// Fixed pixel sizes are 96-DPI sizes scaled by the window's DPI.

#include <windows.h>

#include "base/DpiScale.h"

// The DPI of a window (per monitor where the system knows it), else of the screen.
unsigned WindowDpi(HWND hwnd);
// AdjustWindowRectEx at the given DPI where the system offers it.
void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, unsigned dpi);
// The message font scaled to the DPI (a caller owns the returned font).
HFONT CreateMessageFont(unsigned dpi, int pointSizeOverride = 0);
