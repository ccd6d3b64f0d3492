// Entry point of Launcher.dll. Runs in the program and in every process that received hooked input.

#include "hook/HookRecord.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ::DisableThreadLibraryCalls(instance);
        hook::AttachProcess(instance);
        break;
    case DLL_PROCESS_DETACH:
        // Non-null: the process is ending, and the system closes the handles and the view itself.
        // Nothing shared is touched then, since waiting for a mutex that another process holds
        // could only stall the exit. The count this process added stays in the record, which only
        // keeps the last-unload clean-up from running; the hooks are stopped by the program that
        // holds the receiver role, or cleared by the next one that claims it.
        if (!reserved) hook::DetachProcess();
        break;
    default:
        break;
    }
    return TRUE;
}
