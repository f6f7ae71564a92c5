// The services the engine takes from its platform: plug-in buffers from the
// global heap, the plug-in module's engine state with its lock, and the
// plug-in's start-up and shutdown.
// win32/plugin_module.cpp supplies them in the plug-in build,
// native/platform_native.cpp in the sanitizer build.
#pragma once

#include <cstddef>

#include "brush_engine.h"

namespace brush {

// A zero-filled buffer of `bytes` bytes that stays where it is (plug-in
// buffers live in the Windows global heap); NULL for 0 bytes or when memory
// fails.
void *AllocBrushBuffer(size_t bytes);
// Frees a buffer of AllocBrushBuffer; NULL is ignored.
void FreeBrushBuffer(void *buffer);

// The plug-in module's one engine state, which its entry points hand to the
// brushes.  Its lock is set from StartPlugIn to StopPlugIn (NULL outside:
// calls then run unguarded, which is harmless on the one user-interface
// thread).
EngineState &ModuleEngine();

// Whether a plug-in's start-up seeds the process's one pseudo-random
// generator (the C runtime's rand).  The generator is shared by every
// module of the process, so exactly one plug-in (the drawing brushes)
// seeds it; any other leaves it alone rather than restart its sequence.
enum class RandomSeeding { kSeedWithTime, kLeaveAlone };

// Start-up of a plug-in when it is attached to a process: records its
// instance, initialises the lock of ModuleEngine() and, when asked, seeds
// rand() with the time.  Shutdown frees the module engine's caches and
// deletes the lock.
void StartPlugIn(void *instance, RandomSeeding seeding);
void StopPlugIn();
// The instance recorded at start-up (NULL before).
void *PlugInInstance();

// srand(time(NULL)): shared by both platforms' start-up.
void SeedRandomWithTime();

}  // namespace brush
