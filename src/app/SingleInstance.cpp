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
        // Sent, not posted, to the top-level windows; only the running copy knows the message.
        // A time-out keeps a hung window elsewhere on the desktop from holding this start.
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 5000, &ignored);
    }
    return true;
}
