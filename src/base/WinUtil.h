#pragma once
// Small Windows helpers shared by every subsystem.

#include <windows.h>

#include <string>

std::wstring ModuleFileName(HMODULE module = nullptr);
bool FileExists(const std::wstring& path);       // an existing file, not a folder
bool DirectoryExists(const std::wstring& path);  // an existing folder
std::wstring WindowText(HWND hwnd);
// The system's text for an error code, without the trailing line break.
std::wstring SystemErrorText(DWORD code);
// Trims the process working set (SetProcessWorkingSetSize with -1, -1).
void TrimWorkingSet();
