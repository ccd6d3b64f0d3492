#include "app/SingleInstance.h"

#include <algorithm>

bool SingleInstance::CheckAlreadyRunning(const std::wstring& title)
{
    std::wstring mutexName = title;
    std::replace(mutexName.begin(), mutexName.end(), L' ', L'_');
    m_mutex = ::CreateMutexW(nullptr, FALSE, mutexName.c_str());
    if (!m_mutex || ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (::FindWindowW(kApplicationClass, title.c_str())) {
        const UINT message = ::RegisterWindowMessageW(kShowYourselfMessage);
        // Posted to every top-level window; only the running copy knows the message. A sent
        // broadcast would wait on each window in turn, and a busy or hung one anywhere on the
        // desktop would hold this start.
        ::PostMessageW(HWND_BROADCAST, message, 0, 0);
    }
    return true;
}
