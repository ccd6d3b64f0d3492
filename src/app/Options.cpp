#include "app/Options.h"

#include "app/SettingsRules.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "triggers/TriggerRules.h"

LauncherOptions LoadOptions(const IniFile& settings, std::wstring& dataFolder)
{
    LauncherOptions o;
    o.showTime = settings.Read(keys::ShowTime);
    o.autoStart = settings.Read(keys::AutoStart);
    o.oneClickToActivate = settings.Read(keys::OneClickToActivate);
    o.noMenuHint = settings.Read(keys::NoMenuHint);
    o.exitDialog = settings.Read(keys::ExitDialog);
    o.openSystemMenu = settings.Read(keys::OpenSystemMenu);
    o.hideTrayIcon = settings.Read(keys::HideTrayIcon);
    o.disableTrayIcon = settings.Read(keys::DisableTrayIcon);
    o.promoteTrayIcons = settings.Read(keys::PromoteTrayIcons);
    o.maxIconInRow = ClampToRange(settings.Read(keys::MaxIconInRow), keys::kMaxIconInRowLow, keys::kMaxIconInRowHigh);
    o.useCustomMainIcon = settings.Read(keys::UseCustomMainIcon);
    o.popupHotkey = {settings.Read(keys::HKPopupMod), settings.Read(keys::HKPopupVir)};
    o.iconWindowHotkey = {settings.Read(keys::HKIconWinMod), settings.Read(keys::HKIconWinVir)};
    // No value read from a line holds a line break, so this default tells a missing key from an
    // empty one.
    const std::wstring setting = settings.ReadString(keys::DataFolder.section, keys::DataFolder.key, L"\n");
    o.dataFolderStored = setting != L"\n";
    o.dataFolderChoice = DataFolderFromSetting(o.dataFolderStored ? setting : L"", dataFolder);
    // A folder that is not there at this start (a removable or network drive not connected yet)
    // gives way to the settings file's folder for this session only; the choice stays stored.
    dataFolder = DirectoryExists(o.dataFolderChoice) ? o.dataFolderChoice : IncludeTrailingBackslash(dataFolder);
    LoadEdgeOptions(settings, o);
    return o;
}

void LoadEdgeOptions(const IniFile& settings, LauncherOptions& options)
{
    options.disableKey = ClampKeyComboIndex(settings.Read(keys::DisableKey));
    options.floatRightKey = ClampKeyComboIndex(settings.Read(keys::FloatRightKey));
    // Left, top, right, bottom: an edge whose float key is set never reads its popup key.
    struct EdgeKeys {
        const BoolKey& floatKey;
        const BoolKey& popupKey;
        bool& floatAt;
        bool& popupAt;
    };
    const EdgeKeys edges[] = {{keys::FloatLeft, keys::PopupLeft, options.floatLeft, options.popupLeft},
                              {keys::FloatTop, keys::PopupTop, options.floatTop, options.popupTop},
                              {keys::FloatRight, keys::PopupRight, options.floatRight, options.popupRight},
                              {keys::FloatBottom, keys::PopupBottom, options.floatBottom, options.popupBottom}};
    for (const EdgeKeys& edge : edges) {
        const EdgeChecks checks = LoadEdgeChecks([&] { return settings.Read(edge.floatKey); },
                                                 [&] { return settings.Read(edge.popupKey); });
        edge.floatAt = checks.floatChecked;
        edge.popupAt = checks.popupChecked;
    }
    // The track bar keeps its position within its range.
    options.sensitivity = ClampToRange(settings.Read(keys::Sensitivity), kSensitivityMin, kSensitivityMax);
}
