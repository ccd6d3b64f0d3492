#pragma once
// The rules of hotkeys: the text and modifiers of an item's hotkey, the shortcut form of a surface
// hotkey, and the hotkey identifiers. Pure: no Windows headers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "items/Item.h"

// The flags RegisterHotKey takes.
constexpr std::uint16_t kModAlt = 1;
constexpr std::uint16_t kModControl = 2;
constexpr std::uint16_t kModShift = 4;

// The modifier byte of a shell shortcut's hotkey (and of the hotkey control).
constexpr std::uint16_t kHotKeyFShift = 1;
constexpr std::uint16_t kHotKeyFControl = 2;
constexpr std::uint16_t kHotKeyFAlt = 4;
constexpr std::uint16_t kHotKeyFExt = 8;  // the key is an extended one (arrows, Insert, Home, ...)

// A surface hotkey as the options store it: low byte the virtual-key code, plus these bits.
using TShortCut = std::uint16_t;
constexpr TShortCut kScShift = 0x2000;
constexpr TShortCut kScCtrl = 0x4000;
constexpr TShortCut kScAlt = 0x8000;

// The modifiers RegisterHotKey takes for an item's modifier byte; 0 when the hotkey cannot be
// registered (no modifier, or a bit that is none of Shift, Ctrl, Alt and Ext). The shell sets Ext for
// extended keys and its own hotkeys work with it, so it does not change the combination.
std::uint16_t ItemHotKeyModifiers(std::uint16_t modifierByte);

// "Ctrl + Alt + N": the modifier names, " + ", then the character whose code is the key's (so F1,
// 0x70, reads "p"). Empty when the key is 0 or the modifiers cannot be registered.
std::wstring ItemHotKeyText(std::uint16_t key, std::uint16_t modifierByte);

// RegisterHotKey's modifiers of a shortcut: Shift, Ctrl and Alt only.
std::uint16_t ShortCutModifiers(TShortCut shortCut);
constexpr std::uint16_t ShortCutVirtualKey(TShortCut shortCut) { return shortCut & 0xFF; }

// The shortcut of a stored pair (RegisterHotKey modifiers, virtual key). None unless both are set, the
// key is a key code (1-255) and at least one of Alt, Ctrl and Shift is among the modifiers: a
// malformed pair must not take a bare key from every other program.
std::optional<TShortCut> StoredSurfaceHotKey(int modifiers, int virtualKey);

// The hotkey control's word (key in the low byte, HOTKEYF_ flags in the high byte) and back.
TShortCut ShortCutFromHotKeyControl(std::uint16_t word);
std::uint16_t HotKeyControlFromShortCut(TShortCut shortCut);

// Hotkey identifiers. Item hotkeys keep the ids of their collection's range (Icons 100, Floating
// 200, Menus 300 + index) for the first 100 items; later items take ids of their own from 400 on, so
// that two items never share one (RegisterHotKey would keep both under it, and one id can launch
// only one of them). Surface hotkeys count from 0 and skip everything items use.
std::optional<std::uint16_t> ItemHotKeyId(CollectionKind kind, std::size_t index);
struct ItemHotKeyOwner {
    CollectionKind Kind = CollectionKind::None;
    std::size_t Index = 0;
};
std::optional<ItemHotKeyOwner> ItemOfHotKeyId(std::uint32_t id);
// The identifier of the nth activation of a surface hotkey component (0 for the first).
std::uint16_t SurfaceHotKeyId(std::uint32_t activation);

// Text as an XML attribute can hold it: control characters (such as the code of Pause, which XML 1.0
// does not allow, or a tab, which a reader turns into a space) and unpaired surrogates become U+FFFD.
std::wstring XmlSafeText(std::wstring_view text);
