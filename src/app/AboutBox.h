#pragma once

#include <windows.h>

// Shows the About box modally. While it is open, *openWindow holds it so the owner can bring it
// forward.
void ShowAboutBox(HWND owner, HWND* openWindow);
