// Entry point of Launcher.dll. Runs in the program and in every process that received hooked input.

#include "hook/HookRecord.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ::DisableThreadLibraryCalls(instance);
        hook::AttachProcess(instance);
        break;
    case DLL_PROCESS_DETACH:
        hook::DetachProcess();
        break;
    default:
        break;
    }
    return TRUE;
}
