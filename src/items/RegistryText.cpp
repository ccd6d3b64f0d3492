#include "items/RegistryText.h"

#include <vector>

#include "base/Handles.h"

std::optional<std::wstring> ReadRegistryText(HKEY root, const wchar_t* subKey, const wchar_t* valueName)
{
    UniqueHkey key;
    if (::RegOpenKeyExW(root, subKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // The value may change between the two calls; retry with the size the second call reports.
    std::vector<wchar_t> buffer;
    LONG status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 3 && status == ERROR_MORE_DATA; ++attempt) {
        buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        status = ::RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    // Stored strings need not carry their terminator.
    std::wstring text(buffer.data(), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    if (type == REG_EXPAND_SZ) {
        const DWORD length = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (length > 0) {
            std::wstring expanded(length, L'\0');
            if (::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), length) == length) {
                expanded.resize(length - 1);
                text = std::move(expanded);
            }
        }
    }
    return text;
}
