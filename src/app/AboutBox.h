#pragma once

#include <windows.h>

#include <string>

// Shows the About box modally. While it is open, *openWindow holds it so the owner can bring it
// forward.
// `dataFolder` is what its link opens.
void ShowAboutBox(HWND owner, HWND* openWindow, const std::wstring& dataFolder);
