// "Show entry icons on the taskbar": the shell's per-icon settings of this program's own icons,
// marked as shown after each load, and put back as the user had them when the option goes off.

#include "app/LauncherMainUnit.h"

#include <algorithm>
#include <cwchar>

#include "base/WinUtil.h"
#include "tray/TrayPromotion.h"

namespace {
// The shell makes an icon's settings key a moment after the icon first appears.
constexpr UINT kPromoteDelayMs = 3000;
constexpr const wchar_t* kNoValue = L"none";

// A key name the settings file can hold as a key of its own.
bool StorableKeyName(const std::wstring& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'-' || c == L'_';
    });
}
} // namespace

void TOrvoLauncherClass::ActionPromoteTrayIconsExecute()
{
    // The box is disabled where Windows keeps no such settings; a command sent anyway does nothing.
    if (!IconSettingsKept()) return;
    m_options.promoteTrayIcons = !m_options.promoteTrayIcons;
    m_settings.Write(keys::PromoteTrayIcons, m_options.promoteTrayIcons);
    if (m_options.promoteTrayIcons) PromoteTrayIcons();
    else RestoreTrayIconSettings();
}

void TOrvoLauncherClass::SchedulePromoteTrayIcons()
{
    if (m_options.promoteTrayIcons && !m_destroyed) ::SetTimer(Handle(), kTimerPromoteTrayIcons, kPromoteDelayMs, nullptr);
}

void TOrvoLauncherClass::PromoteTrayIcons()
{
    ::KillTimer(Handle(), kTimerPromoteTrayIcons);
    if (!m_options.promoteTrayIcons || m_destroyed) return;
    const std::vector<std::wstring> saved = m_settings.KeyNames(keys::kPromotedTrayIcons);
    for (const IconSetting& changed : PromoteProgramIcons(ModuleFileName())) {
        // The first value found is what the user had; a later pass finds the program's own mark.
        if (std::find(saved.begin(), saved.end(), changed.key) != saved.end()) continue;
        const std::wstring before = changed.promoted ? std::to_wstring(*changed.promoted) : kNoValue;
        // What cannot be written down to be put back later is put back at once.
        if (!StorableKeyName(changed.key) ||
            !m_settings.WriteString(keys::kPromotedTrayIcons, changed.key.c_str(), before))
            RestoreIconSettings({changed});
    }
}

void TOrvoLauncherClass::RestoreTrayIconSettings()
{
    ::KillTimer(Handle(), kTimerPromoteTrayIcons);
    std::vector<IconSetting> saved;
    for (const std::wstring& key : m_settings.KeyNames(keys::kPromotedTrayIcons)) {
        const std::wstring value = m_settings.ReadString(keys::kPromotedTrayIcons, key.c_str(), L"");
        IconSetting setting{key, std::nullopt};
        if (value != kNoValue) {
            wchar_t* end = nullptr;
            const unsigned long number = std::wcstoul(value.c_str(), &end, 10);
            // A value edited into something else says nothing about the user's choice: left alone.
            if (value.empty() || *end != L'\0') continue;
            setting.promoted = static_cast<DWORD>(number);
        }
        saved.push_back(std::move(setting));
    }
    RestoreIconSettings(saved);
    m_settings.EraseSection(keys::kPromotedTrayIcons);
}
