#pragma once
// Keystroke flags and virtual-key names. No Windows headers: the system's parts (the key's
// character, the key's name text) are passed in by the watch component.

#include <cstdint>
#include <string>

struct TKeyNativeInfo {
    std::uint32_t RepeatCount = 0;
    std::uint32_t ScanCode = 0;
    bool Extended = false;
    bool AltDown = false;   // the context code
    bool WasDown = false;   // the previous key state
    bool KeyDown = false;   // the key is being pressed, not released
    std::wstring KeyName;
};

// Every field but KeyName, from the keystroke flags of a key message.
TKeyNativeInfo DecodeKeyFlags(std::uint32_t flags);

// The readable name of a virtual-key code. mappedChar is what the system maps the key to as an
// unshifted character (0 when it maps to none); a character from 1 to 254 names the key.
std::wstring VirtualKeyName(std::uint32_t code, std::uint32_t mappedChar);
