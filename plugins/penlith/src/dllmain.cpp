// Start-up and shutdown of Penlith.brs: the engine records the instance
// (for the plug-in's own resources), initialises the plug-in's lock and
// seeds the process's one rand() generator of msvcrt.dll with the time;
// unloading deletes the lock.
#include <windows.h>

#include "plugin_module.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        brush::StartPlugIn(instance, brush::RandomSeeding::kSeedWithTime);
        break;
    case DLL_PROCESS_DETACH:
        brush::StopPlugIn();
        break;
    default:
        break;
    }
    return TRUE;
}
