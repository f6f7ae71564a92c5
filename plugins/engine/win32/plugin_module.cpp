// Platform services of the engine in a Windows plug-in: buffers from the
// global heap, the module's engine state with one critical section per
// loaded plug-in, and the start-up that may seed the process's one rand()
// generator.  msvcrt.dll stays shared across the process (see
// cmake/Pintora.cmake), so an srand() here seeds the generator every
// module's rand() draws from: only the plug-in that asks for it seeds.
#include <windows.h>

#include "brush_platform.h"

namespace brush {

namespace {

// BrushLock: serialises the painting calls of all brushes of the plug-in.
class CriticalSectionLock final : public BrushLock {
public:
    void Initialise() {
        InitializeCriticalSection(&section_);
        ready_ = true;
    }
    void Delete() {
        if (ready_) DeleteCriticalSection(&section_);
        ready_ = false;
    }
    bool ready() const { return ready_; }
    void Enter() override { EnterCriticalSection(&section_); }
    void Leave() override { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_{};
    bool ready_ = false;
};

CriticalSectionLock g_brushLock;
HINSTANCE g_instance = nullptr;

}  // namespace

// GPTR: fixed and zero-filled, so the handle is the pointer and GlobalFree
// takes it back.
void *AllocBrushBuffer(size_t bytes) {
    return bytes ? static_cast<void *>(GlobalAlloc(GPTR, bytes)) : nullptr;
}

void FreeBrushBuffer(void *buffer) {
    if (buffer) GlobalFree(static_cast<HGLOBAL>(buffer));
}

EngineState &ModuleEngine() {
    static EngineState engine;
    return engine;
}

void StartPlugIn(void *instance, RandomSeeding seeding) {
    g_instance = static_cast<HINSTANCE>(instance);
    if (!g_brushLock.ready()) g_brushLock.Initialise();
    ModuleEngine().lock = &g_brushLock;
    if (seeding == RandomSeeding::kSeedWithTime) SeedRandomWithTime();
}

void StopPlugIn() {
    ReleaseEngineCaches(ModuleEngine());
    ModuleEngine().lock = nullptr;
    g_brushLock.Delete();
}

void *PlugInInstance() { return g_instance; }

}  // namespace brush
