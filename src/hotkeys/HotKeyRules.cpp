#include "hotkeys/HotKeyRules.h"

namespace {
constexpr std::uint16_t kKnownModifierBits = kHotKeyFShift | kHotKeyFControl | kHotKeyFAlt | kHotKeyFExt;

// Ids an item hotkey may take: the collections' own ranges, then the extra ones up to here. The
// application range of RegisterHotKey ends at 0xBFFF; what lies above the extra ids is the
// surface hotkeys' once they have used 0-99.
constexpr std::uint32_t kOwnRangeSize = 100;
constexpr std::uint32_t kFirstExtraItemId = 400;
constexpr std::uint32_t kFirstHighSurfaceId = 0xA000;
constexpr std::uint32_t kEndOfApplicationIds = 0xC000;

constexpr std::uint32_t SlotOf(CollectionKind kind)
{
    return kind == CollectionKind::Icons ? 0 : kind == CollectionKind::Floating ? 1 : 2;
}
constexpr CollectionKind KindOfSlot(std::uint32_t slot)
{
    return slot == 0 ? CollectionKind::Icons : slot == 1 ? CollectionKind::Floating : CollectionKind::Menus;
}
constexpr std::uint32_t FirstIdOf(CollectionKind kind)
{
    return kind == CollectionKind::Icons ? kIconsFirstId : kind == CollectionKind::Floating ? kFloatingFirstId : kMenusFirstId;
}
} // namespace

std::uint16_t ItemHotKeyModifiers(std::uint16_t modifierByte)
{
    if ((modifierByte & ~kKnownModifierBits) != 0) return 0;
    std::uint16_t modifiers = 0;
    if (modifierByte & kHotKeyFShift) modifiers |= kModShift;
    if (modifierByte & kHotKeyFControl) modifiers |= kModControl;
    if (modifierByte & kHotKeyFAlt) modifiers |= kModAlt;
    return modifiers;
}

std::wstring ItemHotKeyText(std::uint16_t key, std::uint16_t modifierByte)
{
    const std::uint16_t modifiers = ItemHotKeyModifiers(modifierByte);
    if (key == 0 || modifiers == 0) return {};
    std::wstring text;
    if (modifiers & kModControl) text += L"Ctrl";
    if (modifiers & kModAlt) text += text.empty() ? L"Alt" : L" + Alt";
    if (modifiers & kModShift) text += text.empty() ? L"Shift" : L" + Shift";
    text += L" + ";
    text += static_cast<wchar_t>(key);
    return text;
}

std::uint16_t ShortCutModifiers(TShortCut shortCut)
{
    std::uint16_t modifiers = 0;
    if (shortCut & kScShift) modifiers |= kModShift;
    if (shortCut & kScCtrl) modifiers |= kModControl;
    if (shortCut & kScAlt) modifiers |= kModAlt;
    return modifiers;
}

std::optional<TShortCut> StoredSurfaceHotKey(int modifiers, int virtualKey)
{
    if (virtualKey < 1 || virtualKey > 0xFF) return std::nullopt;
    TShortCut shortCut = static_cast<TShortCut>(virtualKey);
    if (modifiers & kModAlt) shortCut |= kScAlt;
    if (modifiers & kModControl) shortCut |= kScCtrl;
    if (modifiers & kModShift) shortCut |= kScShift;
    if (ShortCutModifiers(shortCut) == 0) return std::nullopt;
    return shortCut;
}

TShortCut ShortCutFromHotKeyControl(std::uint16_t word)
{
    const std::uint16_t flags = word >> 8;
    TShortCut shortCut = word & 0xFF;
    if (flags & kHotKeyFShift) shortCut |= kScShift;
    if (flags & kHotKeyFControl) shortCut |= kScCtrl;
    if (flags & kHotKeyFAlt) shortCut |= kScAlt;
    return shortCut;
}

std::uint16_t HotKeyControlFromShortCut(TShortCut shortCut)
{
    std::uint16_t flags = 0;
    if (shortCut & kScShift) flags |= kHotKeyFShift;
    if (shortCut & kScCtrl) flags |= kHotKeyFControl;
    if (shortCut & kScAlt) flags |= kHotKeyFAlt;
    return static_cast<std::uint16_t>((flags << 8) | ShortCutVirtualKey(shortCut));
}

std::optional<std::uint16_t> ItemHotKeyId(CollectionKind kind, std::size_t index)
{
    if (kind == CollectionKind::None) return std::nullopt;
    if (index < kOwnRangeSize) return static_cast<std::uint16_t>(FirstIdOf(kind) + index);
    const std::size_t extra = index - kOwnRangeSize;
    if (extra >= (kFirstHighSurfaceId - kFirstExtraItemId) / 3) return std::nullopt;
    return static_cast<std::uint16_t>(kFirstExtraItemId + extra * 3 + SlotOf(kind));
}

std::optional<ItemHotKeyOwner> ItemOfHotKeyId(std::uint32_t id)
{
    if (id < kIconsFirstId || id >= kFirstHighSurfaceId) return std::nullopt;
    if (id < kFirstExtraItemId) {
        const std::uint32_t slot = (id - kIconsFirstId) / kOwnRangeSize;
        const CollectionKind kind = KindOfSlot(slot);
        return ItemHotKeyOwner{kind, id - FirstIdOf(kind)};
    }
    const std::uint32_t extra = id - kFirstExtraItemId;
    if (extra / 3 >= (kFirstHighSurfaceId - kFirstExtraItemId) / 3) return std::nullopt;
    return ItemHotKeyOwner{KindOfSlot(extra % 3), kOwnRangeSize + extra / 3};
}

std::uint16_t SurfaceHotKeyId(std::uint32_t activation)
{
    if (activation < kIconsFirstId) return static_cast<std::uint16_t>(activation);
    const std::uint32_t high = kEndOfApplicationIds - kFirstHighSurfaceId;
    return static_cast<std::uint16_t>(kFirstHighSurfaceId + (activation - kIconsFirstId) % high);
}

std::wstring XmlSafeText(std::wstring_view text)
{
    std::wstring safe;
    safe.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            safe += c;
            safe += text[++i];
        } else if (c < 0x20 || high || low || c == 0xFFFE || c == 0xFFFF) {
            safe += L'\xFFFD';
        } else {
            safe += c;
        }
    }
    return safe;
}
