#pragma once
// The identity the shell keeps an entry icon's visibility and place under: a name-based UUID
// (version 5), so the same entry of the same program always gets the same one, whatever its Id.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

using Uuid = std::array<std::uint8_t, 16>; // in network byte order, as the UUID is written

// SHA-1 of `bytes`.
std::array<std::uint8_t, 20> Sha1(std::string_view bytes);

// The version-5 UUID of `name` in `space`.
Uuid NameBasedUuid(const Uuid& space, std::string_view name);

// The icon identity of an entry file `entryName` (its name, without folder) of the program at
// `programPath`. Both are compared as the file system compares them: callers pass them already
// folded to lower case, so "C:\Tools" and "c:\tools" name the same program.
Uuid EntryIconUuid(const std::wstring& programPathLower, const std::wstring& entryNameLower);
