#include "app/Options.h"

#include "app/SettingsRules.h"
#include "base/Strings.h"

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
    o.maxIconInRow = ClampToRange(settings.Read(keys::MaxIconInRow), keys::kMaxIconInRowLow, keys::kMaxIconInRowHigh);
    o.useCustomMainIcon = settings.Read(keys::UseCustomMainIcon);
    o.popupHotkey = {settings.Read(keys::HKPopupMod), settings.Read(keys::HKPopupVir)};
    o.iconWindowHotkey = {settings.Read(keys::HKIconWinMod), settings.Read(keys::HKIconWinVir)};
    dataFolder = IncludeTrailingBackslash(settings.ReadString(keys::DataFolder.section, keys::DataFolder.key, dataFolder));
    o.floatLeft = settings.Read(keys::FloatLeft);
    o.floatTop = settings.Read(keys::FloatTop);
    o.floatRight = settings.Read(keys::FloatRight);
    o.floatBottom = settings.Read(keys::FloatBottom);
    o.popupLeft = settings.Read(keys::PopupLeft);
    o.popupTop = settings.Read(keys::PopupTop);
    o.popupRight = settings.Read(keys::PopupRight);
    o.popupBottom = settings.Read(keys::PopupBottom);
    o.disableKey = settings.Read(keys::DisableKey);
    o.floatRightKey = settings.Read(keys::FloatRightKey);
    o.sensitivity = settings.Read(keys::Sensitivity);
    return o;
}
