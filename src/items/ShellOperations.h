#pragma once
// The shell operations every surface ends in.

#include <windows.h>

// Brings a window of ours to the foreground against the system's foreground lock. The foreground
// lock time-out is always left as it was found.
void ForceForegroundWindow(HWND window);
