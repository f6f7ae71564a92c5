// Dibwork's module state lives for the life of the library in the process;
// it is torn down here when the library unloads.
#include <windows.h>

#include "dibwork_internal.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH) {
        dibwork::ShutdownUtilities();
        // The tips chip's class goes with its window procedure.
        if (!reserved) dibwork::ShutdownTipsChips();
    }
    return TRUE;
}
