// Start-up and shutdown of Stampwell.brs: the engine records the instance
// (the strips are the plug-in's own resources) and initialises the
// plug-in's lock; unloading deletes it.  The process's one rand()
// generator is left alone: the drawing-brush plug-in seeds it, and a
// second seeding would only restart the sequence every brush shares.
#include <windows.h>

#include "plugin_module.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        brush::StartPlugIn(instance, brush::RandomSeeding::kLeaveAlone);
        break;
    case DLL_PROCESS_DETACH:
        brush::StopPlugIn();
        break;
    default:
        break;
    }
    return TRUE;
}
