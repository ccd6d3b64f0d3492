#pragma once
// One program per user session: a named mutex, and a message to the running copy: toggle the
// main window, or run the start group a second start names on its command line.

#include <windows.h>

#include <optional>
#include <string>

inline constexpr const wchar_t* kApplicationClass = L"TApplication";
inline constexpr const wchar_t* kShowYourselfMessage = L"OrvoMsgOrvo Launcher";
// Registered, its value marks a WM_COPYDATA that carries a group's name from another copy.
inline constexpr const wchar_t* kStartGroupRequestMessage = L"OrvoMsgOrvo Launcher StartGroup";

class SingleInstance {
public:
    // True when another instance runs. It has then been told to toggle its main window, or, with
    // `group`, to run that group (it toggles its main window when it cannot be told that).
    bool CheckAlreadyRunning(const std::wstring& title, const std::optional<std::wstring>& group = std::nullopt);

private:
    // Held for the life of the process; the system closes it when the process ends.
    HANDLE m_mutex = nullptr;
};

// The group name of a request to run a group: a WM_COPYDATA marked with the registered message,
// sent from a window of a process that runs this very program file. Nothing for anything else.
std::optional<std::wstring> ReadStartGroupRequest(HWND sender, const COPYDATASTRUCT& data);
