#pragma once
// One entry file of a collection folder, and the fixed facts of the three collections.
// A plain value type: no Windows headers here.

#include <cstdint>
#include <string>

enum class CollectionKind : std::uint16_t { None = 0, Icons = 1, Menus = 2, Floating = 3 };

// First `Id` of each collection; an item's Id is the first Id + its position in the table.
constexpr std::uint16_t kIconsFirstId = 100;
constexpr std::uint16_t kFloatingFirstId = 200;
constexpr std::uint16_t kMenusFirstId = 300;

// The literal folder names under the data folder.
constexpr const wchar_t* kIconsFolderName = L"Icons";
constexpr const wchar_t* kMenusFolderName = L"Menus";
constexpr const wchar_t* kFloatingFolderName = L"Floating";

struct Item {
    std::wstring Caption;
    std::wstring Hint;
    std::uint16_t Id = 0;
    std::wstring FileName;
    std::int32_t ImageIndex = -1;
    std::uint16_t HotKeyKey = 0;        // virtual-key code; 0 = no hotkey
    std::uint16_t HotKeyModifiers = 0;  // HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4
    CollectionKind Kind = CollectionKind::None;
};
