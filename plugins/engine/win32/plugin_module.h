// The Windows side of a plug-in's start-up: what DllMain calls, and the
// instance handle the plug-in loads its own resources (textures) from.
#pragma once

#include <windows.h>

#include "brush_platform.h"

namespace brush {

// DLL_PROCESS_ATTACH calls StartPlugIn(instance, seeding) (record the
// instance, initialise the lock, seed rand() with the time if the plug-in
// is the one that seeds it), DLL_PROCESS_DETACH calls StopPlugIn() (delete
// the lock).
inline HINSTANCE PlugInHandle() { return static_cast<HINSTANCE>(PlugInInstance()); }

}  // namespace brush
