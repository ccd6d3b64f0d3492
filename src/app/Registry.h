#pragma once
// The program's two registry uses: the "Version" value and the per-user Run entry.

#include <string>

#include "app/SettingsRules.h"

inline constexpr const wchar_t* kProgramKey = L"Software\\Orvo Solution\\Orvo Launcher";
inline constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Writes "Version" under the program's key when the program file has a version resource.
void WriteVersionValue();

// Creates the Run value when `on` and it is missing (an existing value is never rewritten);
// deletes it when off.
void SetAutoStart(bool on, const RunEntry& entry);
bool IsAutoStart(const RunEntry& entry);
