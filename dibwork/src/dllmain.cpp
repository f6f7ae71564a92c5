// Dibwork's module state lives for the life of the library in the process;
// it is torn down here when the library unloads.
#include <windows.h>

#include "dibwork_internal.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        dibwork::ShutdownUtilities();
    }
    return TRUE;
}
