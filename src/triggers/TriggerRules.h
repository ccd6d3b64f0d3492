#pragma once
// The trigger options and the modifier-key test. No Windows headers: key states arrive through a
// reader the caller passes in, so both kinds of system are decided on any machine.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/OsVersion.h"
#include "triggers/EdgeRules.h"

// What the options page and the settings file say about the triggers. Edges are indexed left,
// top, right, bottom.
struct EdgeTriggerOptions {
    std::array<bool, 4> floatAt{false, false, true, false};  // "FloatLeft" ... "FloatBottom"
    std::array<bool, 4> popupAt{false, true, false, false};  // "PopupLeft" ... "PopupBottom"
    int disableKey = 3;   // "DisableKey" combo index: none, Ctrl, Alt, Shift
    int floatingKey = 1;  // "FloatRightKey" combo index
    int sensitivity = kSensitivityDefault;
};

enum class EdgeAction { None, Float, Popup };

constexpr int EdgeIndex(ScreenEdge edge)
{
    switch (edge) {
    case ScreenEdge::Left: return 0;
    case ScreenEdge::Top: return 1;
    case ScreenEdge::Right: return 2;
    case ScreenEdge::Bottom: return 3;
    case ScreenEdge::None: break;
    }
    return -1;
}

// What resting at an edge opens. The float option of an edge wins over its popup option: the
// options page never lets both be set, and a hand-edited file that sets both gets the floating
// window, as loading the options would leave it.
constexpr EdgeAction EdgeActionFor(const EdgeTriggerOptions& options, ScreenEdge edge)
{
    const int index = EdgeIndex(edge);
    if (index < 0) return EdgeAction::None;
    if (options.floatAt[static_cast<std::size_t>(index)]) return EdgeAction::Float;
    if (options.popupAt[static_cast<std::size_t>(index)]) return EdgeAction::Popup;
    return EdgeAction::None;
}

// One edge's two check actions on the options page ("Show floating icon window when mouse at
// these edges:" and "Show popup menu when mouse at these edges:").
struct EdgeChecks {
    bool floatChecked = false;
    bool floatEnabled = true;
    bool popupChecked = false;
    bool popupEnabled = true;
    friend constexpr bool operator==(const EdgeChecks&, const EdgeChecks&) = default;
};

// Executing one of the two actions: it toggles its own check; once checked, the other action is
// unchecked, and the other is enabled exactly when this one is unchecked. The caller then writes
// both keys of the edge.
constexpr EdgeChecks ToggleEdgeCheck(EdgeChecks checks, bool floatAction)
{
    bool& own = floatAction ? checks.floatChecked : checks.popupChecked;
    bool& other = floatAction ? checks.popupChecked : checks.floatChecked;
    own = !own;
    if (own) other = false;
    (floatAction ? checks.popupEnabled : checks.floatEnabled) = !own;
    (floatAction ? checks.floatEnabled : checks.popupEnabled) = true;
    return checks;
}

// Loading one edge: the float key first; when it is set the popup key is not read and its action
// stays unchecked and disabled, so one edge never opens both.
inline EdgeChecks LoadEdgeChecks(const std::function<bool()>& readFloat, const std::function<bool()>& readPopup)
{
    EdgeChecks checks;
    checks.floatChecked = readFloat();
    if (checks.floatChecked) {
        checks.popupEnabled = false;
        return checks;
    }
    checks.popupChecked = readPopup();
    checks.floatEnabled = !checks.popupChecked;
    return checks;
}

// The sensitivity track bar runs from "Short" to "Long"; Page Up and Page Down are exchanged, and
// so are the Up and Down arrows, so that the keys move the way the labels read.
constexpr unsigned TrackBarSensitivityKey(unsigned virtualKey)
{
    switch (virtualKey) {
    case 33: return 34;  // VK_PRIOR, VK_NEXT
    case 34: return 33;
    case 38: return 40;  // VK_UP, VK_DOWN
    case 40: return 38;
    default: return virtualKey;
    }
}

// The track bar position as a delay; a stored position outside 1-11 is taken as the nearest end,
// so a damaged setting can neither stop the timer (0 ms) nor make it fire on every tick.
constexpr unsigned SensitivityIntervalMs(int position)
{
    return SensitivityDelayMs(position < kSensitivityMin ? kSensitivityMin
                                                         : (position > kSensitivityMax ? kSensitivityMax : position));
}

// The hook library packs a point into two unsigned 16-bit halves. Screen coordinates are signed:
// a monitor left of or above the primary one has negative ones, which arrive as 32768-65535.
constexpr int ScreenCoordinate(int packed16) { return packed16 >= 0x8000 ? packed16 - 0x10000 : packed16; }

inline constexpr unsigned kVkShift = 16;
inline constexpr unsigned kVkControl = 17;
inline constexpr unsigned kVkMenu = 18;

// The modifier a key name stands for ("SHIFT", "CTRL", "ALT"), or 0 for any other key.
inline unsigned ModifierOfKeyName(const std::wstring& name)
{
    if (name == L"SHIFT") return kVkShift;
    if (name == L"CTRL") return kVkControl;
    if (name == L"ALT") return kVkMenu;
    return 0;
}

// The last Shift, Ctrl or Alt key seen in a key event, and whether the last key event was a
// press. Systems before NT 5.0 report a background program no reliable key state, so there the
// key events themselves tell which modifier is held.
struct TrackedModifier {
    unsigned key = 0;
    bool down = false;
};

// The system's key state for a virtual key (GetKeyState: high bit set while the key is down).
using KeyStateReader = std::function<std::int16_t(int virtualKey)>;

// Whether the modifier key is held. On NT 5.0 and later the system's key state answers; before
// that the tracked modifier does, and is used up by the question whatever the answer. Key 0
// ("None") is never held: without this, any key press on an old system would count as "None".
inline bool IsKeyDown(unsigned key, const OsVersion& os, const KeyStateReader& keyState, TrackedModifier& tracked)
{
    if (IsNt5OrLater(os)) return key != 0 && (static_cast<std::uint16_t>(keyState(static_cast<int>(key))) & 0x8000u) != 0;
    const bool down = key != 0 && key == tracked.key && tracked.down;
    tracked = {};
    return down;
}
