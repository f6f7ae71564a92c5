// Loading Bristler initialises the common controls (the settings dialog's
// trackbars) and registers the preview window class; unloading removes it.
#include <windows.h>
#include <commctrl.h>

#include "bristler_internal.h"

namespace bristler {
HINSTANCE g_module = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        bristler::g_module = instance;
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        // The library still loads without its preview class; the user is
        // told that it did not initialise fully.
        if (!bristler::RegisterPreviewClass(instance)) {
            bristler::ShowMessage(nullptr, BRISTLER_MSG_INIT_FAILED, MB_ICONEXCLAMATION);
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        bristler::UnregisterPreviewClass(instance);
    }
    return TRUE;
}
