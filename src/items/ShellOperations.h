#pragma once
// The shell operations every surface ends in.

#include <windows.h>

#include <string>

// Hands an item file to the shell unchanged (a shortcut starts its target as stored in it). An Internet
// shortcut goes to the default browser, except one whose URL is exactly "mailto:", which the shell
// starts as a file. A missing file (or a folder) does nothing.
void LaunchItemFile(const std::wstring& path);

// Opens a URL in the browser registered for "http", the URL as its one quoted argument; without such a
// browser the shell is handed the URL itself.
void OpenUrlInBrowser(const std::wstring& url);
// The same without the shell's fallback: false when no browser is registered for "http" (or its
// program file is missing), and then nothing is started.
bool OpenInRegisteredBrowser(const std::wstring& url);

// The shell's property sheet of a file or folder; nothing is waited for.
void ShowFileProperties(const std::wstring& path);

// Runs the shell's new-shortcut wizard for a folder (".LNK\ShellNew" "Command", first "%1" = the folder).
void RunNewShortcutWizard(const std::wstring& folder);

// Brings a window of ours to the foreground against the system's foreground lock. The foreground
// lock time-out is always left as it was found.
void ForceForegroundWindow(HWND window);
