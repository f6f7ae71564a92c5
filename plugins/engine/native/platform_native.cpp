// Platform services of the engine in the native sanitizer build: buffers
// from the C heap and a recursive mutex standing in for the critical
// section, so the kernels run unchanged under AddressSanitizer.
#include <cstdlib>
#include <mutex>

#include "brush_platform.h"

namespace brush {

namespace {

class MutexLock final : public BrushLock {
public:
    void Enter() override { mutex_.lock(); }
    void Leave() override { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

MutexLock g_brushLock;
void *g_instance = nullptr;

}  // namespace

void *AllocBrushBuffer(size_t bytes) { return bytes ? std::calloc(bytes, 1) : nullptr; }

void FreeBrushBuffer(void *buffer) { std::free(buffer); }

EngineState &ModuleEngine() {
    static EngineState engine;
    return engine;
}

void StartPlugIn(void *instance, RandomSeeding seeding) {
    g_instance = instance;
    ModuleEngine().lock = &g_brushLock;
    if (seeding == RandomSeeding::kSeedWithTime) SeedRandomWithTime();
}

void StopPlugIn() {
    ReleaseEngineCaches(ModuleEngine());
    ModuleEngine().lock = nullptr;
}

void *PlugInInstance() { return g_instance; }

}  // namespace brush
