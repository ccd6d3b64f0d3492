#pragma once
// Every key of the settings file with its section, type and default.

#include <string>

struct BoolKey {
    const wchar_t* section;
    const wchar_t* key;
    bool defaultValue;
};
struct IntKey {
    const wchar_t* section;
    const wchar_t* key;
    int defaultValue;
};
struct StringKey {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* defaultValue;
};

namespace keys {
inline constexpr const wchar_t* kOption = L"Option";
inline constexpr const wchar_t* kHotkeys = L"Hotkeys";
inline constexpr const wchar_t* kDialogs = L"Dialogs";
inline constexpr const wchar_t* kIcon = L"Icon";
inline constexpr const wchar_t* kGroupStartCol = L"GroupStartCol";
inline constexpr const wchar_t* kTestSection = L"OrvoTestIni";
inline constexpr const wchar_t* kStartGroupPrefix = L"StartGroup_";

inline constexpr IntKey ShowTime{kOption, L"ShowTime", 3};
inline constexpr BoolKey AutoStart{kOption, L"AutoStart", false};
inline constexpr BoolKey OneClickToActivate{kOption, L"OneClickToActivate", false};
inline constexpr BoolKey NoMenuHint{kOption, L"NoMenuHint", false};
inline constexpr BoolKey OpenSystemMenu{kOption, L"OpenSystemMenu", true};
inline constexpr BoolKey HideTrayIcon{kOption, L"HideTrayIcon", false};
inline constexpr BoolKey DisableTrayIcon{kOption, L"DisableTrayIcon", false};
inline constexpr IntKey MaxIconInRow{kOption, L"MaxIconInRow", 10};
inline constexpr int kMaxIconInRowLow = 5;
inline constexpr int kMaxIconInRowHigh = 30;
// The default of "DataFolder" is the folder of the settings file, known only at run time.
inline constexpr StringKey DataFolder{kOption, L"DataFolder", L""};
inline constexpr IntKey PopUpDelay{kOption, L"PopUpDelay", 1};
inline constexpr BoolKey MainLeftPopup{kOption, L"MainLeftPopup", false};
inline constexpr BoolKey EnableCornerEdge{kOption, L"EnableCornerEdge", false};
inline constexpr BoolKey FloatLeft{kOption, L"FloatLeft", false};
inline constexpr BoolKey FloatTop{kOption, L"FloatTop", false};
inline constexpr BoolKey FloatRight{kOption, L"FloatRight", true};
inline constexpr BoolKey FloatBottom{kOption, L"FloatBottom", false};
inline constexpr BoolKey PopupLeft{kOption, L"PopupLeft", false};
inline constexpr BoolKey PopupTop{kOption, L"PopupTop", true};
inline constexpr BoolKey PopupRight{kOption, L"PopupRight", false};
inline constexpr BoolKey PopupBottom{kOption, L"PopupBottom", false};
inline constexpr IntKey DisableKey{kOption, L"DisableKey", 3};
inline constexpr IntKey FloatRightKey{kOption, L"FloatRightKey", 1};
inline constexpr IntKey Sensitivity{kOption, L"Sensitivity", 5};
inline constexpr BoolKey PromoteTrayIcons{kOption, L"PromoteTrayIcons", false};
// What each per-icon settings key held before "PromoteTrayIcons" marked it: its "IsPromoted", or
// "none" when it had no such value.
inline constexpr const wchar_t* kPromotedTrayIcons = L"PromotedTrayIcons";

inline constexpr IntKey HKPopupMod{kHotkeys, L"HKPopupMod", 0};
inline constexpr IntKey HKPopupVir{kHotkeys, L"HKPopupVir", 0};
inline constexpr IntKey HKIconWinMod{kHotkeys, L"HKIconWinMod", 0};
inline constexpr IntKey HKIconWinVir{kHotkeys, L"HKIconWinVir", 0};

inline constexpr BoolKey ExitDialog{kDialogs, L"ExitDialog", false};

inline constexpr BoolKey UseCustomMainIcon{kIcon, L"UseCustomMainIcon", false};
inline constexpr StringKey IconFile{kIcon, L"IconFile", L""};
inline constexpr IntKey IconIdx{kIcon, L"IconIdx", 0};

inline constexpr IntKey GroupStartCol1{kGroupStartCol, L"Col1", 230};
inline constexpr IntKey GroupStartCol2{kGroupStartCol, L"Col2", 85};

inline constexpr IntKey WriteTest{kTestSection, L"WriteTest", 0};
} // namespace keys
