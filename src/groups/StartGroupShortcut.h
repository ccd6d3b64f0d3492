#pragma once
// Handing a group's command to the user: on the clipboard, or as a shortcut on the desktop.

#include <windows.h>

#include <string>

// Puts text on the clipboard, `owner` holding it; false when the clipboard could not be had.
bool PutTextOnClipboard(HWND owner, const std::wstring& text);
// A shortcut on the user's desktop that starts `program` with `arguments`, named after the group
// (numbered when the name is taken); false when none could be made.
bool CreateGroupShortcut(const std::wstring& program, const std::wstring& arguments, const std::wstring& caption);
