// Penlith's brushes in the native sanitizer build: the brush functions are
// linked in and found by their export names and run over the engine state
// of the sanitizer build's stand-in module; the first use runs the
// plug-in's start-up (its lock, and rand() seeded with the time).
#include "brush_platform.h"
#include "penlith_brushes.h"
#include "penlith_harness.h"

namespace penlith_test {

BrushHarness::Entry PenlithEntry(const char *exportName) {
    static const bool started = (brush::StartPlugIn(nullptr, brush::RandomSeeding::kSeedWithTime), true);
    (void)started;
    const penlith::BrushFunction run = penlith::FindBrush(exportName);
    if (!run) return {};
    return [run](PlugInBrushContext *ctx) { return run(brush::ModuleEngine(), ctx); };
}

}  // namespace penlith_test
