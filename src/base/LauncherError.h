#pragma once
// The exception components throw with their fixed messages. Never thrown across a C callback.

#include <stdexcept>
#include <string>

class LauncherError : public std::runtime_error {
public:
    explicit LauncherError(const std::wstring& message)
        : std::runtime_error("LauncherError"), m_message(message) {}
    const std::wstring& Message() const noexcept { return m_message; }

private:
    std::wstring m_message;
};
