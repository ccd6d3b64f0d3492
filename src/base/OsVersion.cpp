#include "base/OsVersion.h"

#include <windows.h>

OsVersion CurrentOsVersion()
{
    OsVersion result;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                     reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                               : nullptr;
    if (rtlGetVersion && rtlGetVersion(&info) == 0) {
        result.platform = OsPlatform::Nt;
        result.major = info.dwMajorVersion;
        result.minor = info.dwMinorVersion;
    }
    return result;
}
