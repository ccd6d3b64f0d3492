#pragma once
// One program per user session: a named mutex, and a broadcast that tells the running copy to
// toggle its main window.

#include <windows.h>

#include <string>

inline constexpr const wchar_t* kApplicationClass = L"TApplication";
inline constexpr const wchar_t* kShowYourselfMessage = L"OrvoMsgOrvo Launcher";

class SingleInstance {
public:
    // True when another instance runs; it has then been told to toggle its main window.
    bool CheckAlreadyRunning(const std::wstring& title);

private:
    // Held for the life of the process; the system closes it when the process ends.
    HANDLE m_mutex = nullptr;
};
