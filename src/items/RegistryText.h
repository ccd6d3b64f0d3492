#pragma once
// Reading one string value of the registry, as the image mode test and the shell operations need it.

#include <windows.h>

#include <optional>
#include <string>

// The string value (REG_SZ, or REG_EXPAND_SZ with its environment variables expanded); nullopt when the
// key or the value is missing or holds another type. An empty value name reads the key's default value.
std::optional<std::wstring> ReadRegistryText(HKEY root, const wchar_t* subKey, const wchar_t* valueName);
