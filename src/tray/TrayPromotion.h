#pragma once
// Windows 11 keeps what the user chose for each notification icon (shown on the taskbar or in the
// overflow) under HKCU\Control Panel\NotifyIconSettings, one key per icon, created by the shell
// when the icon first appears. The program may mark its own icons as shown, and undo that.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// What a key's "IsPromoted" held before the program set it; none when the key had no such value.
struct IconSetting {
    std::wstring key;
    std::optional<DWORD> promoted;
};

// Whether this system keeps per-icon settings at all.
bool IconSettingsKept();
// Marks every icon of the program at `programPath` as shown and returns what each key it changed
// held before. Other programs' keys are never written.
std::vector<IconSetting> PromoteProgramIcons(const std::wstring& programPath);
// Puts back what `PromoteProgramIcons` found, on the keys that are still there.
void RestoreIconSettings(const std::vector<IconSetting>& saved);
