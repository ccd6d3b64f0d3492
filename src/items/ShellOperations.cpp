#include "items/ShellOperations.h"

#include "base/OsVersion.h"

namespace {
// Windows 95 and NT 4 and older have no foreground lock to work around.
bool HasForegroundLock(const OsVersion& v)
{
    if (v.platform == OsPlatform::Nt) return v.major > 4;
    return v.major > 4 || (v.major == 4 && v.minor > 0);
}

void BringToFront(HWND window)
{
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
}
} // namespace

void ForceForegroundWindow(HWND window)
{
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    if (::GetForegroundWindow() == window) return;

    if (!HasForegroundLock(CurrentOsVersion())) {
        BringToFront(window);
        return;
    }

    const DWORD foregroundThread = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const DWORD windowThread = ::GetWindowThreadProcessId(window, nullptr);
    if (foregroundThread && ::AttachThreadInput(windowThread, foregroundThread, TRUE)) {
        BringToFront(window);
        ::AttachThreadInput(windowThread, foregroundThread, FALSE);
    }
    if (::GetForegroundWindow() == window) return;

    // Lift the lock for this one call; without a value to put back, leave the lock alone.
    DWORD timeout = 0;
    if (!::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0)) {
        BringToFront(window);
        return;
    }
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    BringToFront(window);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<ULONG_PTR>(timeout)),
                                SPIF_SENDCHANGE);
}
