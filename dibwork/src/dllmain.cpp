// Dibwork's module state lives for the life of the library in the process;
// it is torn down here when the library unloads.
#include <windows.h>

#include "dibwork_internal.h"
#include "image_ops.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH) {
        dibwork::ShutdownUtilities();
        // The tips chip's class goes with its window procedure.
        if (!reserved) dibwork::ShutdownTipsChips();
        // Closed on FreeLibrary; at process exit the system reclaims it and
        // the drawing library may already be torn down.
        if (!reserved) dibwork::ShutdownDisplay();
    }
    return TRUE;
}
